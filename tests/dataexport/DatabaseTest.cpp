#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cli/ExportCommand.h"
#include "platform/Database.h"
#include "tests/TestWorld.h"

namespace fs = std::filesystem;

// The demo database through ODBC, with an odbc.ini of the test's own.
class DatabaseTest : public testing_world::TestWorld {
 protected:
  void SetUp() override {
    TestWorld::SetUp();
    fs::copy_file(std::string(TIDEWELL_SOURCE_DIR) + "/examples/data/demo.sqlite", root_ + "/demo.sqlite");
    std::ofstream(root_ + "/odbc.ini") << "[DEMO]\nDriver=SQLite3\nDatabase=" << root_ << "/demo.sqlite\n"
                                       << "[GONE]\nDriver=SQLite3\nDatabase=" << root_ << "/no/such.sqlite\nNoCreat=1\n";
    ::setenv("ODBCINI", (root_ + "/odbc.ini").c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("ODBCINI");
    TestWorld::TearDown();
  }
};

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

class ExportCommandTest : public DatabaseTest {
 protected:
  int Tidewell(const std::string& args) {
    std::string command = "'" + std::string(TIDEWELL_BINARY) + "' export " + args + " >'" + root_ + "/out.txt' 2>'" +
                          root_ + "/err.txt'";
    int status = std::system(command.c_str());
    err = Read(root_ + "/err.txt");
    out = Read(root_ + "/out.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string out, err;
};

TEST_F(ExportCommandTest, ExportsATableAndItsCode) {
  ASSERT_EQ(Tidewell("--alias DEMO --table customer --encoding big5 --output 'C:\\customer.xml' --code 'C:\\init.pas'"), 0)
      << err;
  std::string xml = Read("C:\\customer.xml");
  EXPECT_EQ(xml.substr(0, xml.find("\r\n")), "<?xml version=\"1.0\" encoding=\"big5\"   standalone=\"yes\"?>");
  EXPECT_NE(xml.find("  <customer>\r\n    <CustNo>1</CustNo>\r\n    <Company>Harbour Tools</Company>\r\n"),
            std::string::npos);
  EXPECT_NE(Read("C:\\init.pas").find("  tmpTable := Dataset1.Tables.Add('customer');\r\n"), std::string::npos);
  EXPECT_EQ(Tidewell("--list-tables DEMO"), 0);
  EXPECT_EQ(out, "customer\norders\nparts\n");
}

TEST_F(ExportCommandTest, BadInputIsOneClearLineAndTouchesNoFile) {
  Write("C:\\keep.xml", "kept");
  EXPECT_EQ(Tidewell("--alias NOPE --table parts --output 'C:\\keep.xml'"), 1);
  EXPECT_EQ(err, "tidewell export: unknown alias 'NOPE' (see --list-aliases)\n");
  EXPECT_EQ(Tidewell("--alias DEMO --table nope --output 'C:\\keep.xml'"), 1);
  EXPECT_EQ(Tidewell("--alias GONE --table parts --output 'C:\\keep.xml'"), 1);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
  EXPECT_EQ(Tidewell("--alias DEMO --table parts --output 'C:\\keep.xml' --code 'C:\\No\\init.pas'"), 1);
  EXPECT_EQ(Tidewell("--alias DEMO --table parts --output 'C:\\keep.xml' --encoding latin9"), 2);
  EXPECT_EQ(Tidewell("--alias DEMO --output 'C:\\keep.xml'"), 2);
  EXPECT_EQ(Read("C:\\keep.xml"), "kept");
  EXPECT_EQ(cli::EncodingIndexOf("utf-8"), 4);
  EXPECT_EQ(cli::EncodingIndexOf("0"), 0);
  EXPECT_EQ(cli::EncodingIndexOf("5"), -2);
  EXPECT_EQ(cli::EncodingIndexOf("none"), -1);
}
