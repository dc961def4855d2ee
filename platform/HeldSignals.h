#pragma once
// Holds back the signals that end a process (interrupt, termination, hang-up,
// quit) on the calling thread for a short section that must finish once
// begun; a signal sent meanwhile is acted on when the section ends. Threads
// of the platform layer never take these signals, so holding them on the
// thread that writes holds them for the process. Nothing on Windows.

namespace platform {

class HeldSignals {
 public:
  HeldSignals();
  ~HeldSignals();
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;

 private:
  alignas(8) unsigned char saved_[128];  // the thread's signal mask before
};

// Keeps the process's ending signals away from the calling thread for good:
// for the platform layer's own helper threads.
void RefuseEndingSignals();

}  // namespace platform
