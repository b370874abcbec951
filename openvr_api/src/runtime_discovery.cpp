#include "runtime_discovery.h"

#include "platform.h"
#include "registry.h"

namespace openvr_api {
namespace {

std::optional<std::string> RegisteredRuntime() {
  const std::optional<std::string> config_folder = platform::UserConfigFolder();
  if (!config_folder) {
    return std::nullopt;
  }
  const std::optional<std::string> contents =
      platform::ReadRegularFile(RegistryPath(*config_folder), kMaxRegistrySize);
  if (!contents) {
    return std::nullopt;
  }
  return FirstRegisteredRuntime(*contents);
}

bool IsRuntimeFolder(const std::string& path) {
  // A NUL inside the path would silently cut it short for every C caller.
  return !path.empty() && path.find('\0') == std::string::npos && platform::IsAbsolutePath(path) &&
         platform::IsExistingDirectory(path);
}

}  // namespace

std::optional<std::string> FindRuntime() {
  std::optional<std::string> candidate = platform::EnvironmentVariable("VR_OVERRIDE");
  if (!candidate || candidate->empty()) {
    candidate = RegisteredRuntime();
  }
  if (!candidate || !IsRuntimeFolder(*candidate)) {
    return std::nullopt;
  }
  return candidate;
}

}  // namespace openvr_api
