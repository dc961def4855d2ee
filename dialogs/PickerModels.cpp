#include "dialogs/PickerModels.h"

namespace dialogs {

void PathDlgModel::Start() {
  Accepted = false;
  ChosenDirectory = DirectoryListBox1.Directory();
}

void PathDlgModel::Cancel() {
  Accepted = false;
  ChosenDirectory.clear();
}

void PathDlgModel::Accept() {
  Accepted = true;
  ChosenDirectory = DirectoryListBox1.Directory();
}

void FileDlgModel::Start() {
  Accepted = false;
  FileMask = "*.*";
  ChosenFile.clear();
}

void FileDlgModel::RefreshFiles() {
  FileListBox1 = DirectoryListBox1.Files(FileMask);
  FileIndex = -1;
}

void FileDlgModel::Accept() {
  Accepted = true;
  ChosenDirectory = DirectoryListBox1.Directory();
  ChosenFile = FileIndex >= 0 && FileIndex < static_cast<int>(FileListBox1.size())
                   ? FolderBrowser::Join(ChosenDirectory, FileListBox1[static_cast<size_t>(FileIndex)])
                   : std::string();
}

void FileDlgModel::Cancel() {
  Accepted = false;
  ChosenDirectory.clear();
  ChosenFile.clear();
}

}  // namespace dialogs
