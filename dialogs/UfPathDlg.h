#pragma once
// The path picker "Select Path" and the file picker "File Select Dialog",
// bound to their models. Created, shown modally, read and freed by the
// handler that needs one.
#include <QDialog>

#include "dialogs/PickerModels.h"
#include "platform/MessageService.h"

class QComboBox;
class QListWidget;
class QPushButton;

namespace dialogs {

// The drive selector and the indented directory list both pickers carry.
class FolderWidgets {
 public:
  FolderWidgets(QWidget* parent, FolderBrowser& browser, platform::MessageService& messages);
  QComboBox* DriveComboBox1;
  QListWidget* DirectoryListBox1;
  std::function<void()> OnFolderChanged;
  void Refresh();

 private:
  FolderBrowser& browser_;
  platform::MessageService& messages_;
};

class TfPathDlg : public QDialog {
 public:
  TfPathDlg(platform::MessageService& messages, QWidget* parent = nullptr);
  PathDlgModel Model;
  FolderWidgets Folders;
  QPushButton *BitBtn1, *BitBtn2;  // Cancel, OK
};

class TfFileDlg : public QDialog {
 public:
  TfFileDlg(platform::MessageService& messages, QWidget* parent = nullptr);
  FileDlgModel Model;
  FolderWidgets Folders;
  QListWidget* FileListBox1;
  QPushButton *BitBtn1, *BitBtn2;  // OK, Cancel
  void RefreshFiles();

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace dialogs
