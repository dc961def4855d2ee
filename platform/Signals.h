#pragma once
// Every use of the signals that end a process (interrupt, termination,
// hang-up, quit), in one place (SignalsPosix.cpp): held back around work
// that must finish once begun, kept away from helper threads, and one
// handler that removes the temporary files being written and ends the
// programs this process started before the process ends as the signal says.
// Nothing on Windows, where console events are the process layer's.

namespace platform {

// Holds back the ending signals on the calling thread for a short section
// that must finish once begun; a signal sent meanwhile is acted on when the
// section ends. Threads of the platform layer never take these signals, so
// holding them on the thread that writes holds them for the process.
class HeldSignals {
 public:
  HeldSignals();
  ~HeldSignals();
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;

 private:
  alignas(8) unsigned char saved_[128];  // the thread's signal mask before
};

// Keeps the ending signals away from the calling thread for good: for the
// platform layer's own helper threads.
void RefuseEndingSignals();

// A temporary file that an ending signal removes before the process ends:
// registered while it is written, forgotten once it took its target's name
// or was removed. At most a handful at once; host paths.
void RemoveOnEndingSignal(const char* hostPath);
void ForgetOnEndingSignal(const char* hostPath);

// From now on an ending signal also ends the programs this process started
// that still run (with what each started). For front ends without a window.
void EndChildrenOnEndingSignal();

// From now on an ending signal is passed on to the programs this process
// started (RunThisProgram), which end as they see fit, and this process goes
// on, to report them. For a command that waits for commands of its own.
void PassEndingSignalsOn();
// True once an ending signal was passed on: start nothing new.
bool EndingSignalPassedOn();
// When an ending signal was passed on, ends this process as that signal
// does; else returns.
void EndAsPassedSignalSays();

}  // namespace platform
