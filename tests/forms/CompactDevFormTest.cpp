// The build dialog on screen, driven as a user drives it: over a copy of the
// bundled example with the stand-in toolchain.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "dialogs/QtPickers.h"
#include "dialogs/UfFileDlg.h"
#include "dialogs/UfPathDlg.h"
#include "platform/Files.h"
#include "platform/WinPath.h"
#include "builddialog/UfCompactDevForm.h"
#include "tests/TestWorld.h"

namespace fs = std::filesystem;

class CompactDevFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    projectFolder_ = platform::ToWindowsPath(root_ + "/HelloCF") + "\\";
    project_ = testing_world::OpenProject(projectFolder_ + "HelloCF.dpr");
    services_.Messages = &messages_;
    services_.Picker = &pickers_;
    form_ = std::make_unique<builddialog::TfCompactDevForm>(services_);
  }
  void TearDown() override {
    form_.reset();
    Pub_Project_Intf.reset();
    Pub_ModuleService.reset();
  }
  // Opens the dialog as the menu command does: load, first page, show.
  void Open() {
    form_->Model().OpenProject({Pub_Project_Intf, Pub_ModuleService});
    form_->Refresh();
    form_->show();
    QApplication::processEvents();
  }
  // Answers the next modal dialog with `answer` once it shows.
  static void WhenModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
      QWidget* modal = QApplication::activeModalWidget();
      ASSERT_NE(modal, nullptr);
      answer(modal);
    });
  }

  testing_world::ExampleCopy example_;
  const std::string root_ = example_.root;
  std::string projectFolder_;
  testing_world::FakeMessages messages_;
  dialogs::QtPickers pickers_{messages_, nullptr};
  builddialog::DialogServices services_;
  std::shared_ptr<testing_world::FakeProject> project_;
  std::unique_ptr<builddialog::TfCompactDevForm> form_;
};

TEST_F(CompactDevFormTest, TheClientAreaAndThePagesAreAsDesigned) {
  Open();
  EXPECT_EQ(form_->windowTitle(), "DotNet / DotNetCF Application Development Dialog");
  EXPECT_EQ(form_->size(), QSize(460, 540));
  QStringList pages, catalogues;
  for (int i = 0; i < form_->PageControl1->count(); ++i) pages << form_->PageControl1->tabText(i);
  for (int i = 0; i < form_->AssemblyPageCtrl->count(); ++i) catalogues << form_->AssemblyPageCtrl->tabText(i);
  EXPECT_EQ(pages, (QStringList{"Target Project", "Device Emulator", "Messages"}));
  EXPECT_EQ(catalogues, (QStringList{"DotNet(CF) Assemblies", "Delphi Assemblies", "Third Party Assemblies"}));
  // The show step loaded the example's options.
  EXPECT_EQ(form_->EdPjPath->text().toStdString(), projectFolder_);
  EXPECT_EQ(form_->MS_Assmbly_List->count(), 4);
  EXPECT_EQ(form_->CB_CFVer->currentText(), "CF V1.X");
}

TEST_F(CompactDevFormTest, CompilingFillsTheMessagesAndADoubleClickScrollsTheEditorToTheError) {
  std::ofstream(root_ + "/HelloCF/WinForm.pas", std::ios::app | std::ios::binary) << "  Broken; {!error}\r\n";
  Open();
  std::vector<int> pagesShown;
  QObject::connect(form_->PageControl1, &QTabWidget::currentChanged, [&](int page) { pagesShown.push_back(page); });

  QTest::mouseClick(form_->BitBtn1, Qt::LeftButton);
  EXPECT_EQ(pagesShown, (std::vector<int>{2, 0}));  // Messages while it builds, then back
  EXPECT_TRUE(form_->BitBtn1->isEnabled());
  QApplication::processEvents();

  QAbstractItemModel* lines = form_->MessageList->model();
  int errorRow = -1;
  for (int row = 0; row < lines->rowCount(); ++row)
    if (lines->index(row, 0).data().toString().contains(") Error: ")) errorRow = row;
  ASSERT_GE(errorRow, 0) << "no compiler error among " << lines->rowCount() << " lines";
  EXPECT_EQ(lines->index(1, 0).data().toString(), "--> ReCompile Resource File...\"WinForm.resx\".......OK !!");
  const std::string error = lines->index(errorRow, 0).data().toString().toStdString();
  const int line = std::stoi(error.substr(error.find('(') + 1));

  form_->PageControl1->setCurrentIndex(2);
  QApplication::processEvents();
  const QRect where = form_->MessageList->visualRect(lines->index(errorRow, 0));
  QTest::mouseClick(form_->MessageList->viewport(), Qt::LeftButton, {}, where.center());
  QTest::mouseDClick(form_->MessageList->viewport(), Qt::LeftButton, {}, where.center());
  auto view = std::static_pointer_cast<testing_world::FakeEditor>(project_->files[0])->view;
  ASSERT_EQ(view->calls.size(), 1u);
  EXPECT_EQ(view->calls[0], std::make_pair(line, 1));
  EXPECT_TRUE(messages_.errors.empty());
}

