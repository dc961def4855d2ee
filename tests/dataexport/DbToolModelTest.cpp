// The data export dialog's behaviour, as a user drives it, over the demo
// data source.
#include <algorithm>

#include "dataexport/DbToolModel.h"
#include "platform/Files.h"
#include "tests/dataexport/DatabaseFixture.h"

using Texts = std::vector<std::string>;

class DbToolModelTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    dialog = std::make_unique<dataexport::DbToolModel>([this] {
      ++asked;
      return answer;
    });
    dialog->ListAliases();
  }
  void Choose(dataexport::ListBoxState& list, const std::string& item) {
    auto at = std::find(list.Items.begin(), list.Items.end(), item);
    ASSERT_NE(at, list.Items.end()) << item;
    list.ItemIndex = static_cast<int>(at - list.Items.begin());
  }
  void OpenParts() {
    Choose(dialog->AliasList, "DEMO");
    dialog->ShowTablesOfSelectedAlias();
    Choose(dialog->TableList, "parts");
    dialog->QuerySelectedTable();
    dialog->OpenQuery();
  }

  std::unique_ptr<dataexport::DbToolModel> dialog;
  std::optional<std::string> answer = std::string("C:\\parts.xml");
  int asked = 0;
};

TEST_F(DbToolModelTest, ChoosingAnAliasAndATableWritesTheStatementAndOnlyOpenRunsIt) {
  EXPECT_EQ(dialog->AliasList.ItemIndex, -1);
  EXPECT_EQ(dialog->cbEncode.Items, (Texts{"ISO-8859-1", "big5", "gb2312", "EUC-JP", "UTF-8"}));
  EXPECT_EQ(dialog->cbEncode.ItemIndex, -1);
  // A click with nothing selected changes nothing.
  dialog->ShowTablesOfSelectedAlias();
  dialog->QuerySelectedTable();
  EXPECT_TRUE(dialog->TableList.Items.empty());
  EXPECT_TRUE(dialog->SQL_List.empty());

  Choose(dialog->AliasList, "DEMO");
  dialog->ShowTablesOfSelectedAlias();
  EXPECT_EQ(dialog->TableList.Items, (Texts{"customer", "orders", "parts"}));
  Choose(dialog->TableList, "parts");
  dialog->QuerySelectedTable();
  EXPECT_EQ(dialog->SQL_List, (Texts{"select * from parts"}));
  EXPECT_FALSE(dialog->SrcQry.Active());

  // Typed text in the pane never runs: "Open" does not read the pane.
  dialog->SQL_List = {"select * from customer"};
  dialog->OpenQuery();
  ASSERT_TRUE(dialog->SrcQry.Active());
  EXPECT_EQ(dialog->SrcQry.Field(0).FieldName, "PartNo");

  // "Open" on an open query only puts the gauge back to 0.
  dialog->Gauge1Progress = 7;
  dialog->SrcQry.Next();
  dialog->OpenQuery();
  EXPECT_EQ(dialog->Gauge1Progress, 0);
  EXPECT_EQ(dialog->SrcQry.RecNo(), 1);

  // Choosing the same table again closes the query.
  dialog->QuerySelectedTable();
  EXPECT_FALSE(dialog->SrcQry.Active());
}

TEST_F(DbToolModelTest, StartExportWritesTheFileTheCodeAndTheGaugeAndACancelChangesNothing) {
  OpenParts();
  dialog->cbEncode.ItemIndex = 4;
  dialog->ExportSelectedTable();
  EXPECT_EQ(asked, 1);
  const std::string xml = Read("C:\\parts.xml");
  EXPECT_EQ(xml.substr(0, xml.find("\r\n")), "<?xml version=\"1.0\" encoding=\"UTF-8\"  standalone=\"yes\"?>");
  EXPECT_NE(xml.find("\r\n<DEMO>\r\n  <parts>\r\n    <PartNo>1001</PartNo>\r\n"), std::string::npos);
  EXPECT_EQ(dialog->Gauge1MaxValue, 3);
  EXPECT_EQ(dialog->Gauge1Progress, 3);
  EXPECT_EQ(dialog->CodeList.back(), "end;");

  // Cancelled: the code pane and the gauge stay, the cursor is back on the
  // first record.
  dialog->CodeList = {"kept"};
  dialog->Gauge1Progress = 2;
  dialog->SrcQry.Next();
  answer.reset();
  dialog->ExportSelectedTable();
  EXPECT_EQ(dialog->CodeList, dataexport::CodeLines{"kept"});
  EXPECT_EQ(dialog->Gauge1Progress, 2);
  EXPECT_EQ(dialog->SrcQry.RecNo(), 0);

  // Closed: nothing happens, and nobody is asked.
  dialog->CloseQuery();
  dialog->ExportSelectedTable();
  EXPECT_EQ(asked, 2);
}

