#include "cli/ExportCommand.h"
#include "platform/DateTime.h"
#include "platform/WinPath.h"
#include "tests/dataexport/DatabaseFixture.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

class ExportCommandTest : public DatabaseTest {
 protected:
  int Tidewell(const std::string& args) {
    std::string command =
        "'" + std::string(TIDEWELL_BINARY) + "' export " + args + " >'" + root_ + "/out.txt' 2>'" + root_ + "/err.txt'";
    int status = std::system(command.c_str());
    err = Read(root_ + "/err.txt");
    out = Read(root_ + "/out.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string out, err;
};

TEST_F(ExportCommandTest, ExportsATableAndItsCode) {
  ASSERT_EQ(Tidewell("--alias DEMO --table customer --encoding big5 --output 'C:\\customer.xml' --code 'C:\\init.pas'"),
            0)
      << err;
  std::string xml = Read("C:\\customer.xml");
  EXPECT_EQ(xml.substr(0, xml.find("\r\n")), "<?xml version=\"1.0\" encoding=\"big5\"   standalone=\"yes\"?>");
  EXPECT_NE(xml.find("  <customer>\r\n    <CustNo>1</CustNo>\r\n    <Company>Harbour Tools</Company>\r\n"),
            std::string::npos);
  EXPECT_NE(Read("C:\\init.pas").find("  tmpTable := Dataset1.Tables.Add('customer');\r\n"), std::string::npos);
  const std::string code = Read("C:\\init.pas");  // each column once, whatever the number of records
  size_t columns = 0;
  for (size_t at = 0; (at = code.find("Columns.Add('CustNo'", at)) != std::string::npos; ++at) ++columns;
  EXPECT_EQ(columns, 1u);
  const std::string today = platform::FormatDateTime("yyyy/mm/dd", platform::Now());  // the code is dated today
  EXPECT_NE(Read("C:\\init.pas").find("//= DATE:" + today + "               =======//\r\n"), std::string::npos);
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
  EXPECT_EQ(Tidewell("--alias DEMO --alias OTHER --table parts --output 'C:\\keep.xml'"), 2);
  EXPECT_EQ(err.substr(0, err.find('\n')), "tidewell export: --alias given twice");
  EXPECT_EQ(Tidewell("--alias= --table parts --output 'C:\\keep.xml'"), 2);
  EXPECT_EQ(err.substr(0, err.find('\n')), "tidewell export: --alias needs a value");
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

// Before anything is opened for writing: an output that is the data source's
// database or the ODBC configuration, however it is named, is refused.
TEST_F(ExportCommandTest, AnOutputThatIsWhatTheExportReadsIsRefusedAndThatFileKept) {
  const std::string database = Read(database_), ini = Read(folder_ + "/odbc.ini");
  std::filesystem::create_symlink(database_, root_ + "/link.sqlite");
  for (const std::string& args :
       {"--output '" + database_ + "'", "--output '" + root_ + "/link.sqlite'",
        "--output - --code '" + folder_ + "/../" + std::filesystem::path(folder_).filename().string() + "/odbc.ini'"}) {
    EXPECT_EQ(Tidewell("--alias demo --table parts " + args), 2) << args;
    EXPECT_NE(err.find("name another output"), std::string::npos) << err;
  }
  EXPECT_EQ(Read(database_), database);
  EXPECT_EQ(Read(folder_ + "/odbc.ini"), ini);
}

// A file that is no database is a driver's error, not an empty list; and a
// database file that is not there is never made.
TEST_F(ExportCommandTest, NoDatabaseOrAMissingOneIsAnErrorAndNothingIsMade) {
  EXPECT_EQ(Tidewell("--list-tables TEXT"), 1);
  EXPECT_NE(err.find("file is not a database"), std::string::npos) << err;
  EXPECT_EQ(Tidewell("--list-tables MADE"), 1);
  EXPECT_EQ(err, "tidewell export: Cannot open alias 'MADE': its database file \"" + folder_ +
                     "/made.sqlite\" does not exist\n");
  EXPECT_EQ(Tidewell("--alias MADE --table parts --output -"), 1);
  EXPECT_FALSE(std::filesystem::exists(folder_ + "/made.sqlite"));
}

TEST_F(ExportCommandTest, NamesAreWrittenAsTheListsShowThem) {
  ASSERT_EQ(Tidewell("--alias=demo --table=PARTS --output='C:\\parts.xml'"), 0) << err;
  const std::string xml = Read("C:\\parts.xml");
  EXPECT_NE(xml.find("\r\n<DEMO>\r\n  <parts>\r\n"), std::string::npos) << xml.substr(0, 200);
  EXPECT_TRUE(xml.ends_with("</DEMO>\r\n"));
}

TEST_F(ExportCommandTest, StandardOutputAFifoAndADeviceAreWrittenThroughNeverReplaced) {
  ASSERT_EQ(Tidewell("--alias DEMO --table parts --output 'C:\\parts.xml'"), 0) << err;
  const std::string expected = Read("C:\\parts.xml");
  ASSERT_EQ(Tidewell("--alias DEMO --table parts --output -"), 0) << err;
  EXPECT_EQ(out, expected);
  // A reader on a FIFO gets the document as it is written.
  const std::string fifo = Host("C:\\parts.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  ASSERT_EQ(std::system(("cat '" + fifo + "' >'" + root_ + "/read.xml' & '" + std::string(TIDEWELL_BINARY) +
                         "' export --alias DEMO --table parts --output '" + fifo + "'; wait")
                            .c_str()),
            0);
  EXPECT_EQ(Read(root_ + "/read.xml"), expected);
  struct stat st {};
  ::stat(fifo.c_str(), &st);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ASSERT_EQ(Tidewell("--alias DEMO --table parts --output /dev/null"), 0) << err;
  ::stat("/dev/null", &st);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(ExportCommandTest, ValuesAreWrittenByWhatTheirColumnIs) {
  Sql("create table kinds(id integer primary key, flag boolean, bits boolean, at time, day date, stamp datetime,"
      " data blob);"
      "insert into kinds values (1, 'f', 0, '24:00:00', '0000-00-00', '2006-00-00 10:00:00', x'00FF10');"
      "insert into kinds values (2, 't', 1, '-838:59:59', '2006-11-30', '2006-11-30 14:05:09', null);");
  ASSERT_EQ(Tidewell("--alias DEMO --table kinds --output 'C:\\kinds.xml'"), 0) << err;
  const std::string xml = Read("C:\\kinds.xml");
  EXPECT_NE(
      xml.find("    <flag>False</flag>\r\n    <bits>False</bits>\r\n    <at>24:00:00</at>\r\n"
               "    <day>1899/12/30</day>\r\n    <stamp>1899/12/30 00:00:00</stamp>\r\n    <data>00FF10</data>\r\n"),
      std::string::npos)
      << xml;
  EXPECT_NE(xml.find("    <flag>True</flag>\r\n    <bits>True</bits>\r\n    <at>-838:59:59</at>\r\n"
                     "    <day>2006/11/30</day>\r\n"),
            std::string::npos)
      << xml;
  // Each date that names no day of the calendar is one warning line.
  EXPECT_EQ(err,
            "tidewell export: warning: Field 'day' of table 'kinds', record 1: '0000-00-00' names no day of the "
            "calendar; written as the null date\n"
            "tidewell export: warning: Field 'stamp' of table 'kinds', record 1: '2006-00-00 10:00:00' names no day "
            "of the calendar; written as the null date\n");
}

TEST_F(ExportCommandTest, TableNamesThatNeedQuotesAreQuotedAndEachTableIsListedOnce) {
  Sql("create table \\\"my table\\\"(id integer); insert into \\\"my table\\\" values (7);"
      "create table MixedCase(id integer); insert into MixedCase values (8);");
  ASSERT_EQ(Tidewell("--list-tables DEMO"), 0);
  EXPECT_EQ(out, "customer\nMixedCase\nmy table\norders\nparts\n");
  ASSERT_EQ(Tidewell("--alias DEMO --table 'my table' --output -"), 0) << err;
  EXPECT_NE(out.find("  <my table>\r\n    <id>7</id>\r\n"), std::string::npos) << out;
  ASSERT_EQ(Tidewell("--alias DEMO --table MixedCase --output -"), 0) << err;
  EXPECT_NE(out.find("<id>8</id>"), std::string::npos);
  // A reserved word as a plain name.
  Sql("create table \\\"Order\\\"(id integer); insert into \\\"Order\\\" values (9);");
  ASSERT_EQ(Tidewell("--alias DEMO --table Order --output -"), 0) << err;
  EXPECT_NE(out.find("  <Order>\r\n    <id>9</id>\r\n"), std::string::npos) << out;
}

// The SQLite driver reads a whole result first unless it is told to step
// through it; a data source that sets StepAPI itself is not asked.
TEST_F(ExportCommandTest, TheSqliteDriverIsAskedToStepThroughTheRows) {
  ASSERT_EQ(Tidewell("--alias DEMO --table parts --output - --verbose"), 0) << err;
  // Written through to standard output, which cannot take a second start.
  EXPECT_EQ(err,
            "tidewell export: driver SQLite3: asked for StepAPI=1\n"
            "tidewell export: records read value by value\n");
  EXPECT_NE(out.find("<PartNo>1001</PartNo>"), std::string::npos);
}

TEST_F(ExportCommandTest, AValueWiderThanItsDeclaredColumnIsWrittenWhole) {
  Sql("create table wide(name varchar(4)); insert into wide values ('" + std::string(5000, 'w') + "');");
  ASSERT_EQ(Tidewell("--alias DEMO --table wide --output 'C:\\wide.xml'"), 0) << err;
  EXPECT_NE(Read("C:\\wide.xml").find("<name>" + std::string(5000, 'w') + "</name>"), std::string::npos);
  ASSERT_EQ(Tidewell("--alias DEMO --table wide --output -"), 0) << err;
  EXPECT_NE(out.find("<name>" + std::string(5000, 'w') + "</name>"), std::string::npos);
  // Met after a value the encoding lacks: the export starts again, and its
  // warning is given once.
  Sql("create table late(name varchar(4)); insert into late values ('\xe2\x82\xac'), ('" + std::string(5000, 'w') +
      "');");
  ASSERT_EQ(Tidewell("--alias DEMO --table late --output 'C:\\late.xml' --well-formed --encoding ISO-8859-1"), 0)
      << err;
  const std::string late = Read("C:\\late.xml");
  EXPECT_NE(late.find("<name>&#8364;</name>"), std::string::npos);
  EXPECT_NE(late.find("<name>" + std::string(5000, 'w') + "</name>"), std::string::npos);
  EXPECT_EQ(err,
            "tidewell export: warning: record 1, field name: U+20AC cannot be written in ISO-8859-1: written as "
            "&#8364;\n");
  // Read in pieces of the driver's sizes: whole at each piece's edge, and a
  // large value in one go.
  Sql("create table edges(n integer, t text);");
  for (int length : {4094, 4095, 4096, 4097, 8191, 8192, 1 << 20})
    Sql("insert into edges values (" + std::to_string(length) + ", printf('%." + std::to_string(length) +
        "c', 'e') || 'z');");
  ASSERT_EQ(Tidewell("--alias DEMO --table edges --output -"), 0) << err;
  for (int length : {4094, 4095, 4096, 4097, 8191, 8192, 1 << 20})
    EXPECT_NE(out.find("<t>" + std::string(length, 'e') + "z</t>"), std::string::npos) << length;
}

TEST_F(ExportCommandTest, InterruptingAnExportLeavesTheOldFileAndNoTemporaryFile) {
  Sql("create table big(id integer primary key, name varchar(40));"
      "with recursive n(i) as (select 1 union all select i+1 from n where i < 400000)"
      " insert into big select i, 'Name number ' || i from n;");
  Write("C:\\out\\big.xml", "the old export");
  const std::string folder = Host("C:\\out");
  for (int round = 0; round < 3; ++round) {
    pid_t pid = ::fork();
    if (pid == 0) {
      ::execl(TIDEWELL_BINARY, TIDEWELL_BINARY, "export", "--alias", "DEMO", "--table", "big", "--output",
              (folder + "/big.xml").c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    // Once the temporary file is there and growing, interrupt.
    for (int i = 0; i < 400; ++i) {
      bool writing = false;
      for (const auto& entry : std::filesystem::directory_iterator(folder))
        writing = writing || (entry.path().filename().string().rfind(".tidewell-", 0) == 0 && entry.file_size() > 0);
      if (writing) break;
      ::usleep(5000);
    }
    ::kill(pid, round == 1 ? SIGTERM : SIGINT);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the export ended before the signal; make the table larger";
    EXPECT_EQ(Read("C:\\out\\big.xml"), "the old export");
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      EXPECT_EQ(entry.path().filename().string(), "big.xml");
  }
}

TEST_F(ExportCommandTest, AnExportThatFailsHalfWayLeavesTheOldFileAndNoTemporaryOne) {
  Sql("CREATE TABLE dated (Id INTEGER, Day DATE); INSERT INTO dated VALUES (1, '2006-11-30');"
      "INSERT INTO dated VALUES (2, 'not a day');");
  Write("C:\\out\\dated.xml", "kept");
  EXPECT_EQ(Tidewell("--alias DEMO --table dated --output 'C:\\out\\dated.xml'"), 1);
  EXPECT_NE(err.find("record 2: 'not a day' is not a date"), std::string::npos) << err;
  EXPECT_EQ(Read("C:\\out\\dated.xml"), "kept");
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(Host("C:\\out")))
    left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"dated.xml"});
}

// A team's shared folder: setgid, group-writable, the file the team's, owned
// by root. A member who is not its owner exports over it: the file keeps its
// owner, group and mode (rewritten in place, since a new file could not be
// given them), and its text is the export's.
TEST_F(ExportCommandTest, AnExportByAnotherUserIntoASharedFolderKeepsTheFilesOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to play two users";
  const gid_t team = 1;  // daemon
  char pattern[] = "/tmp/tidewell-shared-XXXXXX";
  const std::string shared = ::mkdtemp(pattern);
  ASSERT_EQ(::chown(shared.c_str(), 0, team), 0);
  ASSERT_EQ(::chmod(shared.c_str(), 02775), 0);
  const std::string file = shared + "/parts.xml";
  Write(platform::ToWindowsPath(file), "old text");
  ASSERT_EQ(::chown(file.c_str(), 0, team), 0);
  ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
  ::chmod(std::filesystem::path(database_).parent_path().c_str(), 0755);
  ::chmod(database_.c_str(), 0644);
  // unixODBC lists the data sources of an odbc.ini its user may write.
  const std::string ini = shared + "/odbc.ini";
  std::ofstream(ini) << "[DEMO]\nDriver=SQLite3\nDatabase=" << database_ << "\n";
  ::chmod(ini.c_str(), 0666);
  const std::string command = "ODBCINI='" + ini + "' setpriv --reuid=65534 --regid=65534 --groups=1 '" +
                              std::string(TIDEWELL_BINARY) + "' export --alias DEMO --table parts --output '" + file +
                              "' 2>'" + shared + "/err.txt'";
  const int status = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << Read(platform::ToWindowsPath(shared + "/err.txt"));
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 0u);
  EXPECT_EQ(st.st_gid, team);
  EXPECT_EQ(st.st_mode & 07777, 0664u);
  EXPECT_NE(Read(platform::ToWindowsPath(file)).find("<parts>"), std::string::npos);
  std::filesystem::remove_all(shared);
}

