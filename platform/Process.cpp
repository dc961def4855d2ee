#include "platform/Process.h"

#ifndef _WIN32

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/CommandLine.h"
#include "platform/ProcessOs.h"
#include "platform/Signals.h"
#include "platform/WinPath.h"

extern char** environ;  // the process's environment, for children

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

// How a resolved command starts: its argument vector, the environment
// (empty: this process's own), or why it cannot start.
struct Launch {
  std::vector<std::string> Argv, Environment;
  std::string Problem;
};

// Windows programs run through wine, in the Wine prefix the drives came
// from (the folder that holds the dosdevices folder), so that the Windows
// paths they are given resolve there as they do here.
Launch Prepare(const ResolvedCommand& command) {
  Launch launch;
  if (IsWindowsExecutable(command.Program)) {
    std::optional<std::string> wine = FindProgram("wine");
    if (!wine) {
      launch.Problem = command.Program + " is a Windows program and needs wine, which is not installed";
      return launch;
    }
    launch.Argv.push_back(*wine);
    const std::string dosdevices = DosDevicesFolder();
    const size_t slash = dosdevices.find_last_of('/');
    if (slash != std::string::npos && dosdevices.substr(slash + 1) == "dosdevices") {
      for (char** variable = environ; *variable; ++variable)
        if (std::string(*variable).rfind("WINEPREFIX=", 0) != 0) launch.Environment.push_back(*variable);
      launch.Environment.push_back("WINEPREFIX=" + (slash == 0 ? std::string("/") : dosdevices.substr(0, slash)));
    }
  }
  launch.Argv.push_back(command.Program);
  launch.Argv.insert(launch.Argv.end(), command.Arguments.begin(), command.Arguments.end());
  return launch;
}

// The children that may still run, as process groups, so that an interrupt
// can end them. Lock-free: the signal handler reads it.
constexpr int MaxChildren = 64;
std::atomic<pid_t> liveChildren[MaxChildren];

void Remember(pid_t pid) {
  for (auto& slot : liveChildren) {
    pid_t empty = 0;
    if (slot.compare_exchange_strong(empty, pid)) return;
  }
}

void Forget(pid_t pid) {
  for (auto& slot : liveChildren) {
    pid_t expected = pid;
    if (slot.compare_exchange_strong(expected, 0)) return;
  }
}

// What the reaper knows of one child. `exited` turns true before the child
// is reaped, under the lock, so a Terminate that sees it false still holds a
// process id that belongs to the child.
struct ChildWatch {
  pid_t pid = -1;
  std::mutex lock;
  bool exited = false;
  ExitStatus status;  // once exited
};

