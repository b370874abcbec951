// The few operating-system services that runtime discovery needs. Each platform implements
// them in one file of its own; everything else in the library is shared.
#ifndef OPENVR_API_PLATFORM_H
#define OPENVR_API_PLATFORM_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace openvr_api::platform {

#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The value of an environment variable as UTF-8, or nullopt when it is unset or cannot be
// represented.
std::optional<std::string> EnvironmentVariable(const char* name);

// The folder that holds the current user's per-application settings, or nullopt when it
// cannot be determined.
std::optional<std::string> UserConfigFolder();

// The contents of the regular file at path, or nullopt when it is not a regular file, cannot
// be read, or holds more than max_size bytes.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t max_size);

// Whether path is absolute, so that its meaning does not depend on the working directory.
bool IsAbsolutePath(std::string_view path);

// Whether path names an existing directory, following symbolic links.
bool IsExistingDirectory(const std::string& path);

}  // namespace openvr_api::platform

#endif  // OPENVR_API_PLATFORM_H
