#include "dialogs/FolderWidgets.h"

#include <QComboBox>
#include <QListWidget>
#include <QStyle>

#include "forms/FormsHost.h"

namespace dialogs {

using forms::FromQt;
using forms::ToQt;

void SetUpPickerDialog(QDialog* dialog, const char* caption, int width, int height) {
  forms::LoadFormFonts();
  dialog->setWindowTitle(caption);
  dialog->setFixedSize(width, height);
  dialog->setFont(forms::FormFont("Tahoma", 13, true));
  dialog->setWindowFlags(forms::FixedDialogFlags);
}

FolderWidgets::FolderWidgets(QWidget* parent, FolderBrowser& browser, platform::MessageService& messages)
    : DriveComboBox1(new QComboBox(parent)),
      DirectoryListBox1(new QListWidget(parent)),
      browser_(browser),
      messages_(messages) {
  QObject::connect(DriveComboBox1, &QComboBox::activated, parent, [this](int) {
    forms::Handle(messages_, [this] { browser_.Open(FromQt(DriveComboBox1->currentText()) + "\\"); });
    Refresh();
  });
  QObject::connect(DirectoryListBox1, &QListWidget::itemActivated, parent,
                   [this](QListWidgetItem* item) { OpenFolder(item); });
  // Enter opens the highlighted folder and nothing else: it does not reach
  // the dialog's default button.
  forms::OnKeys(DirectoryListBox1, {Qt::Key_Return, Qt::Key_Enter},
                [this] { OpenFolder(DirectoryListBox1->currentItem()); });
  Refresh();
}

void FolderWidgets::OpenFolder(QListWidgetItem* item) {
  if (!item) return;
  forms::Handle(messages_, [&] { browser_.Open(FromQt(item->data(Qt::UserRole).toString())); });
  Refresh();
}

std::string FolderWidgets::HighlightedFolder() const {
  QListWidgetItem* item = DirectoryListBox1->currentItem();
  return item ? FromQt(item->data(Qt::UserRole).toString()) : browser_.Directory();
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

}  // namespace dialogs
