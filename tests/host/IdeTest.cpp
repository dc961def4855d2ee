// The stand-in IDE with the real package library, offscreen.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QDockWidget>
#include <QPlainTextEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSplashScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "host/IdeWindow.h"
#include "platform/Files.h"
#include "toolsapi/ToolsAPI.h"
#include "platform/WinPath.h"
#include "tests/TestWorld.h"

namespace fs = std::filesystem;

class IdeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldCwd_ = fs::current_path();
    ide_ = std::make_unique<host::IdeWindow>(messages_);
    menusBefore_ = Titles(ide_->Menus()->actions());
  }
  void TearDown() override { ide_.reset(); }
  void Load() { ide_->LoadPackages({TIDEWELL_PACKAGE}, nullptr); }
  static QStringList Titles(const QList<QAction*>& actions) {
    QStringList titles;
    for (QAction* a : actions) titles << a->text();
    return titles;
  }
  QMenu* PackageMenu() const { return ide_->Menus()->actions().back()->menu(); }
  // The settings dialog opened and closed once: Compile and Run use its load.
  void OpenSettingsOnce() {
    WhenModal([](QWidget*) {});
    PackageMenu()->actions()[0]->trigger();
  }
  QAction* Command(QMenu* menu, const QString& text) const {
    for (QAction* a : menu->actions())
      if (a->text() == text || a->objectName() == text) return a;  // a caption, or a command's name
    return nullptr;
  }
  // Runs `answer` with the modal dialog once it shows, then closes it.
  static void WhenModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
      QWidget* modal = QApplication::activeModalWidget();
      ASSERT_NE(modal, nullptr);
      answer(modal);
      modal->close();
    });
  }
  template <class W>
  static W* Part(QWidget* form, const char* name) {
    W* part = form->findChild<W*>(name);
    EXPECT_NE(part, nullptr) << name;
    return part;
  }

  // A compiler that writes its process number to dccil.pid and then hangs.
  void UseHangingCompiler() {
    const std::string bin = root_ + "/hang";
    fs::create_directories(bin);
    std::ofstream(bin + "/dccil") << "#!/bin/sh\necho $$ > '" << root_ << "/dccil.pid'\nexec sleep 600\n";
    fs::permissions(bin + "/dccil", fs::perms::owner_all);
    std::string options = testing_world::ReadHostFile(root_ + "/HelloCF/CFOption.OPN");
    options.replace(0, options.find("\r\n"), "BDS_Compiler_Path=Z:" + bin);
    std::ofstream(root_ + "/HelloCF/CFOption.OPN", std::ios::binary) << options;
  }
  // True when the process is gone within five seconds.
  static bool EndsSoon(pid_t pid) {
    for (int i = 0; i < 100; ++i) {
      if (::kill(pid, 0) != 0) return true;
      QTest::qWait(50);
    }
    return false;
  }

  testing_world::ExampleCopy example_;
  const std::string root_ = example_.root;
  fs::path oldCwd_;
  testing_world::FakeMessages messages_;
  std::unique_ptr<host::IdeWindow> ide_;
  QStringList menusBefore_;
};

TEST_F(IdeTest, LoadingAddsFourImagesTheMenuAtTheEndAndToolsCommandsAndUnloadingTakesThemAway) {
  const int imagesBefore = ide_->ImageList.Count();
  Load();
  ASSERT_TRUE(ide_->LoadProblems.empty()) << ide_->LoadProblems.front();
  EXPECT_EQ(ide_->ImageList.Count(), imagesBefore + 4);
  EXPECT_EQ(ide_->Menus()->actions().back()->text(), "Tidewell!! V2.0(Field Test Version)");
  const QList<QAction*> items = PackageMenu()->actions();
  ASSERT_EQ(items.size(), 5);
  EXPECT_EQ(Titles(items),
            (QStringList{"Compile (DotNet / CF) Application", "", "Develop Resource", "", "About Tidewell"}));
  EXPECT_TRUE(items[1]->isSeparator() && items[3]->isSeparator());
  const int last = ide_->ImageList.Count() - 1;
  EXPECT_EQ(items[0]->property("ImageIndex").toInt(), last - 3);
  EXPECT_EQ(items[2]->property("ImageIndex").toInt(), last - 2);
  EXPECT_EQ(items[4]->property("ImageIndex").toInt(), last - 1);  // the About picture
  EXPECT_EQ(Titles(ide_->ToolsMenu->actions()),
            (QStringList{"Compile", "Run", "Database Export...", "Create Tool Bar"}));
  EXPECT_EQ(ide_->ToolsMenu->actions()[2]->toolTip(), "DbExportDlgClick");

  ide_->UnloadPackages();
  EXPECT_EQ(Titles(ide_->Menus()->actions()), menusBefore_);
  EXPECT_EQ(ide_->ImageList.Count(), imagesBefore);
  EXPECT_TRUE(ide_->ToolsMenu->actions().isEmpty());
  EXPECT_EQ(Pub_CF_Tool_Path, "");
}

