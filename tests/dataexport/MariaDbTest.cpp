// The export against a real MariaDB server through MariaDB's Connector/ODBC,
// which keeps a whole result in memory whatever it is asked: a table with a
// primary key in InnoDB is read in pages by its key, and every record comes
// out once, in the order the server's own client reads the table.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/MariaDbServer.h"
#include "tests/TestWorld.h"
#include "tests/dataexport/ExportedRecords.h"

#ifndef _WIN32
namespace {

namespace fs = std::filesystem;

MariaDbServer& Server() {
  static MariaDbServer* server = new MariaDbServer;
  static const bool stopped = std::atexit([] { delete server; }) == 0;
  (void)stopped;
  return *server;
}

class MariaDbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Server().Unavailable().empty()) GTEST_SKIP() << Server().Unavailable();
  }
  // Exports a table of the server's database; its records. Through
  // standard output, which cannot take a second start, values are read one
  // by one, as text.
  std::vector<std::map<std::string, std::string>> Export(const std::string& table, const std::string& options = "",
                                                         bool throughStandardOutput = false) {
    const std::string output = throughStandardOutput ? "- >'" + out_ + "'" : "'" + out_ + "'";
    const std::string command = "ODBCINI='" + Server().OdbcIni() + "' '" + std::string(TIDEWELL_BINARY) +
                                "' export --alias MDB --table " + table + " " + options + " --output " + output +
                                " 2>'" + err_ + "'";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << testing_world::ReadHostFile(err_);
    return Records(testing_world::ReadHostFile(out_), table);
  }
  // What the last export said on its error output.
  std::string Said() const { return testing_world::ReadHostFile(err_); }
  // One column of a table as the server's client reads it with the plain
  // statement, a value a line.
  static std::vector<std::string> ClientColumn(const std::string& table, const std::string& column) {
    std::istringstream lines(Server().Sql("select * from " + table + ";"));
    std::string line;
    std::getline(lines, line);  // the heading: which column it is
    size_t at = 0;
    std::vector<std::string> heading = Split(line);
    while (at < heading.size() && heading[at] != column) ++at;
    std::vector<std::string> values;
    while (std::getline(lines, line)) values.push_back(Split(line).at(at));
    return values;
  }
  static std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> cells;
    std::istringstream in(line);
    for (std::string cell; std::getline(in, cell, '\t');) cells.push_back(cell);
    if (!line.empty() && line.back() == '\t') cells.emplace_back();
    return cells;
  }
  // The statements of later pages the server ran since the log was emptied.
  static int LaterPages(const std::string& table) {
    const std::string count = Server().Sql(
        "select count(*) from mysql.general_log where command_type <> 'Prepare' and argument like 'select * from " +
        table + " where (%';");
    return std::atoi(count.substr(count.find('\n') + 1).c_str());
  }
  // Makes a table, empties the server's log and exports the table.
  std::vector<std::map<std::string, std::string>> MakeAndExport(const std::string& sql, const std::string& table) {
    EXPECT_EQ(Server().Sql(sql), "") << "could not make " << table;
    Server().Sql("truncate mysql.general_log;");
    return Export(table);
  }

 private:
  std::string out_ = fs::temp_directory_path() / ("tidewell-mdb-out-" + std::to_string(::getpid()));
  std::string err_ = out_ + ".err";
};

std::vector<std::string> Column(const std::vector<std::map<std::string, std::string>>& records,
                                const std::string& name) {
  std::vector<std::string> values;
  for (const auto& record : records) values.push_back(record.at(name));
  return values;
}

TEST_F(MariaDbTest, AKeyedInnoDbTableIsReadInPagesAndEveryRecordComesOutOnceInTheClientsOrder) {
  ASSERT_EQ(Server().Sql("set global log_output = 'TABLE'; set global general_log = 1;"), "");
  // Wide rows in row sets: several pages, the last one short.
  auto records = MakeAndExport(
      "create table wide(id int primary key, name varchar(4000), city varchar(4000)) engine=InnoDB;"
      "insert into wide select seq, concat('Name ', seq), concat('City ', seq % 7) from seq_1_to_10000;",
      "wide");
  ASSERT_EQ(records.size(), 10000u);
  for (size_t i = 0; i < records.size(); ++i) {
    ASSERT_EQ(records[i]["id"], std::to_string(i + 1));
    ASSERT_EQ(records[i]["name"], "Name " + std::to_string(i + 1));
  }
  EXPECT_GE(LaterPages("wide"), 2);

  // A key of two columns, one of them text without regard to case, and a
  // first page that ends exactly at the last record.
  records = MakeAndExport(
      "create table pairs(a varchar(10) collate utf8mb4_general_ci, b int, v int,"
      " primary key(a, b)) engine=InnoDB;"
      "insert into pairs select elt(1 + seq % 4, 'c', 'B', 'a', 'D'), seq, seq"
      " from seq_0_to_1023;",
      "pairs");
  EXPECT_EQ(Column(records, "v"), ClientColumn("pairs", "v"));
  EXPECT_EQ(LaterPages("pairs"), 1);

  // Values read one at a time (a text column), a key past 2^53 that a
  // double cannot hold.
  records = MakeAndExport(
      "create table notes(id bigint primary key, body text) engine=InnoDB;"
      "insert into notes select 9007199254740993 + seq, repeat('x', seq % 50)"
      " from seq_1_to_6000;",
      "notes");
  EXPECT_EQ(Column(records, "id"), ClientColumn("notes", "id"));
  EXPECT_EQ(Column(records, "body"), ClientColumn("notes", "body"));
  EXPECT_EQ(LaterPages("notes"), 5);  // 1024 records a page

  // Integers fetched as numbers: each type's ends, unsigned past the signed
  // range, and NULL.
  records = MakeAndExport(
      "create table numbers(id int primary key, s smallint, b bigint, u bigint unsigned, n int)"
      " engine=InnoDB; insert into numbers values (-2147483648, -32768, -9223372036854775808, 0, 0),"
      " (2147483647, 32767, 9223372036854775807, 18446744073709551615, NULL), (0, 0, -1, 1, -7);",
      "numbers");
  for (const char* column : {"id", "s", "b", "u"}) EXPECT_EQ(Column(records, column), ClientColumn("numbers", column));
  EXPECT_EQ(Column(records, "n"), (std::vector<std::string>{"0", "-7", ""}));

  // Another engine reads a table in its own order: not paged.
  records = MakeAndExport(
      "create table plain(id int primary key, v int) engine=Aria;"
      "insert into plain select 6000 - seq, seq from seq_1_to_5000;",
      "plain");
  EXPECT_EQ(Column(records, "id"), ClientColumn("plain", "id"));
  EXPECT_EQ(LaterPages("plain"), 0);
  Server().Sql("set global general_log = 0; drop table wide, pairs, notes, numbers, plain;");
}

