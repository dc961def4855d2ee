#include "platform/FileReplacement.h"

#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include "platform/Files.h"
#include "platform/FilesOs.h"
#include "platform/Signals.h"

namespace platform {

namespace {

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

std::string Reason(int error) { return std::strerror(error); }

bool WriteAll(int fd, std::string_view text, off_t offset = -1) {
  for (size_t done = 0; done < text.size();) {
    ssize_t n = offset < 0 ? ::write(fd, text.data() + done, text.size() - done)
                           : ::pwrite(fd, text.data() + done, text.size() - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool Flush(int fd) { return ::fsync(fd) == 0 || errno == EINVAL; }  // EINVAL: a file that cannot be synced

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
void WriteInPlace(const std::string& host, const std::string& path, std::string_view text) {
  int fd = ::open(host.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) FailFile("create", path, Reason(errno));
  auto fail = [&](const char* what, int error) {
    ::close(fd);
    FailFile(what, path, Reason(error));
  };
  std::string old;
  if (!ReadAll(fd, old)) fail("read", errno);
  if (text.size() > old.size()) {
    int reserved = reserveCall(fd, static_cast<long long>(text.size()));
    if (reserved != 0 && reserved != EOPNOTSUPP && reserved != ENOSYS) fail("write", reserved);
  }
  if (!WriteAll(fd, text, 0) || ::ftruncate(fd, static_cast<off_t>(text.size())) != 0 || !Flush(fd)) {
    int error = errno;
    // Back to the old text: its blocks are still the file's own.
    if (WriteAll(fd, old, 0)) (void)!::ftruncate(fd, static_cast<off_t>(old.size()));
    fail("write", error);
  }
  if (::close(fd) != 0) FailFile("write", path, Reason(errno));
}

mode_t NewFileMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

ReserveCall SetReserveCall(ReserveCall call) {
  ReserveCall previous = reserveCall;
  reserveCall = call ? call : &ReserveByFallocate;
  return previous;
}

FileReplacement::FileReplacement(const std::string& path) : path_(path) {
  if (path.empty()) FailFile("create", path, "No file name given");
  const HostTarget target = ResolveTarget(path);
  target_ = target.Path;
  folder_ = target.Folder;
  struct stat old;
  existed_ = ::stat(target_.c_str(), &old) == 0;
  if (existed_)
    if (std::string why = NotWritableReason(old, target_); !why.empty()) FailFile("create", path, why);
  // Other hard links would keep the old text: such a file is written in
  // place, from the new text kept in memory.
  inPlace_ = existed_ && old.st_nlink > 1;
  if (inPlace_) return;

  // A short temporary name, whatever the length of the file's own name,
  // that says what it is should a crash leave it: ".tidewell-unfinished-"
  // and the start of the file's name.
  std::string name = target_.substr(target_.find_last_of('/') + 1);
  size_t cut = std::min<size_t>(name.size(), 40);
  while (cut > 0 && cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  temp_ = folder_ + "/.tidewell-unfinished-" + name.substr(0, cut) + "-XXXXXX";
  fd_ = ::mkstemp(temp_.data());
  if (fd_ < 0) {
    temp_.clear();
    // A folder that takes no new file: the file itself may still be written.
    if (!existed_) FailFile("create", path, Reason(errno));
    inPlace_ = true;
    return;
  }
  RemoveOnEndingSignal(temp_.c_str());
  struct stat made;
  const bool keepsOwner = !existed_ ||
                          (::fstat(fd_, &made) == 0 && made.st_uid == old.st_uid && made.st_gid == old.st_gid) ||
                          ::fchown(fd_, old.st_uid, old.st_gid) == 0;
  // A replacement would change the file's owner or group: in place then.
  if (!keepsOwner || ::fchmod(fd_, existed_ ? (old.st_mode & 07777) : NewFileMode()) != 0) inPlace_ = true;
}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept
    : path_(std::move(other.path_)),
      target_(std::move(other.target_)),
      folder_(std::move(other.folder_)),
      temp_(std::move(other.temp_)),
      fd_(other.fd_),
      existed_(other.existed_),
      inPlace_(other.inPlace_),
      prepared_(other.prepared_),
      installed_(other.installed_),
      memory_(std::move(other.memory_)),
      written_(other.written_),
      flushedTo_(other.flushedTo_) {
  other.fd_ = -1;
  other.temp_.clear();
  other.installed_ = true;
}

FileReplacement::~FileReplacement() {
  if (fd_ >= 0) ::close(fd_);
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    ForgetOnEndingSignal(temp_.c_str());
  }
}

void FileReplacement::Write(std::string_view text) {
  if (fd_ < 0) {
    memory_.append(text);
    return;
  }
  if (!WriteAll(fd_, text)) FailFile("write", path_, Reason(errno));
  written_ += static_cast<long long>(text.size());
#ifdef __linux__
  // The disk takes what is written while the rest is made, so the flush
  // before the file takes its name has little left to wait for.
  constexpr long long Step = 8LL << 20;
  if (written_ - flushedTo_ >= Step) {
    (void)::sync_file_range(fd_, flushedTo_, written_ - flushedTo_, SYNC_FILE_RANGE_WRITE);
    flushedTo_ = written_;
  }
#endif
}

void FileReplacement::WriteInPlaceFromSpool() {
  if (fd_ >= 0) {
    memory_.clear();
    if (!ReadAll(fd_, memory_)) FailFile("write", path_, Reason(errno));
  }
  WriteInPlace(target_, path_, memory_);
  memory_.clear();
}

void FileReplacement::Prepare(bool flush) {
  if (prepared_) return;
  prepared_ = true;
  if (inPlace_) {
    HeldSignals held;  // the file holds its old text or its new text, whole
    WriteInPlaceFromSpool();
    return;
  }
  if (flush && !Flush(fd_)) FailFile("write", path_, Reason(errno));
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) FailFile("write", path_, Reason(errno));
}

std::string FileReplacement::PreparedText() const {
  if (!prepared_ && fd_ < 0) return memory_;  // in place, not yet written
  const std::string& holder = inPlace_ || installed_ ? target_ : temp_;
  int fd = ::open(holder.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) FailFile("read", path_, Reason(errno));
  std::string text;
  const bool read = ReadAll(fd, text);
  const int error = errno;
  ::close(fd);
  if (!read) FailFile("read", path_, Reason(error));
  return text;
}

void FileReplacement::Install() {
  if (!prepared_) Prepare(true);
  if (installed_) return;
  installed_ = true;
  if (inPlace_) return;  // the text is in place already
  HeldSignals held;      // the file takes its name whole, or not at all
  if (::rename(temp_.c_str(), target_.c_str()) != 0) FailFile("write", path_, Reason(errno));
  ForgetOnEndingSignal(temp_.c_str());
  temp_.clear();
}

void SyncFileSystemsOf(const std::vector<std::string>& hostPaths) {
  std::set<dev_t> synced;
  for (const std::string& path : hostPaths) {
    const std::string folder = path.substr(0, path.find_last_of('/') + (path.find_last_of('/') == 0 ? 1 : 0));
    struct stat st;
    if (::stat(folder.empty() ? "." : folder.c_str(), &st) != 0 || !synced.insert(st.st_dev).second) continue;
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) continue;
#ifdef __linux__
    (void)::syncfs(fd);
#else
    ::sync();
#endif
    ::close(fd);
  }
}

}  // namespace platform

#endif
