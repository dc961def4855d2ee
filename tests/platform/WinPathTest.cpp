#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Files.h"
#include "platform/WinPath.h"
#include "tests/TestWorld.h"

class WinPathTest : public testing_world::TestWorld {};

TEST_F(WinPathTest, DriveLettersResolveThroughDosdevicesInAnyCase) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: drives through a dosdevices folder";
#else
  Write("C:\\Program Files\\Tool\\Run.exe", "x");
  auto real = [](const std::string& p) { return std::filesystem::canonical(p).string(); };
  const std::string run = real(driveC_ + "/Program Files/Tool/Run.exe");
  EXPECT_EQ(real(platform::ToHostPath("C:\\Program Files\\Tool\\Run.exe")), run);
  EXPECT_EQ(real(platform::ToHostPath("c:\\PROGRAM FILES\\tool\\run.EXE")), run);
  EXPECT_EQ(real(platform::ToHostPath("C:/Program Files/Tool/")), real(driveC_ + "/Program Files/Tool"));
  EXPECT_TRUE(platform::FileExists("c:\\program files\\TOOL\\RUN.EXE"));
#endif
}

TEST_F(WinPathTest, DriveZIsTheRootUnlessNamedAndUnknownDrivesResolveToNothing) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: drives through a dosdevices folder";
#else
  EXPECT_EQ(platform::ToHostPath("Z:\\etc"), "/etc");
  EXPECT_FALSE(platform::FileExists("Q:\\anything"));
  EXPECT_FALSE(platform::DirectoryExists("Q:\\"));
#endif
}

TEST_F(WinPathTest, RelativePathsUseTheCurrentFolderAndTheCurrentFolderIsReportedAsWindowsPath) {
  MakeFolder("C:\\Projects\\App");
  EXPECT_EQ(platform::GetCurrentDir(), "C:\\");
  ASSERT_TRUE(platform::SetCurrentDir("C:\\Projects\\App\\"));
  EXPECT_EQ(platform::GetCurrentDir(), "C:\\Projects\\App");
  Write("C:\\Projects\\App\\CFOption.OPN", "x");
  EXPECT_TRUE(platform::FileExists("CFOption.OPN"));
  EXPECT_TRUE(platform::FileExists("cfoption.opn"));
  EXPECT_TRUE(platform::FileExists("..\\App\\CFOption.OPN"));
  // "\name" is the root of the current drive
  Write("C:\\root.txt", "r");
  EXPECT_TRUE(platform::FileExists("\\root.txt"));
  EXPECT_FALSE(platform::SetCurrentDir(""));
  EXPECT_FALSE(platform::SetCurrentDir("C:\\No Such Folder"));
  EXPECT_EQ(platform::GetCurrentDir(), "C:\\Projects\\App");
}

TEST_F(WinPathTest, HostPathsOutsideEveryDriveAreReportedOnDriveZ) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: host paths and drives through a dosdevices folder";
#else
  EXPECT_EQ(platform::ToWindowsPath("/usr/bin"), "Z:\\usr\\bin");
  EXPECT_EQ(platform::ToWindowsPath(driveC_ + "/x"), "C:\\x");
  // The longest drive wins.
  MakeFolder("C:\\data");
  std::filesystem::create_directory_symlink(driveC_ + "/data", root_ + "/dosdevices/d:");
  EXPECT_EQ(platform::ToWindowsPath(driveC_ + "/data/f.txt"), "D:\\f.txt");
  EXPECT_EQ(platform::ToWindowsPath(driveC_ + "/data"), "D:\\");
  // A folder whose name only starts with the drive's is not on it.
  MakeFolder("C:\\database");
  EXPECT_EQ(platform::ToWindowsPath(driveC_ + "/database/f.txt"), "C:\\database\\f.txt");
#endif
}

TEST_F(WinPathTest, DotDotStopsAtTheRootAndAWinePrefixNamesTheDrivesWithoutTheirOwnFolder) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: drives through a dosdevices folder";
#else
  MakeFolder("C:\\a\\b");
  EXPECT_EQ(platform::ToHostPath("C:\\a\\..\\a\\b"), Host("C:\\a\\b"));
  EXPECT_EQ(platform::ToHostPath("Z:\\tmp\\..\\..\\.."), "/");
  EXPECT_EQ(platform::ToHostPath("Z:\\..\\tmp"), "/tmp");
  ::unsetenv("TIDEWELL_DOSDEVICES");
  ::setenv("WINEPREFIX", (root_ + "/prefix").c_str(), 1);
  EXPECT_EQ(platform::DosDevicesFolder(), root_ + "/prefix/dosdevices");
  ::unsetenv("WINEPREFIX");
  ::setenv("TIDEWELL_DOSDEVICES", (root_ + "/dosdevices").c_str(), 1);
  // A name may be 255 bytes long, not one more.
  EXPECT_EQ(platform::PathProblem("C:\\" + std::string(255, 'n')), "");
  EXPECT_NE(platform::PathProblem("C:\\" + std::string(256, 'n')), "");
#endif
}

