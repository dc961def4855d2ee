#include "dataexport/UfDbToolDlg.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "dataexport/QueryTableModel.h"
#include "forms/FormsHost.h"

namespace dataexport {

using forms::FromQt;
using forms::ToQt;

namespace {

// A group box whose one child fills it.
template <class W>
W* InGroup(QWidget* parent, const char* caption, int x, int y, int width, int height) {
  auto* group = forms::MakeAt<QGroupBox>(parent, x, y, width, height);
  group->setTitle(caption);
  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(6, 4, 6, 6);
  auto* child = new W;
  layout->addWidget(child);
  return child;
}

void ShowList(QListWidget* list, const ListBoxState& state) {
  QStringList items;
  for (const std::string& item : state.Items) items << ToQt(item);
  QStringList shown;
  for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
  if (shown != items) {
    list->clear();
    list->addItems(items);
  }
  list->setCurrentRow(state.ItemIndex);
}

}  // namespace

TfDbToolDlg::TfDbToolDlg(platform::MessageService& messages, FileNameQuestion saveDialog, QWidget* parent)
    : QDialog(parent), messages_(messages) {
  model_ = std::make_unique<DbToolModel>(saveDialog ? std::move(saveDialog) : [this] { return AskFileName(); });
  forms::LoadFormFonts();
  setWindowTitle("Tidewell!! Data Export Dialog");
  setFixedSize(615, 512);
  setWindowFlags(forms::FixedDialogFlags);
  setFont(forms::FormFont("Tahoma", 13, true));

  AliasList = InGroup<QListWidget>(this, "BDE Alias list", 4, 4, 150, 196);
  TableList = InGroup<QListWidget>(this, "Table list", 4, 204, 150, 272);

  PageControl1 = forms::MakeAt<QTabWidget>(this, 160, 4, 451, 472);
  auto* exportPage = new QWidget;
  PageControl1->addTab(exportPage, "Export Data");
  SQL_List = InGroup<QPlainTextEdit>(exportPage, "SQL command", 4, 2, 340, 76);
  SQL_List->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  SQL_List->setTabChangesFocus(true);  // Tab moves to the next control, as in a Windows memo
  BitBtn3 = forms::MakeAt<QPushButton>(exportPage, 352, 12, 85, 28);
  BitBtn3->setText("Open");
  BitBtn4 = forms::MakeAt<QPushButton>(exportPage, 352, 46, 85, 28);
  BitBtn4->setText("Close");
  cbEncode = InGroup<QComboBox>(exportPage, "EnCoding Type", 4, 80, 160, 52);
  cbEncode->setEditable(true);
  cbEncode->setInsertPolicy(QComboBox::NoInsert);  // Enter chooses, it never adds
  for (const std::string& item : model_->cbEncode.Items) cbEncode->addItem(ToQt(item));
  BitBtn5 = forms::MakeAt<QPushButton>(exportPage, 172, 98, 100, 28);
  BitBtn5->setText("Start Export");
  Gauge1 = forms::MakeAt<QProgressBar>(exportPage, 280, 102, 157, 20);

  PageControl2 = forms::MakeAt<QTabWidget>(exportPage, 4, 136, 437, 304);
  DBGrid1 = new QTableView;
  DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DBGrid1->verticalHeader()->setDefaultSectionSize(18);
  CodeList = new QPlainTextEdit;
  CodeList->setLineWrapMode(QPlainTextEdit::NoWrap);
  CodeList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  CodeList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  CodeList->setTabChangesFocus(true);
  PageControl2->addTab(DBGrid1, "Data View");
  PageControl2->addTab(CodeList, "Mobile DataSet Init SourceCode");

  BitBtn2 = forms::MakeAt<QPushButton>(this, 526, 482, 85, 26);
  BitBtn2->setText("&Close");

  grid_ = new QueryTableModel(model_->SrcQry, messages_, this);
  DBGrid1->setModel(grid_);

  BindList(AliasList, &DbToolModel::AliasList, &TfDbToolDlg::AliasListClick);
  BindList(TableList, &DbToolModel::TableList, &TfDbToolDlg::TableListClick);
  connect(SQL_List, &QPlainTextEdit::textChanged, this, [this] {
    if (refreshing_) return;
    model_->SQL_List.clear();
    for (const QString& line : SQL_List->toPlainText().split('\n')) model_->SQL_List.push_back(FromQt(line));
  });
  connect(cbEncode, &QComboBox::activated, this, [this](int index) { model_->cbEncode.ItemIndex = index; });
  connect(BitBtn3, &QPushButton::clicked, this, &TfDbToolDlg::BitBtn3Click);
  connect(BitBtn4, &QPushButton::clicked, this, &TfDbToolDlg::BitBtn4Click);
  connect(BitBtn5, &QPushButton::clicked, this, &TfDbToolDlg::BitBtn5Click);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
  connect(PageControl2, &QTabWidget::currentChanged, this, [this](int page) {
    if (!refreshing_) model_->LowerPage = page;
  });

  FormCreate();
}

// --- the handlers, named as designed: each runs one operation of the model ---

void TfDbToolDlg::FormCreate() { Run(&DbToolModel::ListAliases); }
void TfDbToolDlg::AliasListClick() { Run(&DbToolModel::ShowTablesOfSelectedAlias); }
void TfDbToolDlg::TableListClick() { Run(&DbToolModel::QuerySelectedTable); }
void TfDbToolDlg::BitBtn3Click() { Run(&DbToolModel::OpenQuery); }
void TfDbToolDlg::BitBtn4Click() { Run(&DbToolModel::CloseQuery); }
void TfDbToolDlg::FormClose() { Run(&DbToolModel::Leave); }

void TfDbToolDlg::BindList(QListWidget* list, ListBoxState DbToolModel::*state, void (TfDbToolDlg::*handler)()) {
  auto choose = [this, list, state, handler] {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    (model_.get()->*state).ItemIndex = selected.isEmpty() ? -1 : list->row(selected.front());
    (this->*handler)();
  };
  // The selection, not the focus frame: a list that gets the focus marks an
  // entry without choosing it.
  connect(list, &QListWidget::itemSelectionChanged, this, [this, choose] {
    if (!refreshing_) choose();
  });
  // A click that does not move the selection still counts as a click.
  auto rowPressed = std::make_shared<int>(-2);
  forms::OnEvent(list->viewport(), QEvent::MouseButtonPress, [list, rowPressed](QEvent*) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    *rowPressed = selected.isEmpty() ? -1 : list->row(selected.front());
    return false;
  });
  connect(list, &QListWidget::itemClicked, this, [list, rowPressed, choose](QListWidgetItem* item) {
    if (list->row(item) == *rowPressed) choose();
  });
}

