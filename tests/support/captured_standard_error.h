// Collects what the test process itself writes to standard error (descriptor 2) meanwhile.
#ifndef VR_RUNTIME_PATH_TESTS_CAPTURED_STANDARD_ERROR_H
#define VR_RUNTIME_PATH_TESTS_CAPTURED_STANDARD_ERROR_H

#include <cstdio>
#include <string>

class CapturedStandardError {
 public:
  CapturedStandardError();
  ~CapturedStandardError();
  CapturedStandardError(const CapturedStandardError&) = delete;
  CapturedStandardError& operator=(const CapturedStandardError&) = delete;

  // Puts standard error back and returns what was written to it since construction.
  std::string Take();

 private:
  std::FILE* capture_;
  int saved_descriptor_;
};

#endif  // VR_RUNTIME_PATH_TESTS_CAPTURED_STANDARD_ERROR_H
