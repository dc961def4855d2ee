// The console process on Windows, with the calls the runner was designed
// around: two anonymous pipes, duplicated handles so the child inherits only
// its own ends, a hidden child with redirected standard handles, and
// synchronous reads until the pipe breaks (error 109).
#ifdef _WIN32

#include <windows.h>
#include <shellapi.h>

#include "platform/Process.h"

namespace platform {

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
  CreatePipe(&outRead, &outWrite, &sa, 0);
  DuplicateHandle(self, outWrite, self, &errWrite, 0, TRUE, DUPLICATE_SAME_ACCESS);
  CreatePipe(&inRead, &inWrite, &sa, 0);
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
  BOOL started = CreateProcessA(nullptr, line.data(), &sa, &sa, TRUE, 0, nullptr, workingFolder.c_str(), &si,
                                &state_->info);
  CloseHandle(outWrite);
  CloseHandle(inRead);
  CloseHandle(errWrite);
  if (!started) state_->error = commandLine + " could not be started (error " + std::to_string(GetLastError()) + ")";
  return started != FALSE;
}

const std::string& ConsoleProcess::StartError() const { return state_->error; }

ConsoleProcess::ReadResult ConsoleProcess::Read(char* buffer, size_t size) {
  DWORD n = 0;
  BOOL ok = ReadFile(state_->read, buffer, static_cast<DWORD>(size), &n, nullptr);
  if (ok && n > 0) return {n, ReadStatus::Data};
  return {n, GetLastError() == ERROR_BROKEN_PIPE ? ReadStatus::BrokenPipe : ReadStatus::Failed};
}

namespace {

// WinExec gives no handle to watch; CreateProcessA with the same hidden show
// state does, so the build can see the tool end or end it.
class HiddenChild : public StartedProcess {
 public:
  explicit HiddenChild(PROCESS_INFORMATION info) : info_(info) {}
  ~HiddenChild() override {
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  bool HasExited() const override { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }
  void Terminate() override {
    if (!HasExited()) TerminateProcess(info_.hProcess, 1);
  }

 private:
  PROCESS_INFORMATION info_;
};

}  // namespace

std::unique_ptr<StartedProcess> StartHidden(const std::string& commandLine) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info))
    return nullptr;
  return std::make_unique<HiddenChild>(info);
}

void OpenWithDesktop(const std::string& address) {
  ShellExecuteA(GetDesktopWindow(), "Open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// Console programs share the console's Ctrl-C; nothing more to do.
void EndChildrenOnInterrupt() {}

}  // namespace platform

#endif
