#pragma once
// Where the faces the forms name (Tahoma, MS Sans Serif) are found when the
// system does not have them installed.
#include <string>
#include <vector>

namespace platform {

// The font files of the forms' faces that exist on this machine, full names:
// Wine's metric-compatible faces on Linux, nothing on Windows (the system
// has the real ones).
std::vector<std::string> FormFontFiles();

}  // namespace platform
