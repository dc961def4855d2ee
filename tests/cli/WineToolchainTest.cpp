#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "tests/TestWorld.h"

namespace fs = std::filesystem;

// `tidewell build` on Linux with the Windows stand-in toolchain (console
// programs cross-built with MinGW) installed in a Wine prefix at the default
// paths, the drives named by TIDEWELL_DOSDEVICES alone or by WINEPREFIX
// alone. The programs run through wine in that prefix, so the Windows paths
// they are given resolve. scripts/windows builds the stand-ins, makes the
// prefix and runs these tests.
class WineToolchainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* standIns = std::getenv("TIDEWELL_WINDOWS_STANDINS");
    const char* prefix = std::getenv("TIDEWELL_TEST_WINEPREFIX");
    if (!standIns || !prefix || !*standIns || !*prefix)
      GTEST_SKIP() << "needs the cross-built stand-ins (TIDEWELL_WINDOWS_STANDINS) and a Wine prefix "
                      "(TIDEWELL_TEST_WINEPREFIX): scripts/windows runs it";
    prefix_ = prefix;
    const fs::path driveC = prefix_ + "/drive_c";
    // The toolchain's folders at their default paths, with Windows programs
    // in place of the shell scripts.
    fs::copy(std::string(TIDEWELL_SOURCE_DIR) + "/examples/toolchain/drive_c", driveC,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    const fs::path bds = driveC / "Program Files/Borland/BDS/4.0/Bin";
    fs::remove(bds / "dccil");
    fs::copy_file(fs::path(standIns) / "dccil.exe", bds / "dccil.exe", fs::copy_options::overwrite_existing);
    for (const char* sdk : {"v1.1", "v2.0"})
      fs::copy_file(fs::path(standIns) / "ResGen.exe",
                    driveC / "Program Files/Microsoft.NET/SDK" / sdk / "Bin/ResGen.exe",
                    fs::copy_options::overwrite_existing);
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    project_ = (driveC / "Projects" / name / "HelloCF").string();
    fs::remove_all(project_);
    fs::create_directories(project_);
    fs::copy(std::string(TIDEWELL_SOURCE_DIR) + "/examples/HelloCF", project_, fs::copy_options::recursive);
    windowsProject_ = "C:\\Projects\\" + name + "\\HelloCF\\HelloCF.dpr";
    home_ = (fs::temp_directory_path() / ("tidewell-home-" + name)).string();
    fs::create_directories(home_);  // an empty home: no ~/.wine to fall back on
  }
  void TearDown() override {
    std::error_code ignored;
    if (!home_.empty()) fs::remove_all(home_, ignored);
    if (!project_.empty()) fs::remove_all(fs::path(project_).parent_path(), ignored);
  }

  // Runs the Linux tidewell with the given drive variables and no others.
  int Build(const std::string& driveVariables) {
    const std::string log = home_ + "/out.txt";
    const std::string command = "env -u WINEPREFIX -u TIDEWELL_DOSDEVICES HOME='" + home_ + "' WINEDEBUG=-all " +
                                driveVariables + " '" + TIDEWELL_BINARY + "' build '" + windowsProject_ + "' >'" + log +
                                "' 2>&1";
    int status = std::system(command.c_str());
    out = testing_world::ReadHostFile(log);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void ExpectTheExampleBuilt() {
    EXPECT_NE(out.find("--> ReCompile Resource File...\"WinForm.resx\".......OK !!\n"), std::string::npos) << out;
    EXPECT_NE(out.find("TidewellKit stand-in compiler (dccil command line), not a real compiler\n"
                       "WinForm.pas\nHelloCF.dpr\n102 lines, 0.04 seconds, 4096 bytes code, 512 bytes data.\n"),
              std::string::npos)
        << out;
    // The resource compiler found the C:\ paths it was given.
    EXPECT_EQ(testing_world::ReadHostFile(project_ + "/WinForm.TWinForm.resources").rfind("STAND-IN RESOURCES\r\n", 0),
              0u);
    EXPECT_EQ(testing_world::ReadHostFile(project_ + "/HelloCF.exe"), "Stand-in program for HelloCF\r\n");
    EXPECT_FALSE(fs::exists(home_ + "/.wine")) << "wine ran in ~/.wine, not in the prefix of the drives";
  }

  std::string prefix_, project_, windowsProject_, home_, out;
};

TEST_F(WineToolchainTest, DrivesNamedByTheirDosdevicesFolderAlone) {
  ASSERT_EQ(Build("TIDEWELL_DOSDEVICES='" + prefix_ + "/dosdevices'"), 0) << out;
  ExpectTheExampleBuilt();
}

TEST_F(WineToolchainTest, DrivesNamedByTheWinePrefix) {
  ASSERT_EQ(Build("WINEPREFIX='" + prefix_ + "'"), 0) << out;
  ExpectTheExampleBuilt();
}
