// The build dialog on screen, driven as a user drives it: over a copy of the
// bundled example with the stand-in toolchain.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
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
#include "settings/EmulatorDevices.h"
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
    QApplication::setActiveWindow(form_.get());
    QApplication::processEvents();
  }
  // Brings the pages a widget is on to the front.
  static void Reveal(QWidget* widget) {
    for (QWidget* w = widget; w && w->parentWidget(); w = w->parentWidget())
      if (auto* pages = qobject_cast<QStackedWidget*>(w->parentWidget()))
        if (auto* tabs = qobject_cast<QTabWidget*>(pages->parentWidget())) tabs->setCurrentWidget(w);
    QApplication::processEvents();
  }
  // Replaces a widget's text by typing, as a user does: the keys go to the
  // widget that has the focus.
  static void Type(QWidget* widget, const QString& text) {
    Reveal(widget);
    widget->setFocus();
    QApplication::processEvents();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), text);
  }
  // Clicks an entry of a list.
  static void ClickRow(QAbstractItemView* view, int row, bool twice = false) {
    const QRect where = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, where.center());
    if (twice) QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, where.center());
  }
  // Answers the next modal dialog with `answer` once it shows.
  // A dialog the answer leaves open fails the test and is closed, so that
  // nothing waits for ever.
  static void WhenModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
      QPointer<QWidget> modal = QApplication::activeModalWidget();
      ASSERT_NE(modal, nullptr);
      answer(modal);
      QTimer::singleShot(3000, [modal] {
        if (!modal || !modal->isVisible()) return;
        ADD_FAILURE() << modal->windowTitle().toStdString() << " did not close";
        static_cast<QDialog*>(modal.data())->done(QDialog::Rejected);
      });
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
  EXPECT_EQ(form_->Model().MessageList.ItemIndex(), errorRow);  // a click selects the message
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
    picker->BitBtn1->click();                                   // Cancel
  });
  QTest::mouseClick(form_->SpeedButton4, Qt::LeftButton);
  EXPECT_EQ(form_->EdDCCIL_Path->text(), before);
  EXPECT_EQ(platform::GetCurrentDir() + "\\", projectFolder_);
}

