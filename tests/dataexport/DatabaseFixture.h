#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/TestWorld.h"

// The demo database through ODBC, with an odbc.ini of the test's own.
class DatabaseTest : public testing_world::TestWorld {
 protected:
  void SetUp() override {
    TestWorld::SetUp();
    std::filesystem::copy_file(std::string(TIDEWELL_SOURCE_DIR) + "/examples/data/demo.sqlite", root_ + "/demo.sqlite");
    std::ofstream(root_ + "/odbc.ini") << "[DEMO]\nDriver=SQLite3\nDatabase=" << root_ << "/demo.sqlite\n"
                                       << "[GONE]\nDriver=SQLite3\nDatabase=" << root_ << "/no/such.sqlite\nNoCreat=1\n";
    ::setenv("ODBCINI", (root_ + "/odbc.ini").c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("ODBCINI");
    TestWorld::TearDown();
  }
};
