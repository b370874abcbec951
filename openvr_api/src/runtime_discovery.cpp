#include "runtime_discovery.h"

#include "config_folder.h"
#include "platform.h"
#include "registry.h"

namespace openvr_api {
namespace {

using platform::FileType;

std::string_view Describe(FileType type) {
  switch (type) {
    case FileType::kRegularFile:
      return "a regular file";
    case FileType::kDirectory:
      return "a directory";
    case FileType::kNamedPipe:
      return "a named pipe";
    case FileType::kCharacterDevice:
      return "a character device";
    case FileType::kBlockDevice:
      return "a block device";
    case FileType::kSocket:
      return "a socket";
    case FileType::kOther:
      break;
  }
  return "an unknown kind of file";
}

std::string_view Describe(JsonType type) {
  switch (type) {
    case JsonType::kObject:
      return "an object";
    case JsonType::kArray:
      return "an array";
    case JsonType::kString:
      return "a string";
    case JsonType::kNumber:
      return "a number";
    case JsonType::kBoolean:
      return "a boolean";
    case JsonType::kNull:
      break;
  }
  return "null";
}

std::optional<std::string> Override(const Trace& trace) {
  std::optional<std::string> value = platform::EnvironmentVariable("VR_OVERRIDE");
  if (!value) {
    trace.Line("VR_OVERRIDE is not set, so the registry is read");
    return std::nullopt;
  }
  if (value->empty()) {
    trace.Line("VR_OVERRIDE is set but empty, so it is ignored and the registry is read");
    return std::nullopt;
  }
  trace.Line("VR_OVERRIDE is set to ", Quoted{*value}, "; it is used and the registry is not read");
  return value;
}

std::optional<std::string> RuntimeInRegistryFile(const std::string& registry, const Trace& trace) {
  using Read = platform::FileContents::Status;
  const platform::FileContents file = platform::ReadRegularFile(registry, kMaxRegistrySize);
  switch (file.status) {
    case Read::kRead:
      break;
    case Read::kMissing:
      trace.Line("the registry file does not exist: ", file.error);
      return std::nullopt;
    case Read::kNotRegularFile:
      trace.Line("the registry file is ", Describe(file.type), ", not a regular file");
      return std::nullopt;
    case Read::kUnreadable:
      trace.Line("the registry file cannot be read: ", file.error);
      return std::nullopt;
    case Read::kTooLarge:
      trace.Line("the registry file holds ", file.size, " bytes, more than the limit of ",
                 kMaxRegistrySize, " (1 MiB), so it is not read");
      return std::nullopt;
  }

  using Shape = RegisteredRuntime::Status;
  RegisteredRuntime registered = FirstRegisteredRuntime(file.contents);
  switch (registered.status) {
    case Shape::kFound:
      trace.Line("the registry file names the runtime ", Quoted{registered.runtime}, " first");
      return std::move(registered.runtime);
    case Shape::kInvalidJson:
      trace.Line("the registry file is not valid JSON: ", Escaped{registered.json_error});
      break;
    case Shape::kNotAnObject:
      trace.Line("the registry file holds ", Describe(registered.found_type),
                 ", not a JSON object");
      break;
    case Shape::kNoRuntimeKey:
      trace.Line("the registry file has no \"runtime\" key");
      break;
    case Shape::kRuntimeNotAnArray:
      trace.Line("the registry file's \"runtime\" is ", Describe(registered.found_type),
                 ", not an array");
      break;
    case Shape::kRuntimeEmpty:
      trace.Line("the registry file's \"runtime\" array is empty");
      break;
    case Shape::kFirstNotAString:
      trace.Line("the first element of the registry file's \"runtime\" array is ",
                 Describe(registered.found_type), ", not a string");
      break;
  }
  return std::nullopt;
}

std::optional<std::string> RegisteredRuntimePath(const Trace& trace) {
  const std::optional<std::string> config_folder = UserConfigFolder(trace);
  if (!config_folder) {
    return std::nullopt;
  }
  const std::string registry = RegistryPath(*config_folder);
  trace.Line("registry file: ", Quoted{registry});
  return RuntimeInRegistryFile(registry, trace);
}

bool IsRuntimeFolder(const std::string& path, const Trace& trace) {
  if (path.empty()) {
    trace.Line("the runtime path is empty, so it is refused");
    return false;
  }
  // A NUL inside the path would silently cut it short for every C caller.
  if (const std::size_t nul = path.find('\0'); nul != std::string::npos) {
    trace.Line("the runtime path ", Quoted{path}, " holds a NUL character at byte ", nul,
               ", so it is refused");
    return false;
  }
  if (!platform::IsAbsolutePath(path)) {
    trace.Line("the runtime path ", Quoted{path},
               " is not an absolute path, so it is refused: it would depend on the working "
               "directory");
    return false;
  }
  const platform::PathType found = platform::TypeOfPath(path);
  if (!found.type) {
    trace.Line("the runtime path ", Quoted{path}, " is not an existing directory: ", found.error);
    return false;
  }
  if (*found.type != FileType::kDirectory) {
    trace.Line("the runtime path ", Quoted{path}, " is ", Describe(*found.type),
               ", not a directory, so it is refused");
    return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> FindRuntime(const Trace& trace) {
  std::optional<std::string> candidate = Override(trace);
  if (!candidate) {
    candidate = RegisteredRuntimePath(trace);
  }
  if (!candidate || !IsRuntimeFolder(*candidate, trace)) {
    return std::nullopt;
  }
  return candidate;
}

}  // namespace openvr_api
