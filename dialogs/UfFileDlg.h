#pragma once
// The file picker "File Select Dialog", bound to its model. Created, shown
// modally, read and freed by the handler that needs one.
#include <QDialog>

#include "dialogs/FolderWidgets.h"
#include "dialogs/PickerModels.h"
#include "platform/MessageService.h"

class QListWidget;
class QPushButton;

namespace dialogs {

class TfFileDlg : public QDialog {
 public:
  TfFileDlg(platform::MessageService& messages, QWidget* parent = nullptr);
  FileDlgModel Model;
  FolderWidgets Folders;
  QListWidget* FileListBox1;
  QPushButton *BitBtn1, *BitBtn2;  // OK, Cancel
  void RefreshFiles();

  // The handlers, named as designed.
  void FormCreate();
  void FormShow();
  void BitBtn1Click();  // OK
  void BitBtn2Click();  // Cancel

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace dialogs
