#include "registry_file.h"

#include "temporary_folder.h"

void WriteRegistry(const std::filesystem::path& config_folder, std::string_view contents) {
  WriteFile(config_folder / "openvr" / "openvrpaths.vrpath", contents);
}

std::string RegistryNaming(std::string_view runtime_path) {
  return R"({ "runtime": [ ")" + std::string(runtime_path) + R"(" ], "version": 1 })";
}
