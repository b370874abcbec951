#include <windows.h>
// windows.h first: the shell headers depend on it.
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "platform.h"
#include "read_to_end.h"

namespace openvr_api::platform {
namespace {

using UniqueHandle = std::unique_ptr<void, decltype(&::CloseHandle)>;

SystemError LastError() { return SystemError{::GetLastError()}; }

UniqueHandle OwnHandle(HANDLE handle) {
  return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle, &::CloseHandle);
}

// Text that is not valid UTF-16 (an unpaired surrogate) keeps its place as U+FFFD, so that such
// a value is never mistaken for an unset or empty one.
std::optional<std::string> ToUtf8(std::wstring_view text) {
  if (text.empty()) {
    return std::string();
  }
  if (text.size() > INT_MAX) {
    return std::nullopt;
  }
  const int length = static_cast<int>(text.size());
  const int size =
      ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) {
    return std::nullopt;
  }
  std::string utf8(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

std::optional<std::wstring> ToWide(std::string_view utf8) {
  if (utf8.empty()) {
    return std::wstring();
  }
  if (utf8.size() > INT_MAX) {
    return std::nullopt;
  }
  const int length = static_cast<int>(utf8.size());
  const int size =
      ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
  if (size <= 0) {
    return std::nullopt;
  }
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), size);
  return wide;
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The \\?\ form of a path, which file functions take at any length, whatever MAX_PATH and
// the process's manifest say. It must be a full path with backslashes only, which
// GetFullPathNameW makes of any other form.
std::optional<std::wstring> ExtendedLengthPath(const std::string& path) {
  ::SetLastError(ERROR_SUCCESS);
  const std::optional<std::wstring> wide_path = ToWide(path);
  if (!wide_path) {
    return std::nullopt;
  }
  if (StartsWith(*wide_path, LR"(\\?\)") || StartsWith(*wide_path, LR"(\\.\)")) {
    return wide_path;
  }
  std::wstring full_path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetFullPathNameW(
        wide_path->c_str(), static_cast<DWORD>(full_path.size()), full_path.data(), nullptr);
    if (length == 0) {
      return std::nullopt;
    }
    if (length < full_path.size()) {
      full_path.resize(length);
      break;
    }
    full_path.resize(length);  // the size needed, its terminating NUL included
  }
  if (StartsWith(full_path, LR"(\\)")) {
    return LR"(\\?\UNC\)" + full_path.substr(2);
  }
  return LR"(\\?\)" + full_path;
}

// Opens a file or directory for reading its attributes and contents; symbolic links and
// other reparse points are followed.
UniqueHandle OpenExisting(const std::string& path, DWORD access, DWORD flags) {
  const std::optional<std::wstring> wide_path = ExtendedLengthPath(path);
  if (!wide_path) {
    if (::GetLastError() == ERROR_SUCCESS) {
      ::SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    }
    return OwnHandle(INVALID_HANDLE_VALUE);
  }
  return OwnHandle(::CreateFileW(wide_path->c_str(), access,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, flags, nullptr));
}

// Converts a function's address found at run time to its type.
template <typename Function>
Function* FunctionAt(FARPROC address) {
  return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(address));
}

// The shell's known folder for local application data. It is only needed when LOCALAPPDATA
// is missing, so the shell's DLLs are loaded then, from the system folder only, instead of at
// every start; they stay loaded, as unloading the shell is not safe while it may run threads.
FallbackFolder KnownLocalAppDataFolder() {
  FallbackFolder fallback{.base = std::nullopt,
                          .subfolder = "",
                          .source = "the known folder for local application data",
                          .error = {}};
  const HMODULE shell = ::LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (shell == nullptr) {
    fallback.error = LastError();
    return fallback;
  }
  const HMODULE com = ::LoadLibraryExW(L"ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (com == nullptr) {
    fallback.error = LastError();
    return fallback;
  }
  const auto get_known_folder_path =
      FunctionAt<decltype(::SHGetKnownFolderPath)>(::GetProcAddress(shell, "SHGetKnownFolderPath"));
  if (get_known_folder_path == nullptr) {
    fallback.error = LastError();
    return fallback;
  }
  const auto free_task_memory =
      FunctionAt<decltype(::CoTaskMemFree)>(::GetProcAddress(com, "CoTaskMemFree"));
  if (free_task_memory == nullptr) {
    fallback.error = LastError();
    return fallback;
  }
  PWSTR folder = nullptr;
  const HRESULT result =
      get_known_folder_path(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &folder);
  if (SUCCEEDED(result)) {
    fallback.base = ToUtf8(folder);
  } else {
    fallback.error = SystemError{static_cast<unsigned long>(result)};
  }
  free_task_memory(folder);
  return fallback;
}

FileType TypeOfOpenFile(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (::GetFileInformationByHandle(file, &information) &&
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return FileType::kDirectory;
  }
  switch (::GetFileType(file)) {
    case FILE_TYPE_DISK:
      return FileType::kRegularFile;
    case FILE_TYPE_CHAR:
      return FileType::kCharacterDevice;
    case FILE_TYPE_PIPE:
      return FileType::kNamedPipe;
    default:
      return FileType::kOther;
  }
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Writes to the console as text, so that it shows whatever the console's code page; elsewhere
// (a file, a pipe) as UTF-8 bytes.
void WriteToStandardError(std::string_view utf8_line) {
  const HANDLE standard_error = ::GetStdHandle(STD_ERROR_HANDLE);
  if (standard_error == nullptr || standard_error == INVALID_HANDLE_VALUE) {
    return;
  }
  DWORD mode = 0;
  if (::GetConsoleMode(standard_error, &mode)) {
    if (const std::optional<std::wstring> wide = ToWide(utf8_line)) {
      DWORD written = 0;
      ::WriteConsoleW(standard_error, wide->data(), static_cast<DWORD>(wide->size()), &written,
                      nullptr);
    }
    return;
  }
  DWORD written = 0;
  ::WriteFile(standard_error, utf8_line.data(), static_cast<DWORD>(utf8_line.size()), &written,
              nullptr);
}

constexpr std::array<ConfigFolderVariable, 1> kConfigFolderVariables{{{"LOCALAPPDATA", ""}}};

}  // namespace

