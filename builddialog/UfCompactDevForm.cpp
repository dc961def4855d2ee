#include "builddialog/UfCompactDevForm.h"

#include <QShowEvent>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QScrollArea>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QToolButton>

#include "forms/FormsHost.h"
#include "builddialog/MessageListModel.h"

namespace builddialog {

using forms::FromQt;
using forms::ToQt;

namespace {

// A panel with a caption, as the designer's caption panels.
QLabel* CaptionPanel(QWidget* parent, const char* caption, int x, int y, int width, int height,
                     const char* background = "#D4D0C8") {
  auto* panel = forms::MakeAt<QLabel>(parent, x, y, width, height);
  panel->setText(caption);
  panel->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Raised);
  panel->setAutoFillBackground(true);
  panel->setStyleSheet(QString("background-color: %1;").arg(background));
  return panel;
}

QLabel* Picture(QWidget* parent, const char* resource, int x, int y, int size) {
  auto* image = forms::MakeAt<QLabel>(parent, x, y, size, size);
  image->setPixmap(QPixmap(resource));
  return image;
}

QToolButton* FlatButton(QWidget* parent, int x, int y) {
  auto* button = forms::MakeAt<QToolButton>(parent, x, y, 23, 21);
  button->setText("...");
  button->setAutoRaise(true);
  return button;
}

// A glyph button: picture above caption.
QToolButton* GlyphButton(QWidget* parent, const char* caption, const char* resource, int x, int y, int width,
                         int height) {
  auto* button = forms::MakeAt<QToolButton>(parent, x, y, width, height);
  button->setText(caption);
  button->setIcon(QIcon(resource));
  button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  return button;
}

// Message lines are 18 pixels high, whatever the face.
class LineHeight : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), 18};
  }
};

}  // namespace

TfCompactDevForm::TfCompactDevForm(DialogServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)), model_(std::make_unique<CompactDevModel>(services_)) {
  Build();
  messageModel_ = new MessageListModel(model_->MessageList, this);
  MessageList->setModel(messageModel_);
  messageModel_->OnSelect = [this](int row) {
    if (row >= 0) MessageList->setCurrentIndex(messageModel_->index(row));
    else MessageList->clearSelection();
  };
  Wire();
  Refresh();
}

TfCompactDevForm::~TfCompactDevForm() {
  // The list model watches the model's lines: it goes before the model does
  // (children of the form would go only after the form's own members).
  MessageList->setModel(nullptr);
  delete messageModel_;
}

