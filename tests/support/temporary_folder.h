// A fresh folder for one test, removed with everything in it when the test ends.
#ifndef VR_RUNTIME_PATH_TESTS_TEMPORARY_FOLDER_H
#define VR_RUNTIME_PATH_TESTS_TEMPORARY_FOLDER_H

#include <filesystem>
#include <string_view>

class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Writes contents to path, creating the folders above it.
void WriteFile(const std::filesystem::path& path, std::string_view contents);

#endif  // VR_RUNTIME_PATH_TESTS_TEMPORARY_FOLDER_H
