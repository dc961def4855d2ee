#include "build/ResourceRecompile.h"
#include "tests/build/BuildFixture.h"

TEST(ResourceNames, TakenBetweenTheQuotesAroundEachExtension) {
  const std::string line = "{$R 'WinForm.TWinForm.resources' 'WinForm.resx'}";
  EXPECT_EQ(build::QuotedResourceName(line, ".resources"), "WinForm.TWinForm.resources");
  EXPECT_EQ(build::QuotedResourceName(line, ".resx"), "WinForm.resx");
  EXPECT_EQ(build::QuotedResourceName("x.resources 'a.resx", ".resources"), ".resources ");
  EXPECT_EQ(build::ResGenCommandLine("C:\\Program Files\\Microsoft.NET\\SDK\\v1.1\\Bin\\ResGen.exe",
                                     "C:\\P\\WinForm.resx", "C:\\P\\WinForm.TWinForm.resources"),
            "C:\\Program Files\\Microsoft.NET\\SDK\\v1.1\\Bin\\ResGen.exe /compile "
            "\"C:\\P\\WinForm.resx\",\"C:\\P\\WinForm.TWinForm.resources\"");
}

class ResourceTest : public BuildTest {
 protected:
  void SetUp() override {
    BuildTest::SetUp();
    Write("C:\\P\\Project1.dpr",
          "{$R *.res}\r\n{$R 'A.TA.resources' 'A.resx'}\r\n{$R 'B.TB.resources' 'B.resx'}\r\n");
    Write("C:\\P\\A.resx", "<a/>");
    Write("C:\\P\\B.resx", "<b/>");
  }
};

TEST_F(ResourceTest, TheResourceCompilerOfTheProfileRunsForEachPairInTurn) {
  Write("C:\\Program Files\\Microsoft.NET\\SDK\\v2.0\\Bin\\ResGen.exe", "");
  Write("C:\\P\\A.TA.resources", "stale");
  dialog->CB_CFVer.ItemIndex = 1;
  onStart = [this] {
    // The stale output is gone before the tool starts; it writes the new one.
    std::string out = started.size() == 1 ? "C:\\P\\A.TA.resources" : "C:\\P\\B.TB.resources";
    EXPECT_FALSE(Exists(out));
    Write(out, "new");
  };
  Build();
  EXPECT_EQ(started, (Texts{"C:\\Program Files\\Microsoft.NET\\SDK\\v2.0\\Bin\\ResGen.exe /compile "
                            "\"C:\\P\\A.resx\",\"C:\\P\\A.TA.resources\"",
                            "C:\\Program Files\\Microsoft.NET\\SDK\\v2.0\\Bin\\ResGen.exe /compile "
                            "\"C:\\P\\B.resx\",\"C:\\P\\B.TB.resources\""}));
  EXPECT_EQ(Shown()[1], "--> ReCompile Resource File...\"A.resx\".......OK !!");
  EXPECT_EQ(Shown()[2], "--> ReCompile Resource File...\"B.resx\".......OK !!");
  EXPECT_EQ(Read("C:\\P\\A.TA.resources"), "new");
}

TEST_F(ResourceTest, WithoutAProfileTheXmlFileIsCopiedSilently) {
  dialog->CB_CFVer.ItemIndex = -1;
  Build();
  EXPECT_TRUE(started.empty());
  EXPECT_EQ(Read("C:\\P\\A.TA.resources"), "<a/>");
  EXPECT_EQ(Read("C:\\P\\B.TB.resources"), "<b/>");
  EXPECT_EQ(Shown()[1], "");
}

TEST_F(ResourceTest, AResourceCompilerThatNeverWritesCostsTheBoundThenTheBuildGoesOn) {
  Write("C:\\Program Files\\Microsoft.NET\\SDK\\v1.1\\Bin\\ResGen.exe", "");
  dialog->CB_CFVer.ItemIndex = 0;
  Build();
  EXPECT_EQ(Shown()[2].rfind("--> Resource File \"A.TA.resources\" was not created", 0), 0u) << Shown()[2];
  EXPECT_EQ(runs.size(), 1u);  // the compiler still runs
  int waited = 0;
  for (int w : waits)
    if (w == 10) waited += w;
  EXPECT_EQ(waited, 400);  // 200 ms for each of the two resources
}

TEST_F(ResourceTest, TheDialogsProjectFolderWinsOverTheRecord) {
  MakeFolder("C:\\Q");
  Write("C:\\Q\\A.resx", "<q/>");
  dialog->CB_CFVer.ItemIndex = -1;
  dialog->CFOptions.ProjectPath = "C:\\Elsewhere\\";
  Build();
  EXPECT_EQ(dialog->CFOptions.ProjectPath, "C:\\P\\");
  EXPECT_EQ(Read("C:\\P\\A.TA.resources"), "<a/>");
}
