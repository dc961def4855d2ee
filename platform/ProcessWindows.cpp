// The console process on Windows, with the calls the runner was designed
// around: two anonymous pipes, duplicated handles so the child inherits only
// its own ends, a hidden child with redirected standard handles, and
// synchronous reads until the pipe breaks (error 109). The command line goes
// to CreateProcessA unchanged: Windows itself finds the program and splits
// the arguments.
#ifdef _WIN32

#include "platform/Process.h"

#include <cstdio>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

#include "platform/CommandLine.h"
#include "platform/Signals.h"
#include "platform/WindowsApi.h"

#include <shellapi.h>

namespace platform {

namespace {

// Why CreateProcessA failed, naming the program as the command line does.
std::string StartProblem(const std::string& commandLine, DWORD error) {
  std::string program = ProgramText(commandLine);
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return program + " was not found";
  return program + " could not be started (error " + std::to_string(error) + ")";
}

}  // namespace

struct ConsoleProcess::State {
  std::string error;
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  PROCESS_INFORMATION info{};
};

ConsoleProcess::ConsoleProcess() : state_(std::make_unique<State>()) {}

ConsoleProcess::~ConsoleProcess() {
  for (HANDLE h : {state_->read, state_->write, state_->info.hProcess, state_->info.hThread})
    if (h) CloseHandle(h);
}

bool ConsoleProcess::Start(const std::string& commandLine, const std::string& workingFolder) {
  SECURITY_ATTRIBUTES sa{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE outRead, outWrite, errWrite, inRead, inWrite;
  HANDLE self = GetCurrentProcess();
  if (!CreatePipe(&outRead, &outWrite, &sa, 0)) {
    state_->error = StartProblem(commandLine, GetLastError());
    return false;
  }
  if (!CreatePipe(&inRead, &inWrite, &sa, 0)) {
    state_->error = StartProblem(commandLine, GetLastError());
    CloseHandle(outRead);
    CloseHandle(outWrite);
    return false;
  }
  DuplicateHandle(self, outWrite, self, &errWrite, 0, TRUE, DUPLICATE_SAME_ACCESS);
  DuplicateHandle(self, outRead, self, &state_->read, 0, FALSE, DUPLICATE_SAME_ACCESS);
  DuplicateHandle(self, inWrite, self, &state_->write, 0, FALSE, DUPLICATE_SAME_ACCESS);
  CloseHandle(outRead);
  CloseHandle(inWrite);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  si.hStdInput = inRead;
  si.hStdOutput = outWrite;
  si.hStdError = errWrite;
  std::string line = commandLine;
  BOOL started = CreateProcessA(nullptr, line.data(), &sa, &sa, TRUE, 0, nullptr,
                                workingFolder.empty() ? nullptr : workingFolder.c_str(), &si, &state_->info);
  DWORD error = GetLastError();
  CloseHandle(outWrite);
  CloseHandle(inRead);
  CloseHandle(errWrite);
  CloseHandle(state_->write);  // the child reads end of file
  state_->write = nullptr;
  if (!started) state_->error = StartProblem(commandLine, error);
  return started != FALSE;
}

const std::string& ConsoleProcess::StartError() const { return state_->error; }

// A console tool runs in no job here: what it leaves running is not known.
void ConsoleProcess::EndLeftovers() {}
void AdoptWhatToolsLeave() {}

std::optional<ExitStatus> ConsoleProcess::Exit() const {
  DWORD code = 0;
  if (!state_->info.hProcess || !GetExitCodeProcess(state_->info.hProcess, &code) || code == STILL_ACTIVE)
    return std::nullopt;
  ExitStatus status;
  status.Code = static_cast<int>(code);
  return status;
}

std::string DescribeExit(const ExitStatus& status) {
  const unsigned code = static_cast<unsigned>(status.Code);
  if (code >= 0xC0000000u) {  // an exception ended it (0xC0000005: access violation)
    char text[32];
    std::snprintf(text, sizeof text, "status 0x%08X", code);
    return text;
  }
  return "status " + std::to_string(status.Code);
}

bool ConsoleProcess::WaitForData(int milliseconds) {
  if (!state_->info.hProcess) return true;
  for (int waited = 0;; waited += 10) {
    DWORD available = 0;
    if (!PeekNamedPipe(state_->read, nullptr, 0, nullptr, &available, nullptr) || available > 0) return true;
    if (waited >= milliseconds) return false;
    ::Sleep(10);
  }
}

ConsoleProcess::ReadResult ConsoleProcess::Read(char* buffer, size_t size) {
  if (!state_->info.hProcess) return {0, ReadStatus::BrokenPipe};
  DWORD n = 0;
  BOOL ok = ReadFile(state_->read, buffer, static_cast<DWORD>(size), &n, nullptr);
  if (ok && n > 0) return {n, ReadStatus::Data};
  if (ok) return {0, ReadStatus::Data};  // a zero-byte write by the child
  return {0, GetLastError() == ERROR_BROKEN_PIPE ? ReadStatus::BrokenPipe : ReadStatus::Failed};
}

namespace {

// The jobs of the hidden programs still watched, for the interrupt handler:
// they have no console, so Ctrl-C does not reach them by itself.
std::mutex jobsLock;
std::vector<HANDLE> liveJobs;

void Watch(HANDLE job) {
  std::lock_guard<std::mutex> lock(jobsLock);
  liveJobs.push_back(job);
}

void Unwatch(HANDLE job) {
  std::lock_guard<std::mutex> lock(jobsLock);
  liveJobs.erase(std::remove(liveJobs.begin(), liveJobs.end(), job), liveJobs.end());
}

BOOL WINAPI EndHiddenPrograms(DWORD) {
  std::lock_guard<std::mutex> lock(jobsLock);
  for (HANDLE job : liveJobs) TerminateJobObject(job, 1);
  return FALSE;  // and on to the default handler, which ends this process
}

// WinExec gives no handle to watch; CreateProcessA with the same hidden show
// state does, so the build can see the tool end or end it. The program runs
// in a job of its own, so that ending it ends what it started too.
class HiddenChild : public StartedProcess {
 public:
  HiddenChild(PROCESS_INFORMATION info, HANDLE job) : info_(info), job_(job) {
    if (job_) Watch(job_);
  }
  ~HiddenChild() override {
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    if (job_) {
      Unwatch(job_);
      CloseHandle(job_);
    }
  }
  bool HasExited() const override { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }
  void Terminate() override {
    if (job_) TerminateJobObject(job_, 1);
    if (!HasExited()) TerminateProcess(info_.hProcess, 1);
  }

 private:
  PROCESS_INFORMATION info_;
  HANDLE job_;
};

}  // namespace

// The child's console goes nowhere: its standard handles are the null
// device, and a console program gets no console of its own.
std::unique_ptr<StartedProcess> StartHidden(const std::string& commandLine) {
  SECURITY_ATTRIBUTES sa{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE null = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING,
                            0, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  si.wShowWindow = SW_HIDE;
  si.hStdInput = si.hStdOutput = si.hStdError = null;
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED | CREATE_NO_WINDOW,
                                nullptr, nullptr, &si, &info);
  if (null != INVALID_HANDLE_VALUE) CloseHandle(null);
  if (!started) return nullptr;
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  if (job && !AssignProcessToJobObject(job, info.hProcess)) {
    CloseHandle(job);  // already in a job that allows no other: end it alone
    job = nullptr;
  }
  ResumeThread(info.hThread);
  return std::make_unique<HiddenChild>(info, job);
}

void OpenWithDesktop(const std::string& address) {
  ShellExecuteA(GetDesktopWindow(), "Open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// Console programs share the console's Ctrl-C and end with it; the hidden
// ones have no console and are ended by the handler.
void EndChildrenOnEndingSignal() { SetConsoleCtrlHandler(EndHiddenPrograms, TRUE); }

namespace {

std::atomic<bool> ctrlCPassedOn{false};

// The children share the console and get the same event; this process
// stays to report them.
BOOL WINAPI KeepWaiting(DWORD) {
  ctrlCPassedOn.store(true);
  return TRUE;
}

// All a pipe holds, to its end.
void ReadAll(HANDLE pipe, std::string& text) {
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) text.append(buffer, n);
}

}  // namespace

void PassEndingSignalsOn() { SetConsoleCtrlHandler(KeepWaiting, TRUE); }
bool EndingSignalPassedOn() { return ctrlCPassedOn.load(); }
void EndAsPassedSignalSays() {
  if (ctrlCPassedOn.load()) ExitProcess(0xC000013A);  // STATUS_CONTROL_C_EXIT
}

ProgramRun RunThisProgram(const std::vector<std::string>& arguments, bool capture) {
  ProgramRun run;
  char self[MAX_PATH + 1];
  const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string line = QuoteArgument(std::string(self, length));
  for (const std::string& argument : arguments) line += " " + QuoteArgument(argument);
  SECURITY_ATTRIBUTES sa{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
  if (capture) {
    CreatePipe(&outRead, &outWrite, &sa, 0);
    CreatePipe(&errRead, &errWrite, &sa, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
  }
  HANDLE null = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = null;
  si.hStdOutput = capture ? outWrite : GetStdHandle(STD_OUTPUT_HANDLE);
  si.hStdError = capture ? errWrite : GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &info);
  const DWORD error = GetLastError();
  for (HANDLE h : {null, outWrite, errWrite})
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  if (started && capture) {
    std::thread errors([&] { ReadAll(errRead, run.Errors); });
    ReadAll(outRead, run.Output);
    errors.join();
  }
  for (HANDLE h : {outRead, errRead})
    if (h) CloseHandle(h);
  if (!started) {
    run.StartError = StartProblem(line, error);
    return run;
  }
  WaitForSingleObject(info.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);
  run.Exit.Code = static_cast<int>(code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return run;
}

bool RunsAsSuperUser() { return false; }

void EndStartedPrograms() { EndHiddenPrograms(CTRL_CLOSE_EVENT); }

}  // namespace platform

#endif
