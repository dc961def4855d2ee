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
  EXPECT_NE(xml.find("\r\n<DEMO>\r\n  <parts>\r\n"), std::string::npos);
  EXPECT_EQ(dialog->Gauge1MaxValue, dialog->SrcQry.RecordCount());
  EXPECT_EQ(dialog->Gauge1Progress, dialog->SrcQry.RecordCount());
  EXPECT_EQ(dialog->CodeList.back(), "end;");
  EXPECT_TRUE(dialog->SrcQry.Eof());

  // Cancelled: the code pane stays, the cursor is back on the first record.
  const dataexport::CodeLines code = dialog->CodeList;
  answer.reset();
  dialog->ExportSelectedTable();
  EXPECT_EQ(dialog->CodeList, code);
  EXPECT_EQ(dialog->SrcQry.RecNo(), 0);

  // Closed: nothing happens, and nobody is asked.
  dialog->CloseQuery();
  dialog->ExportSelectedTable();
  EXPECT_EQ(asked, 2);
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
