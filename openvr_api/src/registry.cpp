#include "registry.h"

#include <nlohmann/json.hpp>

#include "platform.h"

namespace openvr_api {

std::string RegistryPath(std::string_view user_config_folder) {
  std::string path(user_config_folder);
  path += platform::kPathSeparator;
  path += "openvr";
  path += platform::kPathSeparator;
  path += "openvrpaths.vrpath";
  return path;
}

std::optional<std::string> FirstRegisteredRuntime(std::string_view registry_contents) {
  const nlohmann::json registry =
      nlohmann::json::parse(registry_contents, nullptr, /*allow_exceptions=*/false);
  if (!registry.is_object()) {
    return std::nullopt;
  }
  const auto runtimes = registry.find("runtime");
  if (runtimes == registry.end() || !runtimes->is_array() || runtimes->empty() ||
      !runtimes->front().is_string()) {
    return std::nullopt;
  }
  return runtimes->front().get<std::string>();
}

}  // namespace openvr_api
