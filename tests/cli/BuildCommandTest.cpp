#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/BuildCommand.h"

namespace fs = std::filesystem;

// `tidewell build` run as a user runs it, on copies of the bundled example
// with the stand-in toolchain.
class BuildCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tidewell-cli-XXXXXX";
    root_ = ::mkdtemp(pattern);
    project_ = root_ + "/Hello CF";
    fs::copy(std::string(TIDEWELL_SOURCE_DIR) + "/examples/HelloCF", project_, fs::copy_options::recursive);
  }
  void TearDown() override { fs::remove_all(root_); }

  int Tidewell(const std::string& args) {
    std::string command = "cd '" + project_ + "' && TIDEWELL_DOSDEVICES='" + std::string(TIDEWELL_SOURCE_DIR) +
                          "/examples/toolchain/dosdevices' '" + std::string(TIDEWELL_BINARY) + "' " + args + " >'" +
                          root_ + "/out.txt' 2>'" + root_ + "/err.txt'";
    int status = std::system(command.c_str());
    out = Slurp(root_ + "/out.txt");
    err = Slurp(root_ + "/err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void Append(const std::string& file, const std::string& text) {
    std::ofstream(project_ + "/" + file, std::ios::app | std::ios::binary) << text;
  }

  std::string root_, project_, out, err;
};

TEST_F(BuildCommandTest, BuildsTheExampleAndPrintsItsMessageList) {
  ASSERT_EQ(Tidewell("build HelloCF.dpr"), 0) << err;
  std::istringstream lines(out);
  std::vector<std::string> printed;
  for (std::string line; std::getline(lines, line);) printed.push_back(line);
  ASSERT_GE(printed.size(), 7u) << out;
  EXPECT_EQ(printed[0].rfind("Tidewell!! V2.0 Test by ", 0), 0u);
  EXPECT_EQ(printed[1], "--> ReCompile Resource File...\"WinForm.resx\".......OK !!");
  EXPECT_EQ(printed[2], "");
  EXPECT_EQ(printed[3], "...Searching Project Source Code.... ");
  EXPECT_EQ(printed[4], "--> AutoFix ...\"WinForm.pas\".......OK !!");
  EXPECT_EQ(printed[5], " ");
  EXPECT_TRUE(fs::exists(project_ + "/HelloCF.exe"));
  EXPECT_TRUE(fs::exists(project_ + "/WinForm.TWinForm.resources"));
  EXPECT_EQ(err, "");
}

TEST_F(BuildCommandTest, AMarkedErrorIsReportedWithItsLineAndExitStatusOne) {
  Append("WinForm.pas", "  Broken; {!error}\r\n");
  EXPECT_EQ(Tidewell("build '" + project_ + "/HelloCF.dpr'"), 1);
  EXPECT_NE(out.find("WinForm.pas("), std::string::npos);
  EXPECT_NE(out.find(") Error: "), std::string::npos);
  EXPECT_FALSE(fs::exists(project_ + "/HelloCF.exe"));
}

TEST_F(BuildCommandTest, AProjectFolderWithoutOptionsBuildsWithTheDialogsFirstValues) {
  fs::remove(project_ + "/CFOption.OPN");
  ASSERT_EQ(Tidewell("build HelloCF.dpr"), 0) << out << err;
  EXPECT_TRUE(fs::exists(project_ + "/HelloCF.exe"));
  EXPECT_FALSE(fs::exists(project_ + "/CFOption.OPN"));  // a build never saves settings
}

TEST_F(BuildCommandTest, ChecksThatStopTheBuildExitTwoWithTheirMessageOnStandardError) {
  std::ofstream(project_ + "/CFOption.OPN", std::ios::binary) << "MS_Assembly_Path= \r\n";
  EXPECT_EQ(Tidewell("build HelloCF.dpr"), 2);
  EXPECT_EQ(err, "MS Assembly LinkPath Is Empty!!\n");
  EXPECT_EQ(Tidewell("build Nowhere.dpr"), 2);
  EXPECT_NE(err.find("Nowhere.dpr"), std::string::npos);
  EXPECT_EQ(Tidewell("build"), 2);
}

TEST_F(BuildCommandTest, HelpSaysWhatEachCommandDoes) {
  EXPECT_EQ(Tidewell("--help"), 0);
  EXPECT_NE(out.find("build PROJECT.dpr"), std::string::npos);
  EXPECT_EQ(Tidewell("build --help"), 0);
  EXPECT_NE(out.find("Exit status"), std::string::npos);
  EXPECT_EQ(Tidewell("frobnicate"), 2);
}

TEST(BuildCommand, ErrorLinesAreCompilerErrorsAndFatalErrors) {
  EXPECT_TRUE(cli::IsErrorLine("WinForm.pas(3) Error: Undeclared identifier"));
  EXPECT_TRUE(cli::IsErrorLine("Fatal: File not found"));
  EXPECT_FALSE(cli::IsErrorLine("WinForm.pas(3) Warning: Unused"));
  EXPECT_FALSE(cli::IsErrorLine("MyError: x"));
}

TEST_F(BuildCommandTest, AnOptionsFileInTheFolderTheCommandRunsFromIsNotRead) {
  fs::remove(project_ + "/CFOption.OPN");
  fs::create_directories(root_ + "/elsewhere");
  std::ofstream(root_ + "/elsewhere/CFOption.OPN", std::ios::binary) << "MS_Assembly_Path=\r\n";
  std::string command = "cd '" + root_ + "/elsewhere' && TIDEWELL_DOSDEVICES='" + std::string(TIDEWELL_SOURCE_DIR) +
                        "/examples/toolchain/dosdevices' '" + std::string(TIDEWELL_BINARY) + "' build '" + project_ +
                        "/HelloCF.dpr' >/dev/null 2>&1";
  int status = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(BuildCommandTest, RebuildingTheSameCopyLeavesItsSourcesAsTheyAre) {
  ASSERT_EQ(Tidewell("build HelloCF.dpr"), 0);
  const std::string project = Slurp(project_ + "/HelloCF.dpr");
  EXPECT_NE(project.find("\r  {$IFNDEF CF}\r  [STAThread]\r  {$ENDIF}\r\n"), std::string::npos);
  ASSERT_EQ(Tidewell("build HelloCF.dpr"), 0);
  EXPECT_EQ(Slurp(project_ + "/HelloCF.dpr"), project);
  // The unit's inserted line breaks are written as CR LF by the second build;
  // from then on it stays as it is.
  const std::string unit = Slurp(project_ + "/WinForm.pas");
  EXPECT_EQ(unit.find("\r{"), std::string::npos);
  ASSERT_EQ(Tidewell("build HelloCF.dpr"), 0);
  EXPECT_EQ(Slurp(project_ + "/WinForm.pas"), unit);
  EXPECT_TRUE(fs::exists(project_ + "/HelloCF._xe"));
}
