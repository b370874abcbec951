// Reading a whole file of bounded size, shared by the platform implementations.
#ifndef OPENVR_API_READ_TO_END_H
#define OPENVR_API_READ_TO_END_H

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>

namespace openvr_api {

// Reads until end of file through read_chunk(destination, capacity), which returns the number
// of bytes read, 0 at end of file, or a negative number on error. expected_size is the size
// the file had when it was opened; the file may change meanwhile, so the loop never trusts it
// and gives up as soon as more than max_size bytes arrive.
template <typename ReadChunk>
std::optional<std::string> ReadToEnd(std::size_t expected_size, std::size_t max_size,
                                     ReadChunk read_chunk) {
  if (expected_size > max_size) {
    return std::nullopt;
  }
  // One byte beyond the expected size, so that growth is seen without a further allocation.
  std::string contents(expected_size + 1, '\0');
  std::size_t size = 0;
  for (;;) {
    if (size == contents.size()) {
      if (size > max_size) {
        return std::nullopt;
      }
      contents.resize(std::min(size * 2, max_size + 1));
    }
    const auto count = read_chunk(contents.data() + size, contents.size() - size);
    if (count == 0) {
      break;
    }
    if (count < 0) {
      return std::nullopt;
    }
    size += static_cast<std::size_t>(count);
  }
  contents.resize(size);
  return contents;
}

}  // namespace openvr_api

#endif  // OPENVR_API_READ_TO_END_H
