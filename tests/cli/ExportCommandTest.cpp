#include "cli/ExportCommand.h"
#include "tests/dataexport/DatabaseFixture.h"

#include <sys/stat.h>
#include <sys/wait.h>

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

TEST_F(ExportCommandTest, AReadOnlyTargetOrOneFileForBothOutputsStopsTheExportAndKeepsTheFile) {
  Write("C:\\keep.xml", "kept");
  ::chmod(Host("C:\\keep.xml").c_str(), 0444);
  EXPECT_EQ(Tidewell("--alias DEMO --table parts --output 'C:\\keep.xml'"), 1);
  EXPECT_EQ(err, "tidewell export: cannot write 'C:\\keep.xml': the file is read-only\n");
  EXPECT_EQ(Read("C:\\keep.xml"), "kept");

  ::chmod(Host("C:\\keep.xml").c_str(), 0644);
  EXPECT_EQ(Tidewell("--alias DEMO --table parts --output 'C:\\keep.xml' --code 'C:\\KEEP.XML'"), 2);
  EXPECT_EQ(err.substr(0, err.find('\n')), "tidewell export: --output and --code name the same file");
  EXPECT_EQ(Read("C:\\keep.xml"), "kept");
}

TEST_F(ExportCommandTest, NamesAreWrittenAsTheListsShowThem) {
  ASSERT_EQ(Tidewell("--alias demo --table PARTS --output 'C:\\parts.xml'"), 0) << err;
  const std::string xml = Read("C:\\parts.xml");
  EXPECT_NE(xml.find("\r\n<DEMO>\r\n  <parts>\r\n"), std::string::npos) << xml.substr(0, 200);
  EXPECT_TRUE(xml.ends_with("</DEMO>\r\n"));
}
