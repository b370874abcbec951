#include "process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

using File = std::unique_ptr<FILE, decltype(&std::fclose)>;

std::string ReadAll(FILE* file) {
  std::rewind(file);
  std::string contents;
  char chunk[4096];
  size_t count = 0;
  while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    contents.append(chunk, count);
  }
  return contents;
}

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
  int pipe_ends[2] = {-1, -1};
  switch (options.standard_output) {
    case StandardOutput::kCaptured:
      posix_spawn_file_actions_adddup2(&actions, fileno(captured_output.get()), STDOUT_FILENO);
      break;
    case StandardOutput::kFullDevice:
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/full", O_WRONLY, 0);
      break;
    case StandardOutput::kClosed:
      posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
      break;
    case StandardOutput::kBrokenPipe:
      if (::pipe2(pipe_ends, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "cannot create a pipe";
        return result;
      }
      ::close(pipe_ends[0]);
      posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
      break;
  }
  posix_spawn_file_actions_adddup2(&actions, fileno(captured_error.get()), STDERR_FILENO);
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

  std::vector<std::string> argument_strings{program};
  argument_strings.insert(argument_strings.end(), options.arguments.begin(),
                          options.arguments.end());
  std::vector<std::string> environment_strings = ChildEnvironment(options.environment);
  const std::vector<char*> argv = NullTerminated(argument_strings);
  const std::vector<char*> envp = NullTerminated(environment_strings);

  pid_t child = 0;
  const int spawn_error =
      ::posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), envp.data());
  ::sigaction(SIGPIPE, &previous_sigpipe, nullptr);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (pipe_ends[1] >= 0) {
    ::close(pipe_ends[1]);
  }
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
