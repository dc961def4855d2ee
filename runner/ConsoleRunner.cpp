#include "runner/ConsoleRunner.h"

#include <cstring>

#include "platform/MessagePump.h"
#include "platform/Process.h"

namespace runner {

namespace {
constexpr int ExitWaitMs = 2000;
constexpr int QuietAfterExitMs = 300;
}  // namespace

std::string getDOSOutput(const std::string& commandLine, const std::string& workingFolder,
                         platform::MessageService& messages) {
  return RunConsoleCommand(commandLine, workingFolder, messages).Output;
}

ConsoleRun RunConsoleCommand(const std::string& commandLine, const std::string& workingFolder,
                             platform::MessageService& messages) {
  using platform::ConsoleProcess;
  ConsoleProcess child;
  ConsoleRun run;
  // A child that did not start reads as a broken pipe.
  run.Started = child.Start(commandLine, workingFolder);
  if (!run.Started) run.StartError = child.StartError();
  std::string& output = run.Output;
  char buffer[17];
  bool failedBefore = false;
  platform::ProcessMessages();
  bool drained = true;  // the last read took what there was: the pipe may be empty
  for (;;) {
    // While the program is silent the host goes on too. Once it has ended,
    // a pipe that stays quiet is held only by something it left running
    // (which may never close it): its output is over.
    bool over = false;
    if (drained)
      for (int quietAfterExit = 0; !over && !child.WaitForData(50);) {
        platform::ProcessMessages();
        over = child.Exit() && (quietAfterExit += 50) >= QuietAfterExitMs;
      }
    if (over) break;
    ConsoleProcess::ReadResult read = child.Read(buffer, 16);
    drained = read.Count < 16;
    if (read.Status == ConsoleProcess::ReadStatus::BrokenPipe) break;
    if (read.Status == ConsoleProcess::ReadStatus::Failed) {
      // A read error that repeats at once would repeat for ever: the run
      // ends after the second one in a row.
      if (failedBefore) break;
      failedBefore = true;
      run.ReadFailed = true;
      messages.ShowError(PipeReadError);
    } else {
      failedBefore = false;
    }
    buffer[read.Count] = '\0';
    output.append(buffer, std::strlen(buffer));  // a zero byte ends this chunk's text
    platform::ProcessMessages();
  }
  // Its output ends as the program does: give it a moment to be reaped,
  // keeping the host responsive, but never wait for a program that lives on.
  for (int waited = 0; run.Started && waited < ExitWaitMs; waited += 10) {
    run.Exit = child.Exit();
    if (run.Exit) break;
    platform::Sleep(10);
    platform::ProcessMessages();
  }
  child.EndLeftovers();
  return run;
}

}  // namespace runner
