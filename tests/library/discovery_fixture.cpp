#include "discovery_fixture.h"

#include <cstdint>

#include "openvr_api.h"

DiscoveryFixture::DiscoveryFixture() {
  environment_.Set("XDG_CONFIG_HOME", config_home().string());
  environment_.Set("HOME", home().string());
  environment_.Unset("VR_OVERRIDE");
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