TEST_F(IdeTest, CreateToolBarPutsThePackagesToolbarBesideTheStandardOneOnce) {
  Load();
  EXPECT_EQ(ide_->findChild<QToolBar*>("Dev_ToolBar"), nullptr);  // not made by the package itself
  Command(ide_->ToolsMenu, "CreateToolBar")->trigger();
  Command(ide_->ToolsMenu, "CreateToolBar")->trigger();
  const QList<QToolBar*> bars = ide_->findChildren<QToolBar*>("Dev_ToolBar");
  ASSERT_EQ(bars.size(), 1);
  QToolBar* bar = bars.front();
  QToolBar* standard = ide_->findChild<QToolBar*>("StandardToolBar");
  EXPECT_EQ(bar->windowTitle(), "Dev_ToolBar");
  EXPECT_EQ(bar->toolTip(), "Developer Resource-OpenSource-Platform Plan");
  EXPECT_EQ(ide_->toolBarArea(bar), ide_->toolBarArea(standard));
  EXPECT_EQ(bar->iconSize(), standard->iconSize());
  EXPECT_TRUE(bar->isVisibleTo(ide_.get()));
  ASSERT_EQ(bar->actions().size(), 1);  // one button, and nothing else on the bar
  auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(bar->actions().front()));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->width(), 23);
  EXPECT_TRUE(button->text().isEmpty());
  ide_->UnloadPackages();
  EXPECT_EQ(ide_->findChild<QToolBar*>("Dev_ToolBar"), nullptr);  // gone with the wizard
}

TEST_F(IdeTest, APackageThatCannotLoadIsReportedAndTheIdeGoesOn) {
  ide_->LoadPackages({root_ + "/missing.so", "libm.so.6"}, nullptr);
  ASSERT_EQ(ide_->LoadProblems.size(), 2u);
  EXPECT_NE(ide_->LoadProblems[1].find("lacks one of"), std::string::npos);
  EXPECT_EQ(Titles(ide_->Menus()->actions()), menusBefore_);
  EXPECT_FALSE(ide_->OpenProject(root_ + "/nowhere.dpr"));
  EXPECT_EQ(messages_.errors.size(), 1u);
}

TEST_F(IdeTest, TheSettingsCommandOpensTheSameDialogOnItsFirstPageEveryTime) {
  Load();
  ASSERT_TRUE(ide_->OpenProject(root_ + "/HelloCF/HelloCF.dpr"));
  QAction* command = PackageMenu()->actions()[0];
  std::vector<QWidget*> shown;
  for (int i = 0; i < 2; ++i) {
    WhenModal([&](QWidget* dialog) {
      shown.push_back(dialog);
      auto* pages = Part<QTabWidget>(dialog, "PageControl1");
      EXPECT_EQ(pages->currentIndex(), 0);
      pages->setCurrentIndex(2);  // left on another page
      EXPECT_EQ(Part<QLineEdit>(dialog, "EdPJName")->text(), "HelloCF.dpr");
    });
    command->trigger();
  }
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], shown[1]);
}

