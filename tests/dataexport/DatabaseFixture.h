#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/TestWorld.h"

// The demo database through ODBC: a fresh copy for every test, behind one
// odbc.ini per test process. (unixODBC may keep a configuration file it has
// read for the life of the process, so the file's path and text never
// change while the process runs.)
class DatabaseTest : public testing_world::TestWorld {
 protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: the demo database is reached through unixODBC's SQLite driver and an odbc.ini";
#else
    TestWorld::SetUp();
    // Kept on the heap: it must outlive the static destructors for the
    // clean-up at exit.
    static const std::string& folder = *new std::string([] {
      char pattern[] = "/tmp/tidewell-odbc-XXXXXX";
      std::string made = ::mkdtemp(pattern);
      std::ofstream(made + "/odbc.ini") << "[DEMO]\nDriver=SQLite3\nDatabase=" << made << "/demo.sqlite\n"
                                        << "[GONE]\nDriver=SQLite3\nDatabase=" << made << "/no/such.sqlite\nNoCreat=1\n"
                                        << "[MADE]\nDriver=SQLite3\nDatabase=" << made << "/made.sqlite\n"
                                        << "[TEXT]\nDriver=SQLite3\nDatabase=" << made << "/notes.txt\n";
      std::ofstream(made + "/notes.txt") << "Notes: this file is text, not a database, and long enough to be read.\n";
      return made;
    }());
    static const bool cleanedAtExit = std::atexit([] { std::filesystem::remove_all(folder); }) == 0;
    (void)cleanedAtExit;
    folder_ = folder;
    database_ = folder + "/demo.sqlite";
    std::filesystem::copy_file(std::string(TIDEWELL_SOURCE_DIR) + "/examples/data/demo.sqlite", database_,
                               std::filesystem::copy_options::overwrite_existing);
    ::setenv("ODBCINI", (folder + "/odbc.ini").c_str(), 1);
#endif
  }
  void TearDown() override {
#ifndef _WIN32
    ::unsetenv("ODBCINI");
    TestWorld::TearDown();
#endif
  }
  // Runs SQL on the test's copy of the database with the sqlite3 shell.
  void Sql(const std::string& statements) const {
    ASSERT_EQ(std::system(("sqlite3 '" + database_ + "' \"" + statements + "\"").c_str()), 0) << statements;
  }
  std::string folder_, database_;  // the odbc.ini's folder; DEMO's database
};
