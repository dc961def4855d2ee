#pragma once
// What a build did, as data: the front ends (the dialog, the IDE's message
// view, the command line) read the outcome and the events, never the
// message list's text.
#include <optional>
#include <string>
#include <vector>

#include "platform/Process.h"
#include "runner/CompilerMessage.h"

namespace pipeline {

struct BuildOutcome {
  // The build passed its first checks and cleared the message list.
  bool Started = false;
  // Why the build ended before the compiler's output was read: a check's
  // message, or the error of a file that could not be read or written.
  // Empty when nothing stopped it.
  std::string Stopped;
  // What stopped it was an error thrown below (a file that could not be
  // read or written), not one of the build's own checks.
  bool EndedByError = false;
  // The compiler was asked to run.
  bool CompilerRan = false;
  // Why the compiler could not be started; empty when it started.
  std::string CompilerNotStarted;
  // How the compiler ended, when it had ended with its output.
  std::optional<platform::ExitStatus> CompilerExit;
  // The compiler's messages, in the order it printed them.
  std::vector<runner::CompilerMessage> Messages;

  // The compiler reported an error or a fatal error.
  bool CompilerReportedFailure() const;
  // The compiler reported anything that is not a hint or a note: a warning,
  // an error or a fatal error.
  bool CompilerReportedWarning() const;
};

// What a front end hears while a build runs. Every event has a default that
// does nothing.
class BuildObserver {
 public:
  virtual ~BuildObserver() = default;
  // The checks passed: the message list was cleared and shows the banner.
  virtual void BuildStarted() {}
  // The project file, its resources and its units are about to change.
  virtual void SourcesChanging() {}
  // The compiler is about to run with this command line.
  virtual void CompilerRunning(const std::string& commandLine) { (void)commandLine; }
  // The compiler's output has been read (or its run failed).
  virtual void CompilerEnded() {}
  // The build is over, however it ended (a thrown error included).
  virtual void BuildEnded(const BuildOutcome& outcome) { (void)outcome; }
};

}  // namespace pipeline
