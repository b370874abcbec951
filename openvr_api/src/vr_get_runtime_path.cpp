#include <cstring>
#include <limits>

#include "openvr_api.h"
#include "runtime_discovery.h"

bool VR_GetRuntimePath(char* buffer, uint32_t buffer_size, uint32_t* required_size) {
  try {
    const std::optional<std::string> runtime = openvr_api::FindRuntime();
    if (!runtime || runtime->size() >= std::numeric_limits<uint32_t>::max()) {
      return false;
    }
    const auto size_with_nul = static_cast<uint32_t>(runtime->size() + 1);
    if (required_size != nullptr) {
      *required_size = size_with_nul;
    }
    if (buffer != nullptr && buffer_size != 0) {
      if (size_with_nul <= buffer_size) {
        std::memcpy(buffer, runtime->c_str(), size_with_nul);
      } else {
        buffer[0] = '\0';  // never a truncated path
      }
    }
    return true;
  } catch (...) {
    // No exception may unwind into a C caller; running out of memory means no answer.
    return false;
  }
}
