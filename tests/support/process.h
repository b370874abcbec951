// Runs a program as a child process with a controlled environment and standard output.
#ifndef VR_RUNTIME_PATH_TESTS_PROCESS_H
#define VR_RUNTIME_PATH_TESTS_PROCESS_H

#include <map>
#include <string>
#include <vector>

// Where the child's standard output or standard error goes.
enum class OutputStream {
  kCaptured,    // collected into ProcessResult
  kFullDevice,  // /dev/full: every write fails for lack of space
  kClosed,      // the descriptor is not open
  kBrokenPipe,  // a pipe whose reading end is already closed
  kFullPipe,    // a pipe that is full and that nobody reads until the child has ended
  kDeafSocket,  // a socket whose other end takes nothing more: a write raises SIGPIPE
};

struct ProcessOptions {
  std::vector<std::string> arguments = {};
  // The child's whole environment, apart from a few variables that only configure the test
  // machinery (PATH and the sanitizers' options).
  std::map<std::string, std::string> environment = {};
  OutputStream standard_output = OutputStream::kCaptured;
  OutputStream standard_error = OutputStream::kCaptured;
  // The child's working directory; empty for the test's own.
  std::string working_directory = {};
  // Start the child with SIGPIPE ignored, so that a broken pipe shows up as a failed write.
  bool ignore_sigpipe = false;
};

struct ProcessResult {
  std::string standard_output;  // when captured
  std::string standard_error;   // when captured
  int exit_status = -1;         // -1 when the process was killed by a signal
  int signal = 0;               // the signal that ended the process, or 0
};

ProcessResult RunProcess(const std::string& program, const ProcessOptions& options);

#endif  // VR_RUNTIME_PATH_TESTS_PROCESS_H