void TfCompactDevForm::Build() {
  forms::LoadFormFonts();
  setWindowTitle("DotNet / DotNetCF Application Development Dialog");
  setFixedSize(460, 540);
  setWindowFlags(forms::FixedDialogFlags);
  setFont(forms::FormFont("Tahoma", 11, true));  // 8 points

  Panel1 = forms::MakeAt<QWidget>(this, 0, 0, 460, 540);
  APanel = forms::MakeAt<QWidget>(Panel1, 0, 0, 460, 539);

  Panel6 = CaptionPanel(APanel, "Delphi CF Compiler (DCCIL.EXE) location", 3, 2, 260, 20, "#FFFFFF");
  EdDCCIL_Path = forms::MakeAt<QLineEdit>(APanel, 3, 24, 260, 21);
  SpeedButton4 = FlatButton(APanel, 265, 24);
  Panel2 = CaptionPanel(APanel, "  (DotNet)  Compile library Path", 3, 45, 260, 20);
  Ed_BDS_Lib_Path = forms::MakeAt<QLineEdit>(APanel, 3, 67, 260, 21);
  SpeedButton1 = FlatButton(APanel, 265, 67);

  // The banner at the top right.
  Image1 = Picture(APanel, ":/builddialog/images/logo.xpm", 300, 6, 32);
  Label4 = forms::TextLabel(APanel, "Tidewell !!", 340, 4, "blue", true);
  Label9 = forms::TextLabel(APanel, "for BDS2006 ", 340, 22);
  Label6 = forms::TextLabel(APanel, "Ver 2.0", 340, 40, "red");
  Label12 = forms::TextLabel(APanel, "Field Test", 390, 40, "red");

  AssemblyPageCtrl = forms::MakeAt<QTabWidget>(APanel, 1, 94, 398, 234);
  TabSheet5 = new QWidget;
  TabSheet6 = new QWidget;
  TabSheet7 = new QWidget;
  AssemblyPageCtrl->addTab(TabSheet5, "DotNet(CF) Assemblies");
  AssemblyPageCtrl->addTab(TabSheet6, "Delphi Assemblies");
  AssemblyPageCtrl->addTab(TabSheet7, "Third Party Assemblies");

  Image2 = Picture(TabSheet5, ":/builddialog/images/assemblies.xpm", 4, 4, 16);
  Label5 = forms::TextLabel(TabSheet5, " Microsoft Assembly Path ", 22, 5, "blue");
  QFont link = Label5->font();
  link.setUnderline(true);
  Label5->setFont(link);
  Label5->setCursor(Qt::PointingHandCursor);
  Label5->setToolTip("DotNet Develop Resource....");
  Label11 = forms::TextLabel(TabSheet5, "Version : ", 250, 5, "red");
  CB_CFVer = forms::MakeAt<QComboBox>(TabSheet5, 300, 1, 88, 21);
  Ed_MS_Assembly_LinkPath = forms::MakeAt<QLineEdit>(TabSheet5, 4, 26, 355, 21);
  SpeedButton2 = FlatButton(TabSheet5, 362, 26);
  MS_Assmbly_List = forms::MakeAt<QListWidget>(TabSheet5, 4, 50, 384, 152);

  Image3 = Picture(TabSheet6, ":/builddialog/images/delphi.xpm", 4, 4, 16);
  Label7 = forms::TextLabel(TabSheet6, "Delphi Assembly Path", 22, 5);
  Ed_Delphi_Assembly_LinkPath = forms::MakeAt<QLineEdit>(TabSheet6, 4, 26, 355, 21);
  SpeedButton6 = FlatButton(TabSheet6, 362, 26);
  Delphi_Assmbly_List = forms::MakeAt<QListWidget>(TabSheet6, 4, 50, 384, 152);

  Label10 = forms::TextLabel(TabSheet7, "Third Party Assembly Path", 4, 5);
  Ed_Third_Assembly_LinkPath = forms::MakeAt<QLineEdit>(TabSheet7, 4, 26, 355, 21);
  SpeedButton7 = FlatButton(TabSheet7, 362, 26);
  Third_Assmbly_List = forms::MakeAt<QListWidget>(TabSheet7, 4, 50, 384, 152);

  BitBtn3 = GlyphButton(APanel, "Add", ":/builddialog/images/assemblies.xpm", 402, 116, 55, 50);
  BitBtn7 = GlyphButton(APanel, "Remove", ":/builddialog/images/delphi.xpm", 402, 170, 55, 50);
  BtnSaveOptions = GlyphButton(APanel, "Save", ":/builddialog/images/menu_compile.xpm", 402, 224, 55, 50);

  PageControl1 = forms::MakeAt<QTabWidget>(APanel, 0, 329, 460, 210);
  TabSheet1 = new QWidget;
  TabSheet2 = new QWidget;
  TabSheet3 = new QWidget;
  for (const char* name : {"tab_project", "tab_emulator", "tab_messages"})
    ImageList1 << QIcon(QString(":/builddialog/images/%1.xpm").arg(name));
  for (const char* name : {"menu_compile", "menu_resources", "menu_about", "menu_export"})
    ImageList2 << QIcon(QString(":/builddialog/images/%1.xpm").arg(name));
  PageControl1->addTab(TabSheet1, ImageList1[0], "Target Project");
  PageControl1->addTab(TabSheet2, ImageList1[1], "Device Emulator");
  PageControl1->addTab(TabSheet3, ImageList1[2], "Messages");

  Panel4 = CaptionPanel(TabSheet1, "Project Path", 8, 8, 100, 20);
  Label8 = forms::TextLabel(TabSheet1, "<-- Save the project first !!", 114, 10, "red", true);
  EdPjPath = forms::MakeAt<QLineEdit>(TabSheet1, 8, 30, 399, 21);
  EdPjPath->setReadOnly(true);
  Panel3 = CaptionPanel(TabSheet1, "Project Name", 8, 60, 100, 20);
  EdPJName = forms::MakeAt<QLineEdit>(TabSheet1, 8, 82, 250, 21);
  EdPJName->setReadOnly(true);
  BitBtn1 = GlyphButton(TabSheet1, "Compile ", ":/builddialog/images/menu_compile.xpm", 320, 100, 90, 56);

  Panel7 = CaptionPanel(TabSheet2, " Emulator Application", 4, 4, 130, 21);
  Ed_Emulator_App = forms::MakeAt<QLineEdit>(TabSheet2, 136, 4, 280, 21);
  SpeedButton3 = FlatButton(TabSheet2, 420, 4);
  Panel9 = CaptionPanel(TabSheet2, " Emulator Image File", 4, 28, 130, 21);
  Ed_Emulator_Image_FileName = forms::MakeAt<QLineEdit>(TabSheet2, 136, 28, 280, 21);
  SpeedButton5 = FlatButton(TabSheet2, 420, 28);
  Chk_Is_Auto_Depoly = forms::MakeAt<QCheckBox>(TabSheet2, 4, 52, 400, 18);
  Chk_Is_Auto_Depoly->setText("Deploy Application to Share Folder After Compile ...");
  auto* group = forms::MakeAt<QGroupBox>(TabSheet2, 4, 72, 444, 104);
  group->setTitle("Smart Device Emulator Options");
  GroupBox1 = group;
  Image4 = Picture(GroupBox1, ":/builddialog/images/device.xpm", 8, 22, 16);
  Panel11 = CaptionPanel(GroupBox1, "Target Device", 30, 20, 86, 21);
  ComboBox1 = forms::MakeAt<QComboBox>(GroupBox1, 120, 20, 230, 21);
  ComboBox1->setEditable(true);
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);  // Enter chooses, it never adds
  Label1 = forms::TextLabel(GroupBox1, "Screen Width", 30, 50);
  Ed_Emulator_Screen_Width = forms::MakeAt<QLineEdit>(GroupBox1, 110, 47, 40, 21);
  Label2 = forms::TextLabel(GroupBox1, "Screen Height", 165, 50);
  Ed_Emulator_Screen_Height = forms::MakeAt<QLineEdit>(GroupBox1, 245, 47, 40, 21);
  Panel8 = CaptionPanel(GroupBox1, " Shared Folder ", 30, 74, 86, 21);
  Ed_Shared_Folder = forms::MakeAt<QLineEdit>(GroupBox1, 120, 74, 120, 21);
  Label3 = forms::TextLabel(GroupBox1, "RAM (MB)", 260, 77);
  Ed_Emulator_Ram_Size = forms::MakeAt<QLineEdit>(GroupBox1, 320, 74, 40, 21);

  // The list is wider than the page: the box scrolls it sideways.
  ScrollBox1 = new QScrollArea(TabSheet3);
  auto* fill = new QVBoxLayout(TabSheet3);
  fill->setContentsMargins(0, 0, 0, 0);
  fill->addWidget(ScrollBox1);
  ScrollBox1->setFrameShape(QFrame::NoFrame);
  ScrollBox1->setWidgetResizable(true);
  MessageList = new QListView;
  MessageList->setMinimumWidth(1027);
  MessageList->setUniformItemSizes(true);
  MessageList->setItemDelegate(new LineHeight(MessageList));
  MessageList->setFrameShape(QFrame::NoFrame);
  MessageList->setFocusPolicy(Qt::ClickFocus);
  MessageList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  MessageList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  MessageList->setFont(forms::FormFont("Arial", 16, true));
  MessageList->setStyleSheet("QListView { color: navy; background-color: rgb(232, 236, 198); }");
  ScrollBox1->setWidget(MessageList);

  // Components carry their names, for tools that look for them.
  const std::pair<QObject*, const char*> named[] = {{EdDCCIL_Path, "EdDCCIL_Path"},
                                                    {Ed_BDS_Lib_Path, "Ed_BDS_Lib_Path"},
                                                    {AssemblyPageCtrl, "AssemblyPageCtrl"},
                                                    {EdPjPath, "EdPjPath"},
                                                    {EdPJName, "EdPJName"},
                                                    {BitBtn1, "BitBtn1"},
                                                    {PageControl1, "PageControl1"},
                                                    {MessageList, "MessageList"},
                                                    {Label5, "Label5"}};
  for (const auto& [component, name] : named) component->setObjectName(name);
}

