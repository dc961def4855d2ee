#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cerrno>
#include <cctype>
#include <cstring>

#include "platform/Text.h"
#include "platform/WinPath.h"

namespace platform {

namespace {

std::string Reason(int error) { return std::strerror(error); }

bool WildMatch(const char* name, const char* mask) {
  // Iterative glob with backtracking on the last "*".
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*mask == '*') {
      star = mask++;
      resume = name;
    } else if (*mask == '?' || (*mask && std::toupper(static_cast<unsigned char>(*mask)) ==
                                             std::toupper(static_cast<unsigned char>(*name)))) {
      ++mask;
      ++name;
    } else if (star) {
      mask = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*mask == '*') ++mask;
  return *mask == '\0';
}

}  // namespace

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  struct stat st;
  return ::stat(ToHostPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  if (path.empty()) return false;
  struct stat st;
  return ::stat(ToHostPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFile(const std::string& path) {
  return !path.empty() && FileExists(path) && ::unlink(ToHostPath(path).c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
  if (!FileExists(from) || FileExists(to)) return false;  // as on Windows: no overwrite
  std::string target = ToHostPath(to);
  return ::rename(ToHostPath(from).c_str(), target.c_str()) == 0;
}

bool CopyFile(const std::string& from, const std::string& to) {
  if (!FileExists(from)) return false;
  try {
    WriteFileAtomically(to, ReadFileText(from));
    return true;
  } catch (const FileError&) {
    return false;
  }
}

bool MatchesMask(const std::string& name, const std::string& masks) {
  size_t start = 0;
  while (start <= masks.size()) {
    size_t end = masks.find(';', start);
    if (end == std::string::npos) end = masks.size();
    std::string mask = Trim(masks.substr(start, end - start));
    if (!mask.empty() && WildMatch(name.c_str(), mask.c_str())) return true;
    start = end + 1;
  }
  return false;
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& masks) {
  std::vector<std::string> names;
  std::string host = ToHostPath(folder.empty() ? std::string(".") : folder);
  DIR* dir = ::opendir(host.c_str());
  if (!dir) return names;
  while (dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == ".." || !MatchesMask(name, masks)) continue;
    struct stat st;
    if (::stat((host + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  return names;
}

std::string GetCurrentDir() {
  char buffer[4096];
  return ::getcwd(buffer, sizeof buffer) ? ToWindowsPath(buffer) : std::string();
}

bool SetCurrentDir(const std::string& path) {
  return !path.empty() && ::chdir(ToHostPath(path).c_str()) == 0;
}

std::string ReadFileText(const std::string& path) {
  std::string host = ToHostPath(path);
  int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw FileError("Cannot open file \"" + path + "\". " + Reason(errno));
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    throw FileError("Cannot open file \"" + path + "\". It is a folder");
  }
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

void TouchFile(const std::string& path) {
  if (::utimensat(AT_FDCWD, ToHostPath(path).c_str(), nullptr, 0) != 0)
    throw FileError("Cannot write file \"" + path + "\". " + Reason(errno));
}

void WriteFileAtomically(const std::string& path, const std::string& text) {
  std::string host = ToHostPath(path);
  // A link stays a link: the file it points to is the one replaced.
  if (char resolved[PATH_MAX]; ::realpath(host.c_str(), resolved)) host = resolved;
  size_t slash = host.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : host.substr(0, slash));
  std::string name = slash == std::string::npos ? host : host.substr(slash + 1);
  std::string temp = folder + "/." + name + ".XXXXXX";
  auto fail = [&](const char* what, int error) {
    throw FileError(std::string("Cannot ") + what + " file \"" + path + "\". " + Reason(error));
  };
  struct stat old;
  bool existed = ::stat(host.c_str(), &old) == 0;
  if (existed && S_ISDIR(old.st_mode)) throw FileError("Cannot create file \"" + path + "\". It is a folder");
  int fd = ::mkstemp(temp.data());
  if (fd < 0) fail("create", errno);
  auto abandon = [&](const char* what) {
    int error = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    fail(what, error);
  };
  mode_t mode = existed ? (old.st_mode & 07777) : [] {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  if (::fchmod(fd, mode) != 0) abandon("create");
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) abandon("write");
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) {
    int error = errno;
    ::unlink(temp.c_str());
    fail("write", error);
  }
  if (::rename(temp.c_str(), host.c_str()) != 0) {
    int error = errno;
    ::unlink(temp.c_str());
    fail("write", error);
  }
}

}  // namespace platform
