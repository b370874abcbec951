#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform.h"
#include "read_to_end.h"

namespace openvr_api::platform {
namespace {

std::optional<std::string> PasswordDatabaseHome() {
  const long suggested_size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> scratch(suggested_size > 0 ? static_cast<std::size_t>(suggested_size) : 4096);
  passwd entry{};
  passwd* found = nullptr;
  int error = 0;
  while ((error = ::getpwuid_r(::getuid(), &entry, scratch.data(), scratch.size(), &found)) ==
             ERANGE &&
         scratch.size() < 1024 * 1024) {
    scratch.resize(scratch.size() * 2);
  }
  if (error != 0 || found == nullptr || found->pw_dir == nullptr) {
    return std::nullopt;
  }
  return std::string(found->pw_dir);
}

std::optional<std::string> ReadOpenFile(int fd, std::size_t max_size) {
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    return std::nullopt;
  }
  return ReadToEnd(static_cast<std::size_t>(status.st_size), max_size,
                   [fd](char* destination, std::size_t capacity) {
                     ssize_t count = 0;
                     do {
                       count = ::read(fd, destination, capacity);
                     } while (count < 0 && errno == EINTR);
                     return count;
                   });
}

}  // namespace

std::optional<std::string> EnvironmentVariable(const char* name) {
  const char* const value = std::getenv(name);
  if (value == nullptr) {
    return std::nullopt;
  }
  return std::string(value);
}

std::optional<std::string> UserConfigFolder() {
  if (auto config_home = EnvironmentVariable("XDG_CONFIG_HOME");
      config_home && IsAbsolutePath(*config_home)) {
    return config_home;
  }
  // A relative or empty HOME would make the answer depend on the working directory.
  std::optional<std::string> home = EnvironmentVariable("HOME");
  if (!home || !IsAbsolutePath(*home)) {
    home = PasswordDatabaseHome();
  }
  if (!home || !IsAbsolutePath(*home)) {
    return std::nullopt;
  }
  return *home + "/.config";
}

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t max_size) {
  // O_NONBLOCK keeps open() from waiting for a writer when the path names a FIFO.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    return std::nullopt;
  }
  std::optional<std::string> contents = ReadOpenFile(fd, max_size);
  ::close(fd);
  return contents;
}

bool IsAbsolutePath(std::string_view path) { return !path.empty() && path.front() == '/'; }

bool IsExistingDirectory(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace openvr_api::platform
