#include "platform/Database.h"
#include "tests/dataexport/DatabaseFixture.h"

TEST_F(DatabaseTest, AliasesAndTablesAreListedFromTheIniFile) {
  auto aliases = platform::Session.GetAliasNames();
  EXPECT_NE(std::find(aliases.begin(), aliases.end(), "DEMO"), aliases.end());
  EXPECT_EQ(platform::Session.GetTableNames("DEMO"), (std::vector<std::string>{"customer", "orders", "parts"}));
  EXPECT_THROW(platform::Session.GetTableNames("NOPE"), platform::DatabaseError);
}

TEST_F(DatabaseTest, AQueryGivesTypedFieldsWithRequiredAndKeyFlags) {
  platform::TQuery q;
  q.DatabaseName = "DEMO";
  q.SQL = {"select * from parts"};
  q.Open();
  ASSERT_EQ(q.FieldCount(), 7);
  EXPECT_EQ(q.RecordCount(), 3);
  const int types[] = {platform::ftInteger, platform::ftString, platform::ftDate, platform::ftDateTime,
                       platform::ftBoolean, platform::ftFloat, platform::ftString};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(q.Field(i).DataType, types[i]) << q.Field(i).FieldName;
  EXPECT_TRUE(q.Field(0).Required);
  EXPECT_TRUE(q.Field(0).IsIndexField);
  EXPECT_TRUE(q.Field(1).Required);
  EXPECT_FALSE(q.Field(1).IsIndexField);
  EXPECT_FALSE(q.Field(2).Required);
  EXPECT_EQ(q.Field(1).Size, 30);
  EXPECT_EQ(q.FieldByName("name").AsString(), "Bolt");
  EXPECT_EQ(q.FieldByName("InStock").AsString(), "True");
  EXPECT_EQ(q.FieldByName("Price").AsString(), "0.25");
  EXPECT_EQ(platform::FormatDateTime("yyyy/mm/dd hh:nn:ss", q.FieldByName("Checked").AsDateTime()), "2006/11/30 14:05:09");
  q.Next();
  q.Next();
  EXPECT_TRUE(q.FieldByName("Added").IsNull());
  EXPECT_EQ(platform::FormatDateTime("yyyy/mm/dd", q.FieldByName("Added").AsDateTime()), "1899/12/30");
  q.Next();
  EXPECT_TRUE(q.Eof());
  q.First();
  EXPECT_EQ(q.FieldByName("PartNo").AsString(), "1001");
  EXPECT_THROW(q.FieldByName("Nope"), platform::DatabaseError);
  q.Close();
  q.Close();
  EXPECT_FALSE(q.Active());
}

TEST_F(DatabaseTest, BadStatementsAndAliasesLeaveTheQueryClosed) {
  platform::TQuery q;
  EXPECT_THROW(q.Open(), platform::DatabaseError);  // no statement yet
  q.DatabaseName = "DEMO";
  q.SQL = {"select * from nowhere"};
  EXPECT_THROW(q.Open(), platform::DatabaseError);
  EXPECT_FALSE(q.Active());
  q.DatabaseName = "NOPE";
  q.SQL = {"select * from parts"};
  EXPECT_THROW(q.Open(), platform::DatabaseError);
}
