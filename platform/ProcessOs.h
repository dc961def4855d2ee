#pragma once
// What the signal handler needs of the process layer.

namespace platform {

// Ends every program this process started that still runs, with the group
// each leads. Async-signal-safe.
void EndLiveChildren();
// Ends what this process's tools left behind (on Linux: every process that
// carries this process's mark, outside the tools that still run), with their
// groups; `reap` waits for those that came to this process as their
// subreaper, which a signal handler does not. Async-signal-safe without
// `reap`.
void EndAdoptedPrograms(bool reap);

// Sends `signal` to every program this process started that still runs.
// Async-signal-safe.
void SignalLiveChildren(int signal);

}  // namespace platform
