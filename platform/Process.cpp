#include "platform/Process.h"

#ifndef _WIN32

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#include <sys/syscall.h>
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
// (empty: this process's own), or why it cannot start. A tool is marked as
// this process's (see Mark), a desktop program is not: it is the user's.
struct Launch {
  std::vector<std::string> Argv, Environment;
  std::string Problem;
  bool Tool = true;
};

// Every tool started here, and all it starts in turn, carries this variable
// with this process's id: a descendant that left the tool's process group
// (setsid) is known by it wherever it went.
constexpr char MarkName[] = "TIDEWELL_STARTED_BY=";

std::string Mark() { return MarkName + std::to_string(::getpid()); }

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
  std::vector<std::string> variables = launch.Environment;
  if (variables.empty())
    for (char** variable = environ; *variable; ++variable) variables.push_back(*variable);
  if (launch.Tool) {
    std::erase_if(variables, [](const std::string& v) { return v.rfind(MarkName, 0) == 0; });
    variables.push_back(Mark());
  }
  for (const auto& e : variables) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  char** environment = envp.data();
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

namespace {

#ifdef __linux__
// Decimal digits of `n` at `out`; returns the end. Async-signal-safe.
char* PutNumber(char* out, long n) {
  char digits[24];
  int count = 0;
  do digits[count++] = static_cast<char>('0' + n % 10);
  while ((n /= 10) > 0);
  while (count > 0) *out++ = digits[--count];
  return out;
}

// True when the process's environment holds this process's mark. Reads
// /proc/PID/environ in pieces with raw calls: async-signal-safe.
bool CarriesMark(pid_t pid) {
  char path[48] = "/proc/";
  std::strcpy(PutNumber(path + 6, pid), "/environ");
  char mark[64] = {0};  // NUL, the variable, NUL: one whole entry
  std::strcpy(mark + 1, MarkName);
  char* end = PutNumber(mark + 1 + sizeof MarkName - 1, ::getpid());
  const size_t length = static_cast<size_t>(end - mark) + 1;  // with the closing NUL
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char piece[4096];
  size_t matched = 1;  // the environment starts as after a NUL
  bool found = false;
  for (ssize_t n; !found && (n = ::read(fd, piece, sizeof piece)) > 0;)
    for (ssize_t i = 0; i < n && !found; ++i) {
      if (piece[i] == mark[matched]) found = ++matched == length;
      else matched = piece[i] == '\0' ? 1 : 0;
    }
  ::close(fd);
  return found;
}

// Calls `visit` for each process of the system but this one. Raw calls
// only: async-signal-safe.
template <class Visit>
void ForEachProcess(Visit visit) {
  const int all = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (all < 0) return;
  struct Entry {
    unsigned long long inode;
    long long offset;
    unsigned short length;
    unsigned char type;
    char name[1];
  };
  alignas(8) char entries[4096];
  const pid_t self = ::getpid();
  for (long n; (n = ::syscall(SYS_getdents64, all, entries, sizeof entries)) > 0;)
    for (long at = 0; at < n;) {
      const Entry* entry = reinterpret_cast<const Entry*>(entries + at);
      at += entry->length;
      long pid = 0;
      const char* c = entry->name;
      for (; *c >= '0' && *c <= '9'; ++c) pid = pid * 10 + (*c - '0');
      if (*c == '\0' && pid > 0 && pid != self) visit(static_cast<pid_t>(pid));
    }
  ::close(all);
}

// A tool that still runs, or a member of its group: not a leftover.
bool InLiveGroup(pid_t pid) {
  const pid_t group = ::getpgid(pid);
  for (auto& slot : liveChildren)
    if (const pid_t live = slot.load(); live > 0 && (live == pid || live == group)) return true;
  return false;
}

// Ends the marked processes outside the tools that still run (what ended
// tools left behind, wherever it went), with their groups; true when it
// found one. `reap` waits for those that came to this process (not from a
// signal handler).
bool EndAdoptedOnce(bool reap) {
  bool found = false;
  ForEachProcess([&](pid_t pid) {
    if (InLiveGroup(pid) || !CarriesMark(pid)) return;
    found = true;
    ::kill(-pid, SIGKILL);  // the group it leads, if it leads one
    ::kill(pid, SIGKILL);
    if (reap)  // a child of this process only: another's is reaped by its parent
      while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {}
  });
  return found;
}
#endif

}  // namespace

