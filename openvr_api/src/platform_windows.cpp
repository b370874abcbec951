#include <windows.h>
// windows.h first: the shell headers depend on it.
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>

#include "platform.h"
#include "read_to_end.h"

namespace openvr_api::platform {
namespace {

using UniqueHandle = std::unique_ptr<void, decltype(&::CloseHandle)>;

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
std::optional<std::string> KnownLocalAppDataFolder() {
  const HMODULE shell = ::LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  const HMODULE com = ::LoadLibraryExW(L"ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (shell == nullptr || com == nullptr) {
    return std::nullopt;
  }
  const auto get_known_folder_path =
      FunctionAt<decltype(::SHGetKnownFolderPath)>(::GetProcAddress(shell, "SHGetKnownFolderPath"));
  const auto free_task_memory =
      FunctionAt<decltype(::CoTaskMemFree)>(::GetProcAddress(com, "CoTaskMemFree"));
  if (get_known_folder_path == nullptr || free_task_memory == nullptr) {
    return std::nullopt;
  }
  PWSTR folder = nullptr;
  std::optional<std::string> utf8_folder;
  if (SUCCEEDED(get_known_folder_path(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &folder))) {
    utf8_folder = ToUtf8(folder);
  }
  free_task_memory(folder);
  return utf8_folder;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

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

std::optional<std::string> UserConfigFolder() {
  if (auto local_app_data = EnvironmentVariable("LOCALAPPDATA");
      local_app_data && IsAbsolutePath(*local_app_data)) {
    return local_app_data;
  }
  return KnownLocalAppDataFolder();
}

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t max_size) {
  const UniqueHandle file = OpenExisting(path, GENERIC_READ, FILE_ATTRIBUTE_NORMAL);
  BY_HANDLE_FILE_INFORMATION information{};
  // Only files on disk: a named pipe or a device could block or never end.
  if (!file || ::GetFileType(file.get()) != FILE_TYPE_DISK ||
      !::GetFileInformationByHandle(file.get(), &information) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  const ULONGLONG file_size =
      (static_cast<ULONGLONG>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
  return ReadToEnd(static_cast<std::size_t>(std::min<ULONGLONG>(file_size, SIZE_MAX)), max_size,
                   [&file](char* destination, std::size_t capacity) -> long long {
                     DWORD count = 0;
                     const DWORD chunk =
                         capacity > MAXDWORD ? MAXDWORD : static_cast<DWORD>(capacity);
                     if (!::ReadFile(file.get(), destination, chunk, &count, nullptr)) {
                       return -1;
                     }
                     return count;
                   });
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

bool IsExistingDirectory(const std::string& path) {
  // FILE_FLAG_BACKUP_SEMANTICS is needed to open a directory; access 0 asks for attributes only.
  const UniqueHandle handle = OpenExisting(path, 0, FILE_FLAG_BACKUP_SEMANTICS);
  BY_HANDLE_FILE_INFORMATION information{};
  return handle && ::GetFileInformationByHandle(handle.get(), &information) &&
         (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace openvr_api::platform