TEST_F(MariaDbTest, DatesReadAsTheDriversStructuresComeOutAsTheirTextDoesZeroDatesAndNullsApart) {
  // The same dates fetched as structures, from a table read in pages and
  // from one read with the plain statement, and read one by one as text.
  const std::string rows =
      " values (1, '2006-01-02', '2006-01-02 03:04:05', '2006-01-02 03:04:05.123456', '2006-01-02 03:04:05.120'),"
      " (2, '0000-00-00', '0000-00-00 00:00:00', '0000-00-00 00:00:00', '0000-00-00 00:00:00'),"
      " (3, '2006-00-15', '2006-05-00 10:00:00', '0001-01-01 00:00:00.000001', NULL),"
      " (4, NULL, NULL, NULL, NULL),"
      " (5, '9999-12-31', '0000-00-00 10:00:00', '9999-12-31 23:59:59.999999', '1970-01-01 00:00:01');";
  const std::string columns = "(id int primary key, d date, dt datetime, f datetime(6), ts timestamp(3) null)";
  const auto paged = MakeAndExport(
      "set sql_mode = ''; create table dates" + columns + " engine=InnoDB;" + "insert into dates" + rows, "dates");
  const std::string pagedSaid = Said();
  EXPECT_EQ(Export("dates", "", true), paged);
  EXPECT_EQ(Said(), pagedSaid);
  const auto plain = MakeAndExport(
      "set sql_mode = ''; create table dates2" + columns + " engine=Aria;" + "insert into dates2" + rows, "dates2");
  EXPECT_EQ(paged, plain);
  std::string plainSaid = Said();
  for (size_t at; (at = plainSaid.find("'dates2'")) != std::string::npos;) plainSaid.replace(at, 8, "'dates'");
  EXPECT_EQ(pagedSaid, plainSaid);

  ASSERT_EQ(paged.size(), 5u);
  EXPECT_EQ(Column(paged, "dt"),
            (std::vector<std::string>{"2006/01/02 03:04:05", "1899/12/30 00:00:00", "1899/12/30 00:00:00",
                                      "1899/12/30 00:00:00", "1899/12/30 00:00:00"}));
  EXPECT_EQ(Column(paged, "f")[2], "0001/01/01 00:00:00");
  EXPECT_EQ(Column(paged, "d")[4], "9999/12/31");
  // A zero date is said as the server keeps it; a NULL is written as the
  // null date too, but without a word.
  EXPECT_NE(pagedSaid.find("Field 'd' of table 'dates', record 2: '0000-00-00' names no day"), std::string::npos)
      << pagedSaid;
  EXPECT_NE(pagedSaid.find("Field 'f' of table 'dates', record 2: '0000-00-00 00:00:00.000000' names no day"),
            std::string::npos)
      << pagedSaid;
  EXPECT_EQ(pagedSaid.find("record 4"), std::string::npos) << pagedSaid;

  // Each export read the dates as said above.
  Export("dates", "--verbose");
  EXPECT_NE(Said().find(" records, the next fetched while one is used; in pages by the key (id); integers fetched as "
                        "numbers and dates as timestamps\n"),
            std::string::npos)
      << Said();
  Export("dates2", "--verbose");
  EXPECT_NE(Said().find(" records, the next fetched while one is used; integers fetched as numbers and dates as "
                        "timestamps\n"),
            std::string::npos)
      << Said();
  Export("dates", "--verbose", true);
  EXPECT_NE(Said().find("records read value by value; in pages by the key (id)\n"), std::string::npos) << Said();
  Server().Sql("drop table dates, dates2;");
}

}  // namespace
#endif
