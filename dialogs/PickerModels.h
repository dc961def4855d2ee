#pragma once
// The state and handlers of the path picker TfPathDlg and the file picker
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

  void FormCreate();
  void BitBtn1Click();  // Cancel
  void BitBtn2Click();  // OK
};

class FileDlgModel {
 public:
  FolderBrowser DirectoryListBox1;
  std::vector<std::string> FileListBox1;  // the files shown
  int FileIndex = -1;                     // the file selected, -1 for none
  bool Accepted = false;
  std::string FileMask = "*.*";
  std::string ChosenDirectory, ChosenFile;

  void FormCreate();
  void FormShow();      // the file list takes the mask
  void RefreshFiles();  // after the directory list moved
  void BitBtn1Click();  // OK
  void BitBtn2Click();  // Cancel
};

}  // namespace dialogs
