#pragma once
// Windows path texts taken apart the way the host run-time library does it:
// "\" and ":" end the directory part, the extension starts at the last "."
// of the name. Pure text; nothing here touches the file system.
#include <string>
#include <string_view>

namespace platform {

// Directory part with its trailing "\" ("C:\P\Project1.dpr" -> "C:\P\").
std::string ExtractFilePath(std::string_view path);
// Name part ("C:\P\Project1.dpr" -> "Project1.dpr").
std::string ExtractFileName(std::string_view path);
// Extension with its dot, or empty ("C:\P\Project1.dpr" -> ".dpr").
std::string ExtractFileExt(std::string_view path);
// Name without its extension: the text before the last "." (whole name when
// there is none).
std::string ChangeFileExt(std::string_view path, std::string_view ext);
std::string ExcludeTrailingBackslash(std::string_view path);

}  // namespace platform
