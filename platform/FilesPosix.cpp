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

#include "platform/HeldSignals.h"
#include "platform/OutputStream.h"
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

namespace {

sigset_t EndingSignals() {
  sigset_t ending;
  sigemptyset(&ending);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&ending, signal);
  return ending;
}

int ReserveByFallocate(int fd, long long length) {
#ifdef __linux__
  return ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(length)) == 0 ? 0 : errno;
#else
  (void)fd;
  (void)length;
  return EOPNOTSUPP;
#endif
}

ReserveCall reserveCall = &ReserveByFallocate;

}  // namespace

HeldSignals::HeldSignals() {
  static_assert(sizeof(sigset_t) <= sizeof(saved_));
  sigset_t ending = EndingSignals();
  ::pthread_sigmask(SIG_BLOCK, &ending, reinterpret_cast<sigset_t*>(saved_));
}

HeldSignals::~HeldSignals() { ::pthread_sigmask(SIG_SETMASK, reinterpret_cast<sigset_t*>(saved_), nullptr); }

void RefuseEndingSignals() {
  sigset_t ending = EndingSignals();
  ::pthread_sigmask(SIG_BLOCK, &ending, nullptr);
}

ReserveCall SetReserveCall(ReserveCall call) {
  ReserveCall previous = reserveCall;
  reserveCall = call ? call : &ReserveByFallocate;
  return previous;
}

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

