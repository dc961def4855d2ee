#pragma once
// getDOSOutput: runs one console command line hidden and returns everything
// it wrote to standard output and standard error, interleaved as written,
// byte for byte. Reads 16 bytes at a time and lets the host process its
// messages before the first read, after every read and while the program is
// silent, so the host stays responsive. Returns when every writer of the
// pipe has closed; the child is never waited for or killed.
#include <optional>
#include <string>

#include "platform/Process.h"

#include "platform/MessageService.h"

namespace runner {

inline constexpr const char* PipeReadError = "Pipe read error, could not execute file";

std::string getDOSOutput(const std::string& commandLine, const std::string& workingFolder,
                         platform::MessageService& messages);

// The same run, also telling whether the program could be started at all
// (the text alone cannot tell a silent program from a missing one).
struct ConsoleRun {
  std::string Output;
  bool Started = false;
  std::string StartError;   // why it did not start
  bool ReadFailed = false;  // reading its output failed (PipeReadError was shown)
  // How the program ended, when it had ended by the time its output did (or
  // soon after); nothing for a program that goes on without its output.
  std::optional<platform::ExitStatus> Exit;
};
ConsoleRun RunConsoleCommand(const std::string& commandLine, const std::string& workingFolder,
                             platform::MessageService& messages);

}  // namespace runner
