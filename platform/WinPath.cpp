#include "platform/WinPath.h"

#ifdef _WIN32

#include "platform/WindowsApi.h"

namespace platform {
std::string ToHostPath(const std::string& windowsPath) { return windowsPath; }
// The path made whole (a relative one starts from the current folder).
std::string ToWindowsPath(const std::string& hostPath) {
  if (hostPath.empty()) return {};
  char full[MAX_PATH + 1];
  DWORD n = GetFullPathNameA(hostPath.c_str(), sizeof full, full, nullptr);
  return n && n < sizeof full ? std::string(full, n) : hostPath;
}
std::string DosDevicesFolder() { return {}; }
std::string DriveProblem(const std::string&) { return {}; }

std::string CodePageToHost(const std::string& name) { return name; }
std::string HostToCodePage(const std::string& name) { return name; }
std::string PathProblem(const std::string& path) {
  if (path.empty()) return "no file name given";
  for (size_t start = 0; start < path.size();) {
    size_t end = path.find_first_of("\\/", start);
    if (end == std::string::npos) end = path.size();
    if (end - start > 255)
      return "the name \"" + path.substr(start, end - start) + "\" is longer than the file system allows";
    start = end + 1;
  }
  if (path.size() >= MAX_PATH)
    return "the path is longer than the system allows (" + std::to_string(path.size()) + " characters)";
  return {};
}
}  // namespace platform

#else

#include <dirent.h>
#include <iconv.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/Text.h"