void AdoptWhatToolsLeave() {
#ifdef __linux__
  (void)::prctl(PR_SET_CHILD_SUBREAPER, 1);
#endif
}

void EndAdoptedPrograms(bool reap) {
#ifdef __linux__
  // Each one ended hands its own descendants to this process in turn.
  for (int round = 0; round < 16 && EndAdoptedOnce(reap); ++round) {}
#else
  (void)reap;
#endif
}

void SignalLiveChildren(int signal) {
  for (auto& slot : liveChildren)
    if (pid_t pid = slot.load(); pid > 0) ::kill(-pid, signal);
}

void EndLiveChildren() {
  for (auto& slot : liveChildren)
    if (pid_t pid = slot.load(); pid > 0) ::kill(-pid, SIGKILL);
  EndAdoptedPrograms(false);
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

void ConsoleProcess::EndLeftovers() {
  if (!state_->watch || state_->watch->pid <= 0) return;
  {
    std::lock_guard<std::mutex> hold(state_->watch->lock);
    if (!state_->watch->exited) return;
    ::kill(-state_->watch->pid, SIGKILL);  // its group outlives it while a member runs
  }
  EndAdoptedPrograms(true);
}

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

namespace {

// Reads both pipes to their ends, each into its own text.
void ReadBoth(int output, int errors, std::string& outputText, std::string& errorsText) {
  pollfd ends[2] = {{output, POLLIN, 0}, {errors, POLLIN, 0}};
  std::string* texts[2] = {&outputText, &errorsText};
  char buffer[65536];
  for (int open = 2; open > 0;) {
    if (::poll(ends, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (ends[i].fd < 0 || ends[i].revents == 0) continue;
      const ssize_t n = ::read(ends[i].fd, buffer, sizeof buffer);
      if (n > 0) texts[i]->append(buffer, static_cast<size_t>(n));
      else if (n == 0 || errno != EINTR) {
        ends[i].fd = -1;
        --open;
      }
    }
  }
}

}  // namespace

ProgramRun RunThisProgram(const std::vector<std::string>& arguments, bool capture) {
  ProgramRun run;
  char self[PATH_MAX + 1];
  const ssize_t length = ::readlink("/proc/self/exe", self, PATH_MAX);
  if (length <= 0) {
    run.StartError = "this program's own file could not be found: " + std::string(std::strerror(errno));
    return run;
  }
  Launch launch;
  launch.Argv.push_back(std::string(self, static_cast<size_t>(length)));
  launch.Argv.insert(launch.Argv.end(), arguments.begin(), arguments.end());
  const int null = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  int output[2] = {-1, -1}, errors[2] = {-1, -1};
  if (null < 0 || (capture && (::pipe2(output, O_CLOEXEC) != 0 || ::pipe2(errors, O_CLOEXEC) != 0))) {
    run.StartError = std::strerror(errno);
    for (int fd : {null, output[0], output[1], errors[0], errors[1]})
      if (fd >= 0) ::close(fd);
    return run;
  }
  int startError = 0;
  const pid_t pid = Spawn(launch, std::string(), null, capture ? output[1] : 1, capture ? errors[1] : 2, &startError);
  ::close(null);
  if (pid > 0) Remember(pid);
  if (capture) {
    ::close(output[1]);
    ::close(errors[1]);
    if (pid > 0) ReadBoth(output[0], errors[0], run.Output, run.Errors);
    ::close(output[0]);
    ::close(errors[0]);
  }
  if (pid <= 0) {
    run.StartError = launch.Argv[0] + " could not be started: " + std::strerror(startError);
    return run;
  }
  // Known as ended before it is reaped, so that no signal reaches another
  // process that got its number.
  siginfo_t info{};
  while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {}
  if (info.si_code == CLD_EXITED) run.Exit.Code = info.si_status;
  else run.Exit.Signal = info.si_status;
  Forget(pid);
  while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {}
  return run;
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
  launch.Tool = false;
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