bool OsCopyFile(const std::string& from, const std::string& to) {
  if (!OsFileExists(from)) return false;
  try {
    OsWriteFileText(to, OsReadFileText(from));
    return true;
  } catch (const FileError&) {
    return false;
  }
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

std::string GetCurrentDir() {
  char buffer[4096];
  return ::getcwd(buffer, sizeof buffer) ? ToWindowsPath(buffer) : std::string();
}

bool SetCurrentDir(const std::string& path) {
  return !path.empty() && ::chdir(ToHostPath(path).c_str()) == 0;
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

namespace {

// The file's folder and name on the host, through a symbolic link to the
// file it names: a link stays a link, and the file it points to is written.
struct HostTarget {
  std::string Path, Folder;
};

HostTarget Target(const std::string& path) {
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

[[noreturn]] void Fail(const char* what, const std::string& path, const std::string& reason) {
  throw FileError(std::string("Cannot ") + what + " file \"" + path + "\". " + reason);
}

// Why an existing file cannot be written, or empty. A file without any
// write permission is read-only, for root too, as the read-only attribute is
// on Windows; so is one this user may not write.
std::string NotWritable(const struct stat& st, const std::string& host) {
  if (S_ISDIR(st.st_mode)) return "It is a folder";
  if (!S_ISREG(st.st_mode)) return "It is not a regular file";
  if ((st.st_mode & 0222) == 0) return "The file is read-only";
  if (::access(host.c_str(), W_OK) != 0) return Reason(errno);
  return {};
}

void RefuseReadOnly(const struct stat& st, const std::string& host, const std::string& path) {
  if (std::string why = NotWritable(st, host); !why.empty()) Fail("create", path, why);
}

bool WriteAll(int fd, const std::string& text, off_t offset = -1) {
  for (size_t done = 0; done < text.size();) {
    ssize_t n = offset < 0 ? ::write(fd, text.data() + done, text.size() - done)
                           : ::pwrite(fd, text.data() + done, text.size() - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    done += static_cast<size_t>(n);
  }
  return ::fsync(fd) == 0 || errno == EINVAL;  // EINVAL: a file that cannot be synced (a pipe)
}

// Reads the whole of an open file from its start.
bool ReadAll(int fd, std::string& text) {
  char buffer[65536];
  for (off_t at = 0;;) {
    ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    text.append(buffer, static_cast<size_t>(n));
    at += n;
  }
}

// Rewrites the file itself: its identity, links, owner and permissions stay
// whatever happens, and so does its text unless the new text is all there.
// The space the new text needs beyond the old is reserved first, so a full
// disk stops the write before a byte of the old text is overwritten; where
// the file system cannot reserve, the old text is put back after a failure.
// Only then is the text written over the old and the file cut to its length.
void WriteInPlace(const std::string& host, const std::string& path, const std::string& text) {
  int fd = ::open(host.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) Fail("create", path, Reason(errno));
  auto fail = [&](const char* what, int error) {
    ::close(fd);
    Fail(what, path, Reason(error));
  };
  std::string old;
  if (!ReadAll(fd, old)) fail("read", errno);
  if (text.size() > old.size()) {
    int reserved = reserveCall(fd, static_cast<long long>(text.size()));
    if (reserved != 0 && reserved != EOPNOTSUPP && reserved != ENOSYS) fail("write", reserved);
  }
  if (!WriteAll(fd, text, 0) || ::ftruncate(fd, static_cast<off_t>(text.size())) != 0 ||
      (::fsync(fd) != 0 && errno != EINVAL)) {
    int error = errno;
    // Back to the old text: its blocks are still the file's own.
    if (WriteAll(fd, old, 0)) (void)!::ftruncate(fd, static_cast<off_t>(old.size()));
    fail("write", error);
  }
  if (::close(fd) != 0) Fail("write", path, Reason(errno));
}

mode_t NewFileMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

void OsTouchFile(const std::string& path) {
  HostTarget target = Target(path);
  struct stat st;
  if (::stat(target.Path.c_str(), &st) != 0) Fail("create", path, Reason(errno));
  RefuseReadOnly(st, target.Path, path);
  if (::utimensat(AT_FDCWD, target.Path.c_str(), nullptr, 0) != 0) Fail("write", path, Reason(errno));
}

void OsWriteFileText(const std::string& path, const std::string& text) {
  if (path.empty()) Fail("create", path, "No file name given");
  // Ctrl-C and the like end the process only once the file holds its old or
  // its new text whole, and no temporary file is left.
  HeldSignals held;
  HostTarget target = Target(path);
  struct stat old;
  const bool existed = ::stat(target.Path.c_str(), &old) == 0;
  if (existed) RefuseReadOnly(old, target.Path, path);
  // Other hard links would keep the old text: write such a file in place.
  if (existed && old.st_nlink > 1) return WriteInPlace(target.Path, path, text);

  // A short temporary name, whatever the length of the file's own name.
  std::string temp = target.Folder + "/.tidewell-XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    // A folder that takes no new file: the file itself may still be written.
    if (existed) return WriteInPlace(target.Path, path, text);
    Fail("create", path, Reason(errno));
  }
  auto abandon = [&] {
    ::close(fd);
    ::unlink(temp.c_str());
  };
  struct stat made;
  bool keepsOwner = !existed || (::fstat(fd, &made) == 0 && made.st_uid == old.st_uid && made.st_gid == old.st_gid) ||
                    ::fchown(fd, old.st_uid, old.st_gid) == 0;
  if (!keepsOwner || ::fchmod(fd, existed ? (old.st_mode & 07777) : NewFileMode()) != 0) {
    abandon();  // a replacement would change the file's owner or group
    return WriteInPlace(target.Path, path, text);
  }
  if (!WriteAll(fd, text)) {
    int error = errno;
    abandon();
    Fail("write", path, Reason(error));
  }
  if (::close(fd) != 0 || ::rename(temp.c_str(), target.Path.c_str()) != 0) {
    int error = errno;
    ::unlink(temp.c_str());
    Fail("write", path, Reason(error));
  }
}

std::string WriteProblem(const std::string& path) {
  if (std::string problem = PathProblem(path); !problem.empty()) return problem;
  HostTarget target = Target(path);
  struct stat st;
  if (::stat(target.Path.c_str(), &st) == 0) {
    std::string why = NotWritable(st, target.Path);
    if (!why.empty()) why[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(why[0])));
    return why;
  }
  if (::stat(target.Folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return "its folder does not exist";
  if (::access(target.Folder.c_str(), W_OK | X_OK) != 0) return "its folder cannot be written: " + Reason(errno);
  return {};
}

bool SameFile(const std::string& a, const std::string& b) {
  HostTarget first = Target(a), second = Target(b);
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

namespace {

// The temporary file of the output stream being written, removed should an
// interrupt, a termination or a hang-up end the process first.
char pendingTemp[PATH_MAX + 1];
struct sigaction previousActions[3];
constexpr int EndingSignals3[3] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemovePendingTemp(int signal) {
  if (pendingTemp[0]) ::unlink(pendingTemp);
  for (int i = 0; i < 3; ++i)
    if (EndingSignals3[i] == signal) ::sigaction(signal, &previousActions[i], nullptr);
  ::raise(signal);
}

}  // namespace

struct OutputStream::State {
  std::string path, target, temp;
  int fd = -1;
  bool direct = false;
  bool committed = false;
  off_t written = 0, flushedTo = 0;  // of the temporary file
};

bool IsStreamTarget(const std::string& path) {
  if (path == "-") return true;
  struct stat st;
  return ::stat(Target(path).Path.c_str(), &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode));
}

OutputStream::OutputStream(const std::string& path) : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.path = path;
  if (path == "-") {
    s.fd = 1;
    s.direct = true;
    return;
  }
  if (path.empty()) Fail("create", path, "No file name given");
  HostTarget target = Target(path);
  s.target = target.Path;
  struct stat old;
  const bool existed = ::stat(target.Path.c_str(), &old) == 0;
  if (existed && (S_ISFIFO(old.st_mode) || S_ISCHR(old.st_mode))) {
    s.fd = ::open(target.Path.c_str(), O_WRONLY | O_CLOEXEC);  // a FIFO waits here for its reader
    if (s.fd < 0) Fail("create", path, Reason(errno));
    s.direct = true;
    return;
  }
  if (existed) RefuseReadOnly(old, target.Path, path);
  s.temp = target.Folder + "/.tidewell-XXXXXX";
  s.fd = ::mkstemp(s.temp.data());
  if (s.fd < 0) {
    s.temp.clear();
    Fail("create", path, Reason(errno));
  }
  ::fchmod(s.fd, existed ? (old.st_mode & 07777) : NewFileMode());
  if (existed && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
    (void)!::fchown(s.fd, old.st_uid, old.st_gid);
  std::snprintf(pendingTemp, sizeof pendingTemp, "%s", s.temp.c_str());
  struct sigaction action {};
  action.sa_handler = RemovePendingTemp;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < 3; ++i) ::sigaction(EndingSignals3[i], &action, &previousActions[i]);
}

OutputStream::~OutputStream() {
  State& s = *state_;
  if (!s.temp.empty()) {
    for (int i = 0; i < 3; ++i) ::sigaction(EndingSignals3[i], &previousActions[i], nullptr);
    pendingTemp[0] = '\0';
  }
  if (s.fd > 2) ::close(s.fd);
  if (!s.committed && !s.temp.empty()) ::unlink(s.temp.c_str());
}

bool OutputStream::Direct() const { return state_->direct; }

void OutputStream::Write(std::string_view text) {
  State& s = *state_;
  for (size_t done = 0; done < text.size();) {
    ssize_t n = ::write(s.fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("write", s.path, Reason(errno));
    done += static_cast<size_t>(n);
  }
  s.written += static_cast<off_t>(text.size());
#ifdef __linux__
  // The disk takes what is written while the rest is made, so the flush
  // before the file takes its name has little left to wait for.
  constexpr off_t Step = off_t{8} << 20;
  if (!s.direct && s.written - s.flushedTo >= Step) {
    (void)::sync_file_range(s.fd, s.flushedTo, s.written - s.flushedTo, SYNC_FILE_RANGE_WRITE);
    s.flushedTo = s.written;
  }
#endif
}

void OutputStream::Commit() {
  State& s = *state_;
  if (s.direct) return;
  HeldSignals held;  // the file takes its name whole, or not at all
  if (::fsync(s.fd) != 0 && errno != EINVAL) Fail("write", s.path, Reason(errno));
  int fd = s.fd;
  s.fd = -1;
  if (::close(fd) != 0 || ::rename(s.temp.c_str(), s.target.c_str()) != 0) Fail("write", s.path, Reason(errno));
  s.committed = true;
}

bool StandardErrorIsTerminal() { return ::isatty(2) == 1; }

}  // namespace platform

#endif
