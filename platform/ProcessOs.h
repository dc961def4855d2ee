#pragma once
// What the signal handler needs of the process layer.

namespace platform {

// Ends every program this process started that still runs, with the group
// each leads. Async-signal-safe.
void EndLiveChildren();
// Ends what this process's tools left behind and this process adopted (on
// Linux, as their subreaper), with their groups; `reap` waits for each,
// which a signal handler does not. Async-signal-safe without `reap`.
void EndAdoptedPrograms(bool reap);

}  // namespace platform
