#include "settings/OptionsFile.h"
#include "tests/builddialog/DialogFixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "platform/Files.h"
#include "platform/TextLines.h"

namespace {

const char* const CF2Layout =
    "BDS_Compiler_Path=C:\\Program Files\\Borland\\BDS\\4.0\\Bin\r\n"
    "BDS_Lib_Path=C:\\Program Files\\Borland\\BDS\\4.0\\Lib\\cf\\CF2X_Lib\r\n"
    "MS_CF_Assembly_Version=v2.0.50727\r\n"
    "MS_Assembly_Path=C:\\CF2\r\n"
    "MS_Assembly_Count=2\r\n"
    "MS_Assembly_0=a.DLL\r\n"
    "MS_Assembly_1=b.dll\r\n"
    "Delphi_Assembly_Path=C:\\Program Files\\Common Files\\Borland Shared\\BDS\\Shared Assemblies\\4.0\r\n"
    "Delphi_Assembly_Count=0\r\n"
    "Third_Assembly_Path=C:\\Program Files\\Borland\\BDS\\4.0\\Lib\\cf\\CF1X_Assembly\r\n"
    "Third_Assembly_Count=0\r\n"
    "MS_CF_Emulator_Application=\r\n"
    "MS_CF_Emulator_Image_FileName=\r\n"
    "MS_CF_Emulator_Shared_Folder=TestData\r\n"
    "MS_CF_Emulator_Screen_Width=240\r\n"
    "MS_CF_Emulator_Screen_Height=320\r\n"
    "MS_CF_Emulator_Ram_Size=64\r\n"
    "MS_CF_Auto_Depoly_To_Emulator=N\r\n";

}  // namespace

TEST_F(DialogTest, AUserSessionSavesTheExactLayoutAndTheReloadChecksEveryEntry) {
  testing_world::OpenProject("C:\\P\\Project1.dpr");
  Write("C:\\CF2\\a.DLL", "");
  Write("C:\\CF2\\b.dll", "");
  Write("C:\\CF2\\c.txt", "");
  OpenDialog();

  dialog->CB_CFVer.ItemIndex = 1;
  messages.answers = {true};
  dialog->SwitchFrameworkProfile();
  pickers.answers = {{true, "C:\\CF2\\", ""}};
  dialog->FillCatalogue(settings::Catalogue::Microsoft);
  dialog->MS_Assmbly_List.SetChecked(1, false);
  dialog->Chk_Is_Auto_Depoly = false;
  dialog->SaveOptions();

  EXPECT_EQ(Read("C:\\P\\CFOption.OPN"), CF2Layout);
  EXPECT_EQ(Entries(dialog->MS_Assmbly_List), (Texts{"a.DLL+", "b.dll+"}));
  EXPECT_EQ(dialog->CB_CFVer.ItemIndex, 1);
  EXPECT_EQ(dialog->CFOptions.MS_CF_Assembly_Version, "v2.0.50727");
  EXPECT_EQ(dialog->CFOptions.MS_Assembly_Path, "C:\\CF2");
  EXPECT_FALSE(dialog->CFOptions.Loading);
  EXPECT_TRUE(messages.errors.empty());
}

TEST_F(DialogTest, AnOptionsFileLoadsAndSavesBackByteForByte) {
  testing_world::OpenProject("C:\\P\\Project1.dpr");
  std::string file = CF2Layout;
  file.replace(file.find("=N\r\n"), 4, "=Y\r\n");
  Write("C:\\P\\CFOption.OPN", file);
  OpenDialog();
  EXPECT_TRUE(dialog->Chk_Is_Auto_Depoly);
  dialog->SaveOptions();
  EXPECT_EQ(Read("C:\\P\\CFOption.OPN"), file);
}

