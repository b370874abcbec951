// The built tool, run as a process against the scriptable stand-in library.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "case_name.h"
#include "process.h"
#include "temporary_folder.h"

namespace {

using namespace std::string_literals;
using Environment = std::map<std::string, std::string>;

// The tool under test is built against our own library, so it points to the library's trace.
const std::string kNoRuntimeMessage =
    "vr-runtime-path: no OpenVR runtime found (set OPENVR_API_DEBUG=1 to see where the library "
    "looked)\n";
const std::string kWriteErrorMessage = "vr-runtime-path: cannot write to standard output";

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    hex += kDigits[value >> 4];
    hex += kDigits[value & 0xf];
  }
  return hex;
}

// A stand-in that reports success with the given text and required size.
Environment Reporting(std::string_view text, uint32_t required_size) {
  return {{"STAND_IN_RESULT", "1"},
          {"STAND_IN_TEXT_HEX", Hex(text)},
          {"STAND_IN_REQUIRED_SIZE", std::to_string(required_size)}};
}

ProcessResult RunTool(Environment environment, std::vector<std::string> arguments = {},
                      OutputStream standard_output = OutputStream::kCaptured,
                      bool ignore_sigpipe = false) {
  return RunProcess(STAND_IN_TOOL, {.arguments = std::move(arguments),
                                    .environment = std::move(environment),
                                    .standard_output = standard_output,
                                    .ignore_sigpipe = ignore_sigpipe});
}

struct OutputCase {
  const char* name;
  Environment environment;
  std::string expected_output;
  int expected_status;
};

class ToolOutputTest : public testing::TestWithParam<OutputCase> {};

TEST_P(ToolOutputTest, WritesExactlyTheReportedPath) {
  const ProcessResult result = RunTool(GetParam().environment);
  EXPECT_EQ(result.standard_output, GetParam().expected_output);
  EXPECT_EQ(result.exit_status, GetParam().expected_status);
  EXPECT_EQ(result.standard_error, GetParam().expected_status == 0 ? "" : kNoRuntimeMessage);
}

const std::string kLongestPath = "/" + std::string(1021, 'p');

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolOutputTest,
    testing::Values(
        OutputCase{"Path", Reporting("/opt/vr\0"s, 8), "/opt/vr\n", 0},
        OutputCase{"BytesAsTheyAre", Reporting("/opt/my vr/\xc3\xa9\xff\t\"x\"\0"s, 20),
                   "/opt/my vr/\xc3\xa9\xff\t\"x\"\n", 0},
        OutputCase{"LongestPath", Reporting(kLongestPath + '\0', 1023), kLongestPath + "\n", 0},
        OutputCase{"SizeOfWholeBuffer", Reporting("/opt/vr\0"s, 1024), "", 1},
        OutputCase{"SizeNotMatchingText", Reporting("/opt/vr\0"s, 0), "/opt/vr\n", 0},
        OutputCase{"EmptyPath", Reporting("\0"s, 1), "\n", 0},
        OutputCase{"LibraryFails",
                   {{"STAND_IN_RESULT", "0"},
                    {"STAND_IN_TEXT_HEX", Hex("/opt/vr\0"s)},
                    {"STAND_IN_REQUIRED_SIZE", "8"}},
                   "",
                   1},
        OutputCase{
            "NoNulInBuffer",
            {{"STAND_IN_RESULT", "1"}, {"STAND_IN_FILL", "41"}, {"STAND_IN_REQUIRED_SIZE", "5"}},
            "",
            1}),
    CaseName());

TEST(ToolTest, IgnoresItsArguments) {
  const Environment environment = Reporting("/opt/vr\0"s, 8);
  const ProcessResult plain = RunTool(environment);
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--help"}, {"--version", "-x", "a b", ""}}) {
    const ProcessResult with_arguments = RunTool(environment, arguments);
    EXPECT_EQ(with_arguments.standard_output, plain.standard_output);
    EXPECT_EQ(with_arguments.standard_error, plain.standard_error);
    EXPECT_EQ(with_arguments.exit_status, plain.exit_status);
  }
}

TEST(ToolTest, CallsTheLibraryOnceWithAZeroFilledBufferOf1024Bytes) {
  const TemporaryFolder folder;
  const std::filesystem::path log = folder.path() / "calls.log";
  Environment environment = Reporting("/opt/vr\0"s, 8);
  environment["STAND_IN_CALL_LOG"] = log.string();

  ASSERT_EQ(RunTool(environment).exit_status, 0);

  std::ifstream log_file(log);
  std::stringstream calls;
  calls << log_file.rdbuf();
  EXPECT_EQ(calls.str(), "buffer_size=1024 zero_filled=1\n");
}

// The tool looks for openvr_api beside itself only, never in the working directory, where
// anybody's file could be.
TEST(ToolTest, DoesNotLoadALibraryFromTheWorkingDirectory) {
  const TemporaryFolder folder;
  const std::filesystem::path tool_alone = folder.path() / "vr-runtime-path";
  std::filesystem::copy_file(STAND_IN_TOOL, tool_alone);

  const ProcessResult result = RunProcess(
      tool_alone.string(),
      {.environment = Reporting("/opt/vr\0"s, 8),
       .working_directory = std::filesystem::path(STAND_IN_TOOL).parent_path().string()});
  EXPECT_EQ(result.standard_output, "");
  EXPECT_NE(result.exit_status, 0);
  EXPECT_NE(result.exit_status, 1) << "the tool started, with the working directory's library";
}

struct WriteFailureCase {
  const char* name;
  OutputStream standard_output;
};

class ToolWriteFailureTest : public testing::TestWithParam<WriteFailureCase> {};

TEST_P(ToolWriteFailureTest, ReportsTheFailureAndExitsWith1) {
  const ProcessResult result =
      RunTool(Reporting("/opt/vr\0"s, 8), {}, GetParam().standard_output, /*ignore_sigpipe=*/true);
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.standard_error.rfind(kWriteErrorMessage, 0), 0U) << result.standard_error;
  EXPECT_EQ(std::count(result.standard_error.begin(), result.standard_error.end(), '\n'), 1);
  EXPECT_EQ(result.standard_error.back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolWriteFailureTest,
                         testing::Values(WriteFailureCase{"FullDisk", OutputStream::kFullDevice},
                                         WriteFailureCase{"Closed", OutputStream::kClosed},
                                         WriteFailureCase{"BrokenPipe", OutputStream::kBrokenPipe}),
                         CaseName());

TEST(ToolTest, BrokenPipeWithDefaultSigpipeEndsTheProcessBySignal) {
  const ProcessResult result = RunTool(Reporting("/opt/vr\0"s, 8), {}, OutputStream::kBrokenPipe);
  EXPECT_EQ(result.signal, SIGPIPE);
}

}  // namespace
