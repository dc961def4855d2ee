#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/ChangePlan.h"
#include "platform/Files.h"
#include "platform/TextLines.h"
#include "platform/WinPath.h"
#include "tests/TestWorld.h"

namespace fs = std::filesystem;

class FilesTest : public testing_world::TestWorld {
 protected:
#ifndef _WIN32
  struct stat Stat(const std::string& windowsPath) const {
    struct stat st {};
    ::stat(Host(windowsPath).c_str(), &st);
    return st;
  }
#endif
  // The names in a folder, hidden ones included.
  std::vector<std::string> Everything(const std::string& windowsFolder) const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(Host(windowsFolder)))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // The error a write raises, or "" when it succeeds.
  static std::string WriteError(const std::string& path, const std::string& text) {
    try {
      platform::WriteFileText(path, text);
      return "";
    } catch (const platform::FileError& e) {
      return e.what();
    }
  }
};

TEST_F(FilesTest, AWriteReplacesTheTextAndKeepsHardLinksAndLeavesNoTemporaryFile) {
  Write("C:\\real\\Unit1.pas", "old");
  platform::WriteFileText("C:\\real\\Unit1.pas", "new");
  EXPECT_EQ(Read("C:\\real\\Unit1.pas"), "new");
  fs::create_hard_link(Host("C:\\real\\Unit1.pas"), Host("C:\\real\\Twin.pas"));
  platform::WriteFileText("C:\\real\\Unit1.pas", "again");
  EXPECT_EQ(Read("C:\\real\\Twin.pas"), "again");
  platform::WriteFileText("C:\\real\\New.pas", "made");
  EXPECT_EQ(Everything("C:\\real"), (std::vector<std::string>{"New.pas", "Twin.pas", "Unit1.pas"}));
}

TEST_F(FilesTest, AWriteKeepsPermissionsOwnerGroupAndSymbolicLinks) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: permission bits, owners and symbolic links";
#else
  Write("C:\\f.txt", "old");
  ::chmod(Host("C:\\f.txt").c_str(), 0640);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(Host("C:\\f.txt").c_str(), 1234, 5678), 0);
  }
  platform::SaveLines("C:\\f.txt", {"new"});
  EXPECT_EQ(Read("C:\\f.txt"), "new\r\n");
  EXPECT_EQ(Stat("C:\\f.txt").st_mode & 0777, 0640u);
  if (::geteuid() == 0) {
    EXPECT_EQ(Stat("C:\\f.txt").st_uid, 1234u);
    EXPECT_EQ(Stat("C:\\f.txt").st_gid, 5678u);
  }

  // A symbolic link stays a link; the file it names gets the text.
  Write("C:\\real\\Unit1.pas", "old");
  MakeFolder("C:\\P");
  ::symlink(Host("C:\\real\\Unit1.pas").c_str(), (Host("C:\\P") + "/Unit1.pas").c_str());
  platform::SaveLines("C:\\P\\Unit1.pas", {"new"});
  struct stat st;
  ::lstat(Host("C:\\P\\Unit1.pas").c_str(), &st);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Read("C:\\real\\Unit1.pas"), "new\r\n");
#endif
}

