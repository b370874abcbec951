// Where the library looks for the runtime: VR_OVERRIDE, then the registry file in the user's
// configuration folder, read with care whatever sits at its path. Each case is asked with the
// trace off and on, and the trace must say why.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "captured_standard_error.h"
#include "case_name.h"
#include "config_folder.h"
#include "discovery_fixture.h"
#include "registry.h"

namespace {

class DiscoveryTest : public DiscoveryFixture, public testing::Test {};

// --- VR_OVERRIDE

struct OverrideCase {
  const char* name;
  std::string override_value;           // {runtime} and {root} stand for the fixture's paths
  std::optional<std::string> expected;  // likewise
  std::string reason;                   // likewise
};

class OverrideTest : public DiscoveryFixture, public testing::TestWithParam<OverrideCase> {};

TEST_P(OverrideTest, TakesThePlaceOfTheRegistry) {
  std::filesystem::create_directories(root() / "registered");
  WriteRegistry(config_home(), RegistryNaming(Expand("{root}/registered")));
  WriteFile(root() / "file", "not a folder");
  environment_.Set("VR_OVERRIDE", Expand(GetParam().override_value));
  const std::optional<std::string> expected =
      GetParam().expected ? std::optional(Expand(*GetParam().expected)) : std::nullopt;
  const Answer answer = Ask();
  EXPECT_EQ(answer.path, expected);
  ExpectContains(answer.trace, Expand(GetParam().reason));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OverrideTest,
    testing::Values(
        OverrideCase{"ExistingFolder", "{runtime}", "{runtime}",
                     "openvr_api: VR_OVERRIDE is set to \"{runtime}\"; it is used and the "
                     "registry is not read\nopenvr_api: runtime found: \"{runtime}\" ("},
        OverrideCase{"EmptyMeansUnset", "", "{root}/registered",
                     "openvr_api: VR_OVERRIDE is set but empty, so it is ignored and the registry "
                     "is read\n"},
        OverrideCase{"RelativeIsNoRuntime", "runtime", std::nullopt,
                     "the runtime path \"runtime\" is not an absolute path, so it is refused"},
        OverrideCase{"MissingFolderIsNoRuntime", "{root}/missing", std::nullopt,
                     "the runtime path \"{root}/missing\" is not an existing directory: No such "
                     "file or directory\nopenvr_api: no runtime found\n"},
        OverrideCase{"RegularFileIsNoRuntime", "{root}/file", std::nullopt,
                     "the runtime path \"{root}/file\" is a regular file, not a directory"},
        OverrideCase{"ControlCharactersAreEscaped", "{root}/a\nb\x1b[31m\"\\\x7f\xff", std::nullopt,
                     "the runtime path \"{root}/a\\nb\\x1b[31m\\\"\\\\\\x7f\\xff\" is not an "
                     "existing directory"}),
    CaseName());

TEST_F(DiscoveryTest, OverrideNeedsNoRegistry) {
  environment_.Set("VR_OVERRIDE", runtime().string());
  EXPECT_EQ(Ask().path, runtime().string());
}

// --- The configuration folder

TEST_F(DiscoveryTest, NoRegistryIsNoRuntime) {
  const Answer answer = Ask();
  EXPECT_EQ(answer.path, std::nullopt);
  EXPECT_EQ(answer.trace, Expand("openvr_api: VR_OVERRIDE is not set, so the registry is read\n"
                                 "openvr_api: configuration folder: \"{root}/config\" (from "
                                 "XDG_CONFIG_HOME)\n"
                                 "openvr_api: registry file: \"{root}/config/openvr/"
                                 "openvrpaths.vrpath\"\n"
                                 "openvr_api: the registry file does not exist: No such file or "
                                 "directory\n"
                                 "openvr_api: no runtime found\n"));
}

TEST_F(DiscoveryTest, ConfigHomeTakesPrecedenceOverHome) {
  std::filesystem::create_directories(root() / "other");
  WriteRegistry(config_home(), RegistryNaming(runtime().string()));
  WriteRegistry(home() / ".config", RegistryNaming((root() / "other").string()));
  EXPECT_EQ(Ask().path, runtime().string());
}

struct ConfigHomeCase {
  const char* name;
  std::optional<std::string> value;  // nullopt: unset
  std::string reason;
};

class UnusableConfigHomeTest : public DiscoveryFixture,
                               public testing::TestWithParam<ConfigHomeCase> {};

TEST_P(UnusableConfigHomeTest, FallsBackToTheHomeFolder) {
  WriteRegistry(home() / ".config", RegistryNaming(runtime().string()));
  if (GetParam().value) {
    environment_.Set("XDG_CONFIG_HOME", *GetParam().value);
  } else {
    environment_.Unset("XDG_CONFIG_HOME");
  }
  const Answer answer = Ask();
  EXPECT_EQ(answer.path, runtime().string());
  ExpectContains(answer.trace, "openvr_api: " + GetParam().reason + "\n");
  ExpectContains(answer.trace, "openvr_api: configuration folder: \"" + home().string() +
                                   "/.config\" (from HOME)\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnusableConfigHomeTest,
    testing::Values(
        ConfigHomeCase{"Unset", std::nullopt, "XDG_CONFIG_HOME is not set"},
        ConfigHomeCase{"Empty", "", "XDG_CONFIG_HOME is set but empty, so it is ignored"},
        ConfigHomeCase{"Relative", "relative/config",
                       "XDG_CONFIG_HOME is \"relative/config\", not an absolute path, so it is "
                       "ignored"}),
    CaseName());

class UnusableHomeTest : public DiscoveryFixture, public testing::TestWithParam<ConfigHomeCase> {};

// Only the folder's name is compared: the real home folder is never read.
TEST_P(UnusableHomeTest, FallsBackToThePasswordDatabase) {
  const passwd* const user = ::getpwuid(::getuid());
  ASSERT_NE(user, nullptr);
  const std::string expected = std::string(user->pw_dir) + "/.config";
  environment_.Unset("XDG_CONFIG_HOME");
  if (GetParam().value) {
    environment_.Set("HOME", *GetParam().value);
  } else {
    environment_.Unset("HOME");
  }
  environment_.Set("OPENVR_API_DEBUG", "1");
  CapturedStandardError trace;
  EXPECT_EQ(openvr_api::UserConfigFolder(openvr_api::Trace::FromEnvironment()), expected);
  const std::string traced = trace.Take();
  ExpectContains(traced, "openvr_api: " + GetParam().reason + "\n");
  ExpectContains(traced, "openvr_api: configuration folder: \"" + expected +
                             "\" (from the home folder in the password database)\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnusableHomeTest,
    testing::Values(ConfigHomeCase{"Unset", std::nullopt, "HOME is not set"},
                    ConfigHomeCase{"Empty", "", "HOME is set but empty, so it is ignored"},
                    ConfigHomeCase{"Relative", "relative/home",
                                   "HOME is \"relative/home\", not an absolute path, so it is "
                                   "ignored"}),
    CaseName());

// --- What sits at the registry's path

TEST_F(DiscoveryTest, RegistryThroughSymbolicLinkIsRead) {
  WriteFile(root() / "elsewhere.vrpath", RegistryNaming(runtime().string()));
  std::filesystem::create_directories(config_home() / "openvr");
  std::filesystem::create_symlink(root() / "elsewhere.vrpath",
                                  config_home() / "openvr" / "openvrpaths.vrpath");
  EXPECT_EQ(Ask().path, runtime().string());
}

void BindSocket(const std::filesystem::path& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.string().size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, path.c_str());
  const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(socket, 0);
  EXPECT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ::close(socket);
}

struct RegistryKindCase {
  const char* name;
  void (*create)(const std::filesystem::path& registry, const std::filesystem::path& root);
  std::string reason;
};

class RegistryKindTest : public DiscoveryFixture,
                         public testing::TestWithParam<RegistryKindCase> {};

// None of these may be read, and none may block: a FIFO without a writer or an endless
// device would hang a reader that simply opened and read them.
TEST_P(RegistryKindTest, IsNoRuntimeAndDoesNotBlock) {
  const std::filesystem::path registry = config_home() / "openvr" / "openvrpaths.vrpath";
  std::filesystem::create_directories(registry.parent_path());
  GetParam().create(registry, root());
  const Answer answer = Ask();
  EXPECT_EQ(answer.path, std::nullopt);
  ExpectContains(answer.trace, "openvr_api: the registry file " + GetParam().reason + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryKindTest,
    testing::Values(RegistryKindCase{"Folder",
                                     [](const auto& registry, const auto&) {
                                       std::filesystem::create_directory(registry);
                                     },
                                     "is a directory, not a regular file"},
                    RegistryKindCase{"Fifo",
                                     [](const auto& registry, const auto&) {
                                       ASSERT_EQ(::mkfifo(registry.c_str(), 0600), 0);
                                     },
                                     "is a named pipe, not a regular file"},
                    RegistryKindCase{"EndlessDevice",
                                     [](const auto& registry, const auto&) {
                                       std::filesystem::create_symlink("/dev/zero", registry);
                                     },
                                     "is a character device, not a regular file"},
                    RegistryKindCase{
                        "Socket", [](const auto& registry, const auto&) { BindSocket(registry); },
                        "is a socket, not a regular file"},
                    // A regular file whose every read fails.
                    RegistryKindCase{"ReadError",
                                     [](const auto& registry, const auto&) {
                                       std::filesystem::create_symlink("/proc/self/mem", registry);
                                     },
                                     "cannot be read: Input/output error"},
                    RegistryKindCase{"DanglingLink",
                                     [](const auto& registry, const auto& root) {
                                       std::filesystem::create_symlink(root / "missing", registry);
                                     },
                                     "does not exist: No such file or directory"},
                    RegistryKindCase{"FolderIsAFile",
                                     [](const auto& registry, const auto&) {
                                       std::filesystem::remove(registry.parent_path());
                                       WriteFile(registry.parent_path(), "not a folder");
                                     },
                                     "does not exist: Not a directory"}),
    CaseName());

TEST_F(DiscoveryTest, UnreadableRegistryIsNoRuntime) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "file permissions do not restrict the superuser";
  }
  const std::filesystem::path registry = config_home() / "openvr" / "openvrpaths.vrpath";
  WriteFile(registry, RegistryNaming(runtime().string()));
  std::filesystem::permissions(registry, std::filesystem::perms::none);
  const Answer answer = Ask();
  EXPECT_EQ(answer.path, std::nullopt);
  ExpectContains(answer.trace, "the registry file cannot be read: Permission denied\n");
}

// A valid registry padded with spaces to the given size.
std::string PaddedRegistry(const std::string& runtime_path, std::size_t size) {
  std::string contents = RegistryNaming(runtime_path);
  contents.resize(size, ' ');
  return contents;
}

TEST_F(DiscoveryTest, RegistryOfTheLargestSizeIsRead) {
  WriteRegistry(config_home(), PaddedRegistry(runtime().string(), openvr_api::kMaxRegistrySize));
  EXPECT_EQ(Ask().path, runtime().string());
}

TEST_F(DiscoveryTest, LargerRegistryIsNotRead) {
  WriteRegistry(config_home(),
                PaddedRegistry(runtime().string(), openvr_api::kMaxRegistrySize + 1));
  const Answer answer = Ask();
  EXPECT_EQ(answer.path, std::nullopt);
  ExpectContains(answer.trace,
                 "the registry file holds 1048577 bytes, more than the limit of 1048576 (1 MiB), "
                 "so it is not read\n");
}

}  // namespace
