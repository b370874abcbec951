// The per-user runtime registry: a JSON file in which OpenVR runtimes register themselves.
#ifndef OPENVR_API_REGISTRY_H
#define OPENVR_API_REGISTRY_H

#include <cstddef>
#include <string>
#include <string_view>

namespace openvr_api {

// Registry files larger than this are not read.
inline constexpr std::size_t kMaxRegistrySize = 1024 * 1024;

// The full path of the registry file inside the user's configuration folder.
std::string RegistryPath(std::string_view user_config_folder);

enum class JsonType { kObject, kArray, kString, kNumber, kBoolean, kNull };

// What the registry says about the runtime applications load: the first entry of its
// "runtime" array. Every other key is ignored; of repeated keys the last counts.
struct RegisteredRuntime {
  enum class Status {
    kFound,              // runtime holds the first entry
    kInvalidJson,        // json_error says where and why
    kNotAnObject,        // found_type is what the file holds instead
    kNoRuntimeKey,       // the object has no "runtime"
    kRuntimeNotAnArray,  // found_type is what "runtime" is instead
    kRuntimeEmpty,       // "runtime" is an empty array
    kFirstNotAString,    // found_type is what its first element is instead
  };
  Status status = Status::kFound;
  std::string runtime;
  JsonType found_type = JsonType::kObject;
  std::string json_error;
};

RegisteredRuntime FirstRegisteredRuntime(std::string_view registry_contents);

}  // namespace openvr_api

#endif  // OPENVR_API_REGISTRY_H
