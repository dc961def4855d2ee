// The data export dialog on screen, over the demo data source.
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QTimer>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTabBar>
#include <QTest>

#include "dataexport/UfDbToolDlg.h"
#include "tests/dataexport/DatabaseFixture.h"

namespace {
void ClickItem(QListWidget* list, const QString& text) {
  QListWidgetItem* item = list->findItems(text, Qt::MatchExactly).value(0);
  ASSERT_NE(item, nullptr) << text.toStdString();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}
}  // namespace

class DbToolDlgTest : public DatabaseTest {
 protected:
  void Show(dataexport::TfDbToolDlg& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QApplication::processEvents();
  }
  // Shows the dialog with a table of 3000 records chosen and opened.
  void OpenBigTable(dataexport::TfDbToolDlg& dialog) {
    Sql("CREATE TABLE big (Id INTEGER); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
        "3000) INSERT INTO big SELECT i FROM n;");
    Show(dialog);
    ClickItem(dialog.AliasList, "DEMO");
    ClickItem(dialog.TableList, "big");
    QTest::mouseClick(dialog.BitBtn3, Qt::LeftButton);
  }
  testing_world::FakeMessages messages;
};

TEST_F(DbToolDlgTest, ExportingATableThroughTheButtonsFillsFileCodePaneGaugeAndGrid) {
  testing_world::FakeMessages messages;
  dataexport::TfDbToolDlg dialog(messages, [] { return std::optional<std::string>("C:\\out.xml"); });
  EXPECT_EQ(dialog.windowTitle(), "Tidewell!! Data Export Dialog");
  EXPECT_EQ(dialog.size(), QSize(615, 512));
  EXPECT_EQ(dialog.PageControl2->tabText(0), "Data View");
  EXPECT_EQ(dialog.PageControl2->tabText(1), "Mobile DataSet Init SourceCode");
  EXPECT_EQ(dialog.PageControl2->currentIndex(), 0);
  dialog.show();

  ClickItem(dialog.AliasList, "DEMO");
  ClickItem(dialog.TableList, "parts");
  EXPECT_EQ(dialog.SQL_List->toPlainText(), "select * from parts");
  EXPECT_EQ(dialog.DBGrid1->model()->rowCount(), 0);  // nothing until "Open"
  QTest::mouseClick(dialog.BitBtn3, Qt::LeftButton);
  const int records = dialog.Model().SrcQry.RecordCount();
  ASSERT_GT(records, 0);
  EXPECT_EQ(dialog.DBGrid1->model()->rowCount(), records);
  EXPECT_EQ(dialog.DBGrid1->model()->headerData(0, Qt::Horizontal).toString(), "PartNo");

  QTest::mouseClick(dialog.BitBtn5, Qt::LeftButton);
  EXPECT_NE(Read("C:\\out.xml").find("  <parts>\r\n"), std::string::npos);
  EXPECT_TRUE(dialog.CodeList->toPlainText().endsWith("end;\n"));
  EXPECT_EQ(dialog.Gauge1->value(), records);

  QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);  // closing closes the query
  EXPECT_FALSE(dialog.Model().SrcQry.Active());
  EXPECT_TRUE(messages.errors.empty());
}

