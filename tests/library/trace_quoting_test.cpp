// How the trace shows values: one line per message, whatever bytes a path holds.
#include <gtest/gtest.h>

#include "case_name.h"
#include "trace.h"

namespace {

struct QuotingCase {
  const char* name;
  std::string value;
  std::string shown;
};

class TraceQuotingTest : public testing::TestWithParam<QuotingCase> {};

TEST_P(TraceQuotingTest, ShowsTheValueQuotedOnOneLineWithoutTerminalControls) {
  std::string line;
  openvr_api::Append(line, openvr_api::Quoted{GetParam().value});
  EXPECT_EQ(line, '"' + GetParam().shown + '"');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TraceQuotingTest,
    testing::Values(QuotingCase{"Plain", "/opt/vr/my runtime", "/opt/vr/my runtime"},
                    QuotingCase{"Empty", "", ""},
                    QuotingCase{"QuoteAndBackslash", R"(C:\vr "x")", R"(C:\\vr \"x\")"},
                    QuotingCase{"LineBreaksAndTab", "a\nb\rc\td", R"(a\nb\rc\td)"},
                    QuotingCase{"NulAndOtherControls", std::string("a\0b\x01\x1f", 5),
                                R"(a\x00b\x01\x1f)"},
                    QuotingCase{"TerminalEscape", "\x1b[31mred\x1b[0m", R"(\x1b[31mred\x1b[0m)"},
                    QuotingCase{"Delete", "a\x7f", R"(a\x7f)"},
                    QuotingCase{"Utf8KeptAsItIs", "r\xc3\xbcntime \xe2\x9c\x93 \xf0\x9f\x98\x80",
                                "r\xc3\xbcntime \xe2\x9c\x93 \xf0\x9f\x98\x80"},
                    QuotingCase{"NotUtf8", "latin1-\xe9-\xff", R"(latin1-\xe9-\xff)"},
                    QuotingCase{"TruncatedSequence", "a\xe2\x9c", R"(a\xe2\x9c)"},
                    QuotingCase{"Overlong", "\xc0\xaf", R"(\xc0\xaf)"},
                    QuotingCase{"Surrogate", "\xed\xa0\x80", R"(\xed\xa0\x80)"},
                    QuotingCase{"BeyondUnicode", "\xf4\x90\x80\x80", R"(\xf4\x90\x80\x80)"},
                    QuotingCase{"C1ControlIntroducer",
                                "a\xc2\x9b"
                                "31m",
                                R"(a\u{009b}31m)"},
                    QuotingCase{"LineSeparators",
                                "a\xe2\x80\xa8"
                                "b\xe2\x80\xa9",
                                R"(a\u{2028}b\u{2029})"},
                    QuotingCase{"ReorderingControls", "\xe2\x80\xaetxt.exe\xe2\x81\xa6",
                                R"(\u{202e}txt.exe\u{2066})"}),
    CaseName());

}  // namespace
