/*
 * A stand-in openvr_api library whose answer is scripted through the environment, so that
 * the tool can be run against any answer a library might give. Plain C, exporting the one
 * function by name, as any other build of the library would.
 *
 *   STAND_IN_RESULT         "1" to return true; anything else returns false
 *   STAND_IN_REQUIRED_SIZE  decimal value stored through required_size (untouched if unset)
 *   STAND_IN_FILL           byte, as two hex digits, written over the whole buffer first
 *   STAND_IN_TEXT_HEX       bytes, in hex, written at the start of the buffer (no NUL added)
 *   STAND_IN_CALL_LOG       file that receives one line per call: the buffer size, and
 *                           whether the buffer was all zero bytes when the call began
 */
#include <stdbool.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#if defined(_WIN32)
#define STAND_IN_EXPORT __declspec(dllexport)
#else
#define STAND_IN_EXPORT __attribute__((visibility("default")))
#endif

static int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

static int HexByte(const char* hex) {
  const int high = HexDigit(hex[0]);
  const int low = high < 0 ? -1 : HexDigit(hex[1]);
  return low < 0 ? -1 : high * 16 + low;
}

static bool IsAllZero(const char* buffer, uint32_t size) {
  for (uint32_t i = 0; i < size; ++i) {
    if (buffer[i] != 0) return false;
  }
  return true;
}

static void LogCall(const char* buffer, uint32_t buffer_size) {
  const char* log_path = getenv("STAND_IN_CALL_LOG");
  if (log_path == NULL) return;
  FILE* log = fopen(log_path, "a");
  if (log == NULL) return;
  fprintf(log, "buffer_size=%lu zero_filled=%d\n", (unsigned long)buffer_size,
          buffer != NULL && IsAllZero(buffer, buffer_size));
  fclose(log);
}

STAND_IN_EXPORT bool VR_GetRuntimePath(char* buffer, uint32_t buffer_size,
                                       uint32_t* required_size) {
  LogCall(buffer, buffer_size);

  const char* fill = getenv("STAND_IN_FILL");
  if (fill != NULL && buffer != NULL && HexByte(fill) >= 0) {
    memset(buffer, HexByte(fill), buffer_size);
  }
  const char* text = getenv("STAND_IN_TEXT_HEX");
  if (text != NULL && buffer != NULL) {
    for (uint32_t i = 0; i < buffer_size && HexByte(text + 2 * i) >= 0; ++i) {
      buffer[i] = (char)HexByte(text + 2 * i);
    }
  }
  const char* required = getenv("STAND_IN_REQUIRED_SIZE");
  if (required != NULL && required_size != NULL) {
    *required_size = (uint32_t)strtoul(required, NULL, 10);
  }
  const char* result = getenv("STAND_IN_RESULT");
  return result != NULL && strcmp(result, "1") == 0;
}