TEST_F(DialogTest, KeysInAnyCaseFirstLineWinsAndBadEntriesAreSkipped) {
  testing_world::OpenProject("C:\\P\\Project1.dpr");
  Write("C:\\P\\CFOption.OPN",
        "junk line without equals\n"
        "ms_assembly_count=4\n"
        "MS_ASSEMBLY_COUNT=1\n"
        "ms_assembly_0=  Zeta.dll  \r\n"
        "MS_Assembly_1=   \r"
        "MS_Assembly_3=alpha.dll\n"
        "MS_Assembly_3=second.dll\n"
        "MS_Assembly_4=beyond.dll\n"
        "Delphi_Assembly_Count=3 \n"
        "Delphi_Assembly_0=x.dll\n"
        "Third_Assembly_Count=2\n"
        "Third_Assembly_01=leading-zero.dll\n"
        "Third_Assembly_1=t.dll\n"
        "MS_CF_Emulator_Application=C:\\Emu\\a=b.exe\n"
        "MS_CF_Emulator_Screen_Width=\n"
        "DepolyFolder=ignored\n"
        "MS_CF_Auto_Depoly_To_Emulator=y\n");
  OpenDialog();
  EXPECT_EQ(Entries(dialog->MS_Assmbly_List), (Texts{"alpha.dll+", "Zeta.dll+"}));
  EXPECT_EQ(Entries(dialog->Delphi_Assmbly_List), Texts{});  // "3 " counts as 0
  EXPECT_EQ(Entries(dialog->Third_Assmbly_List), (Texts{"t.dll+"}));
  EXPECT_EQ(dialog->Ed_Emulator_App.Text(), "C:\\Emu\\a=b.exe");
  EXPECT_EQ(dialog->Ed_Emulator_Screen_Width.Text(), "");      // present but empty
  EXPECT_EQ(dialog->Ed_Emulator_Screen_Height.Text(), "320");  // missing
  EXPECT_EQ(dialog->Ed_Emulator_Ram_Size.Text(), "");          // missing: no fallback, unlike the screen size
  EXPECT_FALSE(dialog->Chk_Is_Auto_Depoly);                    // only "Y" checks it
  EXPECT_EQ(dialog->CFOptions.MS_CF_Auto_Depoly_To_Emulator, "y");
}

TEST_F(DialogTest, AnUnknownVersionLeavesNoSelectionAndFallsBackToTheOldKey) {
  testing_world::OpenProject("C:\\P\\Project1.dpr");
  Write("C:\\P\\CFOption.OPN", "MS_CF_Assembly_Version=V2.0.50727\r\nDotNet_Assembly_Version=v9\r\n");
  OpenDialog();
  EXPECT_EQ(dialog->CB_CFVer.ItemIndex, -1);
  EXPECT_EQ(dialog->CFOptions.MS_CF_Assembly_Version, "v9");
  EXPECT_TRUE(messages.asked.empty());  // the load never asks
  platform::Lines saved = dialog->OptionsFileLines();
  EXPECT_EQ(platform::IndexOfName(saved, "MS_CF_Assembly_Version"), -1);
  EXPECT_EQ(saved.size(), 15u);
}

TEST_F(DialogTest, LoadingWithoutAFileResetsTheRecordButNotTheControls) {
  testing_world::OpenProject("C:\\P\\Project1.dpr");
  Write("C:\\P\\CFOption.OPN",
        "BDS_Compiler_Path=C:\\Mine\r\nMS_CF_Assembly_Version=v2.0.50727\r\nMS_Assembly_Count=1\r\n"
        "MS_Assembly_0=m.dll\r\nMS_CF_Emulator_Screen_Width=480\r\nMS_CF_Emulator_Shared_Folder=Share\r\n");
  OpenDialog();
  ASSERT_EQ(dialog->EdDCCIL_Path.Text(), "C:\\Mine");

  // Another project, in a folder without an options file.
  MakeFolder("C:\\Q");
  testing_world::OpenProject("C:\\Q\\Other.dpr");
  OpenDialog();
  EXPECT_EQ(dialog->CFOptions.BDS_Compiler_Path, "");
  EXPECT_EQ(dialog->CFOptions.MS_CF_Assembly_Version, "v1.1.4322");
  EXPECT_EQ(dialog->CFOptions.MS_CF_Emulator_Shared_Folder, "");
  EXPECT_EQ(dialog->CFOptions.ProjectPath, "C:\\Q\\");
  EXPECT_EQ(dialog->EdDCCIL_Path.Text(), "C:\\Mine");
  EXPECT_EQ(dialog->CB_CFVer.ItemIndex, 1);
  EXPECT_EQ(Entries(dialog->MS_Assmbly_List), (Texts{"m.dll+"}));
  EXPECT_EQ(dialog->Ed_Shared_Folder.Text(), "Share");
  EXPECT_EQ(dialog->Ed_Emulator_Screen_Width.Text(), "240");
}

