#include "captured_standard_error.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "read_all.h"

CapturedStandardError::CapturedStandardError()
    : capture_(std::tmpfile()), saved_descriptor_(::dup(STDERR_FILENO)) {
  std::fflush(stderr);
  if (capture_ == nullptr || saved_descriptor_ < 0 ||
      ::dup2(::fileno(capture_), STDERR_FILENO) < 0) {
    ADD_FAILURE() << "cannot capture standard error";
  }
}

CapturedStandardError::~CapturedStandardError() {
  Take();
  if (capture_ != nullptr) {
    std::fclose(capture_);
  }
}

std::string CapturedStandardError::Take() {
  if (saved_descriptor_ < 0 || capture_ == nullptr) {
    return {};
  }
  std::fflush(stderr);
  ::dup2(saved_descriptor_, STDERR_FILENO);
  ::close(saved_descriptor_);
  saved_descriptor_ = -1;

  return ReadAll(capture_);
}
