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

// What a caller gets from the library, asked once with the trace off and once with it on.
struct Answer {
  std::optional<std::string> path;
  std::string trace;  // standard error while the trace was on
};

class DiscoveryFixture {
 protected:
  DiscoveryFixture();

  const std::filesystem::path& root() const { return folder_.path(); }
  std::filesystem::path runtime() const { return root() / "runtime"; }
  std::filesystem::path config_home() const { return root() / "config"; }
  std::filesystem::path home() const { return root() / "home"; }

  // Replaces {root} and {runtime} in text by the fixture's paths.
  std::string Expand(std::string text) const;

  // Asks the library through QueryRuntimePath with the trace off, then on. Fails the test
  // unless both answers agree, nothing at all is written with the trace off, and every line
  // written with it on is a trace line.
  Answer Ask();

  ScopedEnvironment environment_;

 private:
  TemporaryFolder folder_;
};

// The runtime path as a caller sees it through the library's exported function, asking first
// for the size and then for the path.
std::optional<std::string> QueryRuntimePath();

// Fails the test unless text holds part, showing the whole text.
void ExpectContains(const std::string& text, const std::string& part);

#endif  // VR_RUNTIME_PATH_TESTS_DISCOVERY_FIXTURE_H
