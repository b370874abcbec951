// Finding the runtime that the current user has registered.
#ifndef OPENVR_API_RUNTIME_DISCOVERY_H
#define OPENVR_API_RUNTIME_DISCOVERY_H

#include <optional>
#include <string>

#include "trace.h"

namespace openvr_api {

// The runtime's path: VR_OVERRIDE when it is set and not empty, else the first runtime in the
// user's registry file. The path is returned as written, and only when it is absolute and
// names an existing directory; otherwise nullopt. Every step goes on the trace.
std::optional<std::string> FindRuntime(const Trace& trace);

}  // namespace openvr_api

#endif  // OPENVR_API_RUNTIME_DISCOVERY_H
