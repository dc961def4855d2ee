// The data export dialog on screen, over the demo data source.
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "dataexport/UfDbToolDlg.h"
#include "tests/dataexport/DatabaseFixture.h"

class DbToolDlgTest : public DatabaseTest {};

namespace {
void ClickItem(QListWidget* list, const QString& text) {
  QListWidgetItem* item = list->findItems(text, Qt::MatchExactly).value(0);
  ASSERT_NE(item, nullptr) << text.toStdString();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}
}  // namespace

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
