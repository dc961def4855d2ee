#include "dialogs/PickerModels.h"

namespace dialogs {

void PathDlgModel::FormCreate() {
  Accepted = false;
  ChosenDirectory = DirectoryListBox1.Directory();
}

void PathDlgModel::BitBtn1Click() {
  Accepted = false;
  ChosenDirectory.clear();
}

void PathDlgModel::BitBtn2Click() {
  Accepted = true;
  ChosenDirectory = DirectoryListBox1.Directory();
}

void FileDlgModel::FormCreate() {
  Accepted = false;
  FileMask = "*.*";
  ChosenFile.clear();
}

void FileDlgModel::FormShow() { RefreshFiles(); }

void FileDlgModel::RefreshFiles() {
  FileListBox1 = DirectoryListBox1.Files(FileMask);
  FileIndex = -1;
}

void FileDlgModel::BitBtn1Click() {
  Accepted = true;
  ChosenDirectory = DirectoryListBox1.Directory();
  ChosenFile = FileIndex >= 0 && FileIndex < static_cast<int>(FileListBox1.size())
                   ? FolderBrowser::Join(ChosenDirectory, FileListBox1[static_cast<size_t>(FileIndex)])
                   : std::string();
}

void FileDlgModel::BitBtn2Click() {
  Accepted = false;
  ChosenDirectory.clear();
  ChosenFile.clear();
}

}  // namespace dialogs
