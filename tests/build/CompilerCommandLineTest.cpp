#include "build/CompilerCommandLine.h"
#include "tests/build/BuildFixture.h"

class CommandLineTest : public BuildTest {
 protected:
  void SetUpExample() {
    dialog->EdDCCIL_Path.SetText("C:\\BDS\\bin");
    dialog->EdPjPath.SetText("C:\\P\\");
    dialog->CFOptions.ProjectFileName = "Project1.dpr";
    dialog->CFOptions.BDS_Lib_Path = "C:\\L";
    dialog->CFOptions.MS_CF_Assembly_Version = "v1.1.4322";
    dialog->CFOptions.MS_Assembly_Path = "C:\\M";
    dialog->MS_Assmbly_List.Clear();
    dialog->Delphi_Assmbly_List.Clear();
    dialog->Third_Assmbly_List.Clear();
    for (const char* name : {"A.dll", "B.dll"}) dialog->MS_Assmbly_List.SetChecked(dialog->MS_Assmbly_List.Add(name), true);
  }
};

TEST_F(CommandLineTest, TheCompilerCommandLineIsExact) {
  SetUpExample();
  EXPECT_EQ(build::CompilerCommandLine(*dialog),
            "\"C:\\BDS\\bin\\dccil\" -DCF -NSC:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322 "
            "--clrversion:v1.1.4322 --no-config  --unsafe+ \"C:\\P\\Project1.dpr\" -U\"C:\\L\" -U\"C:\\M\" "
            "-lu\"C:\\M\\A.dll;C:\\M\\B.dll\"");
}

TEST_F(CommandLineTest, ReferenceListsSkipUncheckedEntriesButKeepTheirSeparators) {
  settings::CheckListState list;
  for (const char* name : {"X", "Y", "Z"}) list.SetChecked(list.Add(name), true);
  list.SetChecked(2, false);
  EXPECT_EQ(build::ReferenceList("F", list), "F\\X;F\\Y;");
  list.SetChecked(0, false);
  list.SetChecked(1, false);
  list.SetChecked(2, true);
  EXPECT_EQ(build::ReferenceList("F", list), "F\\Z");
  list.SetChecked(2, false);
  EXPECT_EQ(build::ReferenceList("F", list), "");
}

TEST_F(CommandLineTest, AnEmptyMicrosoftCatalogueStillNamesItsListWhileOthersVanish) {
  SetUpExample();
  dialog->MS_Assmbly_List.Clear();
  std::string line = build::CompilerCommandLine(*dialog);
  EXPECT_TRUE(line.ends_with("--unsafe+ \"C:\\P\\Project1.dpr\" -U\"C:\\L\" -lu\"\"")) << line;
  dialog->CFOptions.Delphi_Assembly_Path = "C:\\D";
  dialog->Delphi_Assmbly_List.Add("Borland.Delphi.dll");  // unchecked
  dialog->CFOptions.Third_Assembly_Path = "C:\\T";
  dialog->Third_Assmbly_List.SetChecked(dialog->Third_Assmbly_List.Add("t.dll"), true);
  line = build::CompilerCommandLine(*dialog);
  EXPECT_EQ(line.substr(line.find(" -lu\"\"")), " -lu\"\" -U\"C:\\D\" -lu\"\" -U\"C:\\T\" -lu\"C:\\T\\t.dll\"");
}
