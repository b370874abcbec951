// The per-user runtime registry: a JSON file in which OpenVR runtimes register themselves.
#ifndef OPENVR_API_REGISTRY_H
#define OPENVR_API_REGISTRY_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace openvr_api {

// Registry files larger than this are not read.
inline constexpr std::size_t kMaxRegistrySize = 1024 * 1024;

// The full path of the registry file inside the user's configuration folder.
std::string RegistryPath(std::string_view user_config_folder);

// The first entry of the registry's "runtime" array: the runtime that applications load.
// Returns nullopt when the contents are not JSON or "runtime" is missing, not an array,
// empty, or starts with something other than a string. Every other key is ignored.
std::optional<std::string> FirstRegisteredRuntime(std::string_view registry_contents);

}  // namespace openvr_api

#endif  // OPENVR_API_REGISTRY_H
