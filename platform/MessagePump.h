#pragma once
// The host's "process pending window messages" operation. Long operations
// call ProcessMessages so the host stays responsive; a form host installs
// its event loop's pump, everything else runs the default, which does nothing.
#include <chrono>
#include <functional>

namespace platform {

// Installs a pump; returns the one it replaces, for a scope to put it back.
std::function<void()> SetMessagePump(std::function<void()> pump);
void ProcessMessages();

// ProcessMessages for a loop that would call it far more often than a
// screen changes: the first call pumps, later ones only once `interval` has
// passed since the last pump.
class MessagePacer {
 public:
  explicit MessagePacer(std::chrono::milliseconds interval) : interval_(interval) {}
  void ProcessMessages();

 private:
  std::chrono::milliseconds interval_;
  std::chrono::steady_clock::time_point last_{};
  bool pumped_ = false;
};

// Sleeps for the given number of milliseconds.
void Sleep(int milliseconds);

}  // namespace platform