TEST_F(IdeTest, CompileAndRunUseTheLastLoadAndTheDataExportDialogIsFreshEachTime) {
  Load();
  ASSERT_TRUE(ide_->OpenProject(root_ + "/HelloCF/HelloCF.dpr"));
  QWidget* dialog = nullptr;
  WhenModal([&](QWidget* d) { dialog = d; });
  PackageMenu()->actions()[0]->trigger();
  ASSERT_NE(dialog, nullptr);

  // RunClick: the project folder becomes current, nothing is built.
  fs::current_path(oldCwd_);
  Command(ide_->ToolsMenu, "RunClick")->trigger();
  EXPECT_EQ(fs::current_path(), fs::path(root_ + "/HelloCF"));
  EXPECT_FALSE(fs::exists(root_ + "/HelloCF/HelloCF.exe"));
  EXPECT_EQ(Part<QListView>(dialog, "MessageList")->model()->rowCount(), 0);

  // CompileClick: a build without the dialog.
  Command(ide_->ToolsMenu, "CompileClick")->trigger();
  EXPECT_TRUE(fs::exists(root_ + "/HelloCF/HelloCF.exe"));
  EXPECT_FALSE(dialog->isVisible());

  // With a unit in front, the project name box keeps what it showed: the
  // first run still sees the project file of the last load, the second
  // sees the unit and leaves the box alone.
  ide_->Tabs->setCurrentIndex(1);
  Command(ide_->ToolsMenu, "RunClick")->trigger();
  Command(ide_->ToolsMenu, "RunClick")->trigger();
  EXPECT_EQ(Part<QLineEdit>(dialog, "EdPJName")->text(), "HelloCF.dpr");
  ide_->Tabs->setCurrentIndex(0);
  Command(ide_->ToolsMenu, "RunClick")->trigger();
  Command(ide_->ToolsMenu, "RunClick")->trigger();
  EXPECT_EQ(Part<QLineEdit>(dialog, "EdPJName")->text(), "HelloCF.dpr");

  // Two data export dialogs: each a new one, freed when it closes.
  QPointer<QWidget> first, second;
  WhenModal([&](QWidget* d) { first = d; });
  Command(ide_->ToolsMenu, "DbExportDlgClick")->trigger();
  EXPECT_TRUE(first.isNull());
  WhenModal([&](QWidget* d) {
    second = d;
    EXPECT_EQ(d->windowTitle(), "Tidewell!! Data Export Dialog");
  });
  Command(ide_->ToolsMenu, "DbExportDlgClick")->trigger();
  EXPECT_TRUE(second.isNull());
}

TEST_F(IdeTest, CompilingAnErrorAndDoubleClickingItShowsTheLineAtTheTopOfTheUnitsTab) {
  std::ofstream(root_ + "/HelloCF/WinForm.pas", std::ios::app | std::ios::binary) << "  Broken; {!error}\r\n";
  Load();
  ASSERT_TRUE(ide_->OpenProject(root_ + "/HelloCF/HelloCF.dpr"));
  ASSERT_EQ(ide_->Files.size(), 2u);
  int line = 0;
  WhenModal([&](QWidget* dialog) {
    QTest::mouseClick(Part<QToolButton>(dialog, "BitBtn1"), Qt::LeftButton);  // "Compile "
    auto* list = Part<QListView>(dialog, "MessageList");
    QApplication::processEvents();
    QModelIndex error;
    for (int row = 0; row < list->model()->rowCount(); ++row)
      if (list->model()->index(row, 0).data().toString().contains(") Error: ")) error = list->model()->index(row, 0);
    ASSERT_TRUE(error.isValid());
    const std::string text = error.data().toString().toStdString();
    line = std::stoi(text.substr(text.find('(') + 1));
    // The unit's tab in front, as a user opens it, then the double click.
    ide_->Tabs->setCurrentIndex(1);
    Part<QTabWidget>(dialog, "PageControl1")->setCurrentIndex(2);
    QApplication::processEvents();
    const QPoint at = list->visualRect(error).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
  });
  PackageMenu()->actions()[0]->trigger();
  ASSERT_GT(line, 1);
  EXPECT_EQ(ide_->Files[1]->TopLine(), line);
  EXPECT_TRUE(messages_.errors.empty());
}

