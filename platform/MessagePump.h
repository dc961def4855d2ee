#pragma once
// The host's "process pending window messages" operation. Long operations
// call ProcessMessages so the host stays responsive; a form host installs
// its event loop's pump, everything else runs the default, which does nothing.
#include <functional>

namespace platform {

// Installs a pump; returns the one it replaces, for a scope to put it back.
std::function<void()> SetMessagePump(std::function<void()> pump);
void ProcessMessages();

// Sleeps for the given number of milliseconds.
void Sleep(int milliseconds);

}  // namespace platform
