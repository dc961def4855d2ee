#include "dialogs/UfPathDlg.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include "forms/FormsHost.h"

namespace dialogs {

TfPathDlg::TfPathDlg(platform::MessageService& messages, QWidget* parent)
    : QDialog(parent), Folders(this, Model.DirectoryListBox1, messages) {
  SetUpPickerDialog(this, "Select Path", 320, 247);
  Folders.DriveComboBox1->setGeometry(3, 3, 145, 21);
  Folders.DirectoryListBox1->setGeometry(3, 24, 313, 187);
  BitBtn1 = new QPushButton("&Cancel", this);
  BitBtn2 = new QPushButton("&OK", this);
  BitBtn1->setGeometry(39, 219, 75, 25);
  BitBtn2->setGeometry(201, 219, 75, 25);
  BitBtn2->setDefault(true);
  FormCreate();
  connect(BitBtn1, &QPushButton::clicked, this, &TfPathDlg::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &TfPathDlg::BitBtn2Click);
}

void TfPathDlg::FormCreate() { Model.Start(); }

void TfPathDlg::BitBtn1Click() {
  Model.Cancel();
  reject();
}

void TfPathDlg::BitBtn2Click() {
  // The folder chosen is the one highlighted, whether or not it was opened.
  if (const std::string folder = Folders.HighlightedFolder(); folder != Model.DirectoryListBox1.Directory())
    Model.DirectoryListBox1.ChangeDirectory(folder);
  Model.Accept();
  accept();
}

}  // namespace dialogs
