// What the library reports for each kind of registry file contents.
#include <gtest/gtest.h>

#include "case_name.h"
#include "discovery_fixture.h"

namespace {

using namespace std::string_literals;

struct RegistryCase {
  const char* name;
  std::string contents;                 // {runtime} and {root} stand for the fixture's paths
  std::optional<std::string> expected;  // likewise
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
  EXPECT_EQ(QueryRuntimePath(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryTest,
    testing::Values(
        RegistryCase{"FirstRuntime", R"({"runtime": ["{runtime}"]})", "{runtime}"},
        RegistryCase{"OtherKeysIgnored",
                     R"({"config": ["/nowhere"], "external_drivers": null, "jsonid": "vr-registry",
                         "runtime": ["{runtime}", "{root}/second"], "version": 1,
                         "log": {"runtime": []}})",
                     "{runtime}"},
        RegistryCase{"LaterEntriesNeverUsed", R"({"runtime": ["{root}/missing", "{runtime}"]})",
                     std::nullopt},
        RegistryCase{"SymbolicLinkReportedAsWritten", R"({"runtime": ["{root}/link"]})",
                     "{root}/link"},
        RegistryCase{"TrailingSlashKept", R"({"runtime": ["{runtime}/"]})", "{runtime}/"},
        RegistryCase{"NonAsciiName", "{\"runtime\": [\"{root}/r\xc3\xbcntime \xe2\x9c\x93\"]}",
                     "{root}/r\xc3\xbcntime \xe2\x9c\x93"},
        RegistryCase{"EscapedNonAsciiName", R"({"runtime": ["{root}/r\u00fcntime \u2713"]})",
                     "{root}/r\xc3\xbcntime \xe2\x9c\x93"},
        RegistryCase{"ByteOrderMark", "\xef\xbb\xbf{\"runtime\": [\"{runtime}\"]}", "{runtime}"},
        RegistryCase{"NotUtf8", "{\"runtime\": [\"{root}/latin1-\xff\"]}", std::nullopt},
        RegistryCase{"RuntimeMissing", R"({"config": ["{runtime}"]})", std::nullopt},
        RegistryCase{"RuntimeNotAnArray", R"({"runtime": "{runtime}"})", std::nullopt},
        RegistryCase{"RuntimeEmpty", R"({"runtime": []})", std::nullopt},
        RegistryCase{"FirstNotAString", R"({"runtime": [null, "{runtime}"]})", std::nullopt},
        RegistryCase{"FirstIsAnArray", R"({"runtime": [["{runtime}"]]})", std::nullopt},
        RegistryCase{"TopLevelArray", R"([{"runtime": ["{runtime}"]}])", std::nullopt},
        RegistryCase{"TruncatedJson", R"({"runtime": ["{runtime}")", std::nullopt},
        RegistryCase{"TrailingGarbage", R"({"runtime": ["{runtime}"]} x)", std::nullopt},
        RegistryCase{"EmptyFile", "", std::nullopt},
        RegistryCase{"EmptyPath", R"({"runtime": [""]})", std::nullopt},
        RegistryCase{"RelativePath", R"({"runtime": ["runtime"]})", std::nullopt},
        RegistryCase{"NulInPath", R"({"runtime": ["{runtime}\u0000/x"]})", std::nullopt},
        RegistryCase{"RegularFile", R"({"runtime": ["{root}/file"]})", std::nullopt},
        RegistryCase{"MissingFolder", R"({"runtime": ["{root}/missing"]})", std::nullopt}),
    CaseName());

}  // namespace
