#include "pipeline/CompilerCommandLine.h"
#include "tests/pipeline/BuildFixture.h"

class CompilerCommandLineTest : public BuildTest {
 protected:
  void SetUpExample() {
    record.BDS_Lib_Path = "C:\\L";
    record.MS_CF_Assembly_Version = "v1.1.4322";
    record.MS_Assembly_Path = "C:\\M";
    for (const char* name : {"A.dll", "B.dll"}) AddEntry(settings::Catalogue::Microsoft, name);
  }
};

TEST_F(CompilerCommandLineTest, TheCompilerCommandLineIsExact) {
  SetUpExample();
  EXPECT_EQ(pipeline::CompilerCommandLine(*this),
            "\"C:\\BDS\\bin\\dccil\" -DCF -NSC:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322 "
            "--clrversion:v1.1.4322 --no-config  --unsafe+ \"C:\\P\\Project1.dpr\" -U\"C:\\L\" -U\"C:\\M\" "
            "-lu\"C:\\M\\A.dll;C:\\M\\B.dll\"");
}

TEST_F(CompilerCommandLineTest, ReferenceListsSkipUncheckedEntriesButKeepTheirSeparators) {
  settings::CatalogueEntries list{{"X", true}, {"Y", true}, {"Z", false}};
  EXPECT_EQ(pipeline::ReferenceList("F", list), "F\\X;F\\Y;");
  list = {{"X", false}, {"Y", false}, {"Z", true}};
  EXPECT_EQ(pipeline::ReferenceList("F", list), "F\\Z");
  list[2].Checked = false;
  EXPECT_EQ(pipeline::ReferenceList("F", list), "");
}

TEST_F(CompilerCommandLineTest, AnEmptyMicrosoftCatalogueStillNamesItsListWhileOthersVanish) {
  SetUpExample();
  catalogues[settings::IndexOf(settings::Catalogue::Microsoft)].clear();
  std::string line = pipeline::CompilerCommandLine(*this);
  EXPECT_TRUE(line.ends_with("--unsafe+ \"C:\\P\\Project1.dpr\" -U\"C:\\L\" -lu\"\"")) << line;
  record.Delphi_Assembly_Path = "C:\\D";
  AddEntry(settings::Catalogue::Delphi, "Borland.Delphi.dll", false);
  record.Third_Assembly_Path = "C:\\T";
  AddEntry(settings::Catalogue::ThirdParty, "t.dll");
  line = pipeline::CompilerCommandLine(*this);
  EXPECT_EQ(line.substr(line.find(" -lu\"\"")), " -lu\"\" -U\"C:\\D\" -lu\"\" -U\"C:\\T\" -lu\"C:\\T\\t.dll\"");
}