namespace platform {

namespace {

bool Exists(const std::string& hostPath) {
  struct stat st;
  return ::stat(hostPath.c_str(), &st) == 0;
}

std::string HostCurrentDir() {
  char buffer[PATH_MAX];
  return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string("/");
}

std::string RealPath(const std::string& hostPath) {
  char buffer[PATH_MAX];
  return ::realpath(hostPath.c_str(), buffer) ? std::string(buffer) : hostPath;
}

// Host folder of drive letter `drive` (lower case), or empty.
std::string DriveFolder(char drive) {
  std::string entry = DosDevicesFolder() + "/" + drive + ":";
  if (Exists(entry)) return entry;
  if (drive == 'z') return "/";
  return {};
}

bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Text from one character set to another with iconv; nothing when a byte or
// a character has no place in the other.
std::optional<std::string> Convert(const std::string& text, const char* from, const char* to) {
  iconv_t converter = ::iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(text.size() * 4 + 4, '\0');
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* put = out.data();
  size_t outLeft = out.size();
  const bool done = ::iconv(converter, &in, &inLeft, &put, &outLeft) != static_cast<size_t>(-1) && inLeft == 0;
  ::iconv_close(converter);
  if (!done) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

std::string CodePage() {
  const char* page = std::getenv("TIDEWELL_CODEPAGE");
  return page && *page ? page : "CP1252";
}

std::string CodePageToHost(const std::string& name) {
  if (IsAscii(name)) return name;
  return Convert(name, CodePage().c_str(), "UTF-8").value_or(name);
}

bool KnownCodePage(const std::string& name) {
  iconv_t converter = ::iconv_open("UTF-8", name.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  ::iconv_close(converter);
  return true;
}

std::string HostToCodePage(const std::string& name) {
  if (IsAscii(name)) return name;
  return Convert(name, "UTF-8", CodePage().c_str()).value_or(name);
}

namespace {

// Appends one component to a host folder: as written (a name in the file
// system's own text), else in the file system's text (UTF-8) from the
// Windows code page, else found without regard to case.
std::string Append(const std::string& base, const std::string& written) {
  auto join = [&](const std::string& name) { return base == "/" ? "/" + name : base + "/" + name; };
  if (Exists(join(written))) return join(written);
  const std::string component = CodePageToHost(written);  // ASCII stays as it is
  if (component != written && Exists(join(component))) return join(component);
  if (DIR* dir = ::opendir(base.empty() ? "." : base.c_str())) {
    std::string match;
    while (dirent* e = ::readdir(dir)) {
      if (SameText(e->d_name, component)) {
        match = e->d_name;
        break;
      }
    }
    ::closedir(dir);
    if (!match.empty()) return join(match);
  }
  return join(component);
}

// The host path of `rest` below `base` when every component of it exists
// exactly as written (most paths do): one look at the whole path, instead
// of one per component. Empty otherwise, or when a "." or ".." needs the
// component walk.
std::string JoinedIfExists(const std::string& base, const std::string& rest) {
  std::string host = base;
  for (size_t i = 0; i <= rest.size();) {
    size_t j = rest.find_first_of("\\/", i);
    if (j == std::string::npos) j = rest.size();
    const std::string_view component(rest.data() + i, j - i);
    if (component == "." || component == "..") return {};
    if (!component.empty()) {
      if (host != "/") host += '/';
      host += component;
    }
    i = j + 1;
  }
  return Exists(host) ? host : std::string();
}

}  // namespace

std::string DosDevicesFolder() {
  if (const char* d = std::getenv("TIDEWELL_DOSDEVICES"); d && *d) return d;
  if (const char* p = std::getenv("WINEPREFIX"); p && *p) return std::string(p) + "/dosdevices";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.wine/dosdevices";
}

std::string DriveProblem(const std::string& windowsPath) {
  if (windowsPath.size() < 2 || windowsPath[1] != ':' || !std::isalpha(static_cast<unsigned char>(windowsPath[0])))
    return {};
  const char drive = LowerCase(windowsPath.substr(0, 1))[0];
  if (!DriveFolder(drive).empty()) return {};
  const std::string folder = DosDevicesFolder();
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0) return "drives are looked up in " + folder + ", which does not exist";
  if (!S_ISDIR(st.st_mode)) return "drives are looked up in " + folder + ", which is no folder";
  return std::string("drive ") + UpperCase(windowsPath.substr(0, 1)) + ": is not in " + folder;
}

std::string ToHostPath(const std::string& windowsPath) {
  if (windowsPath.empty()) return {};
  std::string base;
  std::string rest;
  const std::string& p = windowsPath;
  if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) {
    char drive = LowerCase(p.substr(0, 1))[0];
    base = DriveFolder(drive);
    if (base.empty()) base = DosDevicesFolder() + "/" + drive + ":";
    rest = p.substr(2);
  } else if (p[0] == '/') {
    return p;  // already a host path
  } else if (p[0] == '\\') {
    // Root of the current drive.
    std::string current = ToWindowsPath(HostCurrentDir());
    return ToHostPath(current.substr(0, 2) + p);
  } else {
    base = HostCurrentDir();
    rest = p;
  }
  if (std::string whole = JoinedIfExists(base, rest); !whole.empty()) return whole;
  std::string host = base;
  size_t i = 0;
  while (i <= rest.size()) {
    size_t j = rest.find_first_of("\\/", i);
    if (j == std::string::npos) j = rest.size();
    std::string component = rest.substr(i, j - i);
    if (!component.empty() && component != ".") {
      if (component == "..") {
        size_t slash = host.find_last_of('/');
        host = slash == 0 || slash == std::string::npos ? "/" : host.substr(0, slash);
      } else {
        host = Append(host, component);
      }
    }
    i = j + 1;
  }
  return host;
}

std::string ToWindowsPath(const std::string& hostPath) {
  if (hostPath.empty()) return {};
  std::string path = RealPath(hostPath[0] == '/' ? hostPath : HostCurrentDir() + "/" + hostPath);
  std::string bestPrefix;
  char bestDrive = 0;
  if (DIR* dir = ::opendir(DosDevicesFolder().c_str())) {
    while (dirent* e = ::readdir(dir)) {
      std::string name = e->d_name;
      if (name.size() != 2 || name[1] != ':' || !std::isalpha(static_cast<unsigned char>(name[0]))) continue;
      std::string target = RealPath(DosDevicesFolder() + "/" + name);
      bool under = path == target ||
                   (path.compare(0, target.size(), target) == 0 && (target == "/" || path[target.size()] == '/'));
      if (under && target.size() > bestPrefix.size()) {
        bestPrefix = target;
        bestDrive = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
      }
    }
    ::closedir(dir);
  }
  if (!bestDrive) {
    bestDrive = 'Z';
    bestPrefix = "/";
  }
  std::string rest = bestPrefix == "/" ? path.substr(1) : path.substr(std::min(path.size(), bestPrefix.size() + 1));
  for (char& c : rest) c = c == '/' ? '\\' : c;
  return std::string(1, bestDrive) + ":\\" + HostToCodePage(rest);
}

std::string PathProblem(const std::string& path) {
  if (path.empty()) return "no file name given";
  std::string host = ToHostPath(path);
  if (host.size() >= PATH_MAX)
    return "the path is longer than the system allows (" + std::to_string(host.size()) + " characters)";
  for (size_t start = 0; start < host.size();) {
    size_t end = host.find('/', start);
    if (end == std::string::npos) end = host.size();
    if (end - start > NAME_MAX)
      return "the name \"" + host.substr(start, end - start) + "\" is longer than the file system allows";
    start = end + 1;
  }
  return {};
}

}  // namespace platform

#endif

#include <algorithm>
#include <cctype>

namespace platform {

std::string TypedPath(const std::string& typed) {
  // After a drive letter, "/" and "\" both separate names.
  if (typed.size() >= 2 && typed[1] == ':' && std::isalpha(static_cast<unsigned char>(typed[0]))) {
    std::string path = typed;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
  }
  // A path of this host, or a relative one written the Windows way
  // (".\App\X.dpr"): made whole from the current folder.
  std::string path = typed;
  std::replace(path.begin(), path.end(), '\\', '/');
  return ToWindowsPath(path);
}

}  // namespace platform
