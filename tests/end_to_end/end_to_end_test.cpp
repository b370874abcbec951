// The real tool with the real library beside it, on a temporary user's configuration.
#include <gtest/gtest.h>

#include "process.h"
#include "registry_file.h"
#include "temporary_folder.h"

namespace {

class EndToEndTest : public testing::Test {
 protected:
  EndToEndTest() {
    std::filesystem::create_directories(runtime());
    std::filesystem::create_directories(home());
  }

  const std::filesystem::path& root() const { return folder_.path(); }
  std::filesystem::path runtime() const { return root() / "runtime"; }
  std::filesystem::path home() const { return root() / "home"; }
  std::filesystem::path config_home() const { return root() / "config"; }

  // An existing folder whose absolute path is exactly length bytes long.
  std::filesystem::path FolderWithPathLength(std::size_t length) const {
    std::filesystem::path folder = runtime();
    while (folder.string().size() + 1 + 200 < length) {
      folder /= std::string(200, 'd');
    }
    folder /= std::string(length - folder.string().size() - 1, 'e');
    EXPECT_EQ(folder.string().size(), length);
    std::filesystem::create_directories(folder);
    return folder;
  }

  ProcessResult RunTool(std::map<std::string, std::string> environment = {}) const {
    environment.emplace("HOME", home().string());
    environment.emplace("XDG_CONFIG_HOME", config_home().string());
    return RunProcess(TOOL, {.environment = environment});
  }

 private:
  TemporaryFolder folder_;
};

TEST_F(EndToEndTest, PrintsTheRegisteredRuntime) {
  WriteRegistry(config_home(), RegistryNaming(runtime().string()));
  const ProcessResult result = RunTool();
  EXPECT_EQ(result.standard_output, runtime().string() + "\n");
  EXPECT_EQ(result.standard_error, "");
  EXPECT_EQ(result.exit_status, 0);
}

TEST_F(EndToEndTest, FindsTheRegistryInTheHomeFolder) {
  WriteRegistry(home() / ".config", RegistryNaming(runtime().string()));
  const ProcessResult result = RunProcess(TOOL, {.environment = {{"HOME", home().string()}}});
  EXPECT_EQ(result.standard_output, runtime().string() + "\n");
  EXPECT_EQ(result.exit_status, 0);
}

TEST_F(EndToEndTest, PrintsTheOverride) {
  const std::filesystem::path other = root() / "other runtime";
  std::filesystem::create_directories(other);
  WriteRegistry(config_home(), RegistryNaming(runtime().string()));
  const ProcessResult result = RunTool({{"VR_OVERRIDE", other.string()}});
  EXPECT_EQ(result.standard_output, other.string() + "\n");
  EXPECT_EQ(result.exit_status, 0);
}

const std::string kNoRuntimeMessage =
    "vr-runtime-path: no OpenVR runtime found (set OPENVR_API_DEBUG=1 to see where the library "
    "looked)\n";

// Bytes above 127, valid UTF-8 or not, pass through the library and the tool unchanged (on
// machines where char is signed and where it is not).
TEST_F(EndToEndTest, PrintsBytesAbove127AsTheyAre) {
  const std::filesystem::path other = root() / "r\xc3\xbcntime \xe2\x9c\x93 \xff\x80";
  std::filesystem::create_directories(other);
  const ProcessResult result = RunTool({{"VR_OVERRIDE", other.string()}});
  EXPECT_EQ(result.standard_output, other.string() + "\n");
  EXPECT_EQ(result.exit_status, 0);
}

TEST_F(EndToEndTest, NoRuntimePrintsNothingAndExitsWith1) {
  const ProcessResult result = RunTool();
  EXPECT_EQ(result.standard_output, "");
  EXPECT_EQ(result.standard_error, kNoRuntimeMessage);
  EXPECT_EQ(result.exit_status, 1);
}

// The library explains its search on standard error, before the tool's own line; standard
// output and the exit status stay as they are.
TEST_F(EndToEndTest, TraceShowsWhereTheLibraryLooked) {
  const ProcessResult result = RunTool({{"OPENVR_API_DEBUG", "1"}});
  EXPECT_EQ(result.standard_output, "");
  EXPECT_EQ(result.standard_error,
            "openvr_api: VR_OVERRIDE is not set, so the registry is read\n"
            "openvr_api: configuration folder: \"" +
                config_home().string() +
                "\" (from XDG_CONFIG_HOME)\n"
                "openvr_api: registry file: \"" +
                config_home().string() +
                "/openvr/openvrpaths.vrpath\"\n"
                "openvr_api: the registry file does not exist: No such file or directory\n"
                "openvr_api: no runtime found\n" +
                kNoRuntimeMessage);
  EXPECT_EQ(result.exit_status, 1);
}

TEST_F(EndToEndTest, TraceLeavesTheOutputAlone) {
  WriteRegistry(config_home(), RegistryNaming(runtime().string()));
  const ProcessResult result = RunTool({{"OPENVR_API_DEBUG", "1"}});
  EXPECT_EQ(result.standard_output, runtime().string() + "\n");
  EXPECT_NE(result.standard_error.find("openvr_api: runtime found: \"" + runtime().string()),
            std::string::npos)
      << result.standard_error;
  EXPECT_EQ(result.exit_status, 0);
}

// The tool's buffer holds 1024 bytes: a path of 1022 bytes and its NUL fit with room to spare;
// one of 1023 bytes needs all 1024, which the tool does not accept.
TEST_F(EndToEndTest, PrintsAPathOf1022Bytes) {
  const std::filesystem::path folder = FolderWithPathLength(1022);
  WriteRegistry(config_home(), RegistryNaming(folder.string()));
  const ProcessResult result = RunTool();
  EXPECT_EQ(result.standard_output, folder.string() + "\n");
  EXPECT_EQ(result.exit_status, 0);
}

// The library finds it and fills the tool's buffer to the last byte; the trace shows the size
// that the tool refuses.
TEST_F(EndToEndTest, DoesNotPrintAPathOf1023Bytes) {
  WriteRegistry(config_home(), RegistryNaming(FolderWithPathLength(1023).string()));
  const ProcessResult result = RunTool({{"OPENVR_API_DEBUG", "1"}});
  EXPECT_EQ(result.standard_output, "");
  EXPECT_NE(result.standard_error.find("\" (1024 bytes with the NUL, for a buffer of 1024)\n"),
            std::string::npos)
      << result.standard_error;
  EXPECT_EQ(result.exit_status, 1);
}

}  // namespace
