#include "platform/OutputStream.h"

#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/FileReplacement.h"
#include "platform/Files.h"
#include "platform/FilesOs.h"

namespace platform {

struct OutputStream::State {
  std::string path;
  int fd = -1;  // a target written straight through
  std::optional<FileReplacement> replacement;
};

bool IsStreamTarget(const std::string& path) {
  if (path == "-") return true;
  struct stat st;
  return ::stat(ResolveTarget(path).Path.c_str(), &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode));
}

OutputStream::OutputStream(const std::string& path) : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.path = path;
  if (path == "-") {
    s.fd = 1;
    return;
  }
  if (IsStreamTarget(path)) {
    s.fd = ::open(ResolveTarget(path).Path.c_str(), O_WRONLY | O_CLOEXEC);  // a FIFO waits here for its reader
    if (s.fd < 0) FailFile("create", path, std::strerror(errno));
    return;
  }
  s.replacement.emplace(path);
}

OutputStream::~OutputStream() {
  if (state_->fd > 2) ::close(state_->fd);
}

bool OutputStream::Direct() const { return !state_->replacement; }

void OutputStream::Write(std::string_view text) {
  State& s = *state_;
  if (s.replacement) return s.replacement->Write(text);
  for (size_t done = 0; done < text.size();) {
    ssize_t n = ::write(s.fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) FailFile("write", s.path, std::strerror(errno));
    done += static_cast<size_t>(n);
  }
}

void OutputStream::Prepare() {
  if (state_->replacement) state_->replacement->Prepare(true);
}

void OutputStream::Commit() {
  if (state_->replacement) state_->replacement->Install();
}

}  // namespace platform

#endif