TEST_F(WinPathTest, PathsAsUsersTypeThemBecomeWholeWindowsPaths) {
  Write("C:\\Projects\\App\\X.dpr", "program X;");
  ASSERT_TRUE(platform::SetCurrentDir("C:\\Projects"));
  EXPECT_EQ(platform::TypedPath("C:/Projects/App/X.dpr"), "C:\\Projects\\App\\X.dpr");
  EXPECT_EQ(platform::TypedPath("c:\\Projects\\App\\X.dpr"), "c:\\Projects\\App\\X.dpr");
  EXPECT_EQ(platform::TypedPath("App\\X.dpr"), "C:\\Projects\\App\\X.dpr");
  EXPECT_EQ(platform::TypedPath(".\\App\\X.dpr"), "C:\\Projects\\App\\X.dpr");
#ifndef _WIN32
  EXPECT_EQ(platform::TypedPath("App/X.dpr"), "C:\\Projects\\App\\X.dpr");
  EXPECT_EQ(platform::TypedPath(driveC_ + "/Projects/App/X.dpr"), "C:\\Projects\\App\\X.dpr");
  EXPECT_EQ(platform::TypedPath("../Projects/App/X.dpr"), "C:\\Projects\\App\\X.dpr");
#endif
}

TEST_F(WinPathTest, HostPathsPassUnchangedAndAnEmptyPathStaysEmpty) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: host paths";
#else
  EXPECT_EQ(platform::ToHostPath("/tmp/x"), "/tmp/x");
  // Found by fuzzing: an empty host path aborted the conversion.
  EXPECT_EQ(platform::ToWindowsPath(""), "");
  EXPECT_EQ(platform::ToHostPath(""), "");
  EXPECT_EQ(platform::ToWindowsPath("x.txt"), "C:\\x.txt");  // relative to the current folder
#endif
}

TEST_F(WinPathTest, NamesInTheWindowsCodePageMeetTheirUtf8NamesOnDisk) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: file names in UTF-8";
#else
  MakeFolder("C:\\P");
  const std::string folder = Host("C:\\P");
  std::ofstream(folder + "/MainF\xC3\xB6rm.pas") << "unit";  // on disk: UTF-8
  // Written by the IDE in the Windows code page (0xF6), found on disk.
  EXPECT_EQ(platform::ToHostPath("C:\\P\\MainF\xF6rm.pas"), folder + "/MainF\xC3\xB6rm.pas");
  EXPECT_EQ(platform::ToHostPath("C:\\P\\MAINF\xF6RM.PAS"), folder + "/MainF\xC3\xB6rm.pas");
  // A name already in UTF-8 is found as written; a new one is made in UTF-8.
  EXPECT_EQ(platform::ToHostPath("C:\\P\\MainF\xC3\xB6rm.pas"), folder + "/MainF\xC3\xB6rm.pas");
  EXPECT_EQ(platform::ToHostPath("C:\\P\\Neu\xE9.pas"), folder + "/Neu\xC3\xA9.pas");
  // Back to the system's text: the code page where it has every character,
  // else as it is.
  EXPECT_EQ(platform::ToWindowsPath(folder + "/MainF\xC3\xB6rm.pas"), "C:\\P\\MainF\xF6rm.pas");
  EXPECT_EQ(platform::ListFiles("C:\\P", "*.pas"), (std::vector<std::string>{"MainF\xF6rm.pas"}));
  std::ofstream(folder + "/\xE6\x97\xA5.pas") << "unit";  // a name CP1252 has no place for
  EXPECT_EQ(platform::ToWindowsPath(folder + "/\xE6\x97\xA5.pas"), "C:\\P\\\xE6\x97\xA5.pas");
  EXPECT_EQ(platform::ToHostPath("C:\\P\\\xE6\x97\xA5.pas"), folder + "/\xE6\x97\xA5.pas");
  ::setenv("TIDEWELL_CODEPAGE", "ISO-8859-7", 1);  // Greek: 0xE1 is alpha
  EXPECT_EQ(platform::CodePageToHost("\xE1.pas"), "\xCE\xB1.pas");
  ::unsetenv("TIDEWELL_CODEPAGE");
#endif
}

// On Windows the system's paths are the paths: both directions are the
// identity, and the drives are the ones Windows has.
TEST_F(WinPathTest, OnWindowsPathsPassBothWaysUnchanged) {
#ifndef _WIN32
  GTEST_SKIP() << "Windows only";
#else
  EXPECT_EQ(platform::ToHostPath("c:\\PROGRAM FILES\\x.exe"), "c:\\PROGRAM FILES\\x.exe");
  EXPECT_EQ(platform::ToWindowsPath("C:\\x"), "C:\\x");
  MakeFolder("C:\\Projects");
  platform::SetCurrentDir("C:\\Projects");
  EXPECT_EQ(platform::ToWindowsPath("HelloCF.dpr"), "C:\\Projects\\HelloCF.dpr");
  EXPECT_EQ(platform::DosDevicesFolder(), "");
  std::vector<std::string> drives = platform::ListDrives();
  EXPECT_NE(std::find(drives.begin(), drives.end(), "C:"), drives.end());
#endif
}
