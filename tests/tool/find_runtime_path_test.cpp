// FindRuntimePath against a scripted VR_GetRuntimePath defined here.
#include "find_runtime_path.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "case_name.h"
#include "openvr_api.h"

namespace {

struct Script {
  bool result = false;
  uint32_t required_size = 0;
  std::optional<char> fill;  // written over the whole buffer before the text
  std::string text;          // written at the start of the buffer, NUL bytes included
};

Script script;
int calls = 0;
uint32_t last_buffer_size = 0;
bool last_required_size_given = false;
std::optional<bool> zero_filled_at_first_call;

}  // namespace

extern "C" bool VR_GetRuntimePath(char* buffer, uint32_t buffer_size, uint32_t* required_size) {
  if (!zero_filled_at_first_call) {
    zero_filled_at_first_call = true;
    for (uint32_t i = 0; i < buffer_size; ++i) {
      if (buffer[i] != '\0') {
        zero_filled_at_first_call = false;
      }
    }
  }
  ++calls;
  last_buffer_size = buffer_size;
  last_required_size_given = required_size != nullptr;
  if (script.fill) {
    std::memset(buffer, *script.fill, buffer_size);
  }
  std::memcpy(buffer, script.text.data(), script.text.size());
  *required_size = script.required_size;
  return script.result;
}

namespace {

using namespace std::string_literals;

struct LookupCase {
  const char* name;
  Script script;
  std::optional<std::string> expected;
};

class FindRuntimePathTest : public testing::TestWithParam<LookupCase> {};

TEST_P(FindRuntimePathTest, AcceptsOnlyACompleteReportedPath) {
  script = GetParam().script;
  const char* const path = FindRuntimePath();
  if (GetParam().expected) {
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(std::string(path), *GetParam().expected);
  } else {
    EXPECT_EQ(path, nullptr);
  }
}

const std::string kLongestPath(1022, 'p');

INSTANTIATE_TEST_SUITE_P(
    Cases, FindRuntimePathTest,
    testing::Values(
        LookupCase{"Accepted", {true, 8, {}, "/opt/vr\0"s}, "/opt/vr"},
        LookupCase{"LargestAcceptedSize", {true, 1023, {}, kLongestPath + '\0'}, kLongestPath},
        LookupCase{"SizeEqualToBufferIsNoPath", {true, 1024, {}, "/opt/vr\0"s}, std::nullopt},
        LookupCase{"HugeSizeIsNoPath", {true, UINT32_MAX, {}, "/opt/vr\0"s}, std::nullopt},
        LookupCase{"FalseIgnoresBufferAndSize", {false, 8, {}, "/opt/vr\0"s}, std::nullopt},
        LookupCase{"SizeNotMatchingTextKeepsText", {true, 0, {}, "/opt/vr\0"s}, "/opt/vr"},
        LookupCase{"EmptyPath", {true, 1, {}, "\0"s}, ""},
        LookupCase{"TextEndsAtFirstNul", {true, 8, {}, "/opt\0/vr\0"s}, "/opt"},
        LookupCase{"NoNulInBufferIsNoPath", {true, 5, 'A', ""}, std::nullopt},
        LookupCase{"NulOnlyInLastByte",
                   {true, 5, 'A', std::string(1023, 'A') + '\0'},
                   std::string(1023, 'A')}),
    CaseName());

TEST(FindRuntimePathCallTest, CallsTheLibraryOnceWithTheWholeZeroFilledBuffer) {
  script = {true, 8, {}, "/opt/vr\0"s};
  const int calls_before = calls;
  ASSERT_NE(FindRuntimePath(), nullptr);
  EXPECT_EQ(calls - calls_before, 1);
  EXPECT_EQ(last_buffer_size, 1024U);
  EXPECT_TRUE(last_required_size_given);
  EXPECT_EQ(zero_filled_at_first_call, true);
}

}  // namespace