void TfCompactDevForm::Run(const std::function<void()>& operation) {
  forms::Handle(*services_.Messages, operation);
  Refresh();
}

// --- the handlers, named as designed: each runs one operation of the model ---

void TfCompactDevForm::Ed_BDS_Lib_PathKeyPress() {
  Run([this] { model_->KeepLibFolderAsTyped(); });
}
void TfCompactDevForm::Ed_MS_Assembly_LinkPathKeyPress() {
  Run([this] { model_->KeepAssemblyFolderAsTyped(settings::Catalogue::Microsoft); });
}
void TfCompactDevForm::Ed_Delphi_Assembly_LinkPathKeyPress() {
  Run([this] { model_->KeepAssemblyFolderAsTyped(settings::Catalogue::Delphi); });
}
void TfCompactDevForm::Ed_Third_Assembly_LinkPathKeyPress() {
  Run([this] { model_->KeepAssemblyFolderAsTyped(settings::Catalogue::ThirdParty); });
}
void TfCompactDevForm::MS_Assmbly_ListDblClick() {
  Run([this] { model_->RemoveSelectedEntry(settings::Catalogue::Microsoft); });
}
void TfCompactDevForm::Delphi_Assmbly_ListDblClick() {
  Run([this] { model_->RemoveSelectedEntry(settings::Catalogue::Delphi); });
}
void TfCompactDevForm::Third_Assmbly_ListDblClick() {
  Run([this] { model_->RemoveSelectedEntry(settings::Catalogue::ThirdParty); });
}
void TfCompactDevForm::SpeedButton4Click() {
  Run([this] { model_->PickCompilerFolder(); });
}
void TfCompactDevForm::SpeedButton1Click() {
  Run([this] { model_->PickLibFolder(); });
}
void TfCompactDevForm::SpeedButton2Click() {
  Run([this] { model_->FillCatalogue(settings::Catalogue::Microsoft); });
}
void TfCompactDevForm::SpeedButton6Click() {
  Run([this] { model_->FillCatalogue(settings::Catalogue::Delphi); });
}
void TfCompactDevForm::SpeedButton7Click() {
  Run([this] { model_->FillCatalogue(settings::Catalogue::ThirdParty); });
}
void TfCompactDevForm::SpeedButton3Click() {
  Run([this] { model_->PickEmulatorProgram(); });
}
void TfCompactDevForm::SpeedButton5Click() {
  Run([this] { model_->PickEmulatorImage(); });
}
void TfCompactDevForm::BitBtn3Click() {
  Run([this] { model_->AddAssemblyToShownCatalogue(); });
}
void TfCompactDevForm::BitBtn7Click() {
  Run([this] { model_->RemoveSelectedFromShownCatalogue(); });
}
void TfCompactDevForm::BtnSaveOptionsClick() {
  Run([this] { model_->SaveOptions(); });
}
void TfCompactDevForm::BitBtn1Click() {
  if (building_) return;
  // The event loop runs while the compiler does, and the page and the
  // Compile button follow the model as it goes.
  {
    forms::MessagePumpScope pump([this] { RefreshBuildState(); });
    building_ = true;
    Run([this] { model_->Build(); });
    building_ = false;
  }
  // A close asked for meanwhile waited for the build; it happens now.
  if (closeAsked_) {
    closeAsked_ = false;
    reject();
  }
}

