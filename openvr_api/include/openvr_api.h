/* Public interface of the openvr_api library: where the OpenVR runtime is installed. */
#ifndef OPENVR_API_H
#define OPENVR_API_H

#include <stdbool.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(OPENVR_API_BUILDING)
#define OPENVR_API_EXPORT __declspec(dllexport)
#else
#define OPENVR_API_EXPORT __declspec(dllimport)
#endif
#elif defined(OPENVR_API_BUILDING)
#define OPENVR_API_EXPORT __attribute__((visibility("default")))
#else
#define OPENVR_API_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Finds the OpenVR runtime registered for the current user.
 *
 * On success returns true and stores the path's length in bytes plus one (room for its NUL)
 * in *required_size, unless required_size is null. The path and its NUL are copied into
 * buffer only when they fit in buffer_size bytes; when they do not, an empty string is
 * written instead, never a truncated path. A null buffer or a buffer_size of 0 only asks for
 * the size.
 *
 * On failure (no runtime registered, or the registered path is not an existing absolute
 * directory) returns false and writes to neither buffer nor *required_size.
 *
 * The path is UTF-8. The function is safe to call from several threads at once.
 */
OPENVR_API_EXPORT bool VR_GetRuntimePath(char* buffer, uint32_t buffer_size,
                                         uint32_t* required_size);

#ifdef __cplusplus
}
#endif

#endif /* OPENVR_API_H */
