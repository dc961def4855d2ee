#pragma once
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

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;  // the click on Label5

 private:
  void Build();
  void Wire();
  // Runs one handler through the standard error report, then shows the model.
  void Run(void (CompactDevModel::*handler)());
  void BindEdit(QLineEdit* edit, EditState CompactDevModel::*state, void (CompactDevModel::*keyPress)() = nullptr);
  void BindList(QListWidget* list, CheckListState CompactDevModel::*state, void (CompactDevModel::*dblClick)());
  void ShowList(QListWidget* list, const CheckListState& state);
  // What a long operation changes: the page shown and the Compile button.
  void RefreshBuildState();

  DialogServices services_;
  std::unique_ptr<CompactDevModel> model_;
  MessageListModel* messageModel_;
  bool refreshing_ = false;
};

}  // namespace builddialog
