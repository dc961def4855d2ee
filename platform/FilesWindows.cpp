// Files and folders on Windows: the paths are the system's own, and the
// careful write replaces a file with ReplaceFileA (which keeps its
// attributes and security) or MoveFileExA.
#include "platform/Files.h"
#include "platform/FilesOs.h"

#ifdef _WIN32

#include <algorithm>
#include <cctype>

#include "platform/OutputStream.h"
#include "platform/Text.h"
#include "platform/WinPath.h"
#include "platform/WindowsApi.h"

namespace platform {

namespace {

// The system's text for an error code, without its closing ".\r\n".
std::string Reason(DWORD error) {
  char* text = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = n && text ? std::string(text, n) : "Error " + std::to_string(error);
  if (text) LocalFree(text);
  while (!reason.empty() &&
         (reason.back() == '\r' || reason.back() == '\n' || reason.back() == '.' || reason.back() == ' '))
    reason.pop_back();
  return reason;
}

DWORD Attributes(const std::string& path) {
  return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
}

[[noreturn]] void Fail(const char* what, const std::string& path, const std::string& reason) {
  throw FileError(std::string("Cannot ") + what + " file \"" + path + "\". " + reason);
}

// Why an existing file cannot be written, or empty: a folder, or the
// read-only attribute.
std::string NotWritable(DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "It is a folder";
  if (attributes & FILE_ATTRIBUTE_READONLY) return "The file is read-only";
  return {};
}

// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
  if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

bool WriteAll(HANDLE file, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, text.data() + done, chunk, &written, nullptr)) return false;
    done += written;
  }
  return FlushFileBuffers(file) != 0;
}

// Rewrites the file itself, so that its other links see the new text. The
// file is first made as long as the new text needs (a full disk stops here,
// before a byte of the old text is overwritten), then written from its start
// and cut to its length; should a write still fail, the old text goes back.
void WriteInPlace(const std::string& path, const std::string& text) {
  Handle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) Fail("create", path, Reason(GetLastError()));
  std::string old;
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr) && n > 0) old.append(buffer, n);
  auto cutAt = [&](size_t length) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(length);
    return SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
  };
  if (text.size() > old.size() && !cutAt(text.size())) {
    DWORD error = GetLastError();
    cutAt(old.size());
    Fail("write", path, Reason(error));
  }
  if (SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER || !WriteAll(file.get(), text) ||
      !cutAt(text.size())) {
    DWORD error = GetLastError();
    if (SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER && WriteAll(file.get(), old))
      cutAt(old.size());
    Fail("write", path, Reason(error));
  }
}

// The file's name as the folder holds it (its letter case), for a path that
// names an existing file in any case.
std::string NameOnDisk(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return path;
  FindClose(search);
  size_t slash = path.find_last_of("\\/");
  return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + found.cFileName;
}