// The code's folder on a disk that is full: the export fails, and the XML
// file keeps its old text (both files are ready before either takes its
// name). "-" for the code is standard output, and a listing goes alone.
TEST_F(ExportCommandTest, BothFilesOrNeitherAndTheCodeToStandardOutput) {
  Write("C:\\keep.xml", "old");
  EXPECT_EQ(Tidewell("--alias DEMO --table parts --output 'C:\\new.xml' --code -"), 0) << err;
  EXPECT_NE(out.find("tmpTable := Dataset1.Tables.Add('parts');"), std::string::npos);
  EXPECT_EQ(Tidewell("--list-aliases --alias DEMO"), 2);
  EXPECT_EQ(Tidewell("--list-tables DEMO --output 'C:\\keep.xml'"), 2);
  EXPECT_EQ(Read("C:\\keep.xml"), "old");
  const std::string disk = Host("C:\\full");
  std::filesystem::create_directories(disk);
  if (::geteuid() != 0 || std::system(("mount -t tmpfs -o size=64k tmpfs '" + disk + "' 2>/dev/null").c_str()) != 0)
    GTEST_SKIP() << "needs root to mount a small tmpfs that can fill up";
  // A code file with a second name is written in place, from memory, once
  // the XML is ready: it needs the disk's room only then (empty, it holds
  // none).
  std::ofstream(disk + "/linked.pas") << "";
  std::filesystem::create_hard_link(disk + "/linked.pas", disk + "/other-name.pas");
  {
    std::ofstream filler(disk + "/filler", std::ios::binary);
    const std::string block(4096, 'f');
    while (std::filesystem::space(disk).available > 0 && filler.write(block.data(), block.size()).flush()) {}
  }
  EXPECT_EQ(Tidewell("--alias DEMO --table parts --output 'C:\\keep.xml' --code 'C:\\full\\init.pas'"), 1);
  EXPECT_EQ(Read("C:\\keep.xml"), "old");
  EXPECT_FALSE(std::filesystem::exists(disk + "/init.pas"));
  EXPECT_EQ(Tidewell("--alias DEMO --table parts --output 'C:\\keep.xml' --code 'C:\\full\\linked.pas'"), 1);
  EXPECT_EQ(Read("C:\\keep.xml"), "old");
  EXPECT_EQ(Read("C:\\full\\linked.pas"), "");
  for (const auto& entry : std::filesystem::directory_iterator(Host("C:\\")))
    EXPECT_EQ(entry.path().filename().string().find(".tidewell-"), std::string::npos) << entry.path();
  (void)!std::system(("umount '" + disk + "'").c_str());
}

