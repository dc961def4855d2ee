#include "platform/Files.h"

#include <cctype>
#include <filesystem>

#include "platform/ChangePlan.h"
#include "platform/FilesOs.h"
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

// The file functions: the host's, unless a change plan stands in for them.

bool FileExists(const std::string& path) {
  if (ChangePlan* plan = ChangePlan::Active()) return plan->Exists(path);
  return OsFileExists(path);
}

bool DeleteFile(const std::string& path) {
  if (ChangePlan* plan = ChangePlan::Active()) return plan->Delete(path);
  return OsDeleteFile(path);
}

bool RenameFile(const std::string& from, const std::string& to) {
  if (ChangePlan* plan = ChangePlan::Active()) return plan->Rename(from, to);
  return OsRenameFile(from, to);
}

bool CopyFile(const std::string& from, const std::string& to) {
  ChangePlan* plan = ChangePlan::Active();
  if (!plan) return OsCopyFile(from, to);
  if (!plan->Exists(from)) return false;
  try {
    plan->Write(to, plan->Read(from));
    return true;
  } catch (const FileError&) {
    return false;
  }
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& masks) {
  if (ChangePlan* plan = ChangePlan::Active()) return plan->List(folder, masks);
  return OsListFiles(folder, masks);
}

std::string ReadFileText(const std::string& path) {
  if (ChangePlan* plan = ChangePlan::Active()) return plan->Read(path);
  return OsReadFileText(path);
}

void TouchFile(const std::string& path) {
  if (ChangePlan::Active()) return;  // the text stays as it is
  OsTouchFile(path);
}

void WriteFileText(const std::string& path, const std::string& text) {
  if (ChangePlan* plan = ChangePlan::Active()) return plan->Write(path, text);
  OsWriteFileText(path, text);
}

}  // namespace platform
