// Where the library looks for the runtime: VR_OVERRIDE, then the registry file in the user's
// configuration folder, read with care whatever sits at its path.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "case_name.h"
#include "discovery_fixture.h"
#include "platform.h"
#include "registry.h"

namespace {

class DiscoveryTest : public DiscoveryFixture, public testing::Test {};

// --- VR_OVERRIDE

struct OverrideCase {
  const char* name;
  std::string override_value;           // {runtime} and {root} stand for the fixture's paths
  std::optional<std::string> expected;  // likewise
};

class OverrideTest : public DiscoveryFixture, public testing::TestWithParam<OverrideCase> {};

TEST_P(OverrideTest, TakesThePlaceOfTheRegistry) {
  std::filesystem::create_directories(root() / "registered");
  WriteRegistry(config_home(), RegistryNaming(Expand("{root}/registered")));
  WriteFile(root() / "file", "not a folder");
  environment_.Set("VR_OVERRIDE", Expand(GetParam().override_value));
  const std::optional<std::string> expected =
      GetParam().expected ? std::optional(Expand(*GetParam().expected)) : std::nullopt;
  EXPECT_EQ(QueryRuntimePath(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OverrideTest,
    testing::Values(OverrideCase{"ExistingFolder", "{runtime}", "{runtime}"},
                    OverrideCase{"EmptyMeansUnset", "", "{root}/registered"},
                    OverrideCase{"RelativeIsNoRuntime", "runtime", std::nullopt},
                    OverrideCase{"MissingFolderIsNoRuntime", "{root}/missing", std::nullopt},
                    OverrideCase{"RegularFileIsNoRuntime", "{root}/file", std::nullopt}),
    CaseName());

TEST_F(DiscoveryTest, OverrideNeedsNoRegistry) {
  environment_.Set("VR_OVERRIDE", runtime().string());
  EXPECT_EQ(QueryRuntimePath(), runtime().string());
}

// --- The configuration folder

TEST_F(DiscoveryTest, NoRegistryIsNoRuntime) { EXPECT_EQ(QueryRuntimePath(), std::nullopt); }

TEST_F(DiscoveryTest, ConfigHomeTakesPrecedenceOverHome) {
  std::filesystem::create_directories(root() / "other");
  WriteRegistry(config_home(), RegistryNaming(runtime().string()));
  WriteRegistry(home() / ".config", RegistryNaming((root() / "other").string()));
  EXPECT_EQ(QueryRuntimePath(), runtime().string());
}

TEST_F(DiscoveryTest, HomeConfigFolderWhenConfigHomeIsUnusable) {
  WriteRegistry(home() / ".config", RegistryNaming(runtime().string()));
  for (const char* config_home_value : {"", "relative/config"}) {
    environment_.Set("XDG_CONFIG_HOME", config_home_value);
    EXPECT_EQ(QueryRuntimePath(), runtime().string()) << "XDG_CONFIG_HOME=" << config_home_value;
  }
  environment_.Unset("XDG_CONFIG_HOME");
  EXPECT_EQ(QueryRuntimePath(), runtime().string()) << "XDG_CONFIG_HOME unset";
}

// Only the folder's name is compared: the real home folder is never read.
TEST_F(DiscoveryTest, PasswordDatabaseHomeWhenHomeIsUnusable) {
  const passwd* const user = ::getpwuid(::getuid());
  ASSERT_NE(user, nullptr);
  const std::string expected = std::string(user->pw_dir) + "/.config";
  environment_.Unset("XDG_CONFIG_HOME");
  for (const std::optional<std::string>& home_value :
       {std::optional<std::string>(), std::optional<std::string>(""),
        std::optional<std::string>("relative/home")}) {
    if (home_value) {
      environment_.Set("HOME", *home_value);
    } else {
      environment_.Unset("HOME");
    }
    EXPECT_EQ(openvr_api::platform::UserConfigFolder(), expected);
  }
}

// --- What sits at the registry's path

TEST_F(DiscoveryTest, RegistryThroughSymbolicLinkIsRead) {
  WriteFile(root() / "elsewhere.vrpath", RegistryNaming(runtime().string()));
  std::filesystem::create_directories(config_home() / "openvr");
  std::filesystem::create_symlink(root() / "elsewhere.vrpath",
                                  config_home() / "openvr" / "openvrpaths.vrpath");
  EXPECT_EQ(QueryRuntimePath(), runtime().string());
}

struct RegistryKindCase {
  const char* name;
  void (*create)(const std::filesystem::path& registry, const std::filesystem::path& root);
};

class RegistryKindTest : public DiscoveryFixture,
                         public testing::TestWithParam<RegistryKindCase> {};

// None of these may be read, and none may block: a FIFO without a writer or an endless
// device would hang a reader that simply opened and read them.
TEST_P(RegistryKindTest, IsNoRuntimeAndDoesNotBlock) {
  const std::filesystem::path registry = config_home() / "openvr" / "openvrpaths.vrpath";
  std::filesystem::create_directories(registry.parent_path());
  GetParam().create(registry, root());
  EXPECT_EQ(QueryRuntimePath(), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryKindTest,
    testing::Values(RegistryKindCase{"Folder",
                                     [](const auto& registry, const auto&) {
                                       std::filesystem::create_directory(registry);
                                     }},
                    RegistryKindCase{"Fifo",
                                     [](const auto& registry, const auto&) {
                                       ASSERT_EQ(::mkfifo(registry.c_str(), 0600), 0);
                                     }},
                    RegistryKindCase{"EndlessDevice",
                                     [](const auto& registry, const auto&) {
                                       std::filesystem::create_symlink("/dev/zero", registry);
                                     }},
                    // A regular file whose every read fails.
                    RegistryKindCase{"ReadError",
                                     [](const auto& registry, const auto&) {
                                       std::filesystem::create_symlink("/proc/self/mem", registry);
                                     }},
                    RegistryKindCase{"DanglingLink",
                                     [](const auto& registry, const auto& root) {
                                       std::filesystem::create_symlink(root / "missing", registry);
                                     }}),
    CaseName());

TEST_F(DiscoveryTest, UnreadableRegistryIsNoRuntime) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "file permissions do not restrict the superuser";
  }
  const std::filesystem::path registry = config_home() / "openvr" / "openvrpaths.vrpath";
  WriteFile(registry, RegistryNaming(runtime().string()));
  std::filesystem::permissions(registry, std::filesystem::perms::none);
  EXPECT_EQ(QueryRuntimePath(), std::nullopt);
}

// A valid registry padded with spaces to the given size.
std::string PaddedRegistry(const std::string& runtime_path, std::size_t size) {
  std::string contents = RegistryNaming(runtime_path);
  contents.resize(size, ' ');
  return contents;
}

TEST_F(DiscoveryTest, RegistryOfTheLargestSizeIsRead) {
  WriteRegistry(config_home(), PaddedRegistry(runtime().string(), openvr_api::kMaxRegistrySize));
  EXPECT_EQ(QueryRuntimePath(), runtime().string());
}

TEST_F(DiscoveryTest, LargerRegistryIsNotRead) {
  WriteRegistry(config_home(),
                PaddedRegistry(runtime().string(), openvr_api::kMaxRegistrySize + 1));
  EXPECT_EQ(QueryRuntimePath(), std::nullopt);
}

}  // namespace
