// The export against a real PostgreSQL server through psqlODBC: a server of
// the test's own (initdb and pg_ctl in a temporary folder, loopback only, as
// an unprivileged user), a table of every common type, and every cell
// compared with what psql reads from the same table.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "tests/PostgresServer.h"
#include "tests/dataexport/ExportedRecords.h"
#include "tests/TestWorld.h"

#ifndef _WIN32
namespace {

namespace fs = std::filesystem;

PostgresServer& Server() {
  static PostgresServer* server = new PostgresServer(PostgresServer::DefaultDataSource);
  static const bool stopped = std::atexit([] { delete server; }) == 0;
  (void)stopped;
  return *server;
}

class PostgresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Server().Unavailable().empty()) GTEST_SKIP() << Server().Unavailable();
  }
  int Tidewell(const std::string& args) {
    const std::string command = "ODBCINI='" + Server().OdbcIni() + "' '" + std::string(TIDEWELL_BINARY) + "' export " +
                                args + " >'" + out_ + "' 2>'" + err_ + "'";
    int status = std::system(command.c_str());
    out = testing_world::ReadHostFile(out_);
    err = testing_world::ReadHostFile(err_);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string out, err;

 private:
  std::string out_ = fs::temp_directory_path() / ("tidewell-pg-out-" + std::to_string(::getpid()));
  std::string err_ = out_ + ".err";
};

