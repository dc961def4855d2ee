#include <filesystem>

#include "platform/FileSystem.h"
#include "pipeline/Cleanup.h"
#include "tests/pipeline/BuildFixture.h"

class CleanupTest : public testing_world::TestWorld {};

TEST_F(CleanupTest, StaleCompanionFilesAndEveryResourcesFileGo) {
  for (const char* f : {"Project1.identcache", "Project1.pdb", "Project1.rsp", "Project1.bdsproj.local", "a.resources",
                        "B.RESOURCES", "Project1.bdsproj", "Project1.res", "Other.pdb"})
    Write(std::string("C:\\P\\") + f, "");
  pipeline::DeleteStaleCompanionFiles(platform::DiskFiles(), "C:\\P\\", "Project1");
  EXPECT_EQ(platform::ListFiles("C:\\P", "*"),
            (std::vector<std::string>{"Other.pdb", "Project1.bdsproj", "Project1.res"}));
}

TEST_F(CleanupTest, OneGenerationOfTheOutputProgramIsKept) {
  Write("C:\\P\\App.exe", "new");
  Write("C:\\P\\App._xe", "old");
  pipeline::BackupOutputProgram(platform::DiskFiles(), "C:\\P\\", "App");
  EXPECT_EQ(Read("C:\\P\\App._xe"), "new");
  EXPECT_FALSE(Exists("C:\\P\\App.exe"));
  pipeline::BackupOutputProgram(platform::DiskFiles(), "C:\\P\\", "App");
  EXPECT_FALSE(Exists("C:\\P\\App._xe"));
}

TEST_F(CleanupTest, SupportUnitsAreDeletedFromTheLibraryFolder) {
  for (const char* f : {"System.Drawing.Font.dcuil", "System.Drawing.GraphicsUnit.dcuil",
                        "System.ComponentModel.WindowsCE.dcuil", "Other.dcuil"})
    Write(std::string("C:\\Lib\\") + f, "");
  pipeline::RemoveCFSupportUnits(platform::DiskFiles(), "C:\\Lib");
  EXPECT_EQ(platform::ListFiles("C:\\Lib", "*"), (std::vector<std::string>{"Other.dcuil"}));
}

TEST_F(CleanupTest, ReferenceFilesOfEveryCatalogueEntryGoCheckedOrNot) {
  settings::CatalogueEntries ms{{"System.Windows.Forms.dll", true}}, delphi{{"MyLib.DLL", false}}, third{{"ab", true}};
  for (const char* f : {"System.Windows.Forms.dcpil", "MyLib.dcpil", "Keep.dcpil", "ab"})
    Write(std::string("C:\\P\\") + f, "");
  pipeline::DelPjAllDcpil(platform::DiskFiles(), "C:\\P\\", {&ms, &delphi, &third});
  EXPECT_EQ(platform::ListFiles("C:\\P", "*"), (std::vector<std::string>{"ab", "Keep.dcpil"}));
}

TEST_F(CleanupTest, ABlankProjectFolderDeletesNothingEvenInTheCurrentFolder) {
  // Without the guard, a blank folder would name files of the current folder.
  settings::CatalogueEntries ms{{"MyLib.dll", true}};
  Write("C:\\P\\MyLib.dcpil", "");
#ifndef _WIN32  // Windows names hold no tab
  Write("C:\\P\\ \tMyLib.dcpil", "");
#endif
  platform::SetCurrentDir("C:\\P");
  for (const char* blank : {"", " \t"}) pipeline::DelPjAllDcpil(platform::DiskFiles(), blank, {&ms});
  EXPECT_TRUE(Exists("C:\\P\\MyLib.dcpil"));
#ifndef _WIN32
  EXPECT_TRUE(Exists("C:\\P\\ \tMyLib.dcpil"));
#endif
}

TEST_F(CleanupTest, ReadOnlyFilesAndFilesOutsideTheProjectStay) {
  for (const char* f : {"P\\Project1.pdb", "P\\Stale.resources", "P\\System.dcpil", "P\\Project1.exe", "Outside.dcpil"})
    Write(std::string("C:\\") + f, "committed");
  // No write permission: the read-only attribute on Windows.
  for (const char* f : {"P\\Project1.pdb", "P\\Stale.resources", "P\\System.dcpil", "P\\Project1.exe"})
    std::filesystem::permissions(Host(std::string("C:\\") + f), std::filesystem::perms::owner_read);
  pipeline::DeleteStaleCompanionFiles(platform::DiskFiles(), "C:\\P\\", "Project1");
  pipeline::BackupOutputProgram(platform::DiskFiles(), "C:\\P\\", "Project1");
  settings::CatalogueEntries ms{{"System.dll", true}, {"..\\Outside.dll", true}};
  pipeline::DelPjAllDcpil(platform::DiskFiles(), "C:\\P\\", {&ms});
  EXPECT_EQ(platform::ListFiles("C:\\P", "*"),
            (std::vector<std::string>{"Project1.exe", "Project1.pdb", "Stale.resources", "System.dcpil"}));
  EXPECT_EQ(Read("C:\\Outside.dcpil"), "committed");
#ifndef _WIN32
  // An entry with a drive or a stream names nothing sound: on Windows it is
  // another drive's file or a stream of another file, so here too it stays.
  Write("C:\\P\\Evil:Stream.dcpil", "kept");
  settings::CatalogueEntries streams{{"Evil:Stream.dll", true}};
  pipeline::DelPjAllDcpil(platform::DiskFiles(), "C:\\P\\", {&streams});
  EXPECT_EQ(Read("C:\\P\\Evil:Stream.dcpil"), "kept");
#endif
}