// Reaps a child without blocking the caller, from a small detached thread
// once it ends.
void Reap(const std::shared_ptr<ChildWatch>& watch) {
  if (watch->pid <= 0) return;
  std::thread([watch] {
    RefuseEndingSignals();
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(watch->pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {}
    std::lock_guard<std::mutex> hold(watch->lock);
    watch->exited = true;
    if (info.si_code == CLD_EXITED) watch->status.Code = info.si_status;
    else watch->status.Signal = info.si_status;
    Forget(watch->pid);
    while (::waitpid(watch->pid, nullptr, 0) < 0 && errno == EINTR) {}
  }).detach();
}

std::shared_ptr<ChildWatch> Watch(pid_t pid) {
  auto watch = std::make_shared<ChildWatch>();
  watch->pid = pid;
  if (pid > 0) Remember(pid);
  return watch;
}

// Forks and execs; -1 when the program could not be started (fork, folder or
// exec failed), which the child reports through a pipe that closes on exec,
// with the reason in `error`. The child leads a process group of its own, so
// that it can be ended with everything it started, and on Linux is killed
// when this process dies. In the child only async-signal-safe calls are made.
pid_t Spawn(const Launch& launch, const std::string& hostFolder, int in, int out, int err, int* startError = nullptr) {
  std::vector<char*> argv, envp;
  for (const auto& a : launch.Argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const auto& e : launch.Environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  char** environment = launch.Environment.empty() ? environ : envp.data();
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    if (startError) *startError = errno;
    return -1;
  }
  const pid_t parent = ::getpid();
  pid_t pid = ::fork();
  if (pid == 0) {
#ifdef __linux__
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);  // the parent died before the call
#endif
    ::setpgid(0, 0);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::signal(SIGPIPE, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (hostFolder.empty() || ::chdir(hostFolder.c_str()) == 0) ::execvpe(argv[0], argv.data(), environment);
    int error = errno;
    (void)!::write(report[1], &error, sizeof error);
    ::_exit(127);
  }
  ::close(report[1]);
  if (pid < 0) {
    if (startError) *startError = errno;
    ::close(report[0]);
    return -1;
  }
  ::setpgid(pid, pid);  // also here, so that no kill can come before the child's own call
  int error = 0;
  ssize_t n;
  while ((n = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {}
  ::close(report[0]);
  if (n > 0) {
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {}
    if (startError) *startError = error;
    return -1;
  }
  return pid;
}

class HiddenChild : public StartedProcess {
 public:
  explicit HiddenChild(std::shared_ptr<ChildWatch> watch) : watch_(std::move(watch)) {}
  bool HasExited() const override {
    std::lock_guard<std::mutex> hold(watch_->lock);
    return watch_->exited;
  }
  void Terminate() override {
    std::lock_guard<std::mutex> hold(watch_->lock);
    if (!watch_->exited) ::kill(-watch_->pid, SIGKILL);
  }

 private:
  std::shared_ptr<ChildWatch> watch_;
};

}  // namespace

void EndLiveChildren() {
  for (auto& slot : liveChildren)
    if (pid_t pid = slot.load(); pid > 0) ::kill(-pid, SIGKILL);
}

struct ConsoleProcess::State {
  int readEnd = -1;
  int inputWriteEnd = -1;
  std::shared_ptr<ChildWatch> watch;
  std::string error;
};

ConsoleProcess::ConsoleProcess() : state_(std::make_unique<State>()) {}

ConsoleProcess::~ConsoleProcess() {
  if (state_->readEnd >= 0) ::close(state_->readEnd);
  if (state_->inputWriteEnd >= 0) ::close(state_->inputWriteEnd);
}

bool ConsoleProcess::Start(const std::string& commandLine, const std::string& workingFolder) {
  std::optional<ResolvedCommand> command = ResolveCommandLine(commandLine, &FindProgram);
  if (!command) {
    state_->error = ProgramText(commandLine) + " was not found";
    return false;
  }
  const Launch launch = Prepare(*command);
  if (!launch.Problem.empty()) {
    state_->error = launch.Problem;
    return false;
  }
  std::string folder = workingFolder.empty() ? std::string() : ToHostPath(workingFolder);
  int output[2];
  int input[2];
  if (::pipe2(output, O_CLOEXEC) != 0) return false;
  if (::pipe2(input, O_CLOEXEC) != 0) {
    ::close(output[0]);
    ::close(output[1]);
    return false;
  }
  int startError = 0;
  pid_t pid = Spawn(launch, folder, input[0], output[1], output[1], &startError);
  ::close(output[1]);
  ::close(input[0]);
  ::close(input[1]);  // the child reads end of file
  state_->readEnd = output[0];
  state_->watch = Watch(pid);
  Reap(state_->watch);
  if (pid <= 0) {
    state_->error = command->Program + " could not be started";
    if (startError) state_->error += ": " + std::string(std::strerror(startError));
  }
  return pid > 0;
}

const std::string& ConsoleProcess::StartError() const { return state_->error; }

std::optional<ExitStatus> ConsoleProcess::Exit() const {
  if (!state_->watch || state_->watch->pid <= 0) return std::nullopt;
  std::lock_guard<std::mutex> hold(state_->watch->lock);
  if (!state_->watch->exited) return std::nullopt;
  return state_->watch->status;
}

std::string DescribeExit(const ExitStatus& status) {
  if (status.Signal == 0) return "status " + std::to_string(status.Code);
  std::string text = "signal " + std::to_string(status.Signal);
  if (const char* name = ::sigabbrev_np(status.Signal)) text += std::string(" (SIG") + name + ")";
  return text;
}

bool ConsoleProcess::WaitForData(int milliseconds) {
  if (state_->readEnd < 0) return true;
  pollfd ready{state_->readEnd, POLLIN, 0};
  int n = ::poll(&ready, 1, milliseconds);
  return n != 0;  // data, the pipe's end, or an error a Read reports
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

std::unique_ptr<StartedProcess> StartHidden(const std::string& commandLine) {
  std::optional<ResolvedCommand> command = ResolveCommandLine(commandLine, &FindProgram);
  if (!command) return nullptr;
  const Launch launch = Prepare(*command);
  if (!launch.Problem.empty()) return nullptr;
  int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  if (null < 0) return nullptr;
  pid_t pid = Spawn(launch, std::string(), null, null, null);
  ::close(null);
  if (pid <= 0) return nullptr;
  std::shared_ptr<ChildWatch> watch = Watch(pid);
  Reap(watch);
  return std::make_unique<HiddenChild>(watch);
}

void OpenWithDesktop(const std::string& address) {
  int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  if (null < 0) return;
  Launch launch;
  launch.Argv = {"xdg-open", address};
  pid_t pid = Spawn(launch, std::string(), null, null, null);
  ::close(null);
  if (pid > 0) Reap(Watch(pid));
}

bool RunsAsSuperUser() { return ::geteuid() == 0; }

// One platform layer in the process (a shared library that the programs
// and the package link): the registry holds every program started here.
void EndStartedPrograms() { EndLiveChildren(); }

}  // namespace platform

#endif
