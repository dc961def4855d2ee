#pragma once
// The path picker "Select Path", bound to its model. Created, shown
// modally, read and freed by the handler that needs one.
#include <QDialog>

#include "dialogs/FolderWidgets.h"
#include "dialogs/PickerModels.h"
#include "platform/MessageService.h"

class QPushButton;

namespace dialogs {

class TfPathDlg : public QDialog {
 public:
  TfPathDlg(platform::MessageService& messages, QWidget* parent = nullptr);
  PathDlgModel Model;
  FolderWidgets Folders;
  QPushButton *BitBtn1, *BitBtn2;  // Cancel, OK

  // The handlers, named as designed.
  void FormCreate();
  void BitBtn1Click();  // Cancel
  void BitBtn2Click();  // OK: the folder highlighted is the one chosen
};

}  // namespace dialogs
