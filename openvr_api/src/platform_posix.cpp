#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <pthread.h>
#include <pwd.h>
#include <signal.h>
#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform.h"
#include "read_to_end.h"

namespace openvr_api::platform {
namespace {

FileType TypeOf(mode_t mode) {
  if (S_ISREG(mode)) return FileType::kRegularFile;
  if (S_ISDIR(mode)) return FileType::kDirectory;
  if (S_ISFIFO(mode)) return FileType::kNamedPipe;
  if (S_ISCHR(mode)) return FileType::kCharacterDevice;
  if (S_ISBLK(mode)) return FileType::kBlockDevice;
  if (S_ISSOCK(mode)) return FileType::kSocket;
  return FileType::kOther;
}

SystemError LastError() { return SystemError{static_cast<unsigned long>(errno)}; }

// Why open() just failed on a file that was to be read.
FileContents OpenFailed(const std::string& path) {
  const SystemError error = LastError();
  return OpenFailure(path, error, error.code == ENOENT || error.code == ENOTDIR);
}

FileContents ReadOpenFile(int fd, std::size_t max_size) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    return FileContents::Failure(FileContents::Status::kUnreadable, LastError());
  }
  if (!S_ISREG(status.st_mode)) {
    return FileContents::NotRegularFile(TypeOf(status.st_mode));
  }
  int read_error = 0;
  FileContents contents = ReadToEnd(static_cast<std::uint64_t>(status.st_size), max_size,
                                    [fd, &read_error](char* destination, std::size_t capacity) {
                                      ssize_t count = 0;
                                      do {
                                        count = ::read(fd, destination, capacity);
                                      } while (count < 0 && errno == EINTR);
                                      if (count < 0) {
                                        read_error = errno;
                                      }
                                      return count;
                                    });
  contents.error = SystemError{static_cast<unsigned long>(read_error)};
  return contents;
}

// Reads a file on behalf of a user with fewer rights than the process (set-user-ID, say), at a
// path that the user chose. It is opened as a path only, which opens no device, and read only
// when it is a regular file that the real user owns, through the same open file: the process's
// rights never read a file of somebody else's for that user.
FileContents ReadUsersOwnFile(const std::string& path, std::size_t max_size) {
  const int path_only = ::open(path.c_str(), O_PATH | O_CLOEXEC);
  if (path_only < 0) {
    return OpenFailed(path);
  }
  struct stat status {};
  int fd = -1;
  SystemError error{EPERM};
  if (::fstat(path_only, &status) != 0) {
    error = LastError();
  } else if (!S_ISREG(status.st_mode)) {
    ::close(path_only);
    return FileContents::NotRegularFile(TypeOf(status.st_mode));
  } else if (status.st_uid == ::getuid()) {
    const std::string reopened = "/proc/self/fd/" + std::to_string(path_only);
    fd = ::open(reopened.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    error = LastError();
  }
  ::close(path_only);
  if (fd < 0) {
    return FileContents::Failure(FileContents::Status::kUnreadable, error);
  }
  FileContents contents = ReadOpenFile(fd, max_size);
  ::close(fd);
  return contents;
}

// Trace lines of threads that write at the same time go out one after the other. With one
// writer at a time, a pipe that poll() finds writable has room for a whole line, which is at
// most PIPE_BUF bytes and so is written at once: the write cannot block.
pthread_mutex_t standard_error_lock = PTHREAD_MUTEX_INITIALIZER;

// Writes data to standard error if it can be written now, and otherwise drops it. SIGPIPE is
// held back for this thread while it writes, and one that the write raises is taken back, so
// that a reader that has gone never ends a program that keeps the signal's default action.
void WriteToStandardError(std::string_view data) {
  if (::pthread_mutex_lock(&standard_error_lock) != 0) {
    return;
  }
  sigset_t pipe_signal;
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  sigset_t previous_mask;
  if (::pthread_sigmask(SIG_BLOCK, &pipe_signal, &previous_mask) == 0) {
    sigset_t pending;
    const bool pipe_signal_was_pending =
        ::sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
    while (!data.empty()) {
      pollfd standard_error{.fd = STDERR_FILENO, .events = POLLOUT, .revents = 0};
      if (::poll(&standard_error, 1, 0) != 1 || (standard_error.revents & POLLOUT) == 0 ||
          (standard_error.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        break;
      }
      const ssize_t count = ::write(STDERR_FILENO, data.data(), data.size());
      if (count < 0 && errno == EINTR) {
        continue;
      }
      if (count <= 0) {
        if (count < 0 && errno == EPIPE && !pipe_signal_was_pending) {
          const timespec no_wait{};
          while (::sigtimedwait(&pipe_signal, nullptr, &no_wait) < 0 && errno == EINTR) {
          }
        }
        break;
      }
      // Only a terminal takes part of a line; the rest follows when it has room.
      data.remove_prefix(static_cast<std::size_t>(count));
    }
    ::pthread_sigmask(SIG_SETMASK, &previous_mask, nullptr);
  }
  ::pthread_mutex_unlock(&standard_error_lock);
}

constexpr std::array<ConfigFolderVariable, 2> kConfigFolderVariables{{
    {"XDG_CONFIG_HOME", ""},
    {"HOME", "/.config"},
}};

}  // namespace

std::string DescribeSystemError(SystemError error) {
  char text[256] = "";
  // The GNU strerror_r returns its text, which may not be in the buffer.
  return ::strerror_r(static_cast<int>(error.code), text, sizeof text);
}

// secure_getenv reads nothing when the process runs with more rights than its user (set-user-ID,
// set-group-ID or file capabilities): such a program must not load a runtime that whoever
// started it chose through the environment.
std::optional<std::string> EnvironmentVariable(const char* name) {
  const char* const value = ::secure_getenv(name);
  if (value == nullptr) {
    return std::nullopt;
  }
  return std::string(value);
}

std::span<const ConfigFolderVariable> ConfigFolderVariables() { return kConfigFolderVariables; }

// The real user's entry, not the effective one's: in a set-user-ID program this is the user who
// started it.
FallbackFolder FallbackConfigFolder() {
  FallbackFolder fallback{.base = std::nullopt,
                          .subfolder = "/.config",
                          .source = "the home folder in the password database",
                          .error = {}};
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
    fallback.error = SystemError{static_cast<unsigned long>(error)};
    return fallback;
  }
  fallback.base = found->pw_dir;
  return fallback;
}

FileContents ReadRegularFile(const std::string& path, std::size_t max_size) {
  if (::getauxval(AT_SECURE) != 0) {
    return ReadUsersOwnFile(path, max_size);
  }
  // O_NONBLOCK keeps open() from waiting for a writer when the path names a FIFO.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    return OpenFailed(path);
  }
  FileContents contents = ReadOpenFile(fd, max_size);
  ::close(fd);
  return contents;
}

PathType TypeOfPath(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    return PathType{.type = std::nullopt, .error = LastError()};
  }
  return PathType{.type = TypeOf(status.st_mode), .error = {}};
}

bool IsAbsolutePath(std::string_view path) { return !path.empty() && path.front() == '/'; }

void WriteDiagnosticLine(std::string_view line) noexcept {
  // One write for the line and its end.
  std::array<char, PIPE_BUF> buffer;
  if (line.size() >= buffer.size()) {
    return;
  }
  std::memcpy(buffer.data(), line.data(), line.size());
  buffer[line.size()] = '\n';
  WriteToStandardError(std::string_view(buffer.data(), line.size() + 1));
}

}  // namespace openvr_api::platform
