#pragma once
// The drive selector and directory list of the pickers, without widgets:
// the folder shown is always the process's current folder, as the host's
// directory list keeps it.
#include <string>
#include <vector>

namespace dialogs {

struct FolderEntry {
  std::string Name;   // as shown: "C:\" for the root, else the folder's name
  std::string Path;   // Windows path to go to
  int Indent = 0;     // depth below the drive root
  bool Open = false;  // an ancestor of the shown folder, or the folder itself
};

class FolderBrowser {
 public:
  FolderBrowser();  // shows the current folder

  // The folder shown, as a Windows path: "C:\" at a drive root, else
  // without a trailing "\".
  const std::string& Directory() const { return directory_; }
  // The drive of the shown folder, as "C:".
  std::string Drive() const { return directory_.substr(0, 2); }

  // Goes to `path` and makes it current; false (nothing changes) when it
  // cannot be opened.
  bool ChangeDirectory(const std::string& path);
  // Goes to the root of `drive` ("D:"); false when it cannot be opened.
  bool ChangeDrive(const std::string& drive);
  // As ChangeDirectory, for a user's choice: a folder that cannot be opened
  // (it vanished, say) is a platform::FileError that names it.
  void Open(const std::string& path);

  // The classic indented list: the root and every folder down to the one
  // shown (open), then the shown folder's sub-folders.
  std::vector<FolderEntry> Entries() const;
  // The files of the shown folder that match `masks` ("*.bin;*.cem").
  std::vector<std::string> Files(const std::string& masks) const;

  static std::vector<std::string> Drives();
  // `folder` + "\" + `name`, with no doubled "\" after a drive root.
  static std::string Join(const std::string& folder, const std::string& name);

 private:
  std::string directory_;
};

}  // namespace dialogs
