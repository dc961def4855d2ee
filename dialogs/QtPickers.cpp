#include "dialogs/QtPickers.h"

#include "dialogs/UfFileDlg.h"
#include "dialogs/UfPathDlg.h"

namespace dialogs {

namespace {
// The caller's start folder, or "C:\" when it cannot be opened.
void StartIn(FolderBrowser& browser, FolderWidgets& widgets, const std::string& folder) {
  if (!folder.empty() && !browser.ChangeDirectory(folder)) browser.ChangeDirectory("C:\\");
  widgets.Refresh();
}
}  // namespace

dialogs::PickResult QtPickers::PickPath(const std::string& startFolder) {
  TfPathDlg picker(messages_, parent_);
  StartIn(picker.Model.DirectoryListBox1, picker.Folders, startFolder);
  picker.exec();
  return {picker.Model.Accepted, picker.Model.ChosenDirectory, ""};
}

dialogs::PickResult QtPickers::PickFile(const std::string& mask, const std::string& startFolder) {
  TfFileDlg picker(messages_, parent_);
  picker.Model.FileMask = mask;
  StartIn(picker.Model.DirectoryListBox1, picker.Folders, startFolder);
  picker.exec();
  return {picker.Model.Accepted, picker.Model.ChosenDirectory, picker.Model.ChosenFile};
}

}  // namespace dialogs
