#pragma once
// TfDbToolDlg, the data export dialog on screen, bound to DbToolModel.
// Created for one use, shown modally and freed when it closes.
#include <QDialog>
#include <memory>

#include "dataexport/DbToolModel.h"
#include "platform/MessageService.h"

class QComboBox;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;

namespace dataexport {

class QueryTableModel;

class TfDbToolDlg : public QDialog {
 public:
  // `saveDialog` empty: the real save dialog (SaveDialog1).
  TfDbToolDlg(platform::MessageService& messages, FileNameQuestion saveDialog = {}, QWidget* parent = nullptr);
  ~TfDbToolDlg() override;

  DbToolModel& Model() { return *model_; }
  void Refresh();
  // The reset operation: query closed, lists and SQL pane emptied, gauge at
  // 0, grid detached.
  void ClearScreen();

  QListWidget *AliasList, *TableList;
  QPlainTextEdit* SQL_List;
  QPushButton *BitBtn3, *BitBtn4, *BitBtn5, *BitBtn2;  // Open, Close, Start Export, close
  QComboBox* cbEncode;
  QProgressBar* Gauge1;
  QTabWidget *PageControl1, *PageControl2;  // "Export Data"; the data and code pages
  QTableView* DBGrid1;
  QPlainTextEdit* CodeList;

  // The handlers, named as designed; each runs one operation of the model
  // through the standard error report.
  void FormCreate();
  void AliasListClick();
  void TableListClick();
  void BitBtn3Click();  // Open
  void BitBtn4Click();  // Close
  // Start Export: only the dialog's own close stays live while it runs.
  void BitBtn5Click();
  void FormClose();

 protected:
  void done(int result) override;  // FormClose

 private:
  void Run(void (DbToolModel::*handler)());
  // A list's selection, by mouse or keyboard, runs its click handler; so
  // does a click on the entry already selected.
  void BindList(QListWidget* list, ListBoxState DbToolModel::*state, void (TfDbToolDlg::*handler)());
  // Asks for the XML file as SaveDialog1 does.
  std::optional<std::string> AskFileName();
  // The gauge as the model has it.
  void ShowGauge();

  platform::MessageService& messages_;
  std::unique_ptr<DbToolModel> model_;
  QueryTableModel* grid_;
  bool refreshing_ = false;
  bool closeAfterExport_ = false;  // the dialog was closed during an export
};

}  // namespace dataexport
