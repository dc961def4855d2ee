#include "platform/ChangePlan.h"

#include <algorithm>

#include "platform/Files.h"
#include "platform/FilesOs.h"
#include "platform/PathText.h"
#include "platform/Text.h"
#include "platform/WinPath.h"

namespace platform {

namespace {

std::string HostFolderOf(const std::string& hostPath) {
  size_t slash = hostPath.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : hostPath.substr(0, slash);
}
}  // namespace

ChangePlan::File& ChangePlan::Track(const std::string& path) {
  const std::string key = ToHostPath(path);
  auto found = files_.find(key);
  if (found != files_.end()) return found->second;
  File file;
  file.Path = path;
  file.Existed = OsFileExists(path);
  if (file.Existed) {
    file.OldText = OsReadFileText(path);
    file.Text = file.OldText;
  }
  return files_.emplace(key, file).first->second;
}

bool ChangePlan::FileExists(const std::string& path) const {
  auto found = files_.find(ToHostPath(path));
  return found != files_.end() ? found->second.Text.has_value() : OsFileExists(path);
}

std::string ChangePlan::ReadFileText(const std::string& path) const {
  auto found = files_.find(ToHostPath(path));
  if (found == files_.end()) return OsReadFileText(path);
  if (!found->second.Text) throw FileError("Cannot open file \"" + path + "\". No such file or directory");
  return *found->second.Text;
}

void ChangePlan::WriteFileText(const std::string& path, const std::string& text) {
  // The refusals of a real write: a file that is there but may not be written.
  if (OsFileExists(path) || DirectoryExists(path)) {
    std::string why = WriteProblem(path);
    if (!why.empty()) {
      why[0] = UpperCase(why.substr(0, 1))[0];
      throw FileError("Cannot create file \"" + path + "\". " + why);
    }
  }
  File& file = Track(path);
  const bool first = std::none_of(events_.begin(), events_.end(), [&](const Change& c) {
    return c.What == Change::Write && ToHostPath(c.Path) == ToHostPath(path);
  });
  if (first) events_.push_back({Change::Write, file.Path, "", "", "", false});
  file.Text = text;
}

bool ChangePlan::NameTaken(const std::string& path) const {
  auto found = files_.find(ToHostPath(path));
  return found != files_.end() ? found->second.Text.has_value() : platform::NameTaken(path);
}

void ChangePlan::TouchFile(const std::string&) {}  // the text stays as it is

bool ChangePlan::DeleteFile(const std::string& path) {
  if (path.empty() || !FileExists(path) || (OsFileExists(path) && OsKeepsFile(path))) return false;
  Track(path).Text.reset();
  events_.push_back({Change::Delete, path, "", "", "", true});
  return true;
}

bool ChangePlan::RenameFile(const std::string& from, const std::string& to) {
  if (!FileExists(from) || FileExists(to) || (OsFileExists(from) && OsKeepsFile(from))) return false;
  const std::string text = ReadFileText(from);
  Track(from).Text.reset();
  Track(to).Text = text;
  events_.push_back({Change::Rename, from, to, "", "", true});
  return true;
}

std::vector<std::string> ChangePlan::ListFiles(const std::string& folder, const std::string& masks) const {
  std::vector<std::string> names = OsListFiles(folder, masks);
  const std::string hostFolder = ToHostPath(folder.empty() ? std::string(".") : folder);
  for (const auto& [key, file] : files_) {
    if (HostFolderOf(key) != hostFolder) continue;
    const std::string name = ExtractFileName(file.Path);
    auto listed = std::find_if(names.begin(), names.end(), [&](const std::string& n) { return SameText(n, name); });
    if (!file.Text && listed != names.end()) names.erase(listed);
    if (file.Text && listed == names.end() && MatchesMask(name, masks)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  return names;
}

std::vector<ChangePlan::Change> ChangePlan::Changes() const {
  std::vector<Change> changes = events_;
  for (Change& change : changes) {
    if (change.What != Change::Write) continue;
    const File& file = files_.at(ToHostPath(change.Path));
    change.Existed = file.Existed;
    change.OldText = file.OldText;
    change.NewText = file.Text.value_or("");
  }
  return changes;
}

}  // namespace platform