// The Tools menu's build entries: from the first use on the project the IDE
// has open (its settings loaded through the package), their status line the
// build's own last line, a double click on an error in the Messages view at
// its line, and nothing to build once the project is closed.
// The dialog's Compile builds the files on disk, so the IDE offers the
// edits not saved first: Cancel builds nothing, Save builds the saved text.
TEST_F(IdeTest, TheDialogsCompileOffersTheUnsavedEditsFirst) {
  Load();
  ASSERT_TRUE(ide_->OpenProject(root_ + "/HelloCF/HelloCF.dpr"));
  ASSERT_EQ(ide_->Files.size(), 2u);
  const std::string unit = root_ + "/HelloCF/WinForm.pas", before = testing_world::ReadHostFile(unit);
  ide_->Files[1]->Editor()->moveCursor(QTextCursor::Start);
  QTest::keyClicks(ide_->Files[1]->Editor(), "{ mine } ");
  int rowsAfterCancel = -1, rowsAfterSave = -1;
  WhenModal([&](QWidget* dialog) {
    auto* list = Part<QListView>(dialog, "MessageList");
    messages_.choices = {platform::MessageService::Answer::Cancel};
    QTest::mouseClick(Part<QToolButton>(dialog, "BitBtn1"), Qt::LeftButton);  // "Compile "
    rowsAfterCancel = list->model()->rowCount();
    messages_.choices = {platform::MessageService::Answer::Yes};
    QTest::mouseClick(Part<QToolButton>(dialog, "BitBtn1"), Qt::LeftButton);
    rowsAfterSave = list->model()->rowCount();
  });
  PackageMenu()->actions()[0]->trigger();
  EXPECT_EQ(rowsAfterCancel, 0);
  EXPECT_GT(rowsAfterSave, 1);
  EXPECT_EQ(testing_world::ReadHostFile(unit).rfind("{ mine } unit WinForm;", 0), 0u);
  EXPECT_NE(before.rfind("{ mine }", 0), 0u);
  EXPECT_TRUE(messages_.choices.empty());  // asked once for each Compile
  EXPECT_FALSE(ide_->Files[1]->Modified());
}