TEST_F(DbToolDlgTest, TheListsFollowTheKeyboardAndAClickOnTheSelectedTableClosesTheQuery) {
  dataexport::TfDbToolDlg dialog(messages);
  Show(dialog);
  EXPECT_EQ(dialog.AliasList->count(), 4);  // DEMO, GONE, MADE and TEXT, nothing selected
  dialog.AliasList->setFocus();             // the focus marks the first alias without choosing it
  EXPECT_TRUE(dialog.AliasList->selectedItems().isEmpty());
  EXPECT_EQ(dialog.Model().AliasList.ItemIndex, -1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);  // chosen: DEMO
  EXPECT_EQ(dialog.Model().SrcQry.DatabaseName, "DEMO");
  ASSERT_GT(dialog.TableList->count(), 2);
  dialog.TableList->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);  // the second table
  const QString table = dialog.TableList->currentItem()->text();
  EXPECT_EQ(dialog.SQL_List->toPlainText(), "select * from " + table);
  EXPECT_EQ(dialog.Model().SrcQry.SQL, std::vector<std::string>{"select * from " + table.toStdString()});

  QTest::mouseClick(dialog.BitBtn3, Qt::LeftButton);  // Open
  EXPECT_TRUE(dialog.Model().SrcQry.Active());
  ClickItem(dialog.TableList, table);  // the table already selected: closed again
  EXPECT_FALSE(dialog.Model().SrcQry.Active());
  QTest::mouseClick(dialog.BitBtn3, Qt::LeftButton);
  QTest::mouseClick(dialog.BitBtn4, Qt::LeftButton);  // Close
  EXPECT_FALSE(dialog.Model().SrcQry.Active());
  EXPECT_EQ(dialog.DBGrid1->model()->rowCount(), 0);
  ClickItem(dialog.AliasList, "DEMO");  // the alias again: the tables listed anew, none chosen
  EXPECT_TRUE(dialog.TableList->selectedItems().isEmpty());
  EXPECT_EQ(dialog.Model().TableList.ItemIndex, -1);

  // Typing in the SQL pane changes the pane, never the query.
  dialog.SQL_List->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(QApplication::focusWidget(), " where 1=0");
  EXPECT_TRUE(dialog.Model().SQL_List.back().ends_with(" where 1=0"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // moves on, types nothing
  EXPECT_NE(QApplication::focusWidget(), dialog.SQL_List);
  EXPECT_TRUE(dialog.Model().SQL_List.back().ends_with(" where 1=0"));
  EXPECT_TRUE(messages.errors.empty());
}

TEST_F(DbToolDlgTest, TheEncodingBoxChoosesWithoutAddingAndAnEmptyTableLeavesTheGaugeStill) {
  Sql("CREATE TABLE empty (Id INTEGER);");
  dataexport::TfDbToolDlg dialog(messages, [] { return std::optional<std::string>("C:\\empty.xml"); });
  Show(dialog);
  ClickItem(dialog.AliasList, "DEMO");
  ClickItem(dialog.TableList, "empty");
  QTest::mouseClick(dialog.BitBtn3, Qt::LeftButton);
  // The encoding by keyboard; Enter with a text of one's own adds nothing.
  dialog.cbEncode->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(dialog.Model().cbEncode.ItemIndex, 1);
  QTest::keyClicks(QApplication::focusWidget(), "x");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(dialog.cbEncode->count(), 5);
  QTest::mouseClick(dialog.BitBtn5, Qt::LeftButton);
  EXPECT_TRUE(Read("C:\\empty.xml").starts_with("<?xml version=\"1.0\" encoding=\"big5\"   standalone=\"yes\"?>\r\n"));
  // No records: the gauge shows an empty bar, not Qt's "busy" one.
  EXPECT_GT(dialog.Gauge1->maximum(), dialog.Gauge1->minimum());
  EXPECT_EQ(dialog.Gauge1->value(), 0);
  // The code page, clicked.
  QTest::mouseClick(dialog.PageControl2->tabBar(), Qt::LeftButton, {},
                    dialog.PageControl2->tabBar()->tabRect(1).center());
  EXPECT_EQ(dialog.Model().LowerPage, 1);
  dialog.ClearScreen();
  EXPECT_EQ(dialog.AliasList->count(), 0);
  EXPECT_EQ(dialog.SQL_List->toPlainText(), "");
  EXPECT_TRUE(messages.errors.empty());
}

TEST_F(DbToolDlgTest, ClosingDuringAnExportStopsItWithAMessageAndWritesNoFile) {
  dataexport::TfDbToolDlg dialog(messages, [] { return std::optional<std::string>("C:\\big.xml"); });
  OpenBigTable(dialog);
  // While it runs: a second start does nothing, the close button and the
  // window's close stop it.
  bool startLocked = false;
  QTimer::singleShot(0, [&] {
    startLocked = !dialog.BitBtn5->isEnabled() && !dialog.BitBtn4->isEnabled();
    dialog.BitBtn5->click();
    dialog.BitBtn2->click();
  });
  QTest::mouseClick(dialog.BitBtn5, Qt::LeftButton);
  EXPECT_TRUE(startLocked);
  EXPECT_EQ(messages.errors, std::vector<std::string>{dataexport::ExportStoppedMessage});
  EXPECT_FALSE(Exists("C:\\big.xml"));
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_FALSE(dialog.Model().SrcQry.Active());  // closed as the dialog closed
}

// The grid holds the records it has shown: more are read as it scrolls down
// to them, by the keyboard here, and a start of the export reads them all
// on its own.
TEST_F(DbToolDlgTest, TheGridReadsRecordsAsItScrollsDown) {
  dataexport::TfDbToolDlg dialog(messages, [] { return std::optional<std::string>("C:\\big.xml"); });
  OpenBigTable(dialog);
  QAbstractItemModel* grid = dialog.DBGrid1->model();
  EXPECT_EQ(grid->rowCount(), platform::TQuery::RecordsPerFetch);

  QTest::mouseClick(dialog.BitBtn5, Qt::LeftButton);
  EXPECT_EQ(dialog.Gauge1->value(), 3000);
  EXPECT_EQ(dialog.Gauge1->maximum(), 3000);
  EXPECT_NE(Read("C:\\big.xml").find("<Id>3000</Id>"), std::string::npos);
  EXPECT_EQ(grid->rowCount(), platform::TQuery::RecordsPerFetch);

  dialog.DBGrid1->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_GT(grid->rowCount(), platform::TQuery::RecordsPerFetch);
  for (int i = 0; i < 20 && grid->rowCount() < 3000; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
    QApplication::processEvents();
  }
  EXPECT_EQ(grid->rowCount(), 3000);
  EXPECT_FALSE(grid->canFetchMore({}));
  EXPECT_EQ(grid->data(grid->index(2999, 0)).toString(), "3000");
  EXPECT_TRUE(messages.errors.empty());
}
