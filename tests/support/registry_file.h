// Writing the per-user runtime registry that the library reads.
#ifndef VR_RUNTIME_PATH_TESTS_REGISTRY_FILE_H
#define VR_RUNTIME_PATH_TESTS_REGISTRY_FILE_H

#include <filesystem>
#include <string>
#include <string_view>

// Writes contents as the registry file inside the given configuration folder.
void WriteRegistry(const std::filesystem::path& config_folder, std::string_view contents);

// Registry contents naming a single runtime, beside other keys that must be ignored.
std::string RegistryNaming(std::string_view runtime_path);

#endif  // VR_RUNTIME_PATH_TESTS_REGISTRY_FILE_H
