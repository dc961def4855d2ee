#pragma once
#include <functional>
// TfCompactDevForm, the build dialog on screen: its widgets laid out as the
// dialog is designed, bound to CompactDevModel. Every handler is one call
// into the model through the standard error report, then the widgets show
// the model again.
#include <QDialog>
#include <QIcon>
#include <QList>
#include <memory>

#include "platform/MessageService.h"
#include "builddialog/CompactDevModel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QToolButton;

namespace builddialog {

class MessageListModel;

class TfCompactDevForm : public QDialog {
 public:
  // `services.Messages` and `services.Picker` must outlive the form.
  explicit TfCompactDevForm(DialogServices services, QWidget* parent = nullptr);
  ~TfCompactDevForm() override;

  CompactDevModel& Model() { return *model_; }
  // Shows everything the model holds.
  void Refresh();

  // Components, named as designed.
  QWidget *Panel1, *APanel;
  QLabel *Panel6, *Panel2, *Panel4, *Panel3, *Panel7, *Panel9, *Panel11, *Panel8;
  QLineEdit *EdDCCIL_Path, *Ed_BDS_Lib_Path;
  QToolButton *SpeedButton4, *SpeedButton1, *SpeedButton2, *SpeedButton6, *SpeedButton7, *SpeedButton3, *SpeedButton5;
  QLabel *Image1, *Label4, *Label9, *Label6, *Label12;
  QTabWidget* AssemblyPageCtrl;
  QWidget *TabSheet5, *TabSheet6, *TabSheet7;
  QLabel *Image2, *Label5, *Label11, *Image3, *Label7, *Label10;
  QComboBox* CB_CFVer;
  QLineEdit *Ed_MS_Assembly_LinkPath, *Ed_Delphi_Assembly_LinkPath, *Ed_Third_Assembly_LinkPath;
  QListWidget *MS_Assmbly_List, *Delphi_Assmbly_List, *Third_Assmbly_List;
  QToolButton *BitBtn3, *BitBtn7, *BtnSaveOptions;
  QTabWidget* PageControl1;
  QWidget *TabSheet1, *TabSheet2, *TabSheet3;
  QLabel* Label8;
  QLineEdit *EdPjPath, *EdPJName;
  QToolButton* BitBtn1;
  QLineEdit *Ed_Emulator_App, *Ed_Emulator_Image_FileName;
  QCheckBox* Chk_Is_Auto_Depoly;
  QWidget* GroupBox1;
  QLabel *Image4, *Label1, *Label2, *Label3;
  QComboBox* ComboBox1;
  QLineEdit *Ed_Emulator_Screen_Width, *Ed_Emulator_Screen_Height, *Ed_Shared_Folder, *Ed_Emulator_Ram_Size;
  QScrollArea* ScrollBox1;
  QListView* MessageList;
  QList<QIcon> ImageList1;  // the icons of the lower pages
  QList<QIcon> ImageList2;  // the four 16 by 16 menu images

  // The handlers, named as designed; each runs one operation of the model
  // through the standard error report.
  void Ed_BDS_Lib_PathKeyPress();
  void Ed_MS_Assembly_LinkPathKeyPress();
  void Ed_Delphi_Assembly_LinkPathKeyPress();
  void Ed_Third_Assembly_LinkPathKeyPress();
  void MS_Assmbly_ListDblClick();
  void Delphi_Assmbly_ListDblClick();
  void Third_Assmbly_ListDblClick();
  void SpeedButton4Click();  // compiler folder
  void SpeedButton1Click();  // library folder
  void SpeedButton2Click();  // fill Microsoft
  void SpeedButton6Click();  // fill Delphi
  void SpeedButton7Click();  // fill Third Party
  void SpeedButton3Click();  // emulator program
  void SpeedButton5Click();  // emulator image
  void BitBtn3Click();       // add to the catalogue shown
  void BitBtn7Click();       // remove from the catalogue shown
  void BtnSaveOptionsClick();
  void BitBtn1Click();  // Compile
  void CB_CFVerChange();
  void ComboBox1Change();
  void MessageListDblClick();
  void Label5Click();
  void FormShow();
  void FormHide();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  // While a build runs the dialog stays; a close asked for then comes when
  // the build has ended.
  void done(int result) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;  // the click on Label5

 private:
  void Build();
  void Wire();
  // Runs one operation through the standard error report, then shows the model.
  void Run(const std::function<void()>& operation);
  void BindEdit(QLineEdit* edit, EditState CompactDevModel::*state, void (TfCompactDevForm::*keyPress)() = nullptr);
  void BindList(QListWidget* list, CheckListState CompactDevModel::*state, void (TfCompactDevForm::*dblClick)());
  void ShowList(QListWidget* list, const CheckListState& state);
  // What a long operation changes: the page shown and the Compile button.
  void RefreshBuildState();

  DialogServices services_;
  std::unique_ptr<CompactDevModel> model_;
  MessageListModel* messageModel_;
  bool refreshing_ = false;
  bool building_ = false, closeAsked_ = false;
};

}  // namespace builddialog