void TfCompactDevForm::done(int result) {
  // The dialog stays while its build runs (its messages are what the user
  // waits for); the close comes when the build has ended.
  if (building_) {
    closeAsked_ = true;
    return;
  }
  QDialog::done(result);
}

void TfCompactDevForm::closeEvent(QCloseEvent* event) {
  if (building_) {
    closeAsked_ = true;
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}
void TfCompactDevForm::CB_CFVerChange() {
  Run([this] { model_->SwitchFrameworkProfile(); });
}
void TfCompactDevForm::ComboBox1Change() {
  Run([this] { model_->ShowDeviceScreenSize(); });
}
void TfCompactDevForm::MessageListDblClick() {
  Run([this] { model_->JumpToSelectedMessage(); });
}
void TfCompactDevForm::Label5Click() {
  Run([this] { model_->OpenResources(); });
}
void TfCompactDevForm::FormShow() {
  Run([this] { model_->EnterProject(); });
}
void TfCompactDevForm::FormHide() {
  Run([this] { model_->Close(); });
}

void TfCompactDevForm::BindEdit(QLineEdit* edit, EditState CompactDevModel::*state,
                                void (TfCompactDevForm::*keyPress)()) {
  connect(edit, &QLineEdit::textEdited, this,
          [this, state](const QString& text) { Run([&] { (model_.get()->*state).SetText(FromQt(text)); }); });
  if (keyPress) connect(edit, &QLineEdit::returnPressed, this, keyPress);
}

void TfCompactDevForm::BindList(QListWidget* list, CheckListState CompactDevModel::*state,
                                void (TfCompactDevForm::*dblClick)()) {
  connect(list, &QListWidget::itemChanged, this, [this, list, state](QListWidgetItem* item) {
    if (!refreshing_) (model_.get()->*state).SetChecked(list->row(item), item->checkState() == Qt::Checked);
  });
  connect(list, &QListWidget::currentRowChanged, this, [this, state](int row) {
    if (!refreshing_) (model_.get()->*state).SetItemIndex(row);
  });
  connect(list, &QListWidget::itemDoubleClicked, this, dblClick);
}

void TfCompactDevForm::Wire() {
  using M = CompactDevModel;
  using F = TfCompactDevForm;
  BindEdit(EdDCCIL_Path, &M::EdDCCIL_Path);
  BindEdit(Ed_BDS_Lib_Path, &M::Ed_BDS_Lib_Path, &F::Ed_BDS_Lib_PathKeyPress);
  BindEdit(Ed_MS_Assembly_LinkPath, &M::Ed_MS_Assembly_LinkPath, &F::Ed_MS_Assembly_LinkPathKeyPress);
  BindEdit(Ed_Delphi_Assembly_LinkPath, &M::Ed_Delphi_Assembly_LinkPath, &F::Ed_Delphi_Assembly_LinkPathKeyPress);
  BindEdit(Ed_Third_Assembly_LinkPath, &M::Ed_Third_Assembly_LinkPath, &F::Ed_Third_Assembly_LinkPathKeyPress);
  BindEdit(Ed_Emulator_App, &M::Ed_Emulator_App);
  BindEdit(Ed_Emulator_Image_FileName, &M::Ed_Emulator_Image_FileName);
  BindEdit(Ed_Shared_Folder, &M::Ed_Shared_Folder);
  BindEdit(Ed_Emulator_Screen_Width, &M::Ed_Emulator_Screen_Width);
  BindEdit(Ed_Emulator_Screen_Height, &M::Ed_Emulator_Screen_Height);
  BindEdit(Ed_Emulator_Ram_Size, &M::Ed_Emulator_Ram_Size);
  BindList(MS_Assmbly_List, &M::MS_Assmbly_List, &F::MS_Assmbly_ListDblClick);
  BindList(Delphi_Assmbly_List, &M::Delphi_Assmbly_List, &F::Delphi_Assmbly_ListDblClick);
  BindList(Third_Assmbly_List, &M::Third_Assmbly_List, &F::Third_Assmbly_ListDblClick);

  const std::pair<QToolButton*, void (F::*)()> buttons[] = {{SpeedButton4, &F::SpeedButton4Click},
                                                            {SpeedButton1, &F::SpeedButton1Click},
                                                            {SpeedButton2, &F::SpeedButton2Click},
                                                            {SpeedButton6, &F::SpeedButton6Click},
                                                            {SpeedButton7, &F::SpeedButton7Click},
                                                            {SpeedButton3, &F::SpeedButton3Click},
                                                            {SpeedButton5, &F::SpeedButton5Click},
                                                            {BitBtn3, &F::BitBtn3Click},
                                                            {BitBtn7, &F::BitBtn7Click},
                                                            {BtnSaveOptions, &F::BtnSaveOptionsClick},
                                                            {BitBtn1, &F::BitBtn1Click}};
  for (const auto& [button, handler] : buttons) connect(button, &QToolButton::clicked, this, handler);

  connect(CB_CFVer, &QComboBox::activated, this, [this](int index) {
    model_->CB_CFVer.ItemIndex = index;
    CB_CFVerChange();
  });
  connect(ComboBox1, &QComboBox::activated, this, [this](int index) {
    model_->ComboBox1.ItemIndex = index;
    model_->ComboBox1.Text = FromQt(ComboBox1->itemText(index));
    ComboBox1Change();
  });
  connect(ComboBox1, &QComboBox::editTextChanged, this, [this](const QString& text) {
    if (refreshing_ || FromQt(text) == model_->ComboBox1.Text) return;
    model_->ComboBox1.Text = FromQt(text);
    model_->ComboBox1.ItemIndex = ComboBox1->findText(text, Qt::MatchExactly);
    ComboBox1Change();
  });
  connect(Chk_Is_Auto_Depoly, &QCheckBox::toggled, this, [this](bool checked) {
    if (!refreshing_) model_->Chk_Is_Auto_Depoly = checked;
  });
  connect(AssemblyPageCtrl, &QTabWidget::currentChanged, this, [this](int index) {
    if (!refreshing_) model_->AssemblyPageCtrl = static_cast<settings::Catalogue>(index);
  });
  connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
    if (!refreshing_) model_->PageControl1 = index;
  });
  connect(MessageList, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
    model_->MessageList.SetItemIndex(index.row());
    MessageListDblClick();
  });
  connect(MessageList, &QListView::clicked, this,
          [this](const QModelIndex& index) { model_->MessageList.SetItemIndex(index.row()); });
  Label5->installEventFilter(this);
}

