#pragma once
// The system speaks Windows paths on every host. On POSIX they resolve the way
// Wine resolves them: a drive letter through a dosdevices folder
// ($TIDEWELL_DOSDEVICES, else $WINEPREFIX/dosdevices, else ~/.wine/dosdevices;
// drive Z: is "/" when no entry names it), "\" becomes "/", and a component
// missing in its exact case is looked up without regard to case. On Windows
// both directions are the identity (a relative path is made whole).
#include <string>

namespace platform {

// Host path for a Windows path (or for a host path, which passes unchanged).
std::string ToHostPath(const std::string& windowsPath);

// Windows path for a host path (a relative one starts from the current
// folder): the drive whose folder is the longest prefix of it, Z: as the
// fallback. Empty for an empty path.
std::string ToWindowsPath(const std::string& hostPath);

// A path a user typed (on a command line, in a dialog) as a Windows path:
// one with a drive letter is kept, "/" and "\" both separating its names;
// anything else is a path of this host or a relative one written either way
// ("rel/X.dpr", ".\\App\\X.dpr"), made whole from the current folder.
std::string TypedPath(const std::string& typed);

// Why a path cannot name a file on this host (no name at all, or longer
// than the file system allows), or empty when it can.
std::string PathProblem(const std::string& path);

// Names outside ASCII: the system's text is in the Windows code page (CP1252,
// or $TIDEWELL_CODEPAGE: any name iconv knows), the file system's in UTF-8.
// A name is converted where both know all its characters, and kept as it is
// otherwise; ToHostPath also finds a name kept as it is. On Windows both are
// the identity.
std::string CodePageToHost(const std::string& name);
// The code page's name as iconv knows it (POSIX).
std::string CodePage();
// The system can convert text from and to this code page.
bool KnownCodePage(const std::string& name);
std::string HostToCodePage(const std::string& name);

// The dosdevices folder in use (empty on Windows).
std::string DosDevicesFolder();
// Why the drive of a Windows path names no folder here: the dosdevices
// folder is missing or no folder, or it has no entry for the drive; empty
// when the drive is there (or the path names none, or on Windows).
std::string DriveProblem(const std::string& windowsPath);

}  // namespace platform
