// vr-runtime-path: prints the path of the OpenVR runtime as one line on standard output.
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

#include "find_runtime_path.h"

namespace {

#if defined(VR_RUNTIME_PATH_OWN_LIBRARY)
// Our own library explains its search when asked to; another one may not know how.
constexpr char kNoRuntimeMessage[] =
    "vr-runtime-path: no OpenVR runtime found (set OPENVR_API_DEBUG=1 to see where the library "
    "looked)\n";
#else
constexpr char kNoRuntimeMessage[] = "vr-runtime-path: no OpenVR runtime found\n";
#endif

}  // namespace

int main(int /*argc*/, char* /*argv*/[]) {
  const char* const path_text = FindRuntimePath();
  if (path_text == nullptr) {
    std::cerr << kNoRuntimeMessage;
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
