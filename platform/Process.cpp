#include "platform/Process.h"

#ifndef _WIN32

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <thread>
#include <vector>

#include "platform/CommandLine.h"
#include "platform/WinPath.h"

namespace platform {

namespace {

bool IsWindowsExecutable(const std::string& host) {
  char magic[2] = {0, 0};
  FILE* f = std::fopen(host.c_str(), "rb");
  if (!f) return false;
  size_t n = std::fread(magic, 1, 2, f);
  std::fclose(f);
  return n == 2 && magic[0] == 'M' && magic[1] == 'Z';
}

// argv for the resolved command: Windows programs run through wine.
std::vector<std::string> ArgumentVector(const ResolvedCommand& command) {
  std::vector<std::string> argv;
  if (IsWindowsExecutable(command.Program)) argv.push_back("wine");
  argv.push_back(command.Program);
  argv.insert(argv.end(), command.Arguments.begin(), command.Arguments.end());
  return argv;
}

// Reaps a child without blocking the caller: at once when it has already
// ended, otherwise from a small detached thread when it does.
void Reap(pid_t pid) {
  if (pid <= 0) return;
  if (::waitpid(pid, nullptr, WNOHANG) != 0) return;
  std::thread([pid] { while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {} }).detach();
}

// Forks and execs. In the child only async-signal-safe calls are made.
pid_t Spawn(const std::vector<std::string>& args, const std::string& hostFolder, int in, int out, int err) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = ::fork();
  if (pid != 0) return pid;
  ::dup2(in, 0);
  ::dup2(out, 1);
  ::dup2(err, 2);
  ::signal(SIGPIPE, SIG_DFL);
  if (!hostFolder.empty() && ::chdir(hostFolder.c_str()) != 0) ::_exit(127);
  ::execvp(argv[0], argv.data());
  ::_exit(127);
}

}  // namespace

struct ConsoleProcess::State {
  int readEnd = -1;
  int inputWriteEnd = -1;
  pid_t pid = -1;
};

ConsoleProcess::ConsoleProcess() : state_(std::make_unique<State>()) {}

ConsoleProcess::~ConsoleProcess() {
  if (state_->readEnd >= 0) ::close(state_->readEnd);
  if (state_->inputWriteEnd >= 0) ::close(state_->inputWriteEnd);
  Reap(state_->pid);
}

bool ConsoleProcess::Start(const std::string& commandLine, const std::string& workingFolder) {
  std::optional<ResolvedCommand> command = ResolveCommandLine(commandLine, &FindProgram);
  if (!command) return false;
  std::string folder = workingFolder.empty() ? std::string() : ToHostPath(workingFolder);
  int output[2];
  int input[2];
  if (::pipe2(output, O_CLOEXEC) != 0) return false;
  if (::pipe2(input, O_CLOEXEC) != 0) {
    ::close(output[0]);
    ::close(output[1]);
    return false;
  }
  pid_t pid = Spawn(ArgumentVector(*command), folder, input[0], output[1], output[1]);
  ::close(output[1]);
  ::close(input[0]);
  state_->readEnd = output[0];
  state_->inputWriteEnd = input[1];
  state_->pid = pid;
  return pid > 0;
}

ConsoleProcess::ReadResult ConsoleProcess::Read(char* buffer, size_t size) {
  if (state_->readEnd < 0) return {0, ReadStatus::BrokenPipe};
  for (;;) {
    ssize_t n = ::read(state_->readEnd, buffer, size);
    if (n > 0) return {static_cast<size_t>(n), ReadStatus::Data};
    if (n == 0) return {0, ReadStatus::BrokenPipe};
    if (errno != EINTR) return {0, ReadStatus::Failed};
  }
}

bool StartHidden(const std::string& commandLine) {
  std::optional<ResolvedCommand> command = ResolveCommandLine(commandLine, &FindProgram);
  if (!command) return false;
  int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  if (null < 0) return false;
  pid_t pid = Spawn(ArgumentVector(*command), std::string(), null, null, null);
  ::close(null);
  Reap(pid);
  return pid > 0;
}

}  // namespace platform

#endif
