#pragma once
// TfDotNetResForm, the developer resources browser: a resizable window with
// the bar of link lists over an embedded browser, bound to DotNetResModel.
// Closing hides it; Reopen closes and shows it again, which reloads the
// lists.
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/MessageService.h"
#include "resources/BrowserControl.h"
#include "resources/DotNetResModel.h"

class QComboBox;
class QShortcut;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace resources {

class TfDotNetResForm : public QWidget {
 public:
  TfDotNetResForm(platform::MessageService& messages, std::unique_ptr<BrowserControl> browser,
                  QWidget* parent = nullptr);
  ~TfDotNetResForm() override;

  DotNetResModel& Model() { return *model_; }
  void Refresh();
  // What the menu command and the build dialog's link do: close the form,
  // then show it, not modal.
  void Reopen();

  QTabWidget* PageControl1;
  QWidget* Panel1;  // the 55-pixel bar
  QLabel* Image1;
  QComboBox *MsdnPageIndex, *cbResLink, *cbMSDNLibLink, *cbAssemblyList;
  QPushButton *BtnAddMSDNPageIndex, *BitBtn3, *BitBtn4, *BtnAddUrl, *BtnAddLibLink, *BtnAddAssemblyName, *BtnMyTips;
  QGroupBox *GbMsdnPageIndex, *gbMyTips;
  QLineEdit *EdMadnPageName, *EdMsdnPageUrl;
  QPushButton *BitBtn1, *BitBtn2;  // "&Cancel", "&Add"

  // The handlers, named as designed; each runs one operation of the model
  // through the standard error report.
  void FormShow();
  void Image1Click();
  void MsdnPageIndexChange();
  void BtnAddMSDNPageIndexClick();
  void BitBtn2Click();  // "&Add"
  void BitBtn1Click();  // "&Cancel"
  void BitBtn3Click();  // "Prev"
  void BitBtn4Click();  // "Next"
  void cbResLinkKeyPress(char key);
  void cbResLinkSelect();
  void BtnAddUrlClick();
  void cbAssemblyListKeyPress(char key);
  void cbAssemblyListSelect();
  void cbMSDNLibLinkSelect();
  void BtnAddLibLinkClick();
  void BtnAddAssemblyNameClick();
  void BtnMyTipsClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Run(const std::function<void()>& handler);
  void ShowBox(QComboBox* widget, const BoxState& box);
  // Keeps what the user typed in a box in the model.
  void TakeText(QComboBox* widget, BoxState& box);

  platform::MessageService& messages_;
  std::unique_ptr<BrowserControl> browser_;
  std::unique_ptr<DotNetResModel> model_;
  std::vector<QShortcut*> groupKeys_;  // Escape, Return, Enter of the add-page group
  bool refreshing_ = false;
};

}  // namespace resources
