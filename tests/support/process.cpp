#include "process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "emulator.h"
#include "read_all.h"

namespace {

using File = std::unique_ptr<FILE, decltype(&std::fclose)>;

std::vector<std::string> ChildEnvironment(const std::map<std::string, std::string>& wanted) {
  std::vector<std::string> entries;
  for (const char* name : {"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
    if (const char* value = std::getenv(name); value != nullptr && !wanted.contains(name)) {
      entries.push_back(std::string(name) + "=" + value);
    }
  }
  for (const auto& [name, value] : wanted) {
    entries.push_back(name + "=" + value);
  }
  return entries;
}

std::vector<char*> NullTerminated(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& text : strings) {
    pointers.push_back(text.data());
  }
  pointers.push_back(nullptr);
  return pointers;
}

// Pipes and sockets made for the child, whose ends the parent closes once the child has ended.
class Pipes {
 public:
  Pipes() = default;
  ~Pipes() {
    for (const int end : ends_) {
      ::close(end);
    }
  }
  Pipes(const Pipes&) = delete;
  Pipes& operator=(const Pipes&) = delete;

  // A connected socket whose peer has shut down reading; returns the child's end, or -1.
  int MakeDeafSocket() {
    int ends[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
      return -1;
    }
    ends_.push_back(ends[0]);
    ends_.push_back(ends[1]);
    ::shutdown(ends[1], SHUT_RD);
    return ends[0];
  }

  // A pipe whose reading end is closed (broken) or that holds all it can (full); returns its
  // writing end, or -1.
  int Make(bool full) {
    int pipe_ends[2] = {-1, -1};
    if (::pipe2(pipe_ends, O_CLOEXEC) != 0) {
      return -1;
    }
    ends_.push_back(pipe_ends[1]);
    if (!full) {
      ::close(pipe_ends[0]);
      return pipe_ends[1];
    }
    ends_.push_back(pipe_ends[0]);
    const int flags = ::fcntl(pipe_ends[1], F_GETFL);
    ::fcntl(pipe_ends[1], F_SETFL, flags | O_NONBLOCK);
    const char filler[4096] = {};
    while (::write(pipe_ends[1], filler, sizeof filler) > 0 ||
           ::write(pipe_ends[1], filler, 1) > 0) {
    }
    // The child gets a pipe that blocks, as an inherited one would.
    ::fcntl(pipe_ends[1], F_SETFL, flags);
    return pipe_ends[1];
  }

 private:
  std::vector<int> ends_;
};

// Points the child's descriptor at the target; false when that cannot be set up.
bool Redirect(posix_spawn_file_actions_t& actions, int descriptor, OutputStream target,
              FILE* capture, Pipes& pipes) {
  switch (target) {
    case OutputStream::kCaptured:
      return posix_spawn_file_actions_adddup2(&actions, fileno(capture), descriptor) == 0;
    case OutputStream::kFullDevice:
      return posix_spawn_file_actions_addopen(&actions, descriptor, "/dev/full", O_WRONLY, 0) == 0;
    case OutputStream::kClosed:
      return posix_spawn_file_actions_addclose(&actions, descriptor) == 0;
    case OutputStream::kDeafSocket: {
      const int socket_end = pipes.MakeDeafSocket();
      return socket_end >= 0 &&
             posix_spawn_file_actions_adddup2(&actions, socket_end, descriptor) == 0;
    }
    case OutputStream::kBrokenPipe:
    case OutputStream::kFullPipe:
      break;
  }
  const int pipe_end = pipes.Make(target == OutputStream::kFullPipe);
  return pipe_end >= 0 && posix_spawn_file_actions_adddup2(&actions, pipe_end, descriptor) == 0;
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const ProcessOptions& options) {
  ProcessResult result;
  const File captured_output(std::tmpfile(), &std::fclose);
  const File captured_error(std::tmpfile(), &std::fclose);
  if (!captured_output || !captured_error) {
    ADD_FAILURE() << "cannot create capture files";
    return result;
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  Pipes pipes;
  if (!Redirect(actions, STDOUT_FILENO, options.standard_output, captured_output.get(), pipes) ||
      !Redirect(actions, STDERR_FILENO, options.standard_error, captured_error.get(), pipes)) {
    ADD_FAILURE() << "cannot set up the child's output";
    posix_spawn_file_actions_destroy(&actions);
    return result;
  }
  if (!options.working_directory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, options.working_directory.c_str());
  }

  // The child starts with SIGPIPE either at its default or ignored, whatever the test
  // process itself does with it.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t default_signals;
  sigemptyset(&default_signals);
  struct sigaction previous_sigpipe {};
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, &previous_sigpipe);
  if (!options.ignore_sigpipe) {
    sigaddset(&default_signals, SIGPIPE);
  }
  posix_spawnattr_setsigdefault(&attributes, &default_signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  // A program built for another machine is started through the emulator.
  std::vector<std::string> argument_strings = kEmulator;
  argument_strings.push_back(program);
  argument_strings.insert(argument_strings.end(), options.arguments.begin(),
                          options.arguments.end());
  std::vector<std::string> environment_strings = ChildEnvironment(options.environment);
  const std::vector<char*> argv = NullTerminated(argument_strings);
  const std::vector<char*> envp = NullTerminated(environment_strings);

  pid_t child = 0;
  const int spawn_error =
      ::posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), envp.data());
  ::sigaction(SIGPIPE, &previous_sigpipe, nullptr);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (spawn_error != 0) {
    ADD_FAILURE() << "cannot start " << program << ": " << std::strerror(spawn_error);
    return result;
  }

  int status = 0;
  pid_t waited = 0;
  while ((waited = ::waitpid(child, &status, 0)) < 0 && errno == EINTR) {
  }
  if (waited != child) {
    ADD_FAILURE() << "cannot wait for " << program << ": " << std::strerror(errno);
    return result;
  }
  if (WIFEXITED(status)) {
    result.exit_status = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
  }
  result.standard_output = ReadAll(captured_output.get());
  result.standard_error = ReadAll(captured_error.get());
  return result;
}