std::string DescribeSystemError(SystemError error) {
  PWSTR text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error.code), 0, reinterpret_cast<PWSTR>(&text), 0, nullptr);
  std::optional<std::string> description;
  if (length != 0) {
    std::wstring_view message(text, length);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' ||
                                message.back() == L' ' || message.back() == L'.')) {
      message.remove_suffix(1);
    }
    description = ToUtf8(message);
  }
  ::LocalFree(text);
  if (!description || description->empty()) {
    // HRESULTs read best in hexadecimal, the system's error codes in decimal.
    char code[32];
    std::snprintf(code, sizeof code, error.code > 0xffff ? "error 0x%08lx" : "error %lu",
                  error.code);
    return code;
  }
  return *description;
}

// Variables are honoured in an elevated process too. Windows does not treat elevation within one
// user as a security boundary: the elevated process belongs to the same user, who also set its
// environment. (Wine, moreover, reports every process as elevated, so a rule keyed to elevation
// would ignore VR_OVERRIDE there for everybody.)
std::optional<std::string> EnvironmentVariable(const char* name) {
  const std::optional<std::wstring> wide_name = ToWide(name);
  if (!wide_name) {
    return std::nullopt;
  }
  std::wstring value;
  DWORD size = ::GetEnvironmentVariableW(wide_name->c_str(), nullptr, 0);
  for (;;) {
    if (size == 0) {
      return std::nullopt;
    }
    value.resize(size);
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length = ::GetEnvironmentVariableW(wide_name->c_str(), value.data(), size);
    if (length == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
      return std::nullopt;
    }
    if (length < size) {
      value.resize(length);
      return ToUtf8(value);
    }
    // The variable grew since its size was asked for: try again with the new size.
    size = length;
  }
}

std::span<const ConfigFolderVariable> ConfigFolderVariables() { return kConfigFolderVariables; }

FallbackFolder FallbackConfigFolder() { return KnownLocalAppDataFolder(); }

FileContents ReadRegularFile(const std::string& path, std::size_t max_size) {
  const UniqueHandle file = OpenExisting(path, GENERIC_READ, FILE_ATTRIBUTE_NORMAL);
  if (!file) {
    const SystemError error = LastError();
    return OpenFailure(path, error,
                       error.code == ERROR_FILE_NOT_FOUND || error.code == ERROR_PATH_NOT_FOUND);
  }
  // Only files on disk: a named pipe or a device could block or never end.
  const FileType type = TypeOfOpenFile(file.get());
  BY_HANDLE_FILE_INFORMATION information{};
  if (type != FileType::kRegularFile) {
    return FileContents::NotRegularFile(type);
  }
  if (!::GetFileInformationByHandle(file.get(), &information)) {
    return FileContents::Failure(FileContents::Status::kUnreadable, LastError());
  }
  const ULONGLONG file_size =
      (static_cast<ULONGLONG>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
  DWORD read_error = ERROR_SUCCESS;
  FileContents contents =
      ReadToEnd(file_size, max_size, [&file, &read_error](char* destination, std::size_t capacity) {
        DWORD count = 0;
        const DWORD chunk = capacity > MAXDWORD ? MAXDWORD : static_cast<DWORD>(capacity);
        if (!::ReadFile(file.get(), destination, chunk, &count, nullptr)) {
          read_error = ::GetLastError();
          return -1LL;
        }
        return static_cast<long long>(count);
      });
  contents.error = SystemError{read_error};
  return contents;
}

bool IsAbsolutePath(std::string_view path) {
  // X:\... and \\server\share\... (\\?\... and \\.\... among them), a server and a share named;
  // "X:folder" and "\folder" depend on the current drive or its working directory.
  if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) {
    return true;
  }
  if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) {
    return false;
  }
  const std::string_view server_and_share = path.substr(2);
  const std::size_t server_end = server_and_share.find_first_of("\\/");
  return server_end != 0 && server_end != std::string_view::npos &&
         server_end + 1 < server_and_share.size() && !IsSeparator(server_and_share[server_end + 1]);
}

PathType TypeOfPath(const std::string& path) {
  // FILE_FLAG_BACKUP_SEMANTICS is needed to open a directory; access 0 asks for attributes only.
  const UniqueHandle handle = OpenExisting(path, 0, FILE_FLAG_BACKUP_SEMANTICS);
  if (!handle) {
    return PathType{.type = std::nullopt, .error = LastError()};
  }
  return PathType{.type = TypeOfOpenFile(handle.get()), .error = {}};
}

// Standard error for a console or whoever reads the process's output, and the debugger for
// programs that have neither.
void WriteDiagnosticLine(std::string_view line) noexcept {
  try {
    std::string line_with_end(line);
    line_with_end += "\r\n";
    WriteToStandardError(line_with_end);
    line_with_end.erase(line.size());
    line_with_end += '\n';
    if (const std::optional<std::wstring> wide = ToWide(line_with_end)) {
      ::OutputDebugStringW(wide->c_str());
    }
  } catch (...) {
    // Out of memory: the line is lost, nothing else.
  }
}

}  // namespace openvr_api::platform