TEST_F(IdeTest, ToolsCompileWorksOnTheOpenProjectFromTheFirstUseAndItsErrorsJumpToTheirLines) {
  std::ofstream(root_ + "/HelloCF/WinForm.pas", std::ios::app | std::ios::binary) << "  Broken; {!error}\r\n";
  Load();
  ASSERT_TRUE(ide_->OpenProject(root_ + "/HelloCF/HelloCF.dpr"));
  ide_->show();
  Command(ide_->ToolsMenu, "CompileClick")->trigger();  // the dialog never opened
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown.front();
  ASSERT_GT(ide_->MessageView->count(), 1);
  const QString last = ide_->MessageView->item(ide_->MessageView->count() - 1)->text();
  EXPECT_EQ(ide_->statusBar()->currentMessage(), last);
  // Built again, the view is refilled with as many lines: still the last one.
  const int lines = ide_->MessageView->count();
  Command(ide_->ToolsMenu, "CompileClick")->trigger();
  EXPECT_EQ(ide_->MessageView->count(), lines);
  EXPECT_EQ(ide_->statusBar()->currentMessage(), last);
  QListWidgetItem* error = nullptr;
  for (int row = 0; row < ide_->MessageView->count(); ++row)
    if (ide_->MessageView->item(row)->text().contains(") Error: ")) error = ide_->MessageView->item(row);
  ASSERT_NE(error, nullptr);
  const int line = std::stoi(error->text().toStdString().substr(error->text().indexOf('(') + 1));
  ide_->Tabs->setCurrentIndex(1);
  const QPoint at = ide_->MessageView->visualItemRect(error).center();
  QTest::mouseClick(ide_->MessageView->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(ide_->MessageView->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(ide_->Files[1]->CursorLine(), line);
  EXPECT_TRUE(messages_.errors.empty());

  // An edit marks its tab and the title; a build offers to save it first
  // (Cancel builds nothing), and builds the saved text.
  ide_->Files[1]->Editor()->moveCursor(QTextCursor::Start);
  QTest::keyClicks(ide_->Files[1]->Editor(), "{ mine } ");
  EXPECT_EQ(ide_->Tabs->tabText(1), "WinForm.pas *");
  EXPECT_TRUE(ide_->windowTitle().endsWith(" *"));
  messages_.choices = {platform::MessageService::Answer::Cancel};
  ide_->MessageView->clear();
  Command(ide_->ToolsMenu, "CompileClick")->trigger();
  EXPECT_EQ(ide_->MessageView->count(), 0);
  EXPECT_EQ(ide_->statusBar()->currentMessage(), "Compile: cancelled");
  messages_.choices = {platform::MessageService::Answer::Yes};
  Command(ide_->ToolsMenu, "CompileClick")->trigger();
  EXPECT_EQ(testing_world::ReadHostFile(root_ + "/HelloCF/WinForm.pas").rfind("{ mine } unit WinForm;", 0), 0u);
  EXPECT_EQ(ide_->Tabs->tabText(1), "WinForm.pas");
  QTest::keyClicks(ide_->Files[1]->Editor(), "x");
  messages_.answers = {false};  // do not save
  QMenu* fileMenu = nullptr;
  for (QAction* menu : ide_->Menus()->actions())
    if (menu->text() == "&File") fileMenu = menu->menu();
  ASSERT_NE(fileMenu, nullptr);
  Command(fileMenu, "&Close Project")->trigger();
  EXPECT_EQ(ide_->MessageView->count(), 0);
  EXPECT_FALSE(Command(ide_->ToolsMenu, "CompileClick")->isEnabled());
  EXPECT_FALSE(Command(ide_->ToolsMenu, "RunClick")->isEnabled());
  EXPECT_TRUE(Command(ide_->ToolsMenu, "DbExportDlgClick")->isEnabled());
}

TEST_F(IdeTest, TheSplashScreenShowsThePackagesPictureOnlyWhileItsServicesExist) {
  QPixmap blank(400, 300);
  blank.fill(Qt::black);
  QSplashScreen splash(blank);
  splash.show();
  ide_->LoadPackages({TIDEWELL_PACKAGE}, &splash);
  EXPECT_NE(splash.pixmap().toImage(), blank.toImage());  // the picture and its caption were drawn
  EXPECT_EQ(ToolsAPI::SplashScreenServices, nullptr);     // gone once start-up is over
  EXPECT_EQ(ide_->Menus()->actions().back()->text(), "Tidewell!! V2.0(Field Test Version)");
}

// The IDE as a user meets it: commands that fail, the editor after a build,
// saving, and ending the IDE.

TEST_F(IdeTest, EveryMenuCommandThatFailsShowsItsErrorAndTheIdeGoesOn) {
  Load();
  ASSERT_TRUE(ide_->OpenProject(root_ + "/HelloCF/HelloCF.dpr"));
  fs::remove(root_ + "/HelloCF/CFOption.OPN");
  fs::create_directory(root_ + "/HelloCF/CFOption.OPN");  // there, but no file: every load fails
  fs::current_path(root_ + "/HelloCF");
  // Each command of the package's menu and of the Tools menu, as a click
  // runs it; a modal window that shows (an error box, a dialog) is closed.
  QStringList boxes;
  for (QMenu* menu : {PackageMenu(), ide_->ToolsMenu})
    for (QAction* item : menu->actions()) {
      // The resources browser loads no settings (and is tested on its own).
      if (item->isSeparator() || item->text() == "Develop Resource") continue;
      SCOPED_TRACE(item->text().toStdString());
      QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
          if (auto* label = modal->findChild<QLabel*>("qt_msgbox_label")) boxes << label->text();
          modal->close();
        }
      });
      item->trigger();
      QApplication::processEvents();
      EXPECT_TRUE(ide_->isEnabled());
    }
  // The package's own menu shows its errors in an error box, the Tools menu
  // in the IDE's report: both name the file.
  ASSERT_FALSE(boxes.isEmpty());
  EXPECT_NE(boxes[0].indexOf("CFOption.OPN"), -1) << boxes[0].toStdString();
  ASSERT_GE(messages_.errors.size(), 2u);  // Compile and Run
  for (const std::string& error : messages_.errors) EXPECT_NE(error.find("CFOption.OPN"), std::string::npos) << error;
}

