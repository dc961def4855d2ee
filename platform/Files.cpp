#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <optional>
#include <unordered_map>

#include "platform/FileSystem.h"
#include "platform/FilesOs.h"
#include "platform/Signals.h"
#include "platform/Text.h"
#include "platform/WinPath.h"

// What the file functions share on every host; the host's own calls are in
// FilesPosix.cpp and FilesWindows.cpp.
namespace platform {

namespace {

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

bool IsInsideFolder(const std::string& path, const std::string& folder) {
  namespace fs = std::filesystem;
  if (path.empty() || folder.empty()) return false;
  std::error_code pathError, folderError;
  const fs::path inner = fs::weakly_canonical(fs::path(ToHostPath(path)), pathError);
  const fs::path outer = fs::weakly_canonical(fs::path(ToHostPath(folder)), folderError);
  if (pathError || folderError) return false;
  const fs::path relative = inner.lexically_relative(outer);
  return !relative.empty() && *relative.begin() != ".." && relative != ".";
}

// The file functions: the host's.

bool FileExists(const std::string& path) { return OsFileExists(path); }
bool DeleteFile(const std::string& path) { return OsDeleteFile(path); }
bool RenameFile(const std::string& from, const std::string& to) { return OsRenameFile(from, to); }
bool CopyFile(const std::string& from, const std::string& to) { return DiskFiles().CopyFile(from, to); }
std::vector<std::string> ListFiles(const std::string& folder, const std::string& masks) {
  return OsListFiles(folder, masks);
}
std::string ReadFileText(const std::string& path) { return OsReadFileText(path); }
void TouchFile(const std::string& path) { OsTouchFile(path); }
void WriteFileText(const std::string& path, const std::string& text) { OsWriteFileText(path, text); }

bool FileSystem::CopyFile(const std::string& from, const std::string& to) {
  if (!FileExists(from)) return false;
  try {
    WriteFileText(to, ReadFileText(from));
    return true;
  } catch (const FileError&) {
    return false;
  }
}

namespace {

// The disk. In a batch, rewrites are prepared beside their files and put in
// place together at its end, after one flush; the ending signals wait
// meanwhile, so no temporary file outlives the process.
class DiskFileSystem : public FileSystem {
 public:
  bool FileExists(const std::string& path) const override { return Pending(path) != nullptr || OsFileExists(path); }
  bool NameTaken(const std::string& path) const override {
    return Pending(path) != nullptr || platform::NameTaken(path);
  }
  bool DeleteFile(const std::string& path) override { return OsDeleteFile(path); }
  bool RenameFile(const std::string& from, const std::string& to) override { return OsRenameFile(from, to); }
  std::vector<std::string> ListFiles(const std::string& folder, const std::string& masks) const override {
    return OsListFiles(folder, masks);
  }
  // A file rewritten earlier in the batch reads as its new text.
  std::string ReadFileText(const std::string& path) const override {
    if (const PreparedWrite* rewrite = Pending(path)) return rewrite->Text();
    return OsReadFileText(path);
  }
  void TouchFile(const std::string& path) override {
    if (!Pending(path)) OsTouchFile(path);  // a pending rewrite gives it a new time anyway
  }
  void WriteFileText(const std::string& path, const std::string& text) override {
    if (!held_) return OsWriteFileText(path, text);
    const std::string key = ToHostPath(path);
    std::unique_ptr<PreparedWrite> write = OsPrepareWrite(path, text);
    // A file written twice: its first temporary file goes, the new text replaces it.
    if (auto same = pending_.find(key); same != pending_.end()) writes_[same->second] = std::move(write);
    else {
      pending_.emplace(key, writes_.size());
      writes_.push_back(std::move(write));
    }
  }
  void BeginBatch() override {
    if (depth_++ == 0) held_.emplace();
  }
  void EndBatch() override {
    if (depth_ == 0 || --depth_ > 0) return;
    std::vector<std::unique_ptr<PreparedWrite>> writes = std::move(writes_);
    writes_.clear();
    pending_.clear();
    std::exception_ptr failure;
    if (!writes.empty()) OsSyncPrepared(writes);
    for (auto& write : writes) {
      try {
        write->Install();
      } catch (...) {
        if (!failure) failure = std::current_exception();
      }
    }
    writes.clear();
    held_.reset();
    if (failure) std::rethrow_exception(failure);
  }

 private:
  const PreparedWrite* Pending(const std::string& path) const {
    if (pending_.empty()) return nullptr;
    auto found = pending_.find(ToHostPath(path));
    return found == pending_.end() ? nullptr : writes_[found->second].get();
  }

  int depth_ = 0;
  std::optional<HeldSignals> held_;
  // The batch's rewrites in the order they were made, and each one's place
  // by its host path. Their texts wait in their temporary files.
  std::vector<std::unique_ptr<PreparedWrite>> writes_;
  std::unordered_map<std::string, size_t> pending_;
};

}  // namespace

FileSystem& DiskFiles() {
  static DiskFileSystem disk;
  return disk;
}

}  // namespace platform
