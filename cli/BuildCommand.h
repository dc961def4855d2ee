#pragma once
#include <string>
#include <vector>

namespace cli {

// tidewell build PROJECT.dpr: opens the project's settings as the build
// dialog does, builds, and prints the message list. Returns the exit status:
// 2 when a check stopped the build, 1 when the compiler reported an error,
// else 0.
int RunBuildCommand(const std::vector<std::string>& args);

// True for a compiler message line that reports an error or a fatal error.
bool IsErrorLine(const std::string& line);

}  // namespace cli
