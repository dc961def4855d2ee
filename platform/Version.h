#pragma once
// The version of this build of TidewellKit, as the programs' --version prints
// it after their name: "2.0.0", followed by " (git COMMIT)" in a build from a
// git checkout. The version is set once, in the top CMakeLists.txt.

namespace platform {

const char* VersionText();

}  // namespace platform
