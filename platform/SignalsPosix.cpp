#include "platform/Signals.h"

#ifndef _WIN32

#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "platform/ProcessOs.h"

namespace platform {

namespace {

constexpr int Ending[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

sigset_t EndingSignals() {
  sigset_t ending;
  sigemptyset(&ending);
  for (int signal : Ending) sigaddset(&ending, signal);
  return ending;
}

// The temporary files to remove, read by the handler: a slot is claimed by
// its writer, filled, then published.
constexpr int MaxPending = 8;
char pendingPaths[MaxPending][PATH_MAX + 1];
std::atomic<bool> pendingUsed[MaxPending];
std::atomic<bool> pendingReady[MaxPending];
std::atomic<bool> endChildren{false};
std::atomic<bool> passOn{false};
std::atomic<int> passedSignal{0};
std::atomic<bool> installed{false};
struct sigaction previousActions[std::size(Ending)];

extern "C" void OnEndingSignal(int signal) {
  if (passOn.load()) {
    passedSignal.store(signal);
    SignalLiveChildren(signal);
    return;
  }
  for (int i = 0; i < MaxPending; ++i)
    if (pendingReady[i].load()) ::unlink(pendingPaths[i]);
  if (endChildren.load()) EndLiveChildren();
  for (size_t i = 0; i < std::size(Ending); ++i)
    if (Ending[i] == signal) ::sigaction(signal, &previousActions[i], nullptr);
  ::raise(signal);
}

// The handler in place of whatever was there, once; what was there is what
// the process does after it.
void InstallHandler() {
  if (installed.exchange(true)) return;
  struct sigaction action {};
  action.sa_handler = OnEndingSignal;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < std::size(Ending); ++i) {
    ::sigaction(Ending[i], nullptr, &previousActions[i]);
    // A signal the process ignores (a program started with nohup) stays
    // ignored.
    if (previousActions[i].sa_handler == SIG_IGN) continue;
    ::sigaction(Ending[i], &action, nullptr);
  }
}

}  // namespace

HeldSignals::HeldSignals() {
  static_assert(sizeof(sigset_t) <= sizeof(saved_));
  sigset_t ending = EndingSignals();
  ::pthread_sigmask(SIG_BLOCK, &ending, reinterpret_cast<sigset_t*>(saved_));
}

HeldSignals::~HeldSignals() { ::pthread_sigmask(SIG_SETMASK, reinterpret_cast<sigset_t*>(saved_), nullptr); }

void RefuseEndingSignals() {
  sigset_t ending = EndingSignals();
  ::pthread_sigmask(SIG_BLOCK, &ending, nullptr);
}

void RemoveOnEndingSignal(const char* hostPath) {
  if (std::strlen(hostPath) > PATH_MAX) return;
  InstallHandler();
  for (int i = 0; i < MaxPending; ++i) {
    bool used = false;
    if (!pendingUsed[i].compare_exchange_strong(used, true)) continue;
    std::strcpy(pendingPaths[i], hostPath);
    pendingReady[i].store(true);
    return;
  }
}

void ForgetOnEndingSignal(const char* hostPath) {
  for (int i = 0; i < MaxPending; ++i) {
    if (!pendingReady[i].load() || std::strcmp(pendingPaths[i], hostPath) != 0) continue;
    pendingReady[i].store(false);
    pendingUsed[i].store(false);
    return;
  }
}

void EndChildrenOnEndingSignal() {
  endChildren.store(true);
  InstallHandler();
}

void PassEndingSignalsOn() {
  passOn.store(true);
  InstallHandler();
}

bool EndingSignalPassedOn() { return passedSignal.load() != 0; }

void EndAsPassedSignalSays() {
  const int signal = passedSignal.load();
  if (signal == 0) return;
  ::signal(signal, SIG_DFL);
  sigset_t just;
  sigemptyset(&just);
  sigaddset(&just, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &just, nullptr);
  ::raise(signal);
}

}  // namespace platform

#else

namespace platform {

// Console control events are handled by the process layer; nothing to hold.
HeldSignals::HeldSignals() : saved_{} {}
HeldSignals::~HeldSignals() = default;
void RefuseEndingSignals() {}
void RemoveOnEndingSignal(const char*) {}
void ForgetOnEndingSignal(const char*) {}

}  // namespace platform

#endif
