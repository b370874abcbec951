#include "config_folder.h"

#include "platform.h"

namespace openvr_api {
namespace {

// The folder below an absolute base, named on the trace with where the base came from.
std::string ChosenFolder(std::string_view base, std::string_view subfolder, std::string_view source,
                         const Trace& trace) {
  std::string folder(base);
  folder += subfolder;
  trace.Line("configuration folder: ", Quoted{folder}, " (from ", source, ")");
  return folder;
}

std::optional<std::string> FolderFromVariable(const platform::ConfigFolderVariable& variable,
                                              const Trace& trace) {
  const std::optional<std::string> value = platform::EnvironmentVariable(variable.name);
  if (!value) {
    trace.Line(variable.name, " is not set");
    return std::nullopt;
  }
  if (value->empty()) {
    trace.Line(variable.name, " is set but empty, so it is ignored");
    return std::nullopt;
  }
  if (!platform::IsAbsolutePath(*value)) {
    trace.Line(variable.name, " is ", Quoted{*value}, ", not an absolute path, so it is ignored");
    return std::nullopt;
  }
  return ChosenFolder(*value, variable.subfolder, variable.name, trace);
}

}  // namespace

std::optional<std::string> UserConfigFolder(const Trace& trace) {
  for (const platform::ConfigFolderVariable& variable : platform::ConfigFolderVariables()) {
    if (std::optional<std::string> folder = FolderFromVariable(variable, trace)) {
      return folder;
    }
  }
  const platform::FallbackFolder fallback = platform::FallbackConfigFolder();
  if (!fallback.base) {
    if (fallback.error.code == 0) {
      trace.Line("no configuration folder: ", fallback.source, " is unknown");
    } else {
      trace.Line("no configuration folder: ", fallback.source, " is unknown: ", fallback.error);
    }
    return std::nullopt;
  }
  if (!platform::IsAbsolutePath(*fallback.base)) {
    trace.Line("no configuration folder: ", fallback.source, " is ", Quoted{*fallback.base},
               ", not an absolute path");
    return std::nullopt;
  }
  return ChosenFolder(*fallback.base, fallback.subfolder, fallback.source, trace);
}

}  // namespace openvr_api
