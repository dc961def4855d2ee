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

bool FileExists(const std::string& path);  // a file, not a folder
// True when anything has this name: a file, a folder, a FIFO, a device, a
// symbolic link even to nothing.
bool NameTaken(const std::string& path);
bool DirectoryExists(const std::string& path);
// True when the name is a symbolic link (a reparse point on Windows),
// whatever it points to.
bool IsSymbolicLink(const std::string& path);
// A read-only file (no write permission at all, on Linux as the read-only
// attribute on Windows) is neither deleted nor renamed: false.
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

// Names of the sub-folders of `folder`, sorted without regard to case;
// nothing for a folder that cannot be read.
std::vector<std::string> ListFolders(const std::string& folder);

// The drives the system knows, as "C:", in order: on Linux the entries of
// the dosdevices folder, and Z: always.
std::vector<std::string> ListDrives();

// The process's current folder, as a Windows path ("C:\P", "C:\").
std::string GetCurrentDir();
// Makes `path` current; false when it cannot.
bool SetCurrentDir(const std::string& path);

// The whole text of a regular file; anything else (a folder, a FIFO, a
// device) is a FileError that names it, at once.
std::string ReadFileText(const std::string& path);
// Gives the file the current time as its modification time, as a rewrite
// with the same bytes would. Throws FileError as WriteFileText does.
void TouchFile(const std::string& path);
// Replaces the file's text. A read-only file (no write permission at all,
// for every user, as the read-only attribute on Windows; or one this user may
// not write) is refused with a FileError that names it, and left untouched.
// Otherwise the text goes to a temporary file beside it that then takes its
// name, with the old file's permissions, owner and group, so a failure leaves
// the old file whole; a file with other hard links, or in a folder that takes
// no new file, or whose owner a new file could not keep, is written in place
// (room for the new text reserved first, written over the old, cut to its
// length; should a write still fail, the old text is put back). Signals that
// end the process wait until the file is whole. A link is followed to the
// file it names. Only a regular file is replaced.
void WriteFileText(const std::string& path, const std::string& text);

// Why WriteFileText would refuse `path` before it starts (a bad path, a
// folder, a read-only file, a missing folder or one that takes no new file),
// or empty when it would go ahead.
std::string WriteProblem(const std::string& path);

// True when two paths name the same file: the same file on disk, or the same
// host path for files that do not exist yet.
bool SameFile(const std::string& a, const std::string& b);

// The call that reserves room for `length` bytes of an open file (its
// descriptor) without changing its size, before an in-place rewrite: 0, or
// the error number. Tests put another in its place to make a file system
// that cannot reserve; nullptr puts the real one back. Returns the one before.
// POSIX only.
using ReserveCall = int (*)(int fd, long long length);
ReserveCall SetReserveCall(ReserveCall call);

// True when `path` names something inside `folder` (at any depth), once
// "." and ".." are resolved and symbolic links followed as far as the path
// exists: what a build may delete, copy or hand to a tool in a project.
bool IsInsideFolder(const std::string& path, const std::string& folder);

// True when standard error goes to a terminal (progress is drawn there).
bool StandardErrorIsTerminal();

}  // namespace platform
