#pragma once
// Files and folders by Windows path. Deletes, renames and copies report
// success and never throw (callers of the build ignore failure); reads and
// writes throw FileError with a message that names the file.
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

bool FileExists(const std::string& path);       // a file, not a folder
bool DirectoryExists(const std::string& path);
bool DeleteFile(const std::string& path);
bool RenameFile(const std::string& from, const std::string& to);
// Copies, replacing the target.
bool CopyFile(const std::string& from, const std::string& to);

// True when `name` matches one of the ";"-separated masks ("*.DLL",
// "*.bin;*.cem"), without regard to letter case. "*" and "?" are wild.
bool MatchesMask(const std::string& name, const std::string& masks);

// Names (no folder) of the files of `folder` matching `masks`, sorted without
// regard to case. Folders are not listed. An unreadable folder lists nothing.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& masks);

// The process's current folder, as a Windows path ("C:\P", "C:\").
std::string GetCurrentDir();
// Makes `path` current; false when it cannot.
bool SetCurrentDir(const std::string& path);

std::string ReadFileText(const std::string& path);
// Gives the file the current time as its modification time, as a rewrite
// with the same bytes would. Throws FileError when it cannot.
void TouchFile(const std::string& path);
// Replaces the file in one step: the text goes to a temporary file beside it,
// which then takes the file's name (and the old file's permissions). On any
// failure the old file is untouched.
void WriteFileAtomically(const std::string& path, const std::string& text);

}  // namespace platform
