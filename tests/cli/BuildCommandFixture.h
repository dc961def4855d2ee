#pragma once
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/TestWorld.h"

// `tidewell build` run as a user runs it, on copies of the bundled example
// with the stand-in toolchain.
class BuildCommandTest : public ::testing::Test {
 protected:
  int Tidewell(const std::string& args) { return TidewellIn(project_, args); }
  int TidewellIn(const std::string& folder, const std::string& args) {
    std::string command = "cd '" + folder + "' && TIDEWELL_DOSDEVICES='" + std::string(TIDEWELL_SOURCE_DIR) +
                          "/examples/toolchain/dosdevices' '" + std::string(TIDEWELL_BINARY) + "' " + args + " >'" +
                          root_ + "/out.txt' 2>'" + root_ + "/err.txt'";
    int status = std::system(command.c_str());
    out = testing_world::ReadHostFile(root_ + "/out.txt");
    err = testing_world::ReadHostFile(root_ + "/err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Makes the project build with a compiler of the test's own: a shell
  // script with this body.
  void UseCompiler(const std::string& body) {
    const std::string bin = root_ + "/compiler";
    std::filesystem::create_directories(bin);
    std::ofstream(bin + "/dccil") << "#!/bin/sh\n" << body;
    std::filesystem::permissions(bin + "/dccil", std::filesystem::perms::owner_all);
    std::string options = testing_world::ReadHostFile(project_ + "/CFOption.OPN");
    options.replace(0, options.find("\r\n"), "BDS_Compiler_Path=Z:" + bin);
    std::ofstream(project_ + "/CFOption.OPN", std::ios::binary) << options;
  }
  void Append(const std::string& file, const std::string& text) {
    std::ofstream(project_ + "/" + file, std::ios::app | std::ios::binary) << text;
  }

  testing_world::ExampleCopy example_{"Hello CF"};
  const std::string root_ = example_.root, project_ = example_.project;
  std::string out, err;
};
