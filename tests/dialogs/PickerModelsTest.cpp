#include <filesystem>

#include "dialogs/PickerModels.h"
#include "platform/Files.h"
#include "tests/TestWorld.h"

using Texts = std::vector<std::string>;

class PickerModelsTest : public testing_world::TestWorld {
 protected:
  void SetUp() override {
    TestWorld::SetUp();
    for (const char* file : {"C:\\Emu\\Images\\ppc.bin", "C:\\Emu\\Images\\sp.CEM", "C:\\Emu\\Images\\notes.txt"})
      Write(file, "");
    MakeFolder("C:\\Emu\\Images\\Old");
    MakeFolder("C:\\Emu\\bin");
    platform::SetCurrentDir("C:\\Emu");
  }
  static Texts Shown(const dialogs::FolderBrowser& browser) {
    Texts shown;
    for (const auto& e : browser.Entries())
      shown.push_back(std::string(static_cast<size_t>(e.Indent), '.') + e.Name + (e.Open ? "-" : "+"));
    return shown;
  }
};

TEST_F(PickerModelsTest, TheDirectoryListShowsAncestorsThenSubFoldersAndMakesItsFolderCurrent) {
  dialogs::FolderBrowser browser;
  EXPECT_EQ(browser.Directory(), "C:\\Emu");
  EXPECT_EQ(Shown(browser), (Texts{"C:\\-", ".Emu-", "..bin+", "..Images+"}));
  browser.Open(browser.Entries()[3].Path);
  EXPECT_EQ(platform::GetCurrentDir(), "C:\\Emu\\Images");
  EXPECT_EQ(Shown(browser), (Texts{"C:\\-", ".Emu-", "..Images-", "...Old+"}));
  EXPECT_TRUE(browser.ChangeDrive("C:"));
  EXPECT_EQ(browser.Directory(), "C:\\");  // a drive root keeps its "\"
  EXPECT_EQ(browser.Drive(), "C:");
  EXPECT_EQ(dialogs::FolderBrowser::Drives(), (Texts{"C:", "Z:"}));
  // A folder that vanished is an error that names it; nothing changes.
  EXPECT_THROW(browser.Open("C:\\Gone"), platform::FileError);
  EXPECT_EQ(browser.Directory(), "C:\\");
}

TEST_F(PickerModelsTest, TheFilePickerListsWhatTheMaskMatchesAndReportsAsSpecified) {
  dialogs::FileDlgModel picker;
  picker.Start();
  EXPECT_EQ(picker.FileMask, "*.*");
  picker.FileMask = "*.bin;*.cem";
  picker.DirectoryListBox1.Open("C:\\Emu\\Images");
  picker.RefreshFiles();
  EXPECT_EQ(picker.FileListBox1, (Texts{"ppc.bin", "sp.CEM"}));

  picker.Accept();  // with no file selected
  EXPECT_TRUE(picker.Accepted);
  EXPECT_EQ(picker.ChosenDirectory, "C:\\Emu\\Images");
  EXPECT_EQ(picker.ChosenFile, "");
  picker.FileIndex = 1;
  picker.Accept();
  EXPECT_EQ(picker.ChosenFile, "C:\\Emu\\Images\\sp.CEM");
  picker.Cancel();
  EXPECT_FALSE(picker.Accepted);
  EXPECT_EQ(picker.ChosenFile, "");
  EXPECT_EQ(picker.ChosenDirectory, "");
}

TEST_F(PickerModelsTest, ThePathPickerStartsWithTheCurrentFolderAndCancelForgetsIt) {
  dialogs::PathDlgModel picker;
  picker.Start();
  EXPECT_FALSE(picker.Accepted);
  EXPECT_EQ(picker.ChosenDirectory, "C:\\Emu");
  picker.DirectoryListBox1.Open("C:\\Emu\\bin");
  picker.Accept();
  EXPECT_TRUE(picker.Accepted);
  EXPECT_EQ(picker.ChosenDirectory, "C:\\Emu\\bin");
  picker.Cancel();
  EXPECT_FALSE(picker.Accepted);
  EXPECT_EQ(picker.ChosenDirectory, "");
}

// Drive C: made of links, as ./run --ide makes it: a folder reached through
// a link keeps the path the user sees, never the link's target.
TEST_F(PickerModelsTest, AFolderReachedThroughALinkKeepsThePathTheUserSees) {
  std::filesystem::create_directories(root_ + "/toolchain/Borland/bin");
  MakeFolder("C:\\Program Files");
  std::filesystem::create_directory_symlink(root_ + "/toolchain/Borland", Host("C:\\Program Files") + "/Borland");
  dialogs::FolderBrowser browser;
  browser.Open("C:\\Program Files\\Borland\\bin");
  EXPECT_EQ(browser.Directory(), "C:\\Program Files\\Borland\\bin");
  EXPECT_EQ(platform::GetCurrentDir(), "C:\\Program Files\\Borland\\bin");
  browser.Open("..");
  EXPECT_EQ(browser.Directory(), "C:\\Program Files\\Borland");
  dialogs::PathDlgModel picker;
  picker.Start();
  picker.Accept();
  EXPECT_EQ(picker.ChosenDirectory, "C:\\Program Files\\Borland");
}