std::vector<std::string> ListEntries(const std::string& folder, bool folders, const std::string& masks) {
  std::vector<std::string> names;
  std::string base = folder.empty() ? std::string(".") : folder;
  if (base.back() != '\\' && base.back() != '/' && base.back() != ':') base += '\\';
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((base + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (name == "." || name == ".." || isFolder != folders || (!folders && !MatchesMask(name, masks))) continue;
    names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  return names;
}

}  // namespace

bool OsKeepsFile(const std::string& path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

bool OsFileExists(const std::string& path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool NameTaken(const std::string& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool IsSymbolicLink(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool DirectoryExists(const std::string& path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool OsDeleteFile(const std::string& path) { return OsFileExists(path) && DeleteFileA(path.c_str()) != 0; }

bool OsRenameFile(const std::string& from, const std::string& to) {
  // MoveFileA would move a read-only file; the build leaves it where it is.
  return OsFileExists(from) && !OsKeepsFile(from) && !to.empty() &&
         MoveFileA(from.c_str(), to.c_str()) != 0;  // never replaces
}

std::vector<std::string> OsListFiles(const std::string& folder, const std::string& masks) {
  return ListEntries(folder, false, masks);
}

std::vector<std::string> ListFolders(const std::string& folder) { return ListEntries(folder, true, ""); }

std::vector<std::string> ListDrives() {
  std::vector<std::string> drives;
  char buffer[512];
  DWORD n = GetLogicalDriveStringsA(sizeof buffer, buffer);
  for (const char* p = buffer; n && n < sizeof buffer && *p; p += std::char_traits<char>::length(p) + 1)
    drives.push_back(UpperCase(std::string(p, 2)));  // "c:\" as "C:"
  std::sort(drives.begin(), drives.end());
  return drives;
}

std::string GetCurrentDir() {
  char buffer[MAX_PATH + 1];
  DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
  return n && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

bool SetCurrentDir(const std::string& path) { return !path.empty() && SetCurrentDirectoryA(path.c_str()) != 0; }

std::string OsReadFileText(const std::string& path) {
  if (DirectoryExists(path)) Fail("open", path, "It is a folder");
  Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) Fail("open", path, Reason(GetLastError()));
  std::string text;
  LARGE_INTEGER size;
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) text.reserve(static_cast<size_t>(size.QuadPart));
  char buffer[65536];
  for (;;) {
    DWORD n = 0;
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr)) Fail("read", path, Reason(GetLastError()));
    if (n == 0) break;
    text.append(buffer, n);
  }
  return text;
}

void OsTouchFile(const std::string& path) {
  DWORD a = Attributes(path);
  if (a == INVALID_FILE_ATTRIBUTES) Fail("create", path, Reason(GetLastError()));
  if (std::string why = NotWritable(a); !why.empty()) Fail("create", path, why);
  Handle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  if (!file.valid() || !SetFileTime(file.get(), nullptr, nullptr, &now)) Fail("write", path, Reason(GetLastError()));
}

void OsWriteFileText(const std::string& typed, const std::string& text) {
  if (typed.empty()) Fail("create", typed, "No file name given");
  // The file keeps the name it has, whatever the case the caller wrote.
  const std::string path = Attributes(typed) == INVALID_FILE_ATTRIBUTES ? typed : NameOnDisk(typed);
  const DWORD attributes = Attributes(path);
  const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
  if (existed) {
    if (std::string why = NotWritable(attributes); !why.empty()) Fail("create", path, why);
    // Other hard links would keep the old text: write such a file in place.
    Handle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (file.valid() && GetFileInformationByHandle(file.get(), &info) && info.nNumberOfLinks > 1)
      return WriteInPlace(path, text);
  }
  char temp[MAX_PATH + 1];
  if (!GetTempFileNameA(FolderOf(path).c_str(), "twk", 0, temp)) {
    DWORD error = GetLastError();
    // A folder that takes no new file: the file itself may still be written.
    if (existed) return WriteInPlace(path, text);
    Fail("create", path, Reason(error));
  }
  {
    Handle file(CreateFileA(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || !WriteAll(file.get(), text)) {
      DWORD error = GetLastError();
      DeleteFileA(temp);
      Fail("write", path, Reason(error));
    }
  }
  bool replaced =
      existed && ReplaceFileA(path.c_str(), temp, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
  if (!replaced && !MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DWORD error = GetLastError();
    DeleteFileA(temp);
    Fail("write", path, Reason(error));
  }
  // Hidden, system, archive: as the file had them.
  if (existed) SetFileAttributesA(path.c_str(), attributes);
}

std::string WriteProblem(const std::string& path) {
  if (std::string problem = PathProblem(path); !problem.empty()) return problem;
  DWORD a = Attributes(path);
  if (a != INVALID_FILE_ATTRIBUTES) {
    std::string why = NotWritable(a);
    if (!why.empty()) why[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(why[0])));
    return why;
  }
  const std::string folder = FolderOf(path);
  if (!DirectoryExists(folder)) return "its folder does not exist";
  // Whether the folder takes a new file shows only by making one.
  char probe[MAX_PATH + 1];
  if (!GetTempFileNameA(folder.c_str(), "twk", 0, probe))
    return "its folder cannot be written: " + Reason(GetLastError());
  DeleteFileA(probe);
  return {};
}

bool SameFile(const std::string& a, const std::string& b) {
  auto identity = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    Handle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.valid() && GetFileInformationByHandle(file.get(), &info);
  };
  BY_HANDLE_FILE_INFORMATION x, y;
  if (identity(a, x) && identity(b, y))
    return x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
           x.nFileIndexLow == y.nFileIndexLow;
  auto full = [](const std::string& path) {
    char buffer[MAX_PATH + 1];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return n && n < sizeof buffer ? std::string(buffer, n) : path;
  };
  return SameText(full(a), full(b));
}

bool StandardErrorIsTerminal() {
  DWORD mode;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

ReserveCall SetReserveCall(ReserveCall) { return nullptr; }

struct OutputStream::State {
  std::string path, temp;
  HANDLE file = INVALID_HANDLE_VALUE;
  bool direct = false;
  bool committed = false;
};

bool IsStreamTarget(const std::string& path) { return path == "-"; }

OutputStream::OutputStream(const std::string& path) : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.path = path;
  if (path == "-") {
    s.file = GetStdHandle(STD_OUTPUT_HANDLE);
    s.direct = true;
    return;
  }
  if (path.empty()) Fail("create", path, "No file name given");
  const DWORD attributes = Attributes(path);
  if (attributes != INVALID_FILE_ATTRIBUTES)
    if (std::string why = NotWritable(attributes); !why.empty()) Fail("create", path, why);
  char temp[MAX_PATH + 1];
  if (!GetTempFileNameA(FolderOf(path).c_str(), "twk", 0, temp)) Fail("create", path, Reason(GetLastError()));
  s.temp = temp;
  s.file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (s.file == INVALID_HANDLE_VALUE) Fail("create", path, Reason(GetLastError()));
}

OutputStream::~OutputStream() {
  State& s = *state_;
  if (!s.direct && s.file != INVALID_HANDLE_VALUE) CloseHandle(s.file);
  if (!s.committed && !s.temp.empty()) DeleteFileA(s.temp.c_str());
}

bool OutputStream::Direct() const { return state_->direct; }

void OutputStream::Write(std::string_view text) {
  State& s = *state_;
  for (size_t done = 0; done < text.size();) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(s.file, text.data() + done, chunk, &written, nullptr)) Fail("write", s.path, Reason(GetLastError()));
    done += written;
  }
}

namespace {
// Each rewrite is flushed as it is made here: a batch writes at Install.
class WriteAtInstall : public PreparedWrite {
 public:
  WriteAtInstall(std::string path, std::string text) : path_(std::move(path)), text_(std::move(text)) {}
  void Install() override { OsWriteFileText(path_, text_); }
  std::string HostPath() const override { return path_; }
  std::string Text() const override { return text_; }

 private:
  std::string path_, text_;
};
}  // namespace

std::unique_ptr<PreparedWrite> OsPrepareWrite(const std::string& path, const std::string& text) {
  const DWORD attributes = Attributes(path);
  if (attributes != INVALID_FILE_ATTRIBUTES)
    if (std::string why = NotWritable(attributes); !why.empty()) Fail("create", path, why);
  return std::make_unique<WriteAtInstall>(path, text);
}

void OsSyncPrepared(const std::vector<std::unique_ptr<PreparedWrite>>&) {}

void OutputStream::Prepare() {
  State& s = *state_;
  if (s.direct || s.file == INVALID_HANDLE_VALUE) return;
  const bool flushed = FlushFileBuffers(s.file) != 0;
  CloseHandle(s.file);
  s.file = INVALID_HANDLE_VALUE;
  if (!flushed) Fail("write", s.path, Reason(GetLastError()));
}

void OutputStream::Commit() {
  State& s = *state_;
  if (s.direct) return;
  Prepare();
  if (!MoveFileExA(s.temp.c_str(), s.path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    Fail("write", s.path, Reason(GetLastError()));
  s.committed = true;
}

}  // namespace platform

#endif