TEST_F(DialogTest, ANewDialogWithoutAFileSavesItsDesignValues) {
  testing_world::OpenProject("C:\\P\\Project1.dpr");
  OpenDialog();
  dialog->SaveOptions();
  EXPECT_EQ(Read("C:\\P\\CFOption.OPN"),
            "BDS_Compiler_Path=C:\\Program Files\\Borland\\BDS\\4.0\\Bin\r\n"
            "BDS_Lib_Path=C:\\Program Files\\Borland\\BDS\\4.0\\Lib\\cf\\CF1X_Lib\r\n"
            "MS_Assembly_Path=C:\\Program Files\\Borland\\BDS\\4.0\\Lib\\cf\\CF1X_Assembly\r\n"
            "MS_Assembly_Count=0\r\n"
            "Delphi_Assembly_Path=C:\\Program Files\\Common Files\\Borland Shared\\BDS\\Shared Assemblies\\4.0\r\n"
            "Delphi_Assembly_Count=0\r\n"
            "Third_Assembly_Path=C:\\Program Files\\Borland\\BDS\\4.0\\Lib\\cf\\CF1X_Assembly\r\n"
            "Third_Assembly_Count=0\r\n"
            "MS_CF_Emulator_Application=\r\n"
            "MS_CF_Emulator_Image_FileName=\r\n"
            "MS_CF_Emulator_Shared_Folder=TestData\r\n"
            "MS_CF_Emulator_Screen_Width=240\r\n"
            "MS_CF_Emulator_Screen_Height=320\r\n"
            "MS_CF_Emulator_Ram_Size=64\r\n"
            "MS_CF_Auto_Depoly_To_Emulator=Y\r\n");
  // The reload finds no version: the version string is empty, no selection.
  EXPECT_EQ(dialog->CB_CFVer.ItemIndex, -1);
  EXPECT_EQ(dialog->CFOptions.MS_CF_Assembly_Version, "");
}

TEST_F(DialogTest, AnUnreadableFileIsReportedAndStopsTheLoad) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: a file that fails every read (a link to /proc/self/mem)";
#else
  testing_world::OpenProject("C:\\P\\Project1.dpr");
  platform::SetCurrentDir("C:\\P");
  dialog->MS_Assmbly_List.Add("kept.dll");
  // A file that exists but fails every read, even for root.
  ::symlink("/proc/self/mem", Host("C:\\P\\CFOption.OPN").c_str());
  EXPECT_FALSE(dialog->LoadWithLoadingFlag());
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_NE(messages.errors[0].find("CFOption.OPN"), std::string::npos);
  EXPECT_EQ(dialog->MS_Assmbly_List.Count(), 0);
  EXPECT_EQ(dialog->CFOptions.ProjectPath, "");
  EXPECT_FALSE(dialog->CFOptions.Loading);
#endif
}

TEST_F(DialogTest, AnOptionsFileThatIsThereButNoFileIsAnErrorNotAMissingFile) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: FIFOs and symbolic links";
#else
  testing_world::OpenProject("C:\\P\\Project1.dpr");
  platform::SetCurrentDir("C:\\P");
  const std::string host = Host("C:\\P\\CFOption.OPN");
  const std::vector<std::function<void()> > makers = {
      [&] { std::filesystem::create_directory(host); },
      [&] { ::mkfifo(host.c_str(), 0644); },  // would wait for a writer for ever
      [&] { std::filesystem::create_symlink(host + ".gone", host); },
      [&] { std::filesystem::create_symlink(host, host); },
  };
  for (const auto& make : makers) {
    std::filesystem::remove(host);
    make();
    messages.errors.clear();
    EXPECT_FALSE(dialog->LoadWithLoadingFlag());
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_NE(messages.errors[0].find("\"CFOption.OPN\""), std::string::npos) << messages.errors[0];
  }
#endif
}

TEST_F(DialogTest, AByteOrderMarkDoesNotHideTheFirstKey) {
  testing_world::OpenProject("C:\\P\\Project1.dpr");
  platform::SetCurrentDir("C:\\P");
  Write("C:\\P\\CFOption.OPN",
        "\xEF\xBB\xBF"
        "BDS_Compiler_Path=C:\\Delphi\\Bin\r\nMS_Assembly_Path=C:\\M\r\n");
  EXPECT_TRUE(dialog->LoadWithLoadingFlag());
  EXPECT_EQ(dialog->EdDCCIL_Path.Text(), "C:\\Delphi\\Bin");
}

