// The stand-in IDE with the real package library, offscreen.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSplashScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "host/IdeWindow.h"
#include "platform/Files.h"
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
  QAction* Command(QMenu* menu, const QString& text) const {
    for (QAction* a : menu->actions())
      if (a->text() == text) return a;
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
  EXPECT_EQ(Titles(items), (QStringList{"Compile (DotNet / CF) Application", "", "Develop Resource", "", "About Tidewell"}));
  EXPECT_TRUE(items[1]->isSeparator() && items[3]->isSeparator());
  const int last = ide_->ImageList.Count() - 1;
  EXPECT_EQ(items[0]->property("ImageIndex").toInt(), last - 3);
  EXPECT_EQ(items[2]->property("ImageIndex").toInt(), last - 2);
  EXPECT_EQ(items[4]->property("ImageIndex").toInt(), last);
  EXPECT_EQ(Titles(ide_->ToolsMenu->actions()), (QStringList{"CompileClick", "RunClick", "DbExportDlgClick"}));

  ide_->UnloadPackages();
  EXPECT_EQ(Titles(ide_->Menus()->actions()), menusBefore_);
  EXPECT_EQ(ide_->ImageList.Count(), imagesBefore);
  EXPECT_TRUE(ide_->ToolsMenu->actions().isEmpty());
  EXPECT_EQ(Pub_CF_Tool_Path, "");
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

TEST_F(IdeTest, TheSplashScreenShowsThePackagesPictureOnlyWhileItsServicesExist) {
  QPixmap blank(400, 300);
  blank.fill(Qt::black);
  QSplashScreen splash(blank);
  splash.show();
  ide_->LoadPackages({TIDEWELL_PACKAGE}, &splash);
  EXPECT_NE(splash.pixmap().toImage(), blank.toImage());  // the picture and its caption were drawn
  EXPECT_EQ(ToolsAPI::SplashScreenServices, nullptr);    // gone once start-up is over
  EXPECT_EQ(ide_->Menus()->actions().back()->text(), "Tidewell!! V2.0(Field Test Version)");
}