// What the export writes for a value psql shows, by the column's type.
std::string Expected(const std::string& type, const std::string& psql) {
  if (psql.empty()) return type == "date" ? "1899/12/30" : type == "timestamp" ? "1899/12/30 00:00:00" : "";
  if (type == "boolean") return psql == "t" ? "True" : "False";
  if (type == "date")
    return psql == "infinity" ? "1899/12/30" : psql.substr(0, 4) + "/" + psql.substr(5, 2) + "/" + psql.substr(8, 2);
  if (type == "timestamp")
    return psql.substr(0, 4) + "/" + psql.substr(5, 2) + "/" + psql.substr(8, 2) + " " + psql.substr(11, 8);
  if (type == "bytea") {  // \x00ff -> 00FF
    std::string hex = psql.substr(2);
    for (char& c : hex) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return hex;
  }
  if (type == "money") {  // $1,234.50 -> 1234.5
    std::string number;
    for (char c : psql)
      if (std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-') number += c;
    while (number.find('.') != std::string::npos && (number.back() == '0' || number.back() == '.')) number.pop_back();
    return number;
  }
  return psql;
}

TEST_F(PostgresTest, OnlyTheTablesAPlainNameReachesAreListedAndATableWithoutColumnsExports) {
  ASSERT_EQ(
      Server().Psql("set client_min_messages = warning; drop schema if exists other cascade; create schema other;"
                    "create table other.hidden(id integer); create table other.twice(id integer);"
                    "drop table if exists twice, nocols; create table twice(id integer);"
                    "create table nocols(); insert into nocols default values; insert into nocols default values;"),
      "");
  ASSERT_EQ(Tidewell("--list-tables PG"), 0) << err;
  EXPECT_EQ(out.find("hidden"), std::string::npos) << out;
  EXPECT_EQ(out.find("twice\n"), out.rfind("twice\n")) << out;
  EXPECT_EQ(out.find("pg_"), std::string::npos) << out;
  ASSERT_EQ(Tidewell("--alias PG --table nocols --output -"), 0) << err;
  EXPECT_EQ(out,
            "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<PG>\r\n  <nocols>\r\n  </nocols>\r\n  <nocols>\r\n"
            "  </nocols>\r\n</PG>\r\n");
  Server().Psql("drop schema other cascade; drop table twice, nocols;");
}

TEST_F(PostgresTest, EveryCellOfEveryCommonTypeIsWhatPsqlReads) {
  const char* columns[][2] = {{"id", "integer"},   {"flag", "boolean"},      {"small", "smallint"},
                              {"big", "bigint"},   {"num", "numeric(10,2)"}, {"dbl", "double precision"},
                              {"price", "money"},  {"txt", "varchar(20)"},   {"memo", "text"},
                              {"day", "date"},     {"at", "time"},           {"stamp", "timestamp"},
                              {"data", "bytea"},   {"\"name\"", "integer"},  {"\"Name\"", "text"},
                              {"\"NAME\"", "text"}};
  std::string create =
      "set client_min_messages = warning; set lc_monetary = 'C'; drop table if exists \"MixedCase\"; create table "
      "\"MixedCase\"(";
  for (size_t i = 0; i < std::size(columns); ++i)
    create += std::string(i ? ", " : "") + columns[i][0] + " " + columns[i][1] + (i == 0 ? " primary key" : "");
  create +=
      ");"
      "insert into \"MixedCase\" values (1, true, -7, 9007199254740993, 1234.50, 0.1, 1234.50, 'Bolt & <nut>',"
      " 'a long text', '2006-11-30', '14:05:09', '2006-11-30 14:05:09', '\\x00ff10', 1, 'one', 'ONE');"
      "insert into \"MixedCase\" values (2, false, 0, 0, -0.50, -2.5e-10, -3.25, '', '', 'infinity', '24:00:00',"
      " '1969-12-31 23:59:59', '\\x', 2, 'two', 'TWO');"
      "insert into \"MixedCase\"(id) values (3);";
  ASSERT_EQ(Server().Psql(create), "") << "could not make the table";
  ASSERT_EQ(Tidewell("--list-tables PG"), 0) << err;
  EXPECT_NE(out.find("MixedCase\n"), std::string::npos);
  ASSERT_EQ(Tidewell("--alias PG --table MixedCase --output -"), 0) << err;
  const auto records = Records(out, "MixedCase");
  ASSERT_EQ(records.size(), 3u) << out;
  EXPECT_EQ(err,
            "tidewell export: warning: Field 'day' of table 'MixedCase', record 2: '0000-00-00' names no day of "
            "the calendar; written as the null date\n")
      << "(the driver hands infinity on as a zero date)";
  // The generated code types the columns as the values are written.
  const std::string code = (fs::temp_directory_path() / ("tidewell-pg-code-" + std::to_string(::getpid()))).string();
  ASSERT_EQ(Tidewell("--alias PG --table MixedCase --output /dev/null --code '" + code + "'"), 0) << err;
  const std::string lines = testing_world::ReadHostFile(code);
  fs::remove(code);
  for (const char* line :
       {"  tmpTable.Columns.Add('flag',typeof(Boolean));", "  tmpTable.Columns.Add('price',typeof(double));",
        "  tmpTable.Columns.Add('txt',typeof(String));", "  tmpTable.Columns.Item[7].MaxLength :=20;"})
    EXPECT_NE(lines.find(std::string(line) + "\r\n"), std::string::npos) << line << "\n" << lines;

  for (const auto& column : columns) {
    std::string name = column[0];
    if (name.front() == '"') name = name.substr(1, name.size() - 2);
    std::string type = column[1];
    type = type.substr(0, type.find('('));
    const std::string select = type == "money" ? "select " + std::string(column[0]) + " from \"MixedCase\" order by id"
                               : type == "double precision"
                                   ? "select " + std::string(column[0]) + "::text from \"MixedCase\" order by id"
                                   : "select " + std::string(column[0]) + " from \"MixedCase\" order by id";
    std::istringstream psql(Server().Psql("set lc_monetary = 'C';" + select + ";"));
    for (size_t r = 0; r < records.size(); ++r) {
      std::string cell;
      std::getline(psql, cell);
      std::string expected = Expected(type, cell);
      if (type == "double precision" && !cell.empty()) expected = cell == "0.1" ? "0.1" : "-2.5E-10";
      ASSERT_TRUE(records[r].count(name)) << name;
      EXPECT_EQ(records[r].at(name), expected) << name << " of record " << r + 1 << " (psql: '" << cell << "')";
    }
  }
}

}  // namespace
#endif