TEST_F(DialogTest, AFailedSaveIsReportedAndTheDialogKeepsItsState) {
  testing_world::OpenProject("C:\\P\\Project1.dpr");
  OpenDialog();
  dialog->Ed_Shared_Folder.SetText("Changed");
  MakeFolder("C:\\P\\CFOption.OPN");
  dialog->SaveOptions();
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_NE(messages.errors[0].find("CFOption.OPN"), std::string::npos);
  EXPECT_EQ(dialog->Ed_Shared_Folder.Text(), "Changed");
}

TEST_F(DialogTest, WithoutAProjectTheSaveWritesNothingAndSaysWhy) {
  MakeFolder("C:\\Somewhere");
  platform::SetCurrentDir("C:\\Somewhere");
  dialog->LoadWithLoadingFlag();
  EXPECT_EQ(dialog->CFOptions.ProjectPath, "");
  dialog->SaveOptions();
  EXPECT_FALSE(Exists("C:\\CFOption.OPN"));
  EXPECT_FALSE(Exists("C:\\Somewhere\\CFOption.OPN"));
  EXPECT_EQ(messages.shown, (Texts{builddialog::NoProjectToSaveMessage}));
}

TEST_F(DialogTest, DamagedOptionsFilesLoadWithoutFailing) {
  testing_world::OpenProject("C:\\P\\Project1.dpr");
  const std::string cases[] = {
      std::string("\xEF\xBB\xBF") + "MS_Assembly_Count=1\r\nMS_Assembly_0=bom.dll\r\n",  // a byte-order mark
      "MS_Assembly_Count=2147483647\nMS_Assembly_2147483646=last.dll\n",                 // a huge count
      "MS_Assembly_Count=-5\nMS_Assembly_0=x.dll\n",
      std::string(200000, 'x') + "=" + std::string(200000, 'y') + "\n",  // a very long line
      std::string("\0\0=\0\r\r\n\n=", 10),
      "=\n==\n",
  };
  platform::SetCurrentDir("C:\\P");
  for (const std::string& file : cases) {
    Write("C:\\P\\CFOption.OPN", file);
    messages.errors.clear();
    EXPECT_TRUE(dialog->LoadWithLoadingFlag());
    EXPECT_TRUE(messages.errors.empty());
  }
  Write("C:\\P\\CFOption.OPN", cases[1]);
  dialog->LoadWithLoadingFlag();
  EXPECT_EQ(Entries(dialog->MS_Assmbly_List), (Texts{"last.dll+"}));
}

TEST(OptionsFileFormat, OnlyYIsSavedAsYAndEntriesAreNumberedFromZero) {
  settings::OptionsFileContent content;
  content.Catalogues[0].Entries = {"a.dll", "b.dll"};
  for (const char* value : {"y", "yes", "", "N"}) {
    content.AutoDeploy = value;
    EXPECT_EQ(settings::FormatOptionsFile(content).back(), "MS_CF_Auto_Depoly_To_Emulator=N") << value;
  }
  content.AutoDeploy = "Y";
  const platform::Lines lines = settings::FormatOptionsFile(content);
  EXPECT_EQ(lines.back(), "MS_CF_Auto_Depoly_To_Emulator=Y");
  EXPECT_EQ(platform::ValueOf(lines, "MS_Assembly_0"), "a.dll");
  EXPECT_EQ(platform::ValueOf(lines, "MS_Assembly_1"), "b.dll");
}

TEST(OptionsFileFormat, AScreenSizeMissingFromTheFileIs240By320AndAnEmptyOneStaysEmpty) {
  const settings::OptionsFileContent missing = settings::ParseOptionsFile({"BDS_Compiler_Path=C:\\Bin"});
  EXPECT_EQ(missing.ScreenWidth, "240");
  EXPECT_EQ(missing.ScreenHeight, "320");
  const settings::OptionsFileContent empty =
      settings::ParseOptionsFile({"MS_CF_Emulator_Screen_Width=", "MS_CF_Emulator_Screen_Height="});
  EXPECT_EQ(empty.ScreenWidth, "");
  EXPECT_EQ(empty.ScreenHeight, "");
}
