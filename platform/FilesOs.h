#pragma once
// The host's own file calls, behind the functions of Files.h and the disk's
// FileSystem (FilesPosix.cpp, FilesWindows.cpp). Private to the platform.
#include <memory>
#include <string>
#include <vector>

#ifndef _WIN32
struct stat;
#endif

namespace platform {

bool OsFileExists(const std::string& path);
bool OsDeleteFile(const std::string& path);
bool OsRenameFile(const std::string& from, const std::string& to);
std::vector<std::string> OsListFiles(const std::string& folder, const std::string& masks);
std::string OsReadFileText(const std::string& path);
void OsTouchFile(const std::string& path);
void OsWriteFileText(const std::string& path, const std::string& text);
bool OsKeepsFile(const std::string& path);

// A rewrite made ready for a batch: its new text beside the file, not yet
// flushed; Install gives it the file's name.
class PreparedWrite {
 public:
  virtual ~PreparedWrite() = default;  // without Install, nothing changes
  virtual void Install() = 0;
  virtual std::string HostPath() const = 0;
  // The new text, read back: a batch keeps no copy of it in memory.
  virtual std::string Text() const = 0;
};
std::unique_ptr<PreparedWrite> OsPrepareWrite(const std::string& path, const std::string& text);
// One flush of the file systems that hold these prepared files.
void OsSyncPrepared(const std::vector<std::unique_ptr<PreparedWrite>>& writes);

#ifndef _WIN32
// The file's resolved host path and its folder: a link is followed to the
// file it names.
struct HostTarget {
  std::string Path, Folder;
};
HostTarget ResolveTarget(const std::string& path);
[[noreturn]] void FailFile(const char* what, const std::string& path, const std::string& reason);
// Why an existing file cannot be written, or empty: a folder, no regular
// file, no write permission at all (read-only, for root too), or one this
// user may not write.
std::string NotWritableReason(const struct stat& st, const std::string& host);
#endif

}  // namespace platform