void TfDbToolDlg::BitBtn5Click() {
  if (model_->Exporting()) return;
  // While the records are written only the dialog's own close stays live
  // (it stops the export); the gauge and the grid repaint as they go, the
  // grid following the export each hundredth of the way through the rows
  // it shows, which is all the eye can see of a long export.
  const std::vector<QWidget*> locked = {AliasList, TableList, BitBtn3, BitBtn4, BitBtn5, cbEncode};
  for (QWidget* widget : locked) widget->setEnabled(false);
  int shownPercent = -1;
  {
    forms::MessagePumpScope pump([this, &shownPercent] {
      ShowGauge();
      const int maximum = std::max(model_->Gauge1MaxValue, 1);
      const int percent = static_cast<int>(100LL * model_->Gauge1Progress / maximum);
      const int rows = grid_->rowCount();
      if (percent != shownPercent && model_->Gauge1Progress < rows) {
        shownPercent = percent;
        DBGrid1->setCurrentIndex(grid_->index(model_->Gauge1Progress, 0));
      }
    });
    Run(&DbToolModel::ExportSelectedTable);
  }
  for (QWidget* widget : locked) widget->setEnabled(true);
  if (closeAfterExport_) {
    closeAfterExport_ = false;
    reject();
  }
}

void TfDbToolDlg::ShowGauge() {
  // Never Qt's "busy" animation; a count the database did not give fills
  // the gauge as the records go.
  const int maximum = model_->Gauge1MaxValue >= 0 ? model_->Gauge1MaxValue : model_->Gauge1Progress;
  Gauge1->setMaximum(std::max(maximum, 1));
  Gauge1->setValue(model_->Gauge1Progress);
}

void TfDbToolDlg::ClearScreen() { Run(&DbToolModel::ClearScreen); }

TfDbToolDlg::~TfDbToolDlg() {
  DBGrid1->setModel(nullptr);
  delete grid_;  // before the query it reads
}

void TfDbToolDlg::Run(void (DbToolModel::*handler)()) {
  forms::Handle(messages_, [&] { (model_.get()->*handler)(); });
  Refresh();
}

void TfDbToolDlg::Refresh() {
  refreshing_ = true;
  ShowList(AliasList, model_->AliasList);
  ShowList(TableList, model_->TableList);
  QString sql;
  for (size_t i = 0; i < model_->SQL_List.size(); ++i) sql += (i ? "\n" : "") + ToQt(model_->SQL_List[i]);
  if (SQL_List->toPlainText() != sql) SQL_List->setPlainText(sql);
  cbEncode->setCurrentIndex(model_->cbEncode.ItemIndex);
  ShowGauge();
  QString code;
  for (const std::string& line : model_->CodeList) code += ToQt(line) + "\n";
  if (CodeList->toPlainText() != code) CodeList->setPlainText(code);
  grid_->Follow(model_->GridAttached);
  PageControl2->setCurrentIndex(model_->LowerPage);
  refreshing_ = false;
}

std::optional<std::string> TfDbToolDlg::AskFileName() {
  QFileDialog dialog(this);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter("XML Data File(*.XML)");
  dialog.setDefaultSuffix("XML");
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return FromQt(dialog.selectedFiles().front());
}

void TfDbToolDlg::done(int result) {
  if (model_->Exporting()) {  // closed during an export: it stops, then the dialog closes
    closeAfterExport_ = true;
    model_->StopExport();
    return;
  }
  FormClose();
  QDialog::done(result);
}

}  // namespace dataexport
