#include <filesystem>

#include "tests/builddialog/DialogFixture.h"

#include "platform/Files.h"

// --- the path rule ---

TEST_F(DialogTest, PathEditsDropTrailingBackslashesAndBlanksInEditAndRecord) {
  dialog->Ed_BDS_Lib_Path.SetText("C:\\Lib\\");
  EXPECT_EQ(dialog->Ed_BDS_Lib_Path.Text(), "C:\\Lib");
  EXPECT_EQ(dialog->CFOptions.BDS_Lib_Path, "C:\\Lib");

  dialog->Ed_BDS_Lib_Path.SetText("  C:\\Lib\\ \\");
  EXPECT_EQ(dialog->Ed_BDS_Lib_Path.Text(), "C:\\Lib");
  EXPECT_EQ(dialog->CFOptions.BDS_Lib_Path, "C:\\Lib");

  dialog->EdDCCIL_Path.SetText("C:\\");
  EXPECT_EQ(dialog->EdDCCIL_Path.Text(), "C:");
  EXPECT_EQ(dialog->CFOptions.BDS_Compiler_Path, "C:");

  dialog->Ed_Third_Assembly_LinkPath.SetText("");
  EXPECT_EQ(dialog->CFOptions.Third_Assembly_Path, "");
  dialog->Ed_Delphi_Assembly_LinkPath.SetText(" \\ ");
  EXPECT_EQ(dialog->Ed_Delphi_Assembly_LinkPath.Text(), "");
  EXPECT_EQ(dialog->CFOptions.Delphi_Assembly_Path, "");
}

TEST_F(DialogTest, SettingTheTextAnEditAlreadyShowsLeavesTheRecordAlone) {
  dialog->CFOptions.MS_Assembly_Path = "record value";
  dialog->Ed_MS_Assembly_LinkPath.SetText(dialog->Ed_MS_Assembly_LinkPath.Text());
  EXPECT_EQ(dialog->CFOptions.MS_Assembly_Path, "record value");
  dialog->KeepAssemblyFolderAsTyped(settings::Catalogue::Microsoft);
  EXPECT_EQ(dialog->CFOptions.MS_Assembly_Path, dialog->Ed_MS_Assembly_LinkPath.Text());
}

// --- framework profiles ---

TEST_F(DialogTest, SwitchingProfileAnsweredYesSetsFoldersAndVersionButKeepsCatalogues) {
  dialog->MS_Assmbly_List.Add("Old.dll");
  dialog->CB_CFVer.ItemIndex = 1;
  messages.answers = {true};
  dialog->SwitchFrameworkProfile();
  EXPECT_EQ(messages.asked, (Texts{"Exchange to another .Net Version ?"}));
  EXPECT_EQ(dialog->Ed_BDS_Lib_Path.Text(), "C:\\Program Files\\Borland\\BDS\\4.0\\Lib\\cf\\CF2X_Lib");
  EXPECT_EQ(dialog->CFOptions.BDS_Lib_Path, "C:\\Program Files\\Borland\\BDS\\4.0\\Lib\\cf\\CF2X_Lib");
  EXPECT_EQ(dialog->CFOptions.MS_Assembly_Path, "C:\\Program Files\\Borland\\BDS\\4.0\\Lib\\cf\\CF2X_Assembly");
  EXPECT_EQ(dialog->CFOptions.MS_CF_Assembly_Version, "v2.0.50727");
  EXPECT_EQ(dialog->MS_Assmbly_List.Count(), 1);
}

TEST_F(DialogTest, SwitchingProfileAnsweredNoKeepsFoldersAndVersionButTheSaveWritesTheEntryShown) {
  dialog->Ed_BDS_Lib_Path.SetText("C:\\Mine");
  dialog->CFOptions.MS_CF_Assembly_Version = "v2.0.50727";
  dialog->CB_CFVer.ItemIndex = 0;
  messages.answers = {false};
  dialog->SwitchFrameworkProfile();
  EXPECT_EQ(dialog->Ed_BDS_Lib_Path.Text(), "C:\\Mine");
  EXPECT_EQ(dialog->CFOptions.MS_CF_Assembly_Version, "v2.0.50727");
  EXPECT_EQ(dialog->OptionsFileLines()[2], "MS_CF_Assembly_Version=v1.1.4322");
}

TEST_F(DialogTest, NoQuestionWhileLoading) {
  dialog->CFOptions.Loading = true;
  dialog->CB_CFVer.ItemIndex = 1;
  dialog->SwitchFrameworkProfile();
  EXPECT_TRUE(messages.asked.empty());
  EXPECT_EQ(dialog->CFOptions.MS_CF_Assembly_Version, "v1.1.4322");
}

// --- catalogues ---