TEST_F(IdeTest, TheCurrentEditorIsTheProjectFilesAndTheCurrentModuleTheOneInFront) {
  Load();
  ASSERT_TRUE(ide_->OpenProject(root_ + "/HelloCF/HelloCF.dpr"));
  ide_->Tabs->setCurrentIndex(1);
  auto modules = ToolsAPI::Supports<ToolsAPI::IOTAModuleServices>(ToolsAPI::BorlandIDEServices);
  ASSERT_TRUE(modules);
  EXPECT_NE(modules->GetActiveProject()->GetCurrentEditor()->GetFileName().find("HelloCF.dpr"), std::string::npos);
  EXPECT_NE(modules->CurrentModule()->GetFileName().find("WinForm.pas"), std::string::npos);
  // So a build with a unit in front builds the project, and its messages
  // show in the IDE's message view.
  OpenSettingsOnce();
  Command(ide_->ToolsMenu, "CompileClick")->trigger();
  EXPECT_TRUE(fs::exists(root_ + "/HelloCF/HelloCF.exe"));
  ASSERT_GT(ide_->MessageView->count(), 5);
  EXPECT_TRUE(ide_->MessageView->item(0)->text().startsWith("Tidewell!! V2.0 Test by "));
  EXPECT_TRUE(ide_->MessageView->item(ide_->MessageView->count() - 1)->text().endsWith("512 bytes data."));
  EXPECT_FALSE(ide_->MessageDock->isHidden());
}

TEST_F(IdeTest, AFileTheBuildPatchesIsReadAgainAndAJumpShowsItsLineWithTheCursorOnIt) {
  std::ofstream(root_ + "/HelloCF/WinForm.pas", std::ios::app | std::ios::binary) << "  Broken; {!error}\r\n";
  Load();
  ASSERT_TRUE(ide_->OpenProject(root_ + "/HelloCF/HelloCF.dpr"));
  ide_->show();
  OpenSettingsOnce();
  // The second build writes the first one's line breaks as CR LF; from then
  // on the compiler's lines are the editor's.
  Command(ide_->ToolsMenu, "CompileClick")->trigger();
  QTest::qWait(300);
  Command(ide_->ToolsMenu, "CompileClick")->trigger();
  QTest::qWait(300);  // the file watcher's news
  QPlainTextEdit* unit = ide_->Files[1]->Editor();
  const QString onDisk = QString::fromLocal8Bit(testing_world::ReadHostFile(root_ + "/HelloCF/WinForm.pas").c_str());
  EXPECT_NE(unit->toPlainText().indexOf("{$define CF}"), -1);
  EXPECT_EQ(unit->toPlainText().count('\n'), onDisk.count('\n'));
  // The jump: the unit comes to the front, the line at the top, the cursor on it.
  ide_->Tabs->setCurrentIndex(0);
  const int line = 1 + static_cast<int>(onDisk.left(onDisk.indexOf("{!error}")).count('\n'));
  ide_->Files[1]->SetTopLeft(line, 1);
  ide_->Files[1]->MoveCursorToView();
  EXPECT_EQ(ide_->Tabs->currentIndex(), 1);
  EXPECT_EQ(ide_->Files[1]->CursorLine(), line);
  EXPECT_TRUE(unit->viewport()->rect().contains(unit->cursorRect()));  // in view
  ASSERT_EQ(unit->extraSelections().size(), 1);
  EXPECT_EQ(unit->extraSelections()[0].cursor.blockNumber() + 1, line);  // the marked line

  // Edits not saved are not thrown away without asking.
  QTest::keyClicks(unit, "// mine");
  std::ofstream(root_ + "/HelloCF/WinForm.pas", std::ios::app | std::ios::binary) << "// theirs\r\n";
  QTest::qWait(300);
  ASSERT_EQ(messages_.asked.size(), 1u);
  EXPECT_NE(messages_.asked[0].find("WinForm.pas has changed on disk"), std::string::npos);
  EXPECT_NE(unit->toPlainText().indexOf("// mine"), -1);
}

