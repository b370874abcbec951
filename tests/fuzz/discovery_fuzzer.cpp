// libFuzzer entry point: arbitrary registry contents and override values through discovery.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "discovery_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RunDiscoveryInput(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