// --well-formed: whatever the names and values, a strict parser reads the
// file back to the database's values in each declared encoding; what an
// encoding cannot hold is a character reference and one warning line.
TEST_F(ExportCommandTest, AWellFormedExportReadsBackToTheDatabasesValuesInEachEncoding) {
  std::ofstream(root_ + "/odd.sql", std::ios::binary)
      << "create table \"Order Items\"(\"Item Name\" varchar(40) primary key, \"1st\" integer, \"Owner's\" varchar(40),"
         " \"_x0041_\" text);\n"
         "insert into \"Order Items\" values ('a & b <c> ]]>', 1, 'line one' || char(13) || char(10) || 'two', "
         "'caf\xC3\xA9');\n"
         "insert into \"Order Items\" values ('\xE2\x82\xAC 5 \xE6\x97\xA5\xE6\x9C\xAC', 2, 'bell' || char(7), "
         "'\x93quoted\x94');\n";
  ASSERT_EQ(std::system(("sqlite3 '" + database_ + "' <'" + root_ + "/odd.sql'").c_str()), 0);
  const std::string expected =
      "root=DEMO\nrecord=Order Items\nItem Name=a & b <c> ]]>\n1st=1\nOwner's=line one\\r\\ntwo\n_x0041_=caf\xC3\xA9\n"
      "record=Order Items\nItem Name=\xE2\x82\xAC 5 \xE6\x97\xA5\xE6\x9C\xAC\n1st=2\nOwner's=bell\xEF\xBF\xBD\n"
      "_x0041_=\xE2\x80\x9Cquoted\xE2\x80\x9D\n";  // text that is not UTF-8 is the Windows code page's
  for (const char* encoding : {"none", "ISO-8859-1", "big5", "gb2312", "EUC-JP", "UTF-8"}) {
    SCOPED_TRACE(encoding);
    const std::string file = root_ + "/items.xml";
    ASSERT_EQ(Tidewell("--alias DEMO --table 'Order Items' --well-formed --encoding " + std::string(encoding) +
                       " --output '" + file + "' --code '" + root_ + "/items.pas'"),
              0)
        << err;
    const std::string xml = Read(file);
    EXPECT_NE(xml.find("\r\n  <Order_x0020_Items>\r\n    <Item_x0020_Name>a &amp; b &lt;c&gt; ]]&gt;</Item_x0020_Name>"
                       "\r\n    <_x0031_st>1</_x0031_st>\r\n"),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("<_x005F_x0041_>"), std::string::npos);
    ASSERT_EQ(std::system(("python3 '" + std::string(TIDEWELL_SOURCE_DIR) + "/tests/cli/read_back.py' '" + file +
                           "' >'" + root_ + "/read.txt'")
                              .c_str()),
              0)
        << xml;
    EXPECT_EQ(Read(root_ + "/read.txt"), expected);
    // One line for each character written otherwise than as itself.
    EXPECT_NE(err.find("tidewell export: warning: record 2, field Owner's: U+0007 cannot be in an XML document: "
                       "written as U+FFFD\n"),
              std::string::npos)
        << err;
    const bool latin1 = std::string(encoding) == "ISO-8859-1";
    EXPECT_EQ(err.find("U+20AC cannot be written in ISO-8859-1: written as &#8364;") != std::string::npos, latin1)
        << err;
    const std::string code = Read(root_ + "/items.pas");
    EXPECT_NE(code.find("  tmpTable := Dataset1.Tables.Add('Order Items');"), std::string::npos);
    EXPECT_NE(code.find("  tmpTable.Columns.Add('Owner''s',typeof(String));"), std::string::npos) << code;
  }
  // The default stays the database's bytes, as they are.
  ASSERT_EQ(Tidewell("--alias DEMO --table 'Order Items' --output -"), 0) << err;
  EXPECT_NE(out.find("  <Order Items>\r\n    <Item Name>a & b <c> ]]></Item Name>\r\n"), std::string::npos) << out;
}

