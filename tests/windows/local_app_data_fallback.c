/*
 * Asks our openvr_api.dll for the runtime with LOCALAPPDATA removed from the environment, so
 * that the library falls back to the shell's known folder for local application data. Prints
 * the path and exits with 0, or exits with 1 when there is none.
 */
#include <stdio.h>
#include <windows.h>

#include "openvr_api.h"

int main(void) {
  char buffer[1024];
  uint32_t required_size = 0;
  SetEnvironmentVariableW(L"LOCALAPPDATA", NULL);
  if (!VR_GetRuntimePath(buffer, sizeof buffer, &required_size)) {
    return 1;
  }
  puts(buffer);
  return 0;
}
