// A user whose configuration folder, home folder and runtimes live in a temporary folder.
#ifndef VR_RUNTIME_PATH_TESTS_DISCOVERY_FIXTURE_H
#define VR_RUNTIME_PATH_TESTS_DISCOVERY_FIXTURE_H

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "registry_file.h"
#include "scoped_environment.h"
#include "temporary_folder.h"

class DiscoveryFixture {
 protected:
  DiscoveryFixture();

  const std::filesystem::path& root() const { return folder_.path(); }
  std::filesystem::path runtime() const { return root() / "runtime"; }
  std::filesystem::path config_home() const { return root() / "config"; }
  std::filesystem::path home() const { return root() / "home"; }

  // Replaces {root} and {runtime} in text by the fixture's paths.
  std::string Expand(std::string text) const;

  ScopedEnvironment environment_;

 private:
  TemporaryFolder folder_;
};

// The runtime path as a caller sees it through the library's exported function, asking first
// for the size and then for the path.
std::optional<std::string> QueryRuntimePath();

#endif  // VR_RUNTIME_PATH_TESTS_DISCOVERY_FIXTURE_H
