#include "dialogs/UfFileDlg.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include "forms/FormsHost.h"

namespace dialogs {

using forms::ToQt;

TfFileDlg::TfFileDlg(platform::MessageService& messages, QWidget* parent)
    : QDialog(parent), Folders(this, Model.DirectoryListBox1, messages) {
  SetUpPickerDialog(this, "File Select Dialog", 440, 392);
  Folders.DriveComboBox1->setGeometry(3, 3, 145, 21);
  Folders.DirectoryListBox1->setGeometry(3, 29, 433, 187);
  FileListBox1 = new QListWidget(this);
  FileListBox1->setGeometry(3, 220, 322, 169);
  BitBtn1 = new QPushButton("&OK", this);
  BitBtn2 = new QPushButton("&Cancel", this);
  BitBtn1->setGeometry(348, 234, 75, 35);
  BitBtn2->setGeometry(348, 339, 75, 35);
  BitBtn1->setDefault(true);
  FormCreate();
  Folders.OnFolderChanged = [this] {
    Model.RefreshFiles();
    RefreshFiles();
  };
  connect(FileListBox1, &QListWidget::currentRowChanged, this, [this](int row) { Model.FileIndex = row; });
  connect(BitBtn1, &QPushButton::clicked, this, &TfFileDlg::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &TfFileDlg::BitBtn2Click);
}

void TfFileDlg::FormCreate() { Model.Start(); }

void TfFileDlg::FormShow() {
  Model.RefreshFiles();
  RefreshFiles();
}

void TfFileDlg::BitBtn1Click() {
  Model.Accept();
  accept();
}

void TfFileDlg::BitBtn2Click() {
  Model.Cancel();
  reject();
}

void TfFileDlg::RefreshFiles() {
  QSignalBlocker quiet(FileListBox1);
  FileListBox1->clear();
  for (const std::string& name : Model.FileListBox1) FileListBox1->addItem(ToQt(name));
  FileListBox1->setCurrentRow(Model.FileIndex);
}

void TfFileDlg::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

}  // namespace dialogs