TEST_F(IdeTest, CtrlSSavesTheFileInFrontAndClosingAsksAboutEditsNotSaved) {
  ASSERT_TRUE(ide_->OpenProject(root_ + "/HelloCF/HelloCF.dpr"));
  ide_->show();
  ide_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(ide_.get()));
  ide_->Tabs->setCurrentIndex(1);
  QPlainTextEdit* unit = ide_->Files[1]->Editor();
  unit->setFocus();
  unit->moveCursor(QTextCursor::Start);
  QTest::keyClicks(unit, "{ saved } ");
  QTest::keyClick(unit, Qt::Key_S, Qt::ControlModifier);
  const std::string saved = testing_world::ReadHostFile(root_ + "/HelloCF/WinForm.pas");
  EXPECT_EQ(saved.rfind("{ saved } unit WinForm;\r\n", 0), 0u) << saved.substr(0, 40);
  QTest::keyClicks(unit, "x");
  messages_.choices = {platform::MessageService::Answer::Cancel};  // Escape: the IDE stays, with the edit
  ide_->close();
  EXPECT_TRUE(ide_->isVisible());
  EXPECT_TRUE(unit->toPlainText().startsWith("{ saved } xunit"));  // the cursor stayed where it was
  messages_.answers = {false};                                     // do not save
  ide_->close();
  ASSERT_EQ(messages_.asked.size(), 2u);
  EXPECT_EQ(messages_.asked[1], "Save the changes to WinForm.pas?");
  EXPECT_FALSE(ide_->isVisible());
  EXPECT_EQ(testing_world::ReadHostFile(root_ + "/HelloCF/WinForm.pas"), saved);
}

// A unit in the Windows code page, with LF line ends: shown as its
// characters, saved as its bytes with its own line ends, and not written at
// all without an edit. A build that writes it back with the same bytes (a
// new time stamp only) asks nothing.
TEST_F(IdeTest, TheEditorKeepsTheCodePagesBytesAndTheFilesLineEnds) {
  const std::string unitPath = root_ + "/HelloCF/WinForm.pas";
  const std::string unit = "unit WinForm; { Caf\xE9 na\xEFve \x80 \x81 }\ninterface\nend.\n";
  std::ofstream(unitPath, std::ios::binary) << unit;
  ASSERT_TRUE(ide_->OpenProject(root_ + "/HelloCF/HelloCF.dpr"));
  ide_->show();
  ide_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(ide_.get()));
  ide_->Tabs->setCurrentIndex(1);
  QPlainTextEdit* editor = ide_->Files[1]->Editor();
  EXPECT_EQ(editor->toPlainText().split('\n').first(),
            QString::fromUtf8("unit WinForm; { Caf\u00e9 na\u00efve \u20ac \u0081 }"));
  editor->setFocus();
  const auto before = fs::last_write_time(unitPath) - std::chrono::hours(1);
  fs::last_write_time(unitPath, before);
  QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);  // nothing edited: nothing written
  EXPECT_EQ(fs::last_write_time(unitPath), before);
  editor->moveCursor(QTextCursor::End);
  QTest::keyClicks(editor, "{ ");
  QKeyEvent accent(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\u00e0"));  // as a keyboard layout types it
  QApplication::sendEvent(editor, &accent);
  QTest::keyClicks(editor, " }");
  QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(testing_world::ReadHostFile(unitPath), unit + "{ \xE0 }\n");                 // the last line end kept too
  EXPECT_EQ(editor->textCursor().position(), editor->document()->characterCount() - 1);  // the cursor stays

  // The same bytes written back by someone else: no question, the edit stays.
  QTest::keyClicks(editor, "x");
  std::ofstream(unitPath, std::ios::binary) << unit + "{ \xE0 }\n";
  QTest::qWait(300);
  EXPECT_TRUE(messages_.asked.empty());
  EXPECT_TRUE(editor->toPlainText().endsWith("x"));
}

