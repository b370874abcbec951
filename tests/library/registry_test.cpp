// What the library reports for each kind of registry file contents, and what its trace says.
#include <gtest/gtest.h>

#include "case_name.h"
#include "discovery_fixture.h"

namespace {

using namespace std::string_literals;

struct RegistryCase {
  const char* name;
  std::string contents;                 // {runtime} and {root} stand for the fixture's paths
  std::optional<std::string> expected;  // likewise
  std::string reason;                   // part of the trace that tells why; likewise
};

class RegistryTest : public DiscoveryFixture, public testing::TestWithParam<RegistryCase> {
 protected:
  RegistryTest() {
    std::filesystem::create_directories(root() / "second");
    std::filesystem::create_directories(root() / "r\xc3\xbcntime \xe2\x9c\x93");
    std::filesystem::create_directories(root() / "latin1-\xff");
    std::filesystem::create_directory_symlink(runtime(), root() / "link");
    WriteFile(root() / "file", "not a folder");
  }
};

TEST_P(RegistryTest, ReportsTheFirstRuntimeOnlyWhenItIsAnExistingAbsoluteFolder) {
  WriteRegistry(config_home(), Expand(GetParam().contents));
  const std::optional<std::string> expected =
      GetParam().expected ? std::optional(Expand(*GetParam().expected)) : std::nullopt;
  const Answer answer = Ask();
  EXPECT_EQ(answer.path, expected);
  ExpectContains(answer.trace, "openvr_api: registry file: \"" + config_home().string() +
                                   "/openvr/openvrpaths.vrpath\"\n");
  ExpectContains(answer.trace, Expand(GetParam().reason));
  ExpectContains(answer.trace, expected ? "openvr_api: runtime found: \"" + *expected + "\" ("
                                        : "openvr_api: no runtime found\n");
}

const std::string kNamesFirst = "the registry file names the runtime \"{runtime}\" first";
const std::string kInvalidJson = "the registry file is not valid JSON: line 1, column ";

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryTest,
    testing::Values(
        RegistryCase{"FirstRuntime", R"({"runtime": ["{runtime}"]})", "{runtime}", kNamesFirst},
        RegistryCase{"OtherKeysIgnored",
                     R"({"config": ["/nowhere"], "external_drivers": null, "jsonid": "vr-registry",
                         "runtime": ["{runtime}", "{root}/second"], "version": 1,
                         "log": {"runtime": []}})",
                     "{runtime}", kNamesFirst},
        RegistryCase{"LastOfRepeatedKeysCounts",
                     R"({"runtime": ["{root}/missing"], "runtime": ["{runtime}"]})", "{runtime}",
                     kNamesFirst},
        RegistryCase{"LaterEntriesNeverUsed", R"({"runtime": ["{root}/missing", "{runtime}"]})",
                     std::nullopt,
                     "the runtime path \"{root}/missing\" is not an existing directory: No such "
                     "file or directory"},
        RegistryCase{"SymbolicLinkReportedAsWritten", R"({"runtime": ["{root}/link"]})",
                     "{root}/link", "names the runtime \"{root}/link\" first"},
        RegistryCase{"TrailingSlashKept", R"({"runtime": ["{runtime}/"]})", "{runtime}/",
                     "names the runtime \"{runtime}/\" first"},
        RegistryCase{"NonAsciiName", "{\"runtime\": [\"{root}/r\xc3\xbcntime \xe2\x9c\x93\"]}",
                     "{root}/r\xc3\xbcntime \xe2\x9c\x93",
                     "names the runtime \"{root}/r\xc3\xbcntime \xe2\x9c\x93\" first"},
        RegistryCase{"EscapedNonAsciiName", R"({"runtime": ["{root}/r\u00fcntime \u2713"]})",
                     "{root}/r\xc3\xbcntime \xe2\x9c\x93",
                     "names the runtime \"{root}/r\xc3\xbcntime \xe2\x9c\x93\" first"},
        RegistryCase{"ByteOrderMark", "\xef\xbb\xbf{\"runtime\": [\"{runtime}\"]}", "{runtime}",
                     kNamesFirst},
        RegistryCase{"NotUtf8", "{\"runtime\": [\"{root}/latin1-\xff\"]}", std::nullopt,
                     kInvalidJson},
        RegistryCase{"TruncatedJson", R"({"runtime": ["{runtime}")", std::nullopt, kInvalidJson},
        RegistryCase{"TrailingGarbage", R"({"runtime": ["{runtime}"]} x)", std::nullopt,
                     kInvalidJson},
        RegistryCase{"EmptyFile", "", std::nullopt,
                     "the registry file is not valid JSON: line 1, column 1: syntax error while "
                     "parsing value - unexpected end of input"},
        RegistryCase{"ErrorOnLaterLine", "{\n  \"runtime\": [\n    \"{runtime}\",,\n  ]\n}",
                     std::nullopt, "the registry file is not valid JSON: line 3, column "},
        RegistryCase{"TopLevelArray", R"([{"runtime": ["{runtime}"]}])", std::nullopt,
                     "the registry file holds an array, not a JSON object"},
        RegistryCase{"TopLevelString", R"("{runtime}")", std::nullopt,
                     "the registry file holds a string, not a JSON object"},
        RegistryCase{"RuntimeMissing", R"({"config": ["{runtime}"]})", std::nullopt,
                     "the registry file has no \"runtime\" key"},
        RegistryCase{"RuntimeOnlyInNestedObject", R"({"log": {"runtime": ["{runtime}"]}})",
                     std::nullopt, "the registry file has no \"runtime\" key"},
        RegistryCase{"RuntimeNotAnArray", R"({"runtime": "{runtime}"})", std::nullopt,
                     "the registry file's \"runtime\" is a string, not an array"},
        RegistryCase{"RuntimeIsAnObject", R"({"runtime": {"first": "{runtime}"}})", std::nullopt,
                     "the registry file's \"runtime\" is an object, not an array"},
        RegistryCase{"RuntimeEmpty", R"({"runtime": [], "other": ["{runtime}"]})", std::nullopt,
                     "the registry file's \"runtime\" array is empty"},
        RegistryCase{"FirstIsNull", R"({"runtime": [null, "{runtime}"]})", std::nullopt,
                     "the first element of the registry file's \"runtime\" array is null, not a "
                     "string"},
        RegistryCase{"FirstIsANumber", R"({"runtime": [1.5, "{runtime}"]})", std::nullopt,
                     "\"runtime\" array is a number, not a string"},
        RegistryCase{"FirstIsABoolean", R"({"runtime": [true, "{runtime}"]})", std::nullopt,
                     "\"runtime\" array is a boolean, not a string"},
        RegistryCase{"FirstIsAnObject", R"({"runtime": [{"path": "{runtime}"}, "{runtime}"]})",
                     std::nullopt, "\"runtime\" array is an object, not a string"},
        RegistryCase{"FirstIsAnArray", R"({"runtime": [["{runtime}"], "{runtime}"]})", std::nullopt,
                     "\"runtime\" array is an array, not a string"},
        RegistryCase{"EmptyPath", R"({"runtime": [""]})", std::nullopt,
                     "the runtime path is empty, so it is refused"},
        RegistryCase{"RelativePath", R"({"runtime": ["runtime"]})", std::nullopt,
                     "the runtime path \"runtime\" is not an absolute path, so it is refused"},
        RegistryCase{"NulInPath", R"({"runtime": ["{runtime}\u0000/x"]})", std::nullopt,
                     "the runtime path \"{runtime}\\x00/x\" holds a NUL character at byte "},
        RegistryCase{"RegularFile", R"({"runtime": ["{root}/file"]})", std::nullopt,
                     "the runtime path \"{root}/file\" is a regular file, not a directory"},
        RegistryCase{"MissingFolder", R"({"runtime": ["{root}/missing"]})", std::nullopt,
                     "the runtime path \"{root}/missing\" is not an existing directory: No such "
                     "file or directory"}),
    CaseName());

}  // namespace
