#pragma once
// The file functions as the host carries them out (FilesPosix.cpp,
// FilesWindows.cpp). Only Files.cpp and the change plan call them: everyone
// else goes through Files.h, which a change plan may stand in for.
#include <string>
#include <vector>

namespace platform {

bool OsFileExists(const std::string& path);
bool OsDeleteFile(const std::string& path);
bool OsRenameFile(const std::string& from, const std::string& to);
bool OsCopyFile(const std::string& from, const std::string& to);
std::vector<std::string> OsListFiles(const std::string& folder, const std::string& masks);
std::string OsReadFileText(const std::string& path);
void OsTouchFile(const std::string& path);
void OsWriteFileText(const std::string& path, const std::string& text);
// True for a file that deletes and renames leave alone (read-only).
bool OsKeepsFile(const std::string& path);

}  // namespace platform
