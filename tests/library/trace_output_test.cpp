// The trace in a process of its own: whatever standard error is, the answer stands.
#include <gtest/gtest.h>

#include "case_name.h"
#include "process.h"
#include "temporary_folder.h"

namespace {

struct StandardErrorCase {
  const char* name;
  OutputStream standard_error;
};

class TraceOutputTest : public testing::TestWithParam<StandardErrorCase> {};

// SIGPIPE keeps its default action, which would end the process if a write to a pipe without a
// reader raised it; a pipe nobody empties would block a plain write for good.
TEST_P(TraceOutputTest, DropsWhatCannotBeWrittenAndKeepsTheAnswer) {
  const TemporaryFolder folder;
  const std::string runtime = (folder.path() / "runtime").string();
  std::filesystem::create_directories(runtime);

  const ProcessResult result =
      RunProcess(PRINT_RUNTIME_PATH, {.environment = {{"VR_OVERRIDE", runtime},
                                                      {"OPENVR_API_DEBUG", "1"},
                                                      {"HOME", folder.path().string()}},
                                      .standard_error = GetParam().standard_error});
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.standard_output, runtime + "\n");
  if (GetParam().standard_error == OutputStream::kCaptured) {
    EXPECT_EQ(result.standard_error,
              "openvr_api: VR_OVERRIDE is set to \"" + runtime +
                  "\"; it is used and the registry is not read\nopenvr_api: runtime found: \"" +
                  runtime + "\" (" + std::to_string(runtime.size() + 1) +
                  " bytes with the NUL, for a buffer of 65536)\n");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TraceOutputTest,
    testing::Values(StandardErrorCase{"Written", OutputStream::kCaptured},
                    StandardErrorCase{"Closed", OutputStream::kClosed},
                    StandardErrorCase{"FullDisk", OutputStream::kFullDevice},
                    StandardErrorCase{"ReaderGone", OutputStream::kBrokenPipe},
                    StandardErrorCase{"SocketThatTakesNothing", OutputStream::kDeafSocket},
                    StandardErrorCase{"PipeNobodyEmpties", OutputStream::kFullPipe}),
    CaseName());

}  // namespace
