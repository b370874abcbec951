// Reading a whole file of bounded size, shared by the platform implementations.
#ifndef OPENVR_API_READ_TO_END_H
#define OPENVR_API_READ_TO_END_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform.h"

namespace openvr_api {

// Reads until end of file through read_chunk(destination, capacity), which returns the number
// of bytes read, 0 at end of file, or a negative number on error; on error the result is
// kUnreadable and the caller records why. expected_size is the size the file had when it was
// opened; the file may change meanwhile, so the loop never trusts it and gives up as soon as
// more than max_size bytes arrive.
template <typename ReadChunk>
platform::FileContents ReadToEnd(std::uint64_t expected_size, std::size_t max_size,
                                 ReadChunk read_chunk) {
  using Status = platform::FileContents::Status;
  platform::FileContents result;
  if (expected_size > max_size) {
    result.status = Status::kTooLarge;
    result.size = expected_size;
    return result;
  }
  // One byte beyond the expected size, so that growth is seen without a further allocation.
  std::string& contents = result.contents;
  contents.assign(static_cast<std::size_t>(expected_size) + 1, '\0');
  std::size_t size = 0;
  for (;;) {
    if (size == contents.size()) {
      if (size > max_size) {
        result.status = Status::kTooLarge;
        result.size = size;
        contents.clear();
        return result;
      }
      contents.resize(std::min(size * 2, max_size + 1));
    }
    const auto count = read_chunk(contents.data() + size, contents.size() - size);
    if (count == 0) {
      break;
    }
    if (count < 0) {
      result.status = Status::kUnreadable;
      contents.clear();
      return result;
    }
    size += static_cast<std::size_t>(count);
  }
  contents.resize(size);
  return result;
}

// Why a file could not be opened for reading: nothing there, or something that is not a regular
// file (some cannot be opened at all, as a directory on Windows or a socket), or the error.
inline platform::FileContents OpenFailure(const std::string& path, platform::SystemError error,
                                          bool nothing_there) {
  using platform::FileContents;
  if (nothing_there) {
    return FileContents::Failure(FileContents::Status::kMissing, error);
  }
  const platform::PathType found = platform::TypeOfPath(path);
  if (found.type && found.type != platform::FileType::kRegularFile) {
    return FileContents::NotRegularFile(*found.type);
  }
  return FileContents::Failure(FileContents::Status::kUnreadable, error);
}

}  // namespace openvr_api

#endif  // OPENVR_API_READ_TO_END_H
