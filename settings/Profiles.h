#pragma once
// The two Compact Framework profiles, by the position of the version selector.
#include <string>

namespace settings {

struct Profile {
  const char* Entry;         // the selector's text
  const char* LibPath;       // compiler library folder
  const char* AssemblyPath;  // Microsoft assembly folder
  const char* Version;       // .NET runtime version string
  const char* ResGen;        // the SDK's resource compiler
};

inline constexpr Profile Profiles[2] = {
    {"CF V1.X", "C:\\Program Files\\Borland\\BDS\\4.0\\Lib\\cf\\CF1X_Lib",
     "C:\\Program Files\\Borland\\BDS\\4.0\\Lib\\cf\\CF1X_Assembly", "v1.1.4322",
     "C:\\Program Files\\Microsoft.NET\\SDK\\v1.1\\Bin\\ResGen.exe"},
    {"CF V2.X", "C:\\Program Files\\Borland\\BDS\\4.0\\Lib\\cf\\CF2X_Lib",
     "C:\\Program Files\\Borland\\BDS\\4.0\\Lib\\cf\\CF2X_Assembly", "v2.0.50727",
     "C:\\Program Files\\Microsoft.NET\\SDK\\v2.0\\Bin\\ResGen.exe"},
};

// The profile at a selector position, or nullptr for no selection.
inline const Profile* ProfileAt(int position) { return position == 0 || position == 1 ? &Profiles[position] : nullptr; }

}  // namespace settings
