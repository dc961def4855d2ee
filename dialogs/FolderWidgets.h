#pragma once
// What both pickers carry: the drive selector and the indented directory
// list over a folder browser, and the fixed dialog they sit in.
#include <QDialog>
#include <functional>
#include <string>

#include "dialogs/FolderBrowser.h"
#include "platform/MessageService.h"

class QComboBox;
class QListWidget;
class QListWidgetItem;

namespace dialogs {

class FolderWidgets {
 public:
  FolderWidgets(QWidget* parent, FolderBrowser& browser, platform::MessageService& messages);
  QComboBox* DriveComboBox1;
  QListWidget* DirectoryListBox1;
  std::function<void()> OnFolderChanged;
  void Refresh();
  // Goes into the folder an entry names (a double click, or Enter).
  void OpenFolder(QListWidgetItem* item);
  // The folder highlighted in the list (the one shown when none is).
  std::string HighlightedFolder() const;

 private:
  FolderBrowser& browser_;
  platform::MessageService& messages_;
};

// A picker's window: its caption, fixed size, font and title-bar buttons.
void SetUpPickerDialog(QDialog* dialog, const char* caption, int width, int height);

}  // namespace dialogs
