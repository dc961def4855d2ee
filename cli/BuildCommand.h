#pragma once
#include <string>
#include <vector>

namespace cli {

// tidewell build PROJECT.dpr: opens the project's settings as the build
// dialog does, builds, and prints the message list. Returns the exit status,
// an ExitStatus of CommandOptions.h: 0 built; 1 the compiler reported an
// error or a fatal error, or failed; 2 the build could not start or was
// stopped (a usage error, a check, a file error); 3 the compiler could not be
// started.
int RunBuildCommand(const std::vector<std::string>& args);

}  // namespace cli
