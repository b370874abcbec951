#include "discovery_fixture.h"

#include <cstdint>
#include <sstream>

#include "captured_standard_error.h"
#include "openvr_api.h"

DiscoveryFixture::DiscoveryFixture() {
  environment_.Set("XDG_CONFIG_HOME", config_home().string());
  environment_.Set("HOME", home().string());
  environment_.Unset("VR_OVERRIDE");
  environment_.Unset("OPENVR_API_DEBUG");
  std::filesystem::create_directories(runtime());
  std::filesystem::create_directories(home());
}

std::string DiscoveryFixture::Expand(std::string text) const {
  for (const auto& [placeholder, value] :
       {std::pair<std::string, std::string>{"{runtime}", runtime().string()},
        {"{root}", root().string()}}) {
    for (auto at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size())) {
      text.replace(at, placeholder.size(), value);
    }
  }
  return text;
}

Answer DiscoveryFixture::Ask() {
  environment_.Unset("OPENVR_API_DEBUG");
  CapturedStandardError silent;
  const std::optional<std::string> untraced = QueryRuntimePath();
  EXPECT_EQ(silent.Take(), "") << "written with the trace off";

  environment_.Set("OPENVR_API_DEBUG", "1");
  CapturedStandardError traced;
  Answer answer{QueryRuntimePath(), ""};
  answer.trace = traced.Take();
  environment_.Unset("OPENVR_API_DEBUG");

  EXPECT_EQ(answer.path, untraced) << "the trace changed the answer";
  EXPECT_TRUE(answer.trace.ends_with('\n')) << "not whole lines: " << answer.trace;
  std::istringstream lines(answer.trace);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_EQ(line.rfind("openvr_api: ", 0), 0U) << "not a trace line: " << line;
  }
  return answer;
}

std::optional<std::string> QueryRuntimePath() {
  uint32_t required_size = 0;
  if (!VR_GetRuntimePath(nullptr, 0, &required_size)) {
    return std::nullopt;
  }
  std::string buffer(required_size, '\x7f');
  uint32_t second_size = 0;
  EXPECT_TRUE(VR_GetRuntimePath(buffer.data(), required_size, &second_size));
  EXPECT_EQ(second_size, required_size);
  EXPECT_EQ(buffer.back(), '\0');
  buffer.pop_back();
  return buffer;
}

void ExpectContains(const std::string& text, const std::string& part) {
  EXPECT_NE(text.find(part), std::string::npos) << "expected \"" << part << "\" in:\n" << text;
}
