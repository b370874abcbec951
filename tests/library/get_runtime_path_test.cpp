// The contract of VR_GetRuntimePath towards its callers' buffers, and its trace.
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "captured_standard_error.h"
#include "case_name.h"
#include "discovery_fixture.h"
#include "openvr_api.h"

namespace {

constexpr char kUntouched = '\x7f';
constexpr uint32_t kSizeUntouched = 0xdeadbeef;

class GetRuntimePathTest : public DiscoveryFixture, public testing::Test {
 protected:
  GetRuntimePathTest() { environment_.Set("VR_OVERRIDE", runtime().string()); }

  uint32_t size_with_nul() const { return static_cast<uint32_t>(runtime().string().size() + 1); }
};

struct BufferCase {
  const char* name;
  uint32_t (*buffer_size)(uint32_t size_with_nul);
  bool expect_copy;
};

class BufferSizeTest : public GetRuntimePathTest, public testing::WithParamInterface<BufferCase> {};

TEST_P(BufferSizeTest, CopiesThePathOnlyWhenItFitsAndNeverTruncates) {
  const uint32_t buffer_size = GetParam().buffer_size(size_with_nul());
  std::string expected(size_with_nul() + 16, kUntouched);
  if (GetParam().expect_copy) {
    expected.replace(0, size_with_nul(), runtime().string() + '\0');
  } else {
    expected[0] = '\0';
  }

  for (const char* trace_setting : {"0", "1"}) {
    environment_.Set("OPENVR_API_DEBUG", trace_setting);
    std::string buffer(size_with_nul() + 16, kUntouched);
    uint32_t required_size = kSizeUntouched;
    CapturedStandardError trace;
    ASSERT_TRUE(VR_GetRuntimePath(buffer.data(), buffer_size, &required_size));
    const std::string traced = trace.Take();

    EXPECT_EQ(required_size, size_with_nul());
    EXPECT_EQ(buffer, expected);
    if (*trace_setting == '0') {
      EXPECT_EQ(traced, "");
    } else if (GetParam().expect_copy) {
      ExpectContains(traced, "openvr_api: runtime found: \"" + runtime().string() + "\" (" +
                                 std::to_string(size_with_nul()) +
                                 " bytes with the NUL, for a buffer of " +
                                 std::to_string(buffer_size) + ")\n");
    } else {
      ExpectContains(traced, "openvr_api: runtime found: \"" + runtime().string() +
                                 "\", but the caller's buffer of " + std::to_string(buffer_size) +
                                 " bytes is too small for it: it needs " +
                                 std::to_string(size_with_nul()) +
                                 " bytes with the NUL, so an empty string was returned\n");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BufferSizeTest,
    testing::Values(BufferCase{"Larger", [](uint32_t n) { return n + 10; }, true},
                    BufferCase{"ExactFit", [](uint32_t n) { return n; }, true},
                    BufferCase{"OneByteShort", [](uint32_t n) { return n - 1; }, false},
                    BufferCase{"OneByte", [](uint32_t) { return 1U; }, false}),
    CaseName());

TEST_F(GetRuntimePathTest, SizeZeroOrNoBufferOnlyAsksForTheSize) {
  std::string buffer(8, kUntouched);
  uint32_t required_size = kSizeUntouched;
  environment_.Set("OPENVR_API_DEBUG", "1");
  CapturedStandardError trace;
  ASSERT_TRUE(VR_GetRuntimePath(buffer.data(), 0, &required_size));
  EXPECT_EQ(buffer, std::string(8, kUntouched));
  EXPECT_EQ(required_size, size_with_nul());
  ExpectContains(trace.Take(), "; the caller asked only for the size, " +
                                   std::to_string(size_with_nul()) + " bytes with the NUL\n");

  required_size = kSizeUntouched;
  ASSERT_TRUE(VR_GetRuntimePath(nullptr, 4096, &required_size));
  EXPECT_EQ(required_size, size_with_nul());
}

TEST_F(GetRuntimePathTest, RequiredSizeMayBeOmitted) {
  std::string buffer(4096, kUntouched);
  ASSERT_TRUE(VR_GetRuntimePath(buffer.data(), 4096, nullptr));
  EXPECT_EQ(buffer.c_str(), runtime().string());
}

TEST_F(GetRuntimePathTest, FailureWritesNothing) {
  environment_.Set("VR_OVERRIDE", (root() / "missing").string());
  std::string buffer(4096, kUntouched);
  uint32_t required_size = kSizeUntouched;
  EXPECT_FALSE(VR_GetRuntimePath(buffer.data(), 4096, &required_size));
  EXPECT_EQ(buffer, std::string(4096, kUntouched));
  EXPECT_EQ(required_size, kSizeUntouched);
}

// Asks from several threads at once; true when every answer was the runtime's path.
bool AskFromThreads(const std::string& runtime_path) {
  std::vector<std::string> answers(8);
  std::vector<std::thread> threads;
  for (std::string& answer : answers) {
    threads.emplace_back([&answer] {
      for (int i = 0; i < 50; ++i) {
        char buffer[4096] = {};
        uint32_t required_size = 0;
        if (!VR_GetRuntimePath(buffer, sizeof buffer, &required_size) ||
            (!answer.empty() && answer != buffer)) {
          answer = "inconsistent";
          return;
        }
        answer = buffer;
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  for (const std::string& answer : answers) {
    if (answer != runtime_path) {
      return false;
    }
  }
  return true;
}

TEST_F(GetRuntimePathTest, CallsFromSeveralThreadsAgree) {
  environment_.Unset("VR_OVERRIDE");
  WriteRegistry(config_home(), RegistryNaming(runtime().string()));
  EXPECT_TRUE(AskFromThreads(runtime().string()));
}

std::set<std::string> Lines(const std::string& text) {
  std::set<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    lines.insert(line);
  }
  return lines;
}

// Each line is written at once: lines of threads that trace at the same time never mix.
TEST_F(GetRuntimePathTest, TracedLinesOfSeveralThreadsStayWhole) {
  environment_.Unset("VR_OVERRIDE");
  WriteRegistry(config_home(), RegistryNaming(runtime().string()));
  environment_.Set("OPENVR_API_DEBUG", "1");
  CapturedStandardError one_call;
  char buffer[4096];
  ASSERT_TRUE(VR_GetRuntimePath(buffer, sizeof buffer, nullptr));
  const std::set<std::string> expected_lines = Lines(one_call.Take());

  CapturedStandardError concurrent;
  EXPECT_TRUE(AskFromThreads(runtime().string()));
  const std::string traced = concurrent.Take();
  EXPECT_EQ(Lines(traced), expected_lines);
  EXPECT_TRUE(traced.ends_with('\n'));
}

bool SigpipePending() {
  sigset_t pending;
  sigpending(&pending);
  return sigismember(&pending, SIGPIPE) == 1;
}

// A write of the trace to a socket that takes nothing raises SIGPIPE; the library takes back
// that one and no other: one that the caller holds back and has pending stays pending.
TEST_F(GetRuntimePathTest, TakesBackOnlyTheSigpipeItsTraceRaised) {
  environment_.Set("OPENVR_API_DEBUG", "1");
  sigset_t pipe_signal;
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  sigset_t previous_mask;
  ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &pipe_signal, &previous_mask), 0);
  for (const bool pending_before : {false, true}) {
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    shutdown(ends[1], SHUT_RD);
    if (pending_before) {
      pthread_kill(pthread_self(), SIGPIPE);
    }
    const int saved_standard_error = dup(STDERR_FILENO);
    dup2(ends[0], STDERR_FILENO);
    char buffer[4096];
    const bool found = VR_GetRuntimePath(buffer, sizeof buffer, nullptr);
    dup2(saved_standard_error, STDERR_FILENO);
    close(saved_standard_error);
    close(ends[0]);
    close(ends[1]);

    EXPECT_TRUE(found);
    EXPECT_EQ(SigpipePending(), pending_before) << "pending before: " << pending_before;
    const timespec no_wait{};
    while (sigtimedwait(&pipe_signal, nullptr, &no_wait) == SIGPIPE) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous_mask, nullptr);
}

struct TraceSettingCase {
  const char* name;
  std::optional<std::string> value;  // nullopt: unset
  bool traced;
};

class TraceSettingTest : public GetRuntimePathTest,
                         public testing::WithParamInterface<TraceSettingCase> {};

TEST_P(TraceSettingTest, TracesOnlyWhenAskedTo) {
  if (GetParam().value) {
    environment_.Set("OPENVR_API_DEBUG", *GetParam().value);
  } else {
    environment_.Unset("OPENVR_API_DEBUG");
  }
  CapturedStandardError trace;
  char buffer[4096];
  ASSERT_TRUE(VR_GetRuntimePath(buffer, sizeof buffer, nullptr));
  EXPECT_EQ(trace.Take().empty(), !GetParam().traced);
}

INSTANTIATE_TEST_SUITE_P(Cases, TraceSettingTest,
                         testing::Values(TraceSettingCase{"Unset", std::nullopt, false},
                                         TraceSettingCase{"Empty", "", false},
                                         TraceSettingCase{"Zero", "0", false},
                                         TraceSettingCase{"One", "1", true},
                                         TraceSettingCase{"Word", "yes", true},
                                         TraceSettingCase{"DoubleZero", "00", true}),
                         CaseName());

// A line longer than one write to a pipe takes at once is cut short, at a character's end.
TEST_F(GetRuntimePathTest, OverlongTraceLinesAreCut) {
  std::string long_value = "/";
  for (int i = 0; i < 3000; ++i) {
    long_value += "\xc3\xbc";
  }
  environment_.Set("VR_OVERRIDE", long_value);
  environment_.Set("OPENVR_API_DEBUG", "1");
  CapturedStandardError trace;
  EXPECT_FALSE(VR_GetRuntimePath(nullptr, 0, nullptr));
  const std::string traced = trace.Take();
  for (const std::string& line : Lines(traced)) {
    EXPECT_LE(line.size(), 4000U);
    if (line.size() > 1000) {
      EXPECT_EQ(line.substr(line.size() - 8), "\xc3\xbc [...]");
    }
  }
  ExpectContains(traced, "openvr_api: no runtime found\n");
}

}  // namespace
