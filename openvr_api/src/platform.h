// The few operating-system services that runtime discovery needs. Each platform implements
// them in one file of its own; everything else in the library is shared.
#ifndef OPENVR_API_PLATFORM_H
#define OPENVR_API_PLATFORM_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace openvr_api::platform {

#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// An error code of the operating system: errno on POSIX, GetLastError() on Windows.
struct SystemError {
  unsigned long code = 0;
};

// The system's own words for an error, as UTF-8, e.g. "No such file or directory".
std::string DescribeSystemError(SystemError error);

// What a path names, symbolic links followed.
enum class FileType {
  kRegularFile,
  kDirectory,
  kNamedPipe,
  kCharacterDevice,
  kBlockDevice,
  kSocket,
  kOther,
};

// The value of an environment variable as UTF-8, or nullopt when it is unset. Where the
// process has more rights than the user who started it (a set-user-ID program, say), the
// environment is not trusted and every variable reads as unset.
std::optional<std::string> EnvironmentVariable(const char* name);

// An environment variable that may name the user's configuration folder; the folder is its
// value followed by subfolder.
struct ConfigFolderVariable {
  const char* name;
  std::string_view subfolder;
};

// Those variables, the first usable one winning.
std::span<const ConfigFolderVariable> ConfigFolderVariables();

// Where the user's configuration folder is when no variable names a usable one: base followed
// by subfolder.
struct FallbackFolder {
  std::optional<std::string> base;
  std::string_view subfolder;
  const char* source;  // where base came from, for the trace
  SystemError error;   // why there is no base; code 0 when the system gave no reason
};
FallbackFolder FallbackConfigFolder();

// Reading a whole regular file of bounded size.
struct FileContents {
  enum class Status {
    kRead,
    kMissing,         // nothing at the path; error says why
    kNotRegularFile,  // type says what is there instead
    kUnreadable,      // error says why
    kTooLarge,        // size is the file's size, or as much as was read of it
  };
  Status status = Status::kRead;
  std::string contents;
  FileType type = FileType::kRegularFile;
  SystemError error;
  std::uint64_t size = 0;

  static FileContents Failure(Status status, SystemError error) {
    FileContents failure;
    failure.status = status;
    failure.error = error;
    return failure;
  }
  static FileContents NotRegularFile(FileType type) {
    FileContents failure;
    failure.status = Status::kNotRegularFile;
    failure.type = type;
    return failure;
  }
};

// The contents of the regular file at path, unless it holds more than max_size bytes. A named
// pipe or a device is never read, so that nothing blocks or never ends.
FileContents ReadRegularFile(const std::string& path, std::size_t max_size);

// What a path names, or why the system could not tell (it does not exist, say).
struct PathType {
  std::optional<FileType> type;
  SystemError error;
};
PathType TypeOfPath(const std::string& path);

// Whether path is absolute, so that its meaning does not depend on the working directory.
bool IsAbsolutePath(std::string_view path);

// Writes one line of diagnostics (without its line end) to the process's standard error, in a
// single write, one thread at a time. A line that cannot be written is dropped: this never
// ends the process by a signal and never fails. On POSIX it never waits for a reader either;
// on Windows a pipe whose reader has stopped reading can hold it up, as any write would.
void WriteDiagnosticLine(std::string_view line) noexcept;

}  // namespace openvr_api::platform

#endif  // OPENVR_API_PLATFORM_H
