// vr-runtime-path: prints the path of the OpenVR runtime as one line on standard output.
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

#include "find_runtime_path.h"

int main(int /*argc*/, char* /*argv*/[]) {
  const char* const path_text = FindRuntimePath();
  if (path_text == nullptr) {
    std::cerr << "vr-runtime-path: no OpenVR runtime found\n";
    return 1;
  }

  const std::string path(path_text);
  std::cout.write(path.data(), static_cast<std::streamsize>(path.size()));
  std::cout.put('\n');
  std::cout.flush();
  // A line that never arrived (full disk, closed pipe) must not look like success.
  if (!std::cout) {
    const int write_error = errno;
    std::cerr << "vr-runtime-path: cannot write to standard output";
    if (write_error != 0) {
      std::cerr << ": " << std::strerror(write_error);
    }
    std::cerr << '\n';
    return 1;
  }
  return 0;
}
