#include "dialogs/UfPathDlg.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

#include "forms/FormsHost.h"

namespace dialogs {

using forms::FromQt;
using forms::ToQt;

namespace {

void SetUpDialog(QDialog* dialog, const char* caption, int width, int height) {
  forms::LoadFormFonts();
  dialog->setWindowTitle(caption);
  dialog->setFixedSize(width, height);
  dialog->setFont(forms::FormFont("Tahoma", 13, true));
  dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint);
}
}  // namespace

FolderWidgets::FolderWidgets(QWidget* parent, FolderBrowser& browser, platform::MessageService& messages)
    : DriveComboBox1(new QComboBox(parent)),
      DirectoryListBox1(new QListWidget(parent)),
      browser_(browser),
      messages_(messages) {
  QObject::connect(DriveComboBox1, &QComboBox::activated, parent, [this](int) {
    forms::Handle(messages_, [this] { browser_.Open(FromQt(DriveComboBox1->currentText()) + "\\"); });
    Refresh();
  });
  QObject::connect(DirectoryListBox1, &QListWidget::itemActivated, parent, [this](QListWidgetItem* item) {
    forms::Handle(messages_, [&] { browser_.Open(FromQt(item->data(Qt::UserRole).toString())); });
    Refresh();
  });
  Refresh();
}

void FolderWidgets::Refresh() {
  QSignalBlocker quiet(DriveComboBox1);
  DriveComboBox1->clear();
  for (const std::string& drive : FolderBrowser::Drives()) DriveComboBox1->addItem(ToQt(drive));
  DriveComboBox1->setCurrentText(ToQt(browser_.Drive()));
  DirectoryListBox1->clear();
  for (const FolderEntry& entry : browser_.Entries()) {
    // The classic look: indented a step a level, open folders drawn open.
    auto* item = new QListWidgetItem(
        DirectoryListBox1->style()->standardIcon(entry.Open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon),
        QString(entry.Indent * 3, ' ') + ToQt(entry.Name));
    item->setData(Qt::UserRole, ToQt(entry.Path));
    DirectoryListBox1->addItem(item);
    if (entry.Open) DirectoryListBox1->setCurrentItem(item);
  }
  if (OnFolderChanged) OnFolderChanged();
}

TfPathDlg::TfPathDlg(platform::MessageService& messages, QWidget* parent)
    : QDialog(parent), Folders(this, Model.DirectoryListBox1, messages) {
  SetUpDialog(this, "Select Path", 320, 247);
  Folders.DriveComboBox1->setGeometry(3, 3, 145, 21);
  Folders.DirectoryListBox1->setGeometry(3, 24, 313, 187);
  BitBtn1 = new QPushButton("&Cancel", this);
  BitBtn2 = new QPushButton("&OK", this);
  BitBtn1->setGeometry(39, 219, 75, 25);
  BitBtn2->setGeometry(201, 219, 75, 25);
  BitBtn2->setDefault(true);
  Model.FormCreate();
  connect(BitBtn1, &QPushButton::clicked, this, [this] {
    Model.BitBtn1Click();
    reject();
  });
  connect(BitBtn2, &QPushButton::clicked, this, [this] {
    Model.BitBtn2Click();
    accept();
  });
}

TfFileDlg::TfFileDlg(platform::MessageService& messages, QWidget* parent)
    : QDialog(parent), Folders(this, Model.DirectoryListBox1, messages) {
  SetUpDialog(this, "File Select Dialog", 440, 392);
  Folders.DriveComboBox1->setGeometry(3, 3, 145, 21);
  Folders.DirectoryListBox1->setGeometry(3, 29, 433, 187);
  FileListBox1 = new QListWidget(this);
  FileListBox1->setGeometry(3, 220, 322, 169);
  BitBtn1 = new QPushButton("&OK", this);
  BitBtn2 = new QPushButton("&Cancel", this);
  BitBtn1->setGeometry(348, 234, 75, 35);
  BitBtn2->setGeometry(348, 339, 75, 35);
  BitBtn1->setDefault(true);
  Model.FormCreate();
  Folders.OnFolderChanged = [this] {
    Model.RefreshFiles();
    RefreshFiles();
  };
  connect(FileListBox1, &QListWidget::currentRowChanged, this, [this](int row) { Model.FileIndex = row; });
  connect(BitBtn1, &QPushButton::clicked, this, [this] {
    Model.BitBtn1Click();
    accept();
  });
  connect(BitBtn2, &QPushButton::clicked, this, [this] {
    Model.BitBtn2Click();
    reject();
  });
}

void TfFileDlg::RefreshFiles() {
  QSignalBlocker quiet(FileListBox1);
  FileListBox1->clear();
  for (const std::string& name : Model.FileListBox1) FileListBox1->addItem(ToQt(name));
  FileListBox1->setCurrentRow(Model.FileIndex);
}

void TfFileDlg::showEvent(QShowEvent* event) {
  Model.FormShow();
  RefreshFiles();
  QDialog::showEvent(event);
}

}  // namespace dialogs