TEST_F(CompactDevFormTest, AFolderPickedAtADriveRootIsShownWithoutItsBackslash) {
  Open();
  WhenModal([](QWidget* modal) {
    auto* picker = static_cast<dialogs::TfPathDlg*>(modal);
    // One click highlights the drive's root; OK takes it ("C:\").
    QListWidget* folders = picker->Folders.DirectoryListBox1;
    ClickRow(folders, folders->row(folders->findItems("C:\\", Qt::MatchExactly).value(0)));
    QTest::mouseClick(picker->BitBtn2, Qt::LeftButton);
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

// --- every control reaches the model, by keyboard and mouse ---

TEST_F(CompactDevFormTest, TypingInAnEditReachesItsControlAndThePathRuleTrimsAPath) {
  Open();
  auto& m = form_->Model();
  struct Edit {
    QLineEdit* widget;
    const builddialog::EditState& state;
    const std::string* field;  // the record field the path rule fills; null for none
  };
  const Edit edits[] = {
      {form_->EdDCCIL_Path, m.EdDCCIL_Path, &m.CFOptions.BDS_Compiler_Path},
      {form_->Ed_BDS_Lib_Path, m.Ed_BDS_Lib_Path, &m.CFOptions.BDS_Lib_Path},
      {form_->Ed_MS_Assembly_LinkPath, m.Ed_MS_Assembly_LinkPath, &m.CFOptions.MS_Assembly_Path},
      {form_->Ed_Delphi_Assembly_LinkPath, m.Ed_Delphi_Assembly_LinkPath, &m.CFOptions.Delphi_Assembly_Path},
      {form_->Ed_Third_Assembly_LinkPath, m.Ed_Third_Assembly_LinkPath, &m.CFOptions.Third_Assembly_Path},
      {form_->Ed_Emulator_App, m.Ed_Emulator_App, nullptr},
      {form_->Ed_Emulator_Image_FileName, m.Ed_Emulator_Image_FileName, nullptr},
      {form_->Ed_Shared_Folder, m.Ed_Shared_Folder, nullptr},
      {form_->Ed_Emulator_Screen_Width, m.Ed_Emulator_Screen_Width, nullptr},
      {form_->Ed_Emulator_Screen_Height, m.Ed_Emulator_Screen_Height, nullptr},
      {form_->Ed_Emulator_Ram_Size, m.Ed_Emulator_Ram_Size, nullptr}};
  for (const Edit& edit : edits) {
    SCOPED_TRACE(edit.widget->objectName().toStdString() + " " + std::to_string(&edit - edits));
    // The rule takes a "\" or a blank at the end away as it is typed.
    Type(edit.widget, "Typed\\ ");
    if (edit.field) {
      EXPECT_EQ(edit.state.Text(), "Typed");
      EXPECT_EQ(edit.widget->text(), "Typed");
      EXPECT_EQ(*edit.field, "Typed");
    } else {
      EXPECT_EQ(edit.state.Text(), "Typed\\ ");
    }
  }
}

TEST_F(CompactDevFormTest, EnterInAPathEditStoresItsTextInTheRecordAgain) {
  Open();
  auto& m = form_->Model();
  const std::pair<QLineEdit*, std::string*> edits[] = {
      {form_->Ed_BDS_Lib_Path, &m.CFOptions.BDS_Lib_Path},
      {form_->Ed_MS_Assembly_LinkPath, &m.CFOptions.MS_Assembly_Path},
      {form_->Ed_Delphi_Assembly_LinkPath, &m.CFOptions.Delphi_Assembly_Path},
      {form_->Ed_Third_Assembly_LinkPath, &m.CFOptions.Third_Assembly_Path}};
  for (const auto& [edit, field] : edits) {
    *field = "stale";
    Reveal(edit);
    edit->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(*field, edit->text().toStdString());
  }
}

TEST_F(CompactDevFormTest, CatalogueListsTakeChecksSelectionAndDoubleClicks) {
  Open();
  auto& m = form_->Model();
  const std::vector<std::string> names = {"A.dll", "B.dll", "C.dll"};
  m.Delphi_Assmbly_List.Fill(names, true);
  m.Third_Assmbly_List.Fill(names, true);
  form_->Refresh();
  const std::pair<QListWidget*, builddialog::CheckListState*> lists[] = {
      {form_->MS_Assmbly_List, &m.MS_Assmbly_List},
      {form_->Delphi_Assmbly_List, &m.Delphi_Assmbly_List},
      {form_->Third_Assmbly_List, &m.Third_Assmbly_List}};
  for (int page = 0; page < 3; ++page) {
    auto [list, state] = lists[page];
    SCOPED_TRACE(page);
    QTest::mouseClick(form_->AssemblyPageCtrl->tabBar(), Qt::LeftButton, {},
                      form_->AssemblyPageCtrl->tabBar()->tabRect(page).center());
    EXPECT_EQ(settings::IndexOf(m.AssemblyPageCtrl), page);
    QApplication::processEvents();
    // The space bar unchecks the current entry; the arrow keys move.
    ClickRow(list, 0);
    EXPECT_EQ(state->ItemIndex(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(state->ItemIndex(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_FALSE(state->Entries()[1].Checked);
    // A double click removes the entry.
    const size_t before = state->Entries().size();
    ClickRow(list, 0, true);
    EXPECT_EQ(state->Entries().size(), before - 1);
    EXPECT_EQ(list->count(), static_cast<int>(before - 1));
  }
}

TEST_F(CompactDevFormTest, EveryPickerButtonOpensItsPickerAndRemoveTakesTheSelectedEntry) {
  Open();
  const std::pair<QToolButton*, const char*> pickers[] = {
      {form_->SpeedButton4, "Select Path"},        {form_->SpeedButton1, "Select Path"},
      {form_->SpeedButton2, "File Select Dialog"}, {form_->SpeedButton6, "File Select Dialog"},
      {form_->SpeedButton7, "File Select Dialog"}, {form_->SpeedButton3, "File Select Dialog"},
      {form_->SpeedButton5, "File Select Dialog"}, {form_->BitBtn3, "File Select Dialog"}};
  for (const auto& [button, caption] : pickers) {
    SCOPED_TRACE(button->objectName().toStdString() + caption);
    QString shown;
    QTimer::singleShot(0, [&shown] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      shown = modal->windowTitle();
      static_cast<QDialog*>(modal)->reject();
    });
    if (!button->isVisible()) form_->PageControl1->setCurrentIndex(1);  // the emulator's pickers
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(shown, caption);
    form_->PageControl1->setCurrentIndex(0);
  }
  // Remove: the entry selected in the catalogue shown.
  ClickRow(form_->MS_Assmbly_List, 1);
  QTest::mouseClick(form_->BitBtn7, Qt::LeftButton);
  EXPECT_EQ(form_->Model().MS_Assmbly_List.Entries().size(), 3u);
  EXPECT_EQ(form_->MS_Assmbly_List->findItems("System.dll", Qt::MatchExactly).size(), 0);
}

TEST_F(CompactDevFormTest, SaveWritesWhatTheControlsShow) {
  Open();
  Type(form_->Ed_Emulator_Ram_Size, "128");
  QTest::mouseClick(form_->BtnSaveOptions, Qt::LeftButton);
  std::ifstream saved(root_ + "/HelloCF/CFOption.OPN", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("MS_CF_Emulator_Ram_Size=128\r\n"), std::string::npos) << text;
}

TEST_F(CompactDevFormTest, TheSelectorsTheCheckBoxAndThePagesReachTheModel) {
  Open();
  auto& m = form_->Model();
  // The version selector by keyboard, answered Yes: the second profile's folders.
  messages_.answers = {true};
  form_->CB_CFVer->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(m.CB_CFVer.ItemIndex, 1);
  EXPECT_EQ(messages_.asked, (std::vector<std::string>{"Exchange to another .Net Version ?"}));
  EXPECT_NE(form_->Ed_BDS_Lib_Path->text().toStdString().find("CF2"), std::string::npos);

  // The device list: chosen by keyboard, or its text typed in full.
  QTest::mouseClick(form_->PageControl1->tabBar(), Qt::LeftButton, {},
                    form_->PageControl1->tabBar()->tabRect(1).center());
  EXPECT_EQ(m.PageControl1, 1);
  form_->ComboBox1->setCurrentIndex(0);
  m.ComboBox1.ItemIndex = 0;
  form_->ComboBox1->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(m.ComboBox1.ItemIndex, 1);
  Type(form_->ComboBox1, QString::fromStdString(settings::EmulatorDevices[8].Entry));
  EXPECT_EQ(m.ComboBox1.ItemIndex, 8);
  EXPECT_EQ(form_->Ed_Emulator_Screen_Width->text(), "640");
  EXPECT_EQ(form_->Ed_Emulator_Screen_Height->text(), "480");
  // The device shown chosen again from its list: its size comes back.
  Type(form_->Ed_Emulator_Screen_Width, "999");
  form_->ComboBox1->showPopup();
  QApplication::processEvents();
  QTest::keyClick(form_->ComboBox1->view(), Qt::Key_Return);
  EXPECT_EQ(form_->Ed_Emulator_Screen_Width->text(), "640");
  EXPECT_EQ(form_->ComboBox1->count(), 9);  // nothing typed was added

  QTest::mouseClick(form_->Chk_Is_Auto_Depoly, Qt::LeftButton, {}, QPoint(6, form_->Chk_Is_Auto_Depoly->height() / 2));
  EXPECT_TRUE(m.Chk_Is_Auto_Depoly);
}

TEST_F(CompactDevFormTest, TheLinkOpensTheResourcesAndHidingTheDialogCleansUp) {
  int opened = 0;
  services_.OpenResources = [&opened] { ++opened; };
  form_ = std::make_unique<builddialog::TfCompactDevForm>(services_);
  Open();
  QTest::mouseClick(form_->Label5, Qt::LeftButton);
  EXPECT_EQ(opened, 1);
  // Compiled packages of the catalogue's entries go when the dialog closes.
  std::ofstream(root_ + "/HelloCF/System.Data.dcpil") << "x";
  form_->hide();
  EXPECT_FALSE(fs::exists(root_ + "/HelloCF/System.Data.dcpil"));
  // Shown again by a command: the show step deletes what a build left.
  std::ofstream(root_ + "/HelloCF/Left.dcpil") << "x";
  form_->show();
  QApplication::processEvents();
  EXPECT_FALSE(fs::exists(root_ + "/HelloCF/Left.dcpil"));
}

// --- the pickers ---

TEST_F(CompactDevFormTest, EnterInAPickersFolderListOpensTheFolderAndNothingElse) {
  fs::create_directories(root_ + "/cf/lib");
  dialogs::TfPathDlg picker(messages_);
  picker.Model.DirectoryListBox1.Open(platform::ToWindowsPath(root_));
  picker.Folders.Refresh();
  picker.show();
  QApplication::setActiveWindow(&picker);
  QListWidget* folders = picker.Folders.DirectoryListBox1;
  folders->setFocus();
  folders->setCurrentItem(folders->findItems("cf", Qt::MatchEndsWith).value(0));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_TRUE(picker.isVisible());  // not taken as OK
  EXPECT_EQ(picker.Model.DirectoryListBox1.Directory(), platform::ToWindowsPath(root_ + "/cf"));
  // A double click opens as well; OK then takes the folder shown.
  ClickRow(folders, folders->row(folders->findItems("lib", Qt::MatchEndsWith).value(0)), true);
  EXPECT_EQ(picker.Model.DirectoryListBox1.Directory(), platform::ToWindowsPath(root_ + "/cf/lib"));
  QTest::mouseClick(picker.BitBtn2, Qt::LeftButton);
  EXPECT_TRUE(picker.Model.Accepted);
  EXPECT_EQ(picker.Model.ChosenDirectory, platform::ToWindowsPath(root_ + "/cf/lib"));
}

TEST_F(CompactDevFormTest, ThePickersTakeADriveAFileAndCancel) {
  // Drives of the test's own: the example's C: and a D:.
  fs::create_directories(root_ + "/drive_d/sub");
  const std::string devices = root_ + "/dosdevices";
  fs::create_directories(devices);
  fs::create_directory_symlink(fs::canonical(platform::DosDevicesFolder() + "/c:"), devices + "/c:");
  fs::create_directory_symlink(root_ + "/drive_d", devices + "/d:");
  ::setenv("TIDEWELL_DOSDEVICES", devices.c_str(), 1);  // the example copy puts the old one back
  std::ofstream(root_ + "/ppc.bin") << "";
  dialogs::TfFileDlg files(messages_);
  files.Model.FileMask = "*.bin";
  files.Model.DirectoryListBox1.Open(platform::ToWindowsPath(root_));
  files.Folders.Refresh();
  files.show();
  QApplication::setActiveWindow(&files);
  ClickRow(files.FileListBox1, 0);
  QTest::mouseClick(files.BitBtn1, Qt::LeftButton);  // OK
  EXPECT_TRUE(files.Model.Accepted);
  EXPECT_EQ(files.Model.ChosenFile, platform::ToWindowsPath(root_ + "/ppc.bin"));

  dialogs::TfPathDlg path(messages_);
  path.show();
  QApplication::setActiveWindow(&path);
  QComboBox* drives = path.Folders.DriveComboBox1;
  drives->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);  // C: comes first, then D:
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(path.Model.DirectoryListBox1.Directory(), "D:\\");
  QTest::mouseClick(path.BitBtn1, Qt::LeftButton);  // Cancel
  EXPECT_FALSE(path.Model.Accepted);
  EXPECT_EQ(path.Model.ChosenDirectory, "");
  dialogs::TfFileDlg cancelled(messages_);
  cancelled.show();
  QTest::mouseClick(cancelled.BitBtn2, Qt::LeftButton);
  EXPECT_FALSE(cancelled.Model.Accepted);
  EXPECT_FALSE(cancelled.isVisible());
}