// The grid's query keeps only the records shown; the export reads every
// record as it writes it, into a temporary file that takes the target's
// name at the end, so any failure leaves the old file as it was.
TEST_F(DbToolModelTest, TheExportStreamsEveryRecordAndAFailureLeavesTheOldFile) {
  Sql("create table trk(n integer primary key, day date);"
      " with recursive k(i) as (select 1 union all select i + 1 from k where i < 1000)"
      " insert into trk select i, date('2006-01-01', '+' || i || ' days') from k;");
  Choose(dialog->AliasList, "DEMO");
  dialog->ShowTablesOfSelectedAlias();
  Choose(dialog->TableList, "trk");
  dialog->QuerySelectedTable();
  dialog->OpenQuery();
  ASSERT_EQ(dialog->SrcQry.RecordCount(), platform::TQuery::RecordsPerFetch);
  ASSERT_TRUE(dialog->SrcQry.CanFetchMore());
  dialog->ExportSelectedTable();
  const std::string xml = Read("C:\\parts.xml");
  size_t records = 0;
  for (size_t at = xml.find("  <trk>"); at != std::string::npos; at = xml.find("  <trk>", at + 1)) ++records;
  EXPECT_EQ(records, 1000u);
  EXPECT_NE(xml.find("    <n>1000</n>\r\n    <day>2008/09/27</day>\r\n  </trk>\r\n</DEMO>\r\n"), std::string::npos);
  EXPECT_EQ(dialog->Gauge1MaxValue, 1000);  // counted by the database
  EXPECT_EQ(dialog->Gauge1Progress, 1000);
  EXPECT_EQ(dialog->SrcQry.RecordCount(), platform::TQuery::RecordsPerFetch);

  // A value that is no date, past the records the grid has read.
  Sql("update trk set day = 'next tuesday' where n = 700;");
  Write("C:\\parts.xml", "previous export");
  const testing_world::FolderSnapshot before(Host("C:\\"));
  try {
    dialog->ExportSelectedTable();
    FAIL() << "exported a value that is no date";
  } catch (const platform::DatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("record 700"), std::string::npos) << e.what();
  }
  EXPECT_EQ(Read("C:\\parts.xml"), "previous export");
  EXPECT_EQ(testing_world::FolderSnapshot(Host("C:\\")), before);
  ASSERT_FALSE(dialog->CodeList.empty());  // as far as it came: the fields, not the end
  EXPECT_EQ(dialog->CodeList[10], "  tmpTable.Columns.Add('n',typeof(Integer));");
  EXPECT_NE(dialog->CodeList.back(), "end;");
  EXPECT_FALSE(dialog->Exporting());

  // A target that cannot be written: nothing is read.
  MakeFolder("C:\\folder.xml");
  answer = "C:\\folder.xml";
  EXPECT_THROW(dialog->ExportSelectedTable(), platform::FileError);
  answer = "C:\\No Folder\\out.xml";
  EXPECT_THROW(dialog->ExportSelectedTable(), platform::FileError);
  EXPECT_TRUE(dialog->SrcQry.Active());
}

TEST_F(DbToolModelTest, ErrorsLeaveTheStateReachedAndTwoDialogsShareNothing) {
  Choose(dialog->AliasList, "GONE");
  EXPECT_THROW(dialog->ShowTablesOfSelectedAlias(), platform::DatabaseError);
  EXPECT_TRUE(dialog->TableList.Items.empty());
  EXPECT_THROW(dialog->OpenQuery(), platform::DatabaseError);  // no table chosen: no statement
  EXPECT_FALSE(dialog->SrcQry.Active());

  OpenParts();
  dataexport::DbToolModel second([] { return std::nullopt; });
  second.ListAliases();
  EXPECT_FALSE(second.SrcQry.Active());
  EXPECT_TRUE(second.TableList.Items.empty());
  EXPECT_TRUE(dialog->SrcQry.Active());

  dialog->ClearScreen();
  EXPECT_FALSE(dialog->SrcQry.Active());
  EXPECT_TRUE(dialog->AliasList.Items.empty());
  EXPECT_TRUE(dialog->SQL_List.empty());
  EXPECT_FALSE(dialog->GridAttached);
}