// Values larger than the pieces they are read in (bytes as hexadecimal,
// text as it is) come out whole, in order, in both forms of the document.
TEST_F(ExportCommandTest, ALargeValueIsWrittenAsItIsReadAndComesOutWhole) {
  Sql("create table large(id integer, data blob, note text, tail text);"
      "insert into large values (1, randomblob(9437185), replace(hex(zeroblob(2621441)), '0', 'n'), 'end');");
  ASSERT_EQ(std::system(("sqlite3 '" + database_ + "' 'select hex(data) from large' >'" + root_ + "/hex.txt'").c_str()),
            0);
  std::string hex = Read(root_ + "/hex.txt");
  hex.pop_back();  // the shell's line end
  ASSERT_EQ(hex.size(), 2u * 9437185u);
  for (const char* form : {"", " --well-formed"}) {
    SCOPED_TRACE(form);
    ASSERT_EQ(Tidewell(std::string("--alias DEMO --table large --output '") + root_ + "/large.xml'" + form), 0) << err;
    const std::string xml = Read(root_ + "/large.xml");
    EXPECT_NE(xml.find("    <id>1</id>\r\n    <data>" + hex + "</data>\r\n    <note>" + std::string(5242882, 'n') +
                       "</note>\r\n    <tail>end</tail>\r\n  </large>\r\n"),
              std::string::npos);
  }
}
