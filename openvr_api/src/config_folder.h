// Which folder holds the current user's per-application settings.
#ifndef OPENVR_API_CONFIG_FOLDER_H
#define OPENVR_API_CONFIG_FOLDER_H

#include <optional>
#include <string>

#include "trace.h"

namespace openvr_api {

// The first of the platform's variables that names an absolute folder, else the platform's
// fallback; nullopt when there is none. An empty or relative value is passed over: a relative
// one would make the answer depend on the working directory.
std::optional<std::string> UserConfigFolder(const Trace& trace);

}  // namespace openvr_api

#endif  // OPENVR_API_CONFIG_FOLDER_H
