#pragma once
// The state and operations of the path picker TfPathDlg and the file picker
// TfFileDlg, without widgets.
#include <string>
#include <vector>

#include "dialogs/FolderBrowser.h"

namespace dialogs {

class PathDlgModel {
 public:
  FolderBrowser DirectoryListBox1;
  bool Accepted = false;
  std::string ChosenDirectory;

  // As the picker opens: nothing chosen yet.
  void Start();
  void Cancel();
  // The folder shown is the one chosen.
  void Accept();
};

class FileDlgModel {
 public:
  FolderBrowser DirectoryListBox1;
  std::vector<std::string> FileListBox1;  // the files shown
  int FileIndex = -1;                     // the file selected, -1 for none
  bool Accepted = false;
  std::string FileMask = "*.*";
  std::string ChosenDirectory, ChosenFile;

  // As the picker opens: the mask "*.*", nothing chosen yet.
  void Start();
  // The file list shows the folder's files that match the mask (as the
  // picker appears, and after the folder changed).
  void RefreshFiles();
  // The folder shown and the file selected are the ones chosen.
  void Accept();
  void Cancel();
};

}  // namespace dialogs
