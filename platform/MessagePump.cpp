#include "platform/MessagePump.h"

#include <chrono>
#include <thread>

namespace platform {

namespace {
std::function<void()>& Pump() {
  static std::function<void()> pump;
  return pump;
}
}  // namespace

std::function<void()> SetMessagePump(std::function<void()> pump) {
  std::function<void()> previous = std::move(Pump());
  Pump() = std::move(pump);
  return previous;
}

void ProcessMessages() {
  if (Pump()) Pump()();
}

void MessagePacer::ProcessMessages() {
  if (!Pump()) return;  // nobody to answer: not even the clock is read
  const auto now = std::chrono::steady_clock::now();
  if (pumped_ && now - last_ < interval_) return;
  pumped_ = true;
  last_ = now;
  platform::ProcessMessages();
}

void Sleep(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace platform
