#include "dialogs/FolderBrowser.h"

#include "platform/Files.h"

namespace dialogs {

namespace {
// "C:\" stays as it is; "C:\P\" loses its "\".
std::string Normal(std::string path) {
  if (path.size() > 3 && path.back() == '\\') path.pop_back();
  if (path.size() == 2 && path[1] == ':') path += '\\';
  return path;
}
}  // namespace

FolderBrowser::FolderBrowser() : directory_(Normal(platform::GetCurrentDir())) {}

bool FolderBrowser::ChangeDirectory(const std::string& path) {
  if (path.empty() || !platform::DirectoryExists(path) || !platform::SetCurrentDir(path)) return false;
  directory_ = Normal(platform::GetCurrentDir());
  return true;
}

void FolderBrowser::Open(const std::string& path) {
  if (!ChangeDirectory(path)) throw platform::FileError("Cannot open folder \"" + path + "\"");
}

bool FolderBrowser::ChangeDrive(const std::string& drive) { return ChangeDirectory(drive.substr(0, 2) + "\\"); }

std::string FolderBrowser::Join(const std::string& folder, const std::string& name) {
  return folder.ends_with("\\") ? folder + name : folder + "\\" + name;
}

std::vector<FolderEntry> FolderBrowser::Entries() const {
  std::vector<FolderEntry> entries;
  std::string path = directory_.substr(0, 3);  // "C:\"
  entries.push_back({path, path, 0, true});
  int depth = 0;
  for (size_t start = 3; start < directory_.size();) {
    size_t end = directory_.find('\\', start);
    if (end == std::string::npos) end = directory_.size();
    const std::string name = directory_.substr(start, end - start);
    path = Join(path, name);
    entries.push_back({name, path, ++depth, true});
    start = end + 1;
  }
  for (const std::string& name : platform::ListFolders(directory_))
    entries.push_back({name, Join(directory_, name), depth + 1, false});
  return entries;
}

std::vector<std::string> FolderBrowser::Files(const std::string& masks) const {
  return platform::ListFiles(directory_, masks);
}

std::vector<std::string> FolderBrowser::Drives() { return platform::ListDrives(); }

}  // namespace dialogs