TEST_F(IdeTest, ExitWithThePackagesBrowserOpenEndsTheApplicationAndUnloadsThePackage) {
  Load();
  ide_->show();
  QTimer::singleShot(0, [&] {
    Command(PackageMenu(), "Develop Resource")->trigger();  // a window of its own, not modal
    QTimer::singleShot(200, [&] { ide_->Menus()->actions()[0]->menu()->actions().last()->trigger(); });  // File > Exit
  });
  QTimer::singleShot(15000, [] { QCoreApplication::exit(1); });  // it did not end
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_EQ(Titles(ide_->Menus()->actions()).last().toStdString(), "&Help");  // unloaded
  for (QWidget* window : QApplication::topLevelWidgets())
    EXPECT_FALSE(window->isVisible() && window != ide_.get()) << window->windowTitle().toStdString();
}

TEST_F(IdeTest, ClosingTheIdeDuringABuildEndsTheBuildAndTheCompiler) {
  UseHangingCompiler();
  Load();
  ASSERT_TRUE(ide_->OpenProject(root_ + "/HelloCF/HelloCF.dpr"));
  ide_->show();
  OpenSettingsOnce();
  pid_t compiler = 0;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    std::ifstream(root_ + "/dccil.pid") >> compiler;
    if (compiler > 0) {
      poll.stop();
      EXPECT_TRUE(ide_->Busy());
      ide_->close();  // the close box, while the compiler runs
    }
  });
  // As a click runs it: from a posted event (a timer's callback would keep
  // the other timers from firing in the build's message pump).
  QMetaObject::invokeMethod(
      qApp,
      [&] {
        poll.start(50);
        Command(ide_->ToolsMenu, "CompileClick")->trigger();
      },
      Qt::QueuedConnection);
  QTimer::singleShot(20000, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QCoreApplication::exec(), 0);
  ASSERT_GT(compiler, 0);
  EXPECT_TRUE(EndsSoon(compiler)) << "the compiler outlived the IDE";
}

// The same from the build dialog's Compile button: the dialog is closed
// while the compiler runs (it stays until its build ends), then the IDE.
// The build ends with its compiler, and the IDE closes only when it has
// returned (the dialog's message pump is the IDE's, which knows a build is
// running).
TEST_F(IdeTest, ClosingTheDialogAndTheIdeDuringABuildFromTheDialogEndsBothCleanly) {
  UseHangingCompiler();
  Load();
  ASSERT_TRUE(ide_->OpenProject(root_ + "/HelloCF/HelloCF.dpr"));
  ide_->show();
  pid_t compiler = 0;
  QPointer<QWidget> dialog;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    std::ifstream(root_ + "/dccil.pid") >> compiler;
    if (compiler <= 0) return;
    poll.stop();
    EXPECT_TRUE(ide_->Busy());
    if (dialog) dialog->close();  // Alt+F4 on the dialog: it waits for its build
    EXPECT_TRUE(dialog && dialog->isVisible());
    ide_->close();  // then File > Exit
  });
  QMetaObject::invokeMethod(
      qApp,
      [&] {
        // Once the dialog shows, a click on Compile.
        QTimer::singleShot(0, [&] {
          dialog = QApplication::activeModalWidget();
          ASSERT_NE(dialog, nullptr);
          poll.start(50);
          QTest::mouseClick(Part<QToolButton>(dialog, "BitBtn1"), Qt::LeftButton);
        });
        PackageMenu()->actions()[0]->trigger();
      },
      Qt::QueuedConnection);
  QTimer::singleShot(20000, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QCoreApplication::exec(), 0);
  ASSERT_GT(compiler, 0);
  EXPECT_TRUE(EndsSoon(compiler)) << "the compiler outlived the IDE";
}

TEST_F(IdeTest, AProjectThatIsNotThereIsNamedAsTheUserTypedIt) {
  EXPECT_FALSE(ide_->OpenProject(root_ + "/no/such/App.dpr"));
  EXPECT_EQ(messages_.errors, (std::vector<std::string>{"No such project: " + root_ + "/no/such/App.dpr"}));
}
