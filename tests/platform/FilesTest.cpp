#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>

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