#ifndef _WIN32
namespace {

// The folder's file names.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

// A data source as users write it streams: psqlODBC's cursor fetching is
// asked for, unless the data source says otherwise, which wins.
TEST_F(PostgresTest, TheDriverIsAskedToStreamUnlessTheDataSourceSaysOtherwise) {
  ASSERT_EQ(Server().Psql("set client_min_messages = warning; drop table if exists few;"
                          "create table few(id integer primary key); insert into few values (1), (2);"),
            "");
  ASSERT_EQ(Tidewell("--alias PG --table few --output - --verbose"), 0) << err;
  EXPECT_EQ(err,
            "tidewell export: driver PostgreSQL Unicode: asked for UseDeclareFetch=1;Fetch=16384\n"
            "tidewell export: records read value by value\n");
  EXPECT_NE(out.find("<id>2</id>"), std::string::npos);
  const std::string ini = testing_world::ReadHostFile(Server().OdbcIni());
  std::ofstream(Server().OdbcIni(), std::ios::app) << "\n[OWN]\n"
                                                   << ini.substr(ini.find("Driver=")) << "UseDeclareFetch=0\n";
  ASSERT_EQ(Tidewell("--alias OWN --table few --output /dev/null --verbose"), 0) << err;
  EXPECT_EQ(err,
            "tidewell export: driver PostgreSQL Unicode: asked for Fetch=16384\n"
            "tidewell export: records read value by value\n");
  std::ofstream(Server().OdbcIni(), std::ios::binary) << ini;
}

// The server ends the export's session half way: exit status 1 with the
// driver's message, the old file as it was and no temporary file left.
TEST_F(PostgresTest, AServerThatFailsHalfWayLeavesTheOldFileAndNoTemporaryOne) {
  ASSERT_EQ(Server().Psql("set client_min_messages = warning; drop table if exists many;"
                          "create table many(id integer primary key, name varchar(40));"
                          "insert into many select i, 'Name number ' || i from generate_series(1, 600000) i;"),
            "");
  const std::string folder = (fs::temp_directory_path() / ("tidewell-pg-fail-" + std::to_string(::getpid()))).string();
  fs::create_directories(folder);
  std::ofstream(folder + "/many.xml") << "the old file";
  pid_t export_ = ::fork();
  if (export_ == 0) {
    ::execl("/bin/sh", "sh", "-c",
            ("ODBCINI='" + Server().OdbcIni() + "' exec '" + std::string(TIDEWELL_BINARY) +
             "' export --alias PG --table many --output '" + folder + "/many.xml' 2>'" + folder + ".err'")
                .c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // Once the export writes its temporary file, its session is ended.
  for (int i = 0; i < 200 && Names(folder).size() < 2; ++i) ::usleep(20 * 1000);
  EXPECT_EQ(Server().Psql("select count(*) > 0 from (select pg_terminate_backend(pid) from pg_stat_activity"
                          " where pid <> pg_backend_pid() and datname = 'postgres') ended;"),
            "t\n");
  int status = 0;
  ::waitpid(export_, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  const std::string error = testing_world::ReadHostFile(folder + ".err");
  EXPECT_TRUE(error.starts_with("tidewell export: ")) << error;
  // The driver's own words, which depend on when the session ended:
  // "terminating connection ..." or "... the connection lost".
  EXPECT_NE(error.find("connection"), std::string::npos) << error;
  EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
  EXPECT_EQ(testing_world::ReadHostFile(folder + "/many.xml"), "the old file");
  EXPECT_EQ(Names(folder), std::vector<std::string>{"many.xml"});
  fs::remove_all(folder);
  fs::remove(folder + ".err");
}
#endif