TEST_F(DialogTest, FillingACatalogueListsItsDllFilesSortedAndChecked) {
  Write("C:\\Asm\\b.dll", "");
  Write("C:\\Asm\\A.DLL", "");
  Write("C:\\Asm\\c.txt", "");
  MakeFolder("C:\\P");
  dialog->CFOptions.ProjectPath = "C:\\P\\";
  pickers.browseTo = "C:\\Asm";
  pickers.answers = {{true, "C:\\Asm\\", ""}};
  dialog->Delphi_Assmbly_List.Add("stale.dll");
  dialog->FillCatalogue(settings::Catalogue::Delphi);
  EXPECT_EQ(pickers.masks, (Texts{"dll"}));
  EXPECT_EQ(Entries(dialog->Delphi_Assmbly_List), (Texts{"A.DLL+", "b.dll+"}));
  EXPECT_EQ(dialog->Ed_Delphi_Assembly_LinkPath.Text(), "C:\\Asm");
  EXPECT_EQ(dialog->CFOptions.Delphi_Assembly_Path, "C:\\Asm");
  EXPECT_EQ(platform::GetCurrentDir(), "C:\\P");  // the project folder is current again
}

TEST_F(DialogTest, CancellingAFillChangesNothingAndPickersStartAtCWhenTheFolderIsGone) {
  dialog->MS_Assmbly_List.Add("x.dll");
  dialog->Ed_MS_Assembly_LinkPath.SetText("C:\\Gone");
  pickers.answers = {{false, "C:\\Else", ""}};
  dialog->FillCatalogue(settings::Catalogue::Microsoft);
  EXPECT_EQ(pickers.starts, (Texts{"C:\\"}));
  EXPECT_EQ(dialog->MS_Assmbly_List.Count(), 1);
  EXPECT_EQ(dialog->Ed_MS_Assembly_LinkPath.Text(), "C:\\Gone");

  MakeFolder("C:\\There");
  dialog->Ed_MS_Assembly_LinkPath.SetText("C:\\There");
  dialog->FillCatalogue(settings::Catalogue::Microsoft);
  dialog->Ed_MS_Assembly_LinkPath.SetText("");
  dialog->FillCatalogue(settings::Catalogue::Microsoft);
  EXPECT_EQ(pickers.starts, (Texts{"C:\\", "C:\\There", ""}));
}

TEST_F(DialogTest, AddPutsTheNameInSortedPlaceCheckedAndRefusesExactDuplicates) {
  dialog->AssemblyPageCtrl = settings::Catalogue::ThirdParty;
  dialog->Third_Assmbly_List.SetChecked(dialog->Third_Assmbly_List.Add("m.dll"), false);
  dialog->Third_Assmbly_List.SetChecked(dialog->Third_Assmbly_List.Add("z.dll"), true);
  pickers.answers = {{true, "C:\\Elsewhere", "C:\\Elsewhere\\a.dll"},
                     {true, "C:\\Elsewhere", "C:\\Elsewhere\\m.dll"},
                     {true, "C:\\Elsewhere", "C:\\Elsewhere\\M.dll"},
                     {true, "C:\\Elsewhere", ""}};
  for (int i = 0; i < 4; ++i) dialog->AddAssemblyToShownCatalogue();
  EXPECT_EQ(pickers.masks, (Texts{"*.dll", "*.dll", "*.dll", "*.dll"}));
  EXPECT_EQ(Entries(dialog->Third_Assmbly_List), (Texts{"a.dll+", "m.dll-", "M.dll+", "z.dll+"}));
  EXPECT_EQ(dialog->CFOptions.Third_Assembly_Path, "");  // the folder is not the picked one
}

TEST_F(DialogTest, RemoveAndDoubleClickDeleteTheSelectedEntryAndSelectTheFirst) {
  for (const char* name : {"a.dll", "b.dll", "c.dll"}) dialog->MS_Assmbly_List.Add(name);
  dialog->RemoveSelectedFromShownCatalogue();  // nothing selected
  EXPECT_EQ(dialog->MS_Assmbly_List.Count(), 3);
  dialog->MS_Assmbly_List.SetItemIndex(1);
  dialog->RemoveSelectedFromShownCatalogue();
  EXPECT_EQ(Entries(dialog->MS_Assmbly_List), (Texts{"a.dll-", "c.dll-"}));
  EXPECT_EQ(dialog->MS_Assmbly_List.ItemIndex(), 0);
  dialog->RemoveSelectedEntry(settings::Catalogue::Microsoft);
  dialog->RemoveSelectedEntry(settings::Catalogue::Microsoft);
  EXPECT_EQ(dialog->MS_Assmbly_List.Count(), 0);
  EXPECT_EQ(dialog->MS_Assmbly_List.ItemIndex(), -1);
}

// --- folder and emulator pickers ---

TEST_F(DialogTest, FolderPickersStoreTheFolderWithoutItsBackslash) {
  pickers.answers = {{true, "C:\\BDS\\Bin\\", ""}, {false, "C:\\Nope", ""}};
  dialog->PickCompilerFolder();
  dialog->PickLibFolder();
  EXPECT_EQ(dialog->EdDCCIL_Path.Text(), "C:\\BDS\\Bin");
  EXPECT_EQ(dialog->CFOptions.BDS_Compiler_Path, "C:\\BDS\\Bin");
  EXPECT_EQ(dialog->Ed_BDS_Lib_Path.Text(), "C:\\Program Files\\Borland\\BDS\\4.0\\Lib\\cf\\CF1X_Lib");
}

