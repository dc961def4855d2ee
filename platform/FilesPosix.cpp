#include "platform/Files.h"
#include "platform/FilesOs.h"

#ifndef _WIN32

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cerrno>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/FileReplacement.h"
#include "platform/Signals.h"
#include "platform/Text.h"
#include "platform/WinPath.h"

namespace platform {

namespace {

std::string Reason(int error) { return std::strerror(error); }

// A file without any write permission is read-only, for root too, as the
// read-only attribute is on Windows: the build neither deletes nor renames it.
bool ReadOnly(const std::string& host) {
  struct stat st;
  return ::stat(host.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}

}  // namespace

bool OsKeepsFile(const std::string& path) { return ReadOnly(ToHostPath(path)); }

bool OsFileExists(const std::string& path) {
  if (path.empty()) return false;
  struct stat st;
  return ::stat(ToHostPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool NameTaken(const std::string& path) {
  struct stat st;
  return !path.empty() && ::lstat(ToHostPath(path).c_str(), &st) == 0;
}

bool IsSymbolicLink(const std::string& path) {
  struct stat st;
  return !path.empty() && ::lstat(ToHostPath(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  if (path.empty()) return false;
  struct stat st;
  return ::stat(ToHostPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool OsDeleteFile(const std::string& path) {
  if (path.empty() || !OsFileExists(path)) return false;
  const std::string host = ToHostPath(path);
  return !ReadOnly(host) && ::unlink(host.c_str()) == 0;
}

bool OsRenameFile(const std::string& from, const std::string& to) {
  if (!OsFileExists(from) || OsFileExists(to)) return false;  // as on Windows: no overwrite
  const std::string source = ToHostPath(from), target = ToHostPath(to);
  return !ReadOnly(source) && ::rename(source.c_str(), target.c_str()) == 0;
}

namespace {
// Names in `folder` of the folders (or the files matching `masks`), sorted
// without regard to case. An unreadable folder lists nothing.
std::vector<std::string> ListEntries(const std::string& folder, bool folders, const std::string& masks) {
  std::vector<std::string> names;
  std::string host = ToHostPath(folder.empty() ? std::string(".") : folder);
  DIR* dir = ::opendir(host.c_str());
  if (!dir) return names;
  while (dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == ".." || (!folders && !MatchesMask(name, masks))) continue;
    struct stat st;
    if (::stat((host + "/" + name).c_str(), &st) == 0 && (folders ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)))
      names.push_back(HostToCodePage(name));  // the system's text
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  return names;
}
}  // namespace

std::vector<std::string> OsListFiles(const std::string& folder, const std::string& masks) {
  return ListEntries(folder, false, masks);
}

std::vector<std::string> ListFolders(const std::string& folder) { return ListEntries(folder, true, ""); }

std::vector<std::string> ListDrives() {
  std::vector<std::string> drives;
  if (DIR* dir = ::opendir(DosDevicesFolder().c_str())) {
    while (dirent* e = ::readdir(dir)) {
      std::string name = e->d_name;
      if (name.size() == 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0])))
        drives.push_back(UpperCase(name));
    }
    ::closedir(dir);
  }
  if (std::find(drives.begin(), drives.end(), "Z:") == drives.end()) drives.push_back("Z:");
  std::sort(drives.begin(), drives.end());
  return drives;
}

namespace {

// The current folder as it was named (a Windows path, "." and ".." taken
// away): "C:\Program Files\Tool" stays that through a symbolic link, as a
// shell's $PWD does, while the folder it names is the current one.
std::string logicalCurrent;

// An absolute Windows path with its "." and ".." resolved, from `path`
// (absolute, or relative to `base`); empty when neither gives one.
std::string LogicalPath(const std::string& path, const std::string& base) {
  const bool absolute = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                        (path[2] == '\\' || path[2] == '/');
  if (!absolute && (base.empty() || path.find(':') != std::string::npos || path[0] == '\\' || path[0] == '/'))
    return {};
  const std::string whole = absolute ? path : base + "\\" + path;
  std::vector<std::string> parts;
  for (size_t start = 3; start <= whole.size();) {
    size_t end = whole.find_first_of("\\/", start);
    if (end == std::string::npos) end = whole.size();
    const std::string part = whole.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string logical = UpperCase(whole.substr(0, 2)) + "\\";
  for (size_t i = 0; i < parts.size(); ++i) logical += (i ? "\\" : "") + parts[i];
  return logical;
}

bool SameFolder(const std::string& a, const std::string& b) {
  struct stat x, y;
  return ::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

}  // namespace

std::string GetCurrentDir() {
  char buffer[4096];
  if (!::getcwd(buffer, sizeof buffer)) return {};
  if (!logicalCurrent.empty() && SameFolder(ToHostPath(logicalCurrent), buffer)) return logicalCurrent;
  return ToWindowsPath(buffer);
}

bool SetCurrentDir(const std::string& path) {
  if (path.empty()) return false;
  const std::string logical = LogicalPath(path, GetCurrentDir());
  if (::chdir(ToHostPath(path).c_str()) != 0) return false;
  logicalCurrent = logical;
  return true;
}

std::string OsReadFileText(const std::string& path) {
  std::string host = ToHostPath(path);
  // Not blocking, so that opening a FIFO cannot wait for a writer; only a
  // regular file is read.
  int fd = ::open(host.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw FileError("Cannot open file \"" + path + "\". " + Reason(errno));
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    int error = errno;
    ::close(fd);
    throw FileError("Cannot open file \"" + path + "\". " + Reason(error));
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    throw FileError("Cannot open file \"" + path + "\". " +
                    (S_ISDIR(st.st_mode) ? "It is a folder" : "It is not a regular file"));
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::string text;
  if (st.st_size > 0) text.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int error = errno;
      ::close(fd);
      throw FileError("Cannot read file \"" + path + "\". " + Reason(error));
    }
    if (n == 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return text;
}

HostTarget ResolveTarget(const std::string& path) {
  HostTarget t;
  t.Path = ToHostPath(path);
  if (char* resolved = ::realpath(t.Path.c_str(), nullptr)) {
    t.Path = resolved;
    std::free(resolved);
  }
  size_t slash = t.Path.find_last_of('/');
  t.Folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : t.Path.substr(0, slash));
  return t;
}

void FailFile(const char* what, const std::string& path, const std::string& reason) {
  throw FileError(std::string("Cannot ") + what + " file \"" + path + "\". " + reason);
}

std::string NotWritableReason(const struct stat& st, const std::string& host) {
  if (S_ISDIR(st.st_mode)) return "It is a folder";
  if (!S_ISREG(st.st_mode)) return "It is not a regular file";
  if ((st.st_mode & 0222) == 0) return "The file is read-only";
  if (::access(host.c_str(), W_OK) != 0) return Reason(errno);
  return {};
}

void OsTouchFile(const std::string& path) {
  // stat, access and utimensat follow a symbolic link to the file it names.
  const std::string host = ToHostPath(path);
  struct stat st;
  if (::stat(host.c_str(), &st) != 0) FailFile("create", path, Reason(errno));
  if (std::string why = NotWritableReason(st, host); !why.empty()) FailFile("create", path, why);
  if (::utimensat(AT_FDCWD, host.c_str(), nullptr, 0) != 0) FailFile("write", path, Reason(errno));
}

void OsWriteFileText(const std::string& path, const std::string& text) {
  // Ctrl-C and the like end the process only once the file holds its old or
  // its new text whole, and no temporary file is left.
  HeldSignals held;
  FileReplacement replacement(path);
  replacement.Write(text);
  replacement.Install();
}

namespace {
class PreparedReplacement : public PreparedWrite {
 public:
  explicit PreparedReplacement(FileReplacement replacement) : replacement_(std::move(replacement)) {}
  void Install() override { replacement_.Install(); }
  std::string HostPath() const override { return replacement_.Target(); }
  std::string Text() const override { return replacement_.PreparedText(); }

 private:
  FileReplacement replacement_;
};
}  // namespace

std::unique_ptr<PreparedWrite> OsPrepareWrite(const std::string& path, const std::string& text) {
  FileReplacement replacement(path);
  replacement.Write(text);
  replacement.Prepare(false);
  return std::make_unique<PreparedReplacement>(std::move(replacement));
}

void OsSyncPrepared(const std::vector<std::unique_ptr<PreparedWrite>>& writes) {
  std::vector<std::string> paths;
  for (const auto& write : writes) paths.push_back(write->HostPath());
  SyncFileSystemsOf(paths);
}

std::string WriteProblem(const std::string& path) {
  if (std::string problem = PathProblem(path); !problem.empty()) return problem;
  HostTarget target = ResolveTarget(path);
  struct stat st;
  if (::stat(target.Path.c_str(), &st) == 0) {
    std::string why = NotWritableReason(st, target.Path);
    if (!why.empty()) why[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(why[0])));
    return why;
  }
  if (::stat(target.Folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return "its folder does not exist";
  if (::access(target.Folder.c_str(), W_OK | X_OK) != 0) return "its folder cannot be written: " + Reason(errno);
  return {};
}

bool SameFile(const std::string& a, const std::string& b) {
  HostTarget first = ResolveTarget(a), second = ResolveTarget(b);
  struct stat x, y;
  if (::stat(first.Path.c_str(), &x) == 0 && ::stat(second.Path.c_str(), &y) == 0)
    return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
  auto canonical = [](const HostTarget& t) {
    std::string name = t.Path.substr(t.Path.find_last_of('/') + 1);  // npos + 1 is 0
    char* folder = ::realpath(t.Folder.c_str(), nullptr);
    std::string path = std::string(folder ? folder : t.Folder.c_str()) + "/" + name;
    std::free(folder);
    return path;
  };
  return canonical(first) == canonical(second);
}

bool StandardErrorIsTerminal() { return ::isatty(2) == 1; }

}  // namespace platform

#endif
