#include "find_runtime_path.h"

#include <cstdint>
#include <cstring>

#include "openvr_api.h"

namespace {

constexpr uint32_t kRuntimePathBufferSize = 1024;

// Static storage: zero-filled at start and kept for the whole process.
char runtime_path_buffer[kRuntimePathBufferSize];

}  // namespace

const char* FindRuntimePath() {
  uint32_t required_size = 0;
  if (!VR_GetRuntimePath(runtime_path_buffer, kRuntimePathBufferSize, &required_size)) {
    return nullptr;
  }
  // The path and its NUL must fit the buffer; a size equal to the buffer's does not count.
  if (required_size >= kRuntimePathBufferSize) {
    return nullptr;
  }
  // A library that reports success without ending the text must not make us read past the
  // buffer.
  if (std::memchr(runtime_path_buffer, '\0', kRuntimePathBufferSize) == nullptr) {
    return nullptr;
  }
  return runtime_path_buffer;
}
