#ifndef VR_RUNTIME_PATH_FIND_RUNTIME_PATH_H
#define VR_RUNTIME_PATH_FIND_RUNTIME_PATH_H

// Asks the OpenVR API library once for the runtime path. Returns the path as NUL-terminated
// text, valid until the next call, or nullptr when the library reports no usable path.
// Not safe to call from two threads at once: every call reuses one buffer.
const char* FindRuntimePath();

#endif  // VR_RUNTIME_PATH_FIND_RUNTIME_PATH_H
