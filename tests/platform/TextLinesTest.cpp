#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/DateTime.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "platform/TextLines.h"
#include "tests/TestWorld.h"

using platform::Lines;

TEST(TextLines, EveryKindOfLineBreakEndsALineAndAFinalBreakAddsNone) {
  EXPECT_EQ(platform::SplitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(platform::SplitLines("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(platform::SplitLines("a\r\r\n\nb"), (Lines{"a", "", "", "b"}));
  EXPECT_EQ(platform::SplitLines(""), Lines{});
  EXPECT_EQ(platform::SplitLines("\r\n"), (Lines{""}));
}

TEST(TextLines, WritingPutsCrLfAfterEveryLineSoLoneCrsSplitOnTheNextRead) {
  Lines lines{"one\rtwo", "", "three"};
  std::string text = platform::JoinLines(lines);
  EXPECT_EQ(text, "one\rtwo\r\n\r\nthree\r\n");
  EXPECT_EQ(platform::SplitLines(text), (Lines{"one", "two", "", "three"}));
}

TEST(TextLines, NameLookupIgnoresCaseTakesTheFirstLineAndKeepsLaterEquals) {
  Lines lines{"no equals here", "Key=first", "KEY=second", "Url=a=b=c", "Empty=", "=nameless"};
  EXPECT_EQ(platform::ValueOf(lines, "key"), "first");
  EXPECT_EQ(platform::ValueOf(lines, "url"), "a=b=c");
  EXPECT_EQ(platform::ValueOf(lines, "Empty"), "");
  EXPECT_EQ(platform::IndexOfName(lines, "Empty"), 4);
  EXPECT_EQ(platform::IndexOfName(lines, "no equals here"), -1);
  EXPECT_EQ(platform::IndexOfName(lines, "Missing"), -1);
}

TEST(Text, IntegersReadWholeWithLeadingBlanksAndASign) {
  EXPECT_EQ(platform::ParseInt("  42"), 42);
  EXPECT_EQ(platform::ParseInt("-7"), -7);
  EXPECT_EQ(platform::ParseInt("+3"), 3);
  EXPECT_FALSE(platform::ParseInt("3 "));
  EXPECT_FALSE(platform::ParseInt("x"));
  EXPECT_FALSE(platform::ParseInt(""));
  EXPECT_FALSE(platform::ParseInt("-"));
  EXPECT_FALSE(platform::ParseInt("99999999999"));
}

TEST(DateTime, PatternsOfTheSystem) {
  platform::DateTime t{2007, 3, 5, 9, 4, 7, 12};
  EXPECT_EQ(platform::FormatDateTime("yyyy/mm/dd", t), "2007/03/05");
  EXPECT_EQ(platform::FormatDateTime("yyyy/mm/dd hh:nn:ss", t), "2007/03/05 09:04:07");
  EXPECT_EQ(platform::FormatDateTime("hh:mm", t), "09:04");
  EXPECT_EQ(platform::FormatDateTime("yyyy-mm-dd\"T\"hh:nn:ss.zzz", t), "2007-03-05T09:04:07.012");
  EXPECT_EQ(platform::FormatDateTime("yyyy/mm/dd hh:nn:ss", platform::ZeroDateTime), "1899/12/30 00:00:00");
}

class FilesTest : public testing_world::TestWorld {};

TEST_F(FilesTest, SaveReplacesTheFileAndKeepsItsPermissions) {
  Write("C:\\f.txt", "old");
  ::chmod(Host("C:\\f.txt").c_str(), 0640);
  platform::SaveLines("C:\\f.txt", {"new"});
  EXPECT_EQ(Read("C:\\f.txt"), "new\r\n");
  struct stat st;
  ::stat(Host("C:\\f.txt").c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(FilesTest, SavingThroughALinkReplacesTheLinkedFileAndKeepsTheLink) {
  Write("C:\\real\\Unit1.pas", "old");
  MakeFolder("C:\\P");
  ::symlink(Host("C:\\real\\Unit1.pas").c_str(), (Host("C:\\P") + "/Unit1.pas").c_str());
  platform::SaveLines("C:\\P\\Unit1.pas", {"new"});
  struct stat st;
  ::lstat(Host("C:\\P\\Unit1.pas").c_str(), &st);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Read("C:\\real\\Unit1.pas"), "new\r\n");
}

TEST_F(FilesTest, AFailedWriteLeavesTheOldFileWholeAndNamesTheFile) {
  if (::geteuid() == 0) {
    // root writes anywhere; a folder in the file's place makes it fail instead
    MakeFolder("C:\\locked\\f.txt");
    EXPECT_THROW(platform::SaveLines("C:\\locked\\f.txt", {"x"}), platform::FileError);
    return;
  }
  Write("C:\\locked\\f.txt", "precious");
  ::chmod(Host("C:\\locked").c_str(), 0500);
  try {
    platform::SaveLines("C:\\locked\\f.txt", {"x"});
    FAIL() << "the write should fail";
  } catch (const platform::FileError& e) {
    EXPECT_NE(std::string(e.what()).find("C:\\locked\\f.txt"), std::string::npos);
  }
  ::chmod(Host("C:\\locked").c_str(), 0700);
  EXPECT_EQ(Read("C:\\locked\\f.txt"), "precious");
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
}
