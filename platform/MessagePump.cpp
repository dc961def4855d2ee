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

void SetMessagePump(std::function<void()> pump) { Pump() = std::move(pump); }

void ProcessMessages() {
  if (Pump()) Pump()();
}

void Sleep(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace platform