void TfCompactDevForm::ShowList(QListWidget* list, const CheckListState& state) {
  // Rebuilt only when the entries changed: a keystroke in an edit refreshes
  // the form, and a catalogue of thousands keeps its place and stays quick.
  const settings::CatalogueEntries& entries = state.Entries();
  bool same = list->count() == static_cast<int>(entries.size());
  for (int i = 0; same && i < list->count(); ++i) {
    const QListWidgetItem* item = list->item(i);
    const settings::CatalogueEntry& entry = entries[static_cast<size_t>(i)];
    same = (item->checkState() == Qt::Checked) == entry.Checked && item->text() == ToQt(entry.Text);
  }
  if (!same) {
    list->clear();
    for (const settings::CatalogueEntry& entry : entries) {
      auto* item = new QListWidgetItem(ToQt(entry.Text), list);
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(entry.Checked ? Qt::Checked : Qt::Unchecked);
    }
  }
  if (list->currentRow() != state.ItemIndex()) list->setCurrentRow(state.ItemIndex());
}

void TfCompactDevForm::RefreshBuildState() {
  refreshing_ = true;
  PageControl1->setCurrentIndex(model_->PageControl1);
  BitBtn1->setEnabled(model_->CompileEnabled);
  BitBtn1->setVisible(model_->CompileVisible);
  refreshing_ = false;
}

