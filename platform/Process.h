#pragma once
// Child processes with their console captured. Standard output and standard
// error share one pipe; standard input is at end of file (a tool that reads
// it ends its input at once, never waits). A command line is never given to a
// shell. On Linux a child also ends when the process that started it dies,
// however it dies.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// How a program ended: with an exit code, or ended by a signal (POSIX).
struct ExitStatus {
  int Code = 0;
  int Signal = 0;  // the signal's number when a signal ended it, else 0
  bool Failed() const { return Code != 0 || Signal != 0; }
};

// "status N", or "signal N (SIGSEGV)": for messages.
std::string DescribeExit(const ExitStatus& status);

class ConsoleProcess {
 public:
  enum class ReadStatus { Data, BrokenPipe, Failed };
  struct ReadResult {
    size_t Count = 0;
    ReadStatus Status = ReadStatus::Data;
  };

  ConsoleProcess();
  ~ConsoleProcess();  // closes the pipes; the child is reaped, never killed
  ConsoleProcess(const ConsoleProcess&) = delete;
  ConsoleProcess& operator=(const ConsoleProcess&) = delete;

  // Starts the command line in `workingFolder` (a Windows path). When the
  // program cannot be started, false, and every read reports a broken pipe.
  bool Start(const std::string& commandLine, const std::string& workingFolder);
  // Why Start failed, naming the program (and wine, when a Windows program
  // needs it and it is missing).
  const std::string& StartError() const;

  // One read of at most `size` bytes. BrokenPipe once every writer has closed.
  ReadResult Read(char* buffer, size_t size);
  // Waits up to `milliseconds` for something to read (or the pipe's end):
  // true when a Read would not wait.
  bool WaitForData(int milliseconds);

  // How the program ended, once it has; nothing while it still runs (or when
  // it never started). Never waits.
  std::optional<ExitStatus> Exit() const;
  // Ends what the program left running once it has ended: what is left of
  // its process group, and (on Linux) its descendants that left the group
  // and came to this process when their parents ended.
  void EndLeftovers();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// A program started hidden, without waiting for it. The build only looks at
// whether it has ended, and ends it when it waits for it no longer.
class StartedProcess {
 public:
  virtual ~StartedProcess() = default;  // the program goes on running
  virtual bool HasExited() const = 0;
  // Ends the program (with every process it started) if it still runs.
  virtual void Terminate() = 0;
};

// This program run again with `arguments` (what follows its name), for a
// command that runs several of its own at once, each in a process of its
// own. With `capture` its standard output and standard error are kept apart
// and handed back whole once it has ended; without, they are this
// process's own. Its standard input is at end of file. Waits for it to end;
// several threads may call it at once. An ending signal reaches it as
// PassEndingSignalsOn (Signals.h) says.
struct ProgramRun {
  ExitStatus Exit;
  std::string Output, Errors;
  std::string StartError;  // why it could not start; empty when it ran
};
ProgramRun RunThisProgram(const std::vector<std::string>& arguments, bool capture);

// Starts a command line hidden and returns at once (WinExec with SW_HIDE).
// The child's console goes nowhere; it is reaped when it ends. Nothing when
// the program cannot be started.
std::unique_ptr<StartedProcess> StartHidden(const std::string& commandLine);

// Hands an address ("mailto:...", "Http://...") to the desktop's default
// program for it (ShellExecuteA with "Open" on Windows, xdg-open elsewhere),
// never through a shell and without waiting; the result is not examined.
void OpenWithDesktop(const std::string& address);

// The process runs as the superuser (root). Never on Windows, where an
// administrator's programs run as any user's do.
bool RunsAsSuperUser();

// Ends every program this process started that still runs (with what each
// started), as an interrupt does: for a host that ends while a tool runs.
void EndStartedPrograms();

// From now on (on Linux) what a tool leaves running when its parent ends
// comes to this process instead of init, so that the tool's leftovers can
// be ended with it (ConsoleProcess::EndLeftovers, an ending signal). For a
// short-lived command: such leftovers are reaped only when they are ended.
void AdoptWhatToolsLeave();

}  // namespace platform