TEST_F(DialogTest, EmulatorPickersStoreTheFullFileNameOrNothingOnCancel) {
  pickers.answers = {{true, "C:\\Emu", "C:\\Emu\\DeviceEmulator.exe"}, {false, "", "C:\\Emu\\x.bin"}};
  dialog->PickEmulatorProgram();
  dialog->PickEmulatorImage();
  EXPECT_EQ(pickers.masks, (Texts{"*.exe", "*.bin;*.cem"}));
  EXPECT_EQ(pickers.starts, (Texts{"", ""}));
  EXPECT_EQ(dialog->Ed_Emulator_App.Text(), "C:\\Emu\\DeviceEmulator.exe");
  EXPECT_EQ(dialog->CFOptions.MS_CF_Emulator_Application, "C:\\Emu\\DeviceEmulator.exe");
  EXPECT_EQ(dialog->Ed_Emulator_Image_FileName.Text(), "");
}

TEST_F(DialogTest, ChoosingADeviceSetsTheScreenSizeOnly) {
  ASSERT_EQ(dialog->ComboBox1.Items.size(), 9u);
  EXPECT_EQ(dialog->ComboBox1.Items[0], "SmartPhone2003            176x220");
  EXPECT_EQ(dialog->ComboBox1.Items[1], "Windows Mobile2003      240 x 320");
  dialog->Ed_Emulator_Ram_Size.SetText("128");
  dialog->ComboBox1.ItemIndex = 5;
  EXPECT_EQ(dialog->ComboBox1.Items[5], "Windows Mobile5.0         320 x 240");
  dialog->ShowDeviceScreenSize();
  EXPECT_EQ(dialog->Ed_Emulator_Screen_Width.Text(), "320");
  EXPECT_EQ(dialog->Ed_Emulator_Screen_Height.Text(), "240");
  EXPECT_EQ(dialog->Ed_Emulator_Ram_Size.Text(), "128");
  dialog->ComboBox1.ItemIndex = -1;
  dialog->ShowDeviceScreenSize();
  EXPECT_EQ(dialog->Ed_Emulator_Screen_Width.Text(), "320");
}

// --- show and hide ---

TEST_F(DialogTest, ShowingTheDialogMakesTheProjectFolderCurrentAndDeletesOnlyDcpilFiles) {
  testing_world::OpenProject("C:\\P\\Project1.dpr");
  Write("C:\\P\\System.dcpil", "");
  Write("C:\\P\\Other.DCPIL", "");
  Write("C:\\P\\keep.dll", "");
  dialog->CompileEnabled = false;
  OpenDialog();
  EXPECT_TRUE(dialog->CompileEnabled);
  EXPECT_EQ(dialog->EdPjPath.Text(), "C:\\P\\");
  EXPECT_EQ(dialog->EdPJName.Text(), "Project1.dpr");
  EXPECT_EQ(platform::GetCurrentDir(), "C:\\P");
  EXPECT_FALSE(Exists("C:\\P\\System.dcpil"));
  EXPECT_FALSE(Exists("C:\\P\\Other.DCPIL"));
  EXPECT_TRUE(Exists("C:\\P\\keep.dll"));
}

TEST_F(DialogTest, ShowingWithoutAProjectReportsAndStops) {
  OpenDialog();
  EXPECT_EQ(messages.errors.size(), 1u);
  EXPECT_EQ(platform::GetCurrentDir(), "C:\\");
}

TEST_F(DialogTest, TheProjectFieldsComeFromTheProjectAndItsCurrentEditor) {
  testing_world::OpenProject("C:\\P\\Project1.dpr", "C:\\P\\Sub\\Unit1.pas");
  dialog->OpenProject({Pub_Project_Intf, Pub_ModuleService});
  EXPECT_EQ(dialog->CFOptions.ProjectPath, "C:\\P\\");
  EXPECT_EQ(dialog->CFOptions.ProjectFileName, "Unit1.pas");
  EXPECT_EQ(dialog->CFOptions.ProjectFileExt, ".pas");
  dialog->OpenProject({});
  EXPECT_EQ(dialog->CFOptions.ProjectPath, "");
  EXPECT_EQ(dialog->CFOptions.ProjectFileExt, ".pas");  // kept without a project
}

// --- the Compile button ---

TEST_F(DialogTest, AFileErrorDuringTheBuildIsReportedAndTheButtonStaysOffUntilTheNextShowing) {
  Write("C:\\P\\Project1.dpr", "uses U in 'U.pas';\r\n");
  MakeFolder("C:\\P\\U.pas");
  testing_world::OpenProject("C:\\P\\Project1.dpr");
  OpenDialog();
  dialog->Build();
  EXPECT_EQ(messages.errors, (Texts{"Cannot open file \"U.pas\". It is a folder"}));
  EXPECT_FALSE(dialog->CompileEnabled);
  EXPECT_EQ(dialog->PageControl1, 2);  // the build ended where it failed
  dialog->EnterProject();
  EXPECT_TRUE(dialog->CompileEnabled);
}