void TfCompactDevForm::Refresh() {
  refreshing_ = true;
  const std::pair<QLineEdit*, const EditState*> edits[] = {
      {EdDCCIL_Path, &model_->EdDCCIL_Path},
      {Ed_BDS_Lib_Path, &model_->Ed_BDS_Lib_Path},
      {Ed_MS_Assembly_LinkPath, &model_->Ed_MS_Assembly_LinkPath},
      {Ed_Delphi_Assembly_LinkPath, &model_->Ed_Delphi_Assembly_LinkPath},
      {Ed_Third_Assembly_LinkPath, &model_->Ed_Third_Assembly_LinkPath},
      {EdPjPath, &model_->EdPjPath},
      {EdPJName, &model_->EdPJName},
      {Ed_Emulator_App, &model_->Ed_Emulator_App},
      {Ed_Emulator_Image_FileName, &model_->Ed_Emulator_Image_FileName},
      {Ed_Shared_Folder, &model_->Ed_Shared_Folder},
      {Ed_Emulator_Screen_Width, &model_->Ed_Emulator_Screen_Width},
      {Ed_Emulator_Screen_Height, &model_->Ed_Emulator_Screen_Height},
      {Ed_Emulator_Ram_Size, &model_->Ed_Emulator_Ram_Size}};
  for (const auto& [widget, state] : edits) {
    const QString text = ToQt(state->Text());
    if (widget->text() != text) widget->setText(text);  // keeps the cursor while typing
  }
  ShowList(MS_Assmbly_List, model_->MS_Assmbly_List);
  ShowList(Delphi_Assmbly_List, model_->Delphi_Assmbly_List);
  ShowList(Third_Assmbly_List, model_->Third_Assmbly_List);
  if (CB_CFVer->count() == 0)
    for (const std::string& item : model_->CB_CFVer.Items) CB_CFVer->addItem(ToQt(item));
  CB_CFVer->setCurrentIndex(model_->CB_CFVer.ItemIndex);
  if (ComboBox1->count() == 0)
    for (const std::string& item : model_->ComboBox1.Items) ComboBox1->addItem(ToQt(item));
  ComboBox1->setCurrentIndex(model_->ComboBox1.ItemIndex);
  ComboBox1->setEditText(ToQt(model_->ComboBox1.Text));
  Chk_Is_Auto_Depoly->setChecked(model_->Chk_Is_Auto_Depoly);
  AssemblyPageCtrl->setCurrentIndex(settings::IndexOf(model_->AssemblyPageCtrl));
  refreshing_ = false;
  RefreshBuildState();
}

void TfCompactDevForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();  // not when the window manager restores it
}

bool TfCompactDevForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Label5 && event->type() == QEvent::MouseButtonRelease) Label5Click();
  return QDialog::eventFilter(watched, event);
}

void TfCompactDevForm::hideEvent(QHideEvent* event) {
  FormHide();
  QDialog::hideEvent(event);
}

}  // namespace builddialog
