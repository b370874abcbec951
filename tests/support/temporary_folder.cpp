#include "temporary_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>

TemporaryFolder::TemporaryFolder() {
  std::string name = (std::filesystem::temp_directory_path() / "vr-runtime-path-test-XXXXXX");
  if (::mkdtemp(name.data()) == nullptr) {
    ADD_FAILURE() << "cannot create a temporary folder";
  }
  // Tests compare paths byte for byte: use the folder's real name, without symbolic links.
  path_ = std::filesystem::canonical(name);
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::filesystem::path& path, std::string_view contents) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  ASSERT_TRUE(file.flush()) << "cannot write " << path;
}
