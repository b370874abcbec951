// The contract of VR_GetRuntimePath towards its callers' buffers.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

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
  std::string buffer(size_with_nul() + 16, kUntouched);
  uint32_t required_size = kSizeUntouched;

  ASSERT_TRUE(VR_GetRuntimePath(buffer.data(), buffer_size, &required_size));

  EXPECT_EQ(required_size, size_with_nul());
  std::string expected(buffer.size(), kUntouched);
  if (GetParam().expect_copy) {
    expected.replace(0, size_with_nul(), runtime().string() + '\0');
  } else {
    expected[0] = '\0';
  }
  EXPECT_EQ(buffer, expected);
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
  ASSERT_TRUE(VR_GetRuntimePath(buffer.data(), 0, &required_size));
  EXPECT_EQ(buffer, std::string(8, kUntouched));
  EXPECT_EQ(required_size, size_with_nul());

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

TEST_F(GetRuntimePathTest, CallsFromSeveralThreadsAgree) {
  environment_.Unset("VR_OVERRIDE");
  WriteRegistry(config_home(), RegistryNaming(runtime().string()));
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
    EXPECT_EQ(answer, runtime().string());
  }
}

}  // namespace