TEST_F(CompactDevFormTest, ACancelledPickerLeavesTheDialogAndTheProjectFolderAsTheyWere) {
  Open();
  const QString before = form_->EdDCCIL_Path->text();
  WhenModal([](QWidget* modal) {
    auto* picker = static_cast<dialogs::TfPathDlg*>(modal);
    picker->Model.DirectoryListBox1.Open("C:\\Program Files");  // browsing moves the current folder
    picker->BitBtn1->click();                                    // Cancel
  });
  QTest::mouseClick(form_->SpeedButton4, Qt::LeftButton);
  EXPECT_EQ(form_->EdDCCIL_Path->text(), before);
  EXPECT_EQ(platform::GetCurrentDir() + "\\", projectFolder_);
}

TEST_F(CompactDevFormTest, AFolderPickedAtADriveRootIsShownWithoutItsBackslash) {
  Open();
  WhenModal([](QWidget* modal) {
    auto* picker = static_cast<dialogs::TfPathDlg*>(modal);
    picker->Model.DirectoryListBox1.Open("C:\\");
    picker->BitBtn2->click();  // OK: the picker reports "C:\"
  });
  QTest::mouseClick(form_->SpeedButton4, Qt::LeftButton);
  EXPECT_EQ(form_->EdDCCIL_Path->text(), "C:");
  EXPECT_EQ(form_->Model().CFOptions.BDS_Compiler_Path, "C:");
}

TEST_F(CompactDevFormTest, TheFilePickerShowsWhatItsMaskMatchesAndOkWithoutAFileReportsTheFolder) {
  for (const char* name : {"ppc.bin", "sp.CEM", "notes.txt"}) std::ofstream(root_ + "/" + name) << "";
  dialogs::TfFileDlg picker(messages_);
  EXPECT_EQ(picker.windowTitle(), "File Select Dialog");
  EXPECT_EQ(picker.size(), QSize(440, 392));
  picker.Model.FileMask = "*.bin;*.cem";
  picker.Model.DirectoryListBox1.Open(platform::ToWindowsPath(root_));
  picker.Folders.Refresh();
  picker.show();
  QStringList files;
  for (int i = 0; i < picker.FileListBox1->count(); ++i) files << picker.FileListBox1->item(i)->text();
  EXPECT_EQ(files, (QStringList{"ppc.bin", "sp.CEM"}));
  QTest::mouseClick(picker.BitBtn1, Qt::LeftButton);
  EXPECT_TRUE(picker.Model.Accepted);
  EXPECT_EQ(picker.Model.ChosenFile, "");
  EXPECT_EQ(picker.Model.ChosenDirectory, platform::ToWindowsPath(root_));
}

TEST_F(CompactDevFormTest, AnErrorInAHandlerIsReportedAndTheFormGoesOn) {
  Open();
  dialogs::TfPathDlg picker(messages_);
  fs::create_directories(root_ + "/gone");
  picker.Model.DirectoryListBox1.Open(platform::ToWindowsPath(root_));
  picker.Folders.Refresh();
  fs::remove(root_ + "/gone");  // vanishes while the list shows it
  QListWidget* list = picker.Folders.DirectoryListBox1;
  QListWidgetItem* gone = list->findItems("gone", Qt::MatchEndsWith).value(0);
  ASSERT_NE(gone, nullptr);
  emit list->itemActivated(gone);
  ASSERT_EQ(messages_.errors.size(), 1u);
  EXPECT_NE(messages_.errors[0].find("gone"), std::string::npos);
  EXPECT_EQ(picker.Model.DirectoryListBox1.Directory(), platform::ToWindowsPath(root_));
}
