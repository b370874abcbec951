/* The benchmark floor's library: the same function and contract as ours, answering a constant. */
#include <string.h>

#include "openvr_api.h"

bool VR_GetRuntimePath(char* buffer, uint32_t buffer_size, uint32_t* required_size) {
  static const char kPath[] = "/opt/vr/runtime";
  if (required_size != NULL) {
    *required_size = sizeof kPath;
  }
  if (buffer != NULL && buffer_size != 0) {
    if (buffer_size >= sizeof kPath) {
      memcpy(buffer, kPath, sizeof kPath);
    } else {
      buffer[0] = '\0';
    }
  }
  return true;
}