TEST_F(FilesTest, AReadOnlyFileIsRefusedWithItsNameAndLeftAsItWas) {
  Write("C:\\P\\Unit1.pas", "precious");
  // Without any write permission (the read-only attribute, on Windows) a file
  // is read-only, for root too.
  fs::permissions(Host("C:\\P\\Unit1.pas"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(WriteError("C:\\P\\Unit1.pas", "x"), "Cannot create file \"C:\\P\\Unit1.pas\". The file is read-only");
  EXPECT_THROW(platform::TouchFile("C:\\P\\Unit1.pas"), platform::FileError);
  EXPECT_FALSE(platform::CopyFile("C:\\P\\Unit1.pas", "C:\\P\\Unit1.pas"));
  EXPECT_EQ(Read("C:\\P\\Unit1.pas"), "precious");
  EXPECT_EQ(platform::WriteProblem("C:\\P\\Unit1.pas"), "the file is read-only");
#ifndef _WIN32
  // A file that only its owner may write is read-only for everyone else.
  ::chmod(Host("C:\\P\\Unit1.pas").c_str(), 0644);
  std::string problem = AsUnprivileged([] {
    std::string error = WriteError("C:\\P\\Unit1.pas", "x");
    return error.find("Cannot create file \"C:\\P\\Unit1.pas\"") == 0 ? "" : "wrote or said: " + error;
  });
  EXPECT_EQ(problem, "");
  EXPECT_EQ(Read("C:\\P\\Unit1.pas"), "precious");
#endif
}

TEST_F(FilesTest, AWritableFileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: folder permissions and a second user";
#else
  Write("C:\\P\\Unit1.pas", "old");
  ::chmod(Host("C:\\P\\Unit1.pas").c_str(), 0666);
  ::chmod(Host("C:\\P").c_str(), 0755);  // only its owner (root, when run as root) adds files
  std::string problem = AsUnprivileged([this] {
    std::string error = WriteError("C:\\P\\Unit1.pas", "new");
    if (!error.empty()) return error;
    if (Read("C:\\P\\Unit1.pas") != "new") return std::string("the text did not arrive");
    // A new file cannot be made there: that is the folder's error.
    error = WriteError("C:\\P\\New.pas", "x");
    return error.find("Cannot create file \"C:\\P\\New.pas\"") == 0 ? "" : "new file: " + error;
  });
  EXPECT_EQ(problem, "");
#endif
}

TEST_F(FilesTest, AFailedWriteLeavesTheOldFileWholeAndNoTemporaryFile) {
  Write("C:\\P\\f.txt", "precious");
#ifndef _WIN32
  // A file size limit makes the write itself fail half way.
  struct rlimit old;
  ::getrlimit(RLIMIT_FSIZE, &old);
  struct rlimit small = old;
  small.rlim_cur = 1000;
  auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &small);
  std::string error = WriteError("C:\\P\\f.txt", std::string(5000, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(error.rfind("Cannot write file \"C:\\P\\f.txt\". ", 0), 0u) << error;
  EXPECT_EQ(Read("C:\\P\\f.txt"), "precious");
  EXPECT_EQ(Everything("C:\\P"), (std::vector<std::string>{"f.txt"}));
#endif

  // A folder in the file's place.
  MakeFolder("C:\\P\\dir.txt");
  EXPECT_EQ(WriteError("C:\\P\\dir.txt", "x"), "Cannot create file \"C:\\P\\dir.txt\". It is a folder");
}

TEST_F(FilesTest, ALongNameIsWrittenAndAnEmptyOrOverLongPathIsAClearError) {
  const std::string longName = std::string(246, 'u') + ".pas";  // 250 bytes, near the limit of most file systems
  MakeFolder("C:\\P");
  platform::WriteFileText("C:\\P\\" + longName, "x");
  EXPECT_EQ(Read("C:\\P\\" + longName), "x");
  EXPECT_EQ(WriteError("", "x"), "Cannot create file \"\". No file name given");
  EXPECT_EQ(platform::WriteProblem(""), "no file name given");
  EXPECT_NE(platform::WriteProblem("C:\\P\\" + std::string(300, 'n')).find("longer than the file system allows"),
            std::string::npos);
  std::string deep = "C:";
  while (deep.size() < 5000) deep += "\\pppppppp";
  EXPECT_NE(platform::PathProblem(deep).find("longer than the system allows"), std::string::npos);
}

TEST_F(FilesTest, ReadingAMissingFileThrowsWithItsName) {
  try {
    platform::LoadLines("C:\\nowhere.txt");
    FAIL();
  } catch (const platform::FileError& e) {
    EXPECT_NE(std::string(e.what()).find("C:\\nowhere.txt"), std::string::npos);
  }
}

TEST_F(FilesTest, MasksMatchWithoutRegardToCaseAndListFilesOnly) {
  Write("C:\\lib\\a.DLL", "");
  Write("C:\\lib\\b.dll", "");
  Write("C:\\lib\\c.txt", "");
  Write("C:\\lib\\img.CEM", "");
  MakeFolder("C:\\lib\\sub.dll");
  EXPECT_EQ(platform::ListFiles("C:\\lib", "*.DLL"), (std::vector<std::string>{"a.DLL", "b.dll"}));
  EXPECT_EQ(platform::ListFiles("C:\\lib\\", "*.bin;*.cem"), (std::vector<std::string>{"img.CEM"}));
  EXPECT_TRUE(platform::ListFiles("C:\\missing", "*.*").empty());
  EXPECT_TRUE(platform::MatchesMask("x.resources", "*.RESOURCES"));
  EXPECT_FALSE(platform::MatchesMask("x.resources.bak", "*.resources"));
  EXPECT_TRUE(platform::MatchesMask("a.b", "?.?"));
}

TEST_F(FilesTest, RenameNeverOverwritesAndCopyDoes) {
  Write("C:\\a", "A");
  Write("C:\\b", "B");
  EXPECT_FALSE(platform::RenameFile("C:\\a", "C:\\b"));
  EXPECT_EQ(Read("C:\\b"), "B");
  EXPECT_TRUE(platform::CopyFile("C:\\a", "C:\\b"));
  EXPECT_EQ(Read("C:\\b"), "A");
  EXPECT_TRUE(platform::RenameFile("C:\\a", "C:\\c"));
  EXPECT_FALSE(Exists("C:\\a"));
  EXPECT_FALSE(platform::DeleteFile("C:\\a"));
  EXPECT_FALSE(platform::CopyFile("C:\\a", "C:\\d"));
  EXPECT_TRUE(platform::SameFile("C:\\b", "C:\\.\\B"));
  EXPECT_TRUE(platform::SameFile("C:\\new.xml", "C:\\sub\\..\\new.xml"));
  EXPECT_FALSE(platform::SameFile("C:\\b", "C:\\c"));
}

#ifndef _WIN32

// A small file system of the test's own that fills up for real: a tmpfs,
// which only root may mount. Skips with the reason otherwise.
class FullDiskTest : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    disk_ = Host("C:\\disk");
    fs::create_directories(disk_);
    if (::geteuid() != 0 || std::system(("mount -t tmpfs -o size=256k tmpfs '" + disk_ + "' 2>/dev/null").c_str()) != 0)
      GTEST_SKIP() << "needs root to mount a small tmpfs that can fill up";
    mounted_ = true;
  }
  void TearDown() override {
    platform::SetReserveCall(nullptr);
    if (mounted_) (void)!std::system(("umount '" + disk_ + "'").c_str());
    FilesTest::TearDown();
  }
  // Fills the disk but for `room` bytes.
  void FillBut(size_t room) {
    std::ofstream filler(disk_ + "/filler", std::ios::binary);
    std::string block(4096, 'f');
    while (fs::space(disk_).available > room + block.size()) filler.write(block.data(), block.size()), filler.flush();
  }
  std::string disk_;
  bool mounted_ = false;
};

TEST_F(FullDiskTest, AnInPlaceRewriteThatDoesNotFitLeavesTheOldTextInEveryLink) {
  const std::string old = "unit Precious;\r\n" + std::string(20000, 'p') + "\r\nend.\r\n";
  Write("C:\\disk\\Unit.pas", old);
  fs::create_hard_link(disk_ + "/Unit.pas", disk_ + "/Twin.pas");  // written in place
  FillBut(0);
  const std::string longer = old + std::string(100000, 'n');
  // With room reserved first, and with a file system that cannot reserve
  // (the old text is then put back).
  for (bool reserves : {true, false}) {
    SCOPED_TRACE(reserves ? "reserving" : "not reserving");
    platform::SetReserveCall(reserves ? nullptr : +[](int, long long) { return EOPNOTSUPP; });
    EXPECT_NE(WriteError("C:\\disk\\Unit.pas", longer).find("No space left on device"), std::string::npos);
    EXPECT_EQ(Read("C:\\disk\\Twin.pas"), old);
    EXPECT_EQ(Read("C:\\disk\\Unit.pas"), old);
  }
  // A shorter text fits, and nothing of the longer old text is left behind.
  platform::WriteFileText("C:\\disk\\Unit.pas", "unit Short;\r\n");
  EXPECT_EQ(Read("C:\\disk\\Twin.pas"), "unit Short;\r\n");
}

TEST_F(FullDiskTest, AReplacementThatDoesNotFitLeavesTheOldFileAndNoTemporaryFile) {
  Write("C:\\disk\\Unit.pas", "old text");
  FillBut(0);
  EXPECT_NE(WriteError("C:\\disk\\Unit.pas", std::string(100000, 'n')).find("No space left on device"),
            std::string::npos);
  EXPECT_EQ(Read("C:\\disk\\Unit.pas"), "old text");
  EXPECT_EQ(Everything("C:\\disk"), (std::vector<std::string>{"Unit.pas", "filler"}));
}

TEST_F(FilesTest, OnlyRegularFilesAreReadAndAnythingElseIsNamedAtOnce) {
  MakeFolder("C:\\P");
  ASSERT_EQ(::mkfifo(Host("C:\\P\\Unit.pas").c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", Host("C:\\P\\Zero.pas"));
  for (const char* name : {"C:\\P\\Unit.pas", "C:\\P\\Zero.pas"}) {
    try {
      platform::ReadFileText(name);  // neither waits for a writer nor reads for ever
      ADD_FAILURE() << name;
    } catch (const platform::FileError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Cannot open file \"") + name + "\". It is not a regular file");
    }
  }
  EXPECT_EQ(WriteError("C:\\P\\Unit.pas", "x"), "Cannot create file \"C:\\P\\Unit.pas\". It is not a regular file");
  EXPECT_TRUE(fs::is_fifo(Host("C:\\P\\Unit.pas")));
  EXPECT_TRUE(platform::NameTaken("C:\\P\\Unit.pas"));
  fs::create_symlink(Host("C:\\P\\nothing"), Host("C:\\P\\Dangling.OPN"));
  EXPECT_TRUE(platform::NameTaken("C:\\P\\Dangling.OPN"));
  EXPECT_FALSE(platform::NameTaken("C:\\P\\Missing.OPN"));
}

TEST_F(FilesTest, AFileWithoutWritePermissionIsNeitherDeletedNorRenamed) {
  Write("C:\\P\\App.pdb", "kept");
  Write("C:\\P\\App.exe", "kept too");
  fs::permissions(Host("C:\\P\\App.pdb"), fs::perms::owner_read | fs::perms::group_read);
  fs::permissions(Host("C:\\P\\App.exe"), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(platform::DeleteFile("C:\\P\\App.pdb"));
  EXPECT_FALSE(platform::RenameFile("C:\\P\\App.exe", "C:\\P\\App._xe"));
  EXPECT_EQ(Read("C:\\P\\App.pdb"), "kept");
  EXPECT_EQ(Read("C:\\P\\App.exe"), "kept too");
  EXPECT_FALSE(Exists("C:\\P\\App._xe"));
  // A file this user may not write, but whose folder allows the delete, goes.
  Write("C:\\P\\Other.pdb", "x");
  fs::permissions(Host("C:\\P\\Other.pdb"), fs::perms::owner_write | fs::perms::owner_read);
  EXPECT_TRUE(platform::DeleteFile("C:\\P\\Other.pdb"));
}

#endif

#ifdef _WIN32
#include <windows.h>
#undef CopyFile  // <windows.h> names these as macros; the tests below call the platform's
#undef DeleteFile

TEST_F(FilesTest, ARewriteKeepsTheNameAsOnDiskAndTheFilesAttributes) {
  Write("C:\\P\\MainForm.pas", "old");
  const std::string host = Host("C:\\P\\MainForm.pas");
  SetFileAttributesA(host.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  platform::WriteFileText("C:\\P\\MAINFORM.PAS", "new");  // as the user typed it
  EXPECT_EQ(Everything("C:\\P"), (std::vector<std::string>{"MainForm.pas"}));
  EXPECT_EQ(Read("C:\\P\\MainForm.pas"), "new");
  EXPECT_TRUE(GetFileAttributesA(host.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  // In place (a second link), a shorter text leaves nothing of the longer one.
  ASSERT_TRUE(CreateHardLinkA(Host("C:\\P\\Twin.pas").c_str(), host.c_str(), nullptr));
  platform::WriteFileText("C:\\P\\MainForm.pas", "a much longer text than before");
  platform::WriteFileText("C:\\P\\MainForm.pas", "short");
  EXPECT_EQ(Read("C:\\P\\Twin.pas"), "short");
}
#endif

TEST_F(FilesTest, AShorterTextWrittenInPlaceLeavesNothingOfTheLongerOldOne) {
  Write("C:\\P\\Unit1.pas", "a long old text that runs on\r\n");
  fs::create_hard_link(Host("C:\\P\\Unit1.pas"), Host("C:\\P\\Twin.pas"));
  platform::WriteFileText("C:\\P\\Unit1.pas", "new\r\n");
  EXPECT_EQ(Read("C:\\P\\Unit1.pas"), "new\r\n");
  EXPECT_EQ(Read("C:\\P\\Twin.pas"), "new\r\n");
}

TEST_F(FilesTest, WhereAnotherUserMayNotWriteTheProblemIsSaidBeforehand) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: a second user";
#else
  Write("C:\\P\\Unit1.pas", "old");
  ::chmod(Host("C:\\P\\Unit1.pas").c_str(), 0644);
  ::chmod(Host("C:\\P").c_str(), 0755);
  EXPECT_EQ(AsUnprivileged([] {
              if (::geteuid() == 0) return std::string();  // could not become another user: nothing to see
              const std::string file = platform::WriteProblem("C:\\P\\Unit1.pas");
              const std::string folder = platform::WriteProblem("C:\\P\\New.pas");
              if (file.empty()) return std::string("an existing file of root's reported writable");
              if (folder.find("its folder cannot be written") != 0) return "a new file in root's folder: " + folder;
              return std::string();
            }),
            "");
#endif
}

TEST_F(FilesTest, InsideAFolderMeansBelowItNeverTheFolderItselfOrBackOut) {
  MakeFolder("C:\\P\\Sub");
  EXPECT_TRUE(platform::IsInsideFolder("C:\\P\\Sub\\x.resources", "C:\\P\\"));
  EXPECT_TRUE(platform::IsInsideFolder("C:\\P\\x.resources", "C:\\P"));
  EXPECT_FALSE(platform::IsInsideFolder("C:\\P", "C:\\P\\"));
  EXPECT_FALSE(platform::IsInsideFolder("C:\\P\\.", "C:\\P\\"));
  EXPECT_FALSE(platform::IsInsideFolder("C:\\P\\..\\x.resources", "C:\\P\\"));
  EXPECT_FALSE(platform::IsInsideFolder("C:\\P\\Sub\\..\\..\\x", "C:\\P\\"));
  EXPECT_FALSE(platform::IsInsideFolder("C:\\PX\\x", "C:\\P\\"));
  EXPECT_TRUE(platform::MatchesMask("System", "System**"));
  EXPECT_TRUE(platform::MatchesMask("SYSTEM.DLL", "*.dll"));
}

TEST_F(FilesTest, UnderAChangePlanACopyAndATouchChangeNothingOnDisk) {
  Write("C:\\P\\A.resx", "<a/>");
  Write("C:\\P\\U.pas", "unit U;");
  const auto before = fs::last_write_time(Host("C:\\P\\U.pas")) - std::chrono::hours(1);
  fs::last_write_time(Host("C:\\P\\U.pas"), before);
  std::vector<platform::ChangePlan::Change> changes;
  {
    platform::ChangePlan plan;
    EXPECT_TRUE(plan.CopyFile("C:\\P\\A.resx", "C:\\P\\A.resources"));
    plan.TouchFile("C:\\P\\U.pas");
    EXPECT_TRUE(plan.FileExists("C:\\P\\A.resources"));  // as the work sees it
    changes = plan.Changes();
  }
  EXPECT_FALSE(Exists("C:\\P\\A.resources"));
  EXPECT_EQ(fs::last_write_time(Host("C:\\P\\U.pas")), before);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].What, platform::ChangePlan::Change::Write);
  EXPECT_EQ(changes[0].NewText, "<a/>");
}

TEST_F(FilesTest, ARewriteInPlaceThatCannotReserveItsRoomWritesNotOneByte) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: the reservation is fallocate's";
#else
  Write("C:\\P\\Unit.pas", "old");
  fs::create_hard_link(Host("C:\\P\\Unit.pas"), Host("C:\\P\\Twin.pas"));  // written in place
  const auto before = fs::last_write_time(Host("C:\\P\\Unit.pas")) - std::chrono::hours(1);
  fs::last_write_time(Host("C:\\P\\Unit.pas"), before);
  platform::SetReserveCall(+[](int, long long) { return ENOSPC; });  // as a full disk answers
  const std::string error = WriteError("C:\\P\\Unit.pas", "a longer new text");
  platform::SetReserveCall(nullptr);
  EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
  EXPECT_EQ(Read("C:\\P\\Twin.pas"), "old");
  EXPECT_EQ(fs::last_write_time(Host("C:\\P\\Unit.pas")), before);  // not even rewritten with the old text
#endif
}

TEST_F(FilesTest, AChangePlanRefusesWhatTheRealCallsRefuse) {
  Write("C:\\P\\Keep.exe", "kept");
  Write("C:\\P\\Other.exe", "other");
  Write("C:\\P\\Gone.resources", "x");
  fs::permissions(Host("C:\\P\\Keep.exe"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  platform::ChangePlan plan;
  EXPECT_FALSE(plan.DeleteFile("C:\\P\\Keep.exe"));                      // read-only
  EXPECT_FALSE(plan.RenameFile("C:\\P\\Other.exe", "C:\\P\\Keep.exe"));  // never over a file
  EXPECT_THROW(plan.WriteFileText("C:\\P\\Keep.exe", "new"), platform::FileError);
  EXPECT_TRUE(plan.DeleteFile("C:\\P\\Gone.resources"));
  EXPECT_EQ(plan.ListFiles("C:\\P", "*.*"), (std::vector<std::string>{"Keep.exe", "Other.exe"}));
  EXPECT_EQ(plan.Changes().size(), 1u);
}
