#pragma once
// What the signal handler needs of the process layer.

namespace platform {

// Ends every program this process started that still runs, with the group
// each leads. Async-signal-safe.
void EndLiveChildren();

}  // namespace platform
