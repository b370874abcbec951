/*
 * Asks openvr_api for the runtime path and prints it with a newline: exit status 0, or 1 when
 * there is none, 2 when the line cannot be written. It runs the library in a process of its
 * own, for the tests that need one: a broken standard error, or a set-user-ID copy.
 */
#include <stdio.h>

#include "openvr_api.h"

int main(void) {
  static char buffer[65536];
  if (!VR_GetRuntimePath(buffer, sizeof buffer, NULL)) {
    return 1;
  }
  if (puts(buffer) < 0 || fflush(stdout) != 0) {
    return 2;
  }
  return 0;
}
