#include <cstring>
#include <limits>

#include "openvr_api.h"
#include "runtime_discovery.h"
#include "trace.h"

namespace {

// Copies the path and its NUL when they fit, and says what the caller got.
void Report(const std::string& runtime, uint32_t size_with_nul, char* buffer, uint32_t buffer_size,
            const openvr_api::Trace& trace) {
  using openvr_api::Quoted;
  if (buffer == nullptr || buffer_size == 0) {
    trace.Line("runtime found: ", Quoted{runtime}, "; the caller asked only for the size, ",
               size_with_nul, " bytes with the NUL");
  } else if (size_with_nul <= buffer_size) {
    std::memcpy(buffer, runtime.c_str(), size_with_nul);
    trace.Line("runtime found: ", Quoted{runtime}, " (", size_with_nul,
               " bytes with the NUL, for a buffer of ", buffer_size, ")");
  } else {
    buffer[0] = '\0';  // never a truncated path
    trace.Line("runtime found: ", Quoted{runtime}, ", but the caller's buffer of ", buffer_size,
               " bytes is too small for it: it needs ", size_with_nul,
               " bytes with the NUL, so an empty string was returned");
  }
}

}  // namespace

bool VR_GetRuntimePath(char* buffer, uint32_t buffer_size, uint32_t* required_size) {
  try {
    const openvr_api::Trace trace = openvr_api::Trace::FromEnvironment();
    const std::optional<std::string> runtime = openvr_api::FindRuntime(trace);
    if (!runtime) {
      trace.Line("no runtime found");
      return false;
    }
    if (runtime->size() >= std::numeric_limits<uint32_t>::max()) {
      trace.Line("no runtime found: the path's ", runtime->size(),
                 " bytes are more than a 32-bit size can report");
      return false;
    }
    const auto size_with_nul = static_cast<uint32_t>(runtime->size() + 1);
    if (required_size != nullptr) {
      *required_size = size_with_nul;
    }
    Report(*runtime, size_with_nul, buffer, buffer_size, trace);
    return true;
  } catch (...) {
    // No exception may unwind into a C caller; running out of memory means no answer.
    return false;
  }
}
