#include "tests/pipeline/BuildFixture.h"

TEST_F(BuildTest, AMissingProjectFileOrAssemblyFolderStopsBeforeAnythingHappens) {
  messageList.Add("previous build");
  projectName = "";
  Build();
  EXPECT_EQ(shownMessages, (Texts{"Before compile the project, Save it first !!"}));
  projectName = "Project1.dpr";
  msFolderText = "\t ";
  Build();
  EXPECT_EQ(shownMessages.back(), "MS Assembly LinkPath Is Empty!!");
  msFolderText = "C:\\M";
  Pub_Project_Intf.reset();
  Build();
  EXPECT_EQ(shownMessages.size(), 2u);  // the third stop is silent
  EXPECT_EQ(Shown(), (Texts{"previous build"}));
  EXPECT_FALSE(outcome.Started);
  EXPECT_EQ(events, (Texts{"ended", "ended", "ended"}));
  EXPECT_TRUE(runs.empty());
}

TEST_F(BuildTest, WithoutACurrentEditorOnlyTheBannerIsWritten) {
  project->currentEditor = nullptr;
  Build();
  EXPECT_EQ(Shown(), (Texts{pipeline::Banner}));
  EXPECT_EQ(events, (Texts{"started", "ended"}));
  EXPECT_TRUE(shownMessages.empty());
  EXPECT_TRUE(runs.empty());
}

TEST_F(BuildTest, AnEditorFileWithoutExtensionStopsAfterTheCompanionFilesAreGone) {
  project->currentEditor = std::make_shared<testing_world::FakeEditor>("C:\\P\\README", true);
  Write("C:\\P\\Project1.identcache", "");
  Build();
  EXPECT_EQ(shownMessages, (Texts{"CurrentEditor = nil !!"}));
  EXPECT_FALSE(Exists("C:\\P\\Project1.identcache"));
  EXPECT_TRUE(runs.empty());
  EXPECT_EQ(Shown(), (Texts{pipeline::Banner}));
  EXPECT_EQ(events, (Texts{"started", "ended"}));
  EXPECT_EQ(outcome.Stopped, "CurrentEditor = nil !!");
}

TEST_F(BuildTest, ABuildWritesItsMessageLinesInOrder) {
  Write("C:\\P\\Project1.dpr",
        "program Project1;\r\nuses\r\n  WinForm in 'WinForm.pas' {TWinForm};\r\n"
        "{$R 'WinForm.TWinForm.resources' 'WinForm.resx'}\r\n[STAThread]\r\nbegin\r\nend.\r\n");
  Write("C:\\P\\WinForm.pas", "unit WinForm;\r\ninterface\r\nend.\r\n");
  Write("C:\\P\\WinForm.resx", "<root/>");
  Write("C:\\Program Files\\Microsoft.NET\\SDK\\v1.1\\Bin\\ResGen.exe", "");
  profile = 0;
  onStart = [this] { Write("C:\\P\\WinForm.TWinForm.resources", "compiled"); };
  compilerOutput = "Compiler\r\n\r\nWinForm.pas(3) Error: Oops\r\nlast";
  Build();
  EXPECT_EQ(Shown(), (Texts{pipeline::Banner, "--> ReCompile Resource File...\"WinForm.resx\".......OK !!", "",
                            "...Searching Project Source Code.... ", "--> AutoFix ...\"WinForm.pas\".......OK !!", " ",
                            "Compiler", "WinForm.pas(3) Error: Oops"}));
  EXPECT_EQ(messageList.ItemIndex(), 7);
  EXPECT_EQ(events, (Texts{"started", "sources", "compiler", "compiled", "ended"}));
  EXPECT_EQ(folders, (Texts{"."}));
  EXPECT_EQ(waits.back(), 1500);
}

TEST_F(BuildTest, TheCompilerRunIsBracketedByItsEventsEvenWhenTheRunFails) {
  throwOnRun = true;
  EXPECT_THROW(Build(), std::runtime_error);
  EXPECT_EQ(events, (Texts{"started", "sources", "compiler", "compiled", "ended by error"}));
}

TEST_F(BuildTest, TheOutcomeHoldsTheCompilersMessagesReadOneWayForEveryone) {
  compilerOutput =
      "Borland Delphi for .NET compiler\r\n"
      "WinForm.pas(3) Warning: Error: handler is never called\r\n"
      "Unit1.pas(10,5) Hint: Value assigned is never used\r\n";
  Build();
  ASSERT_EQ(outcome.Messages.size(), 2u);
  EXPECT_EQ(outcome.Messages[0].Kind, "warning");
  EXPECT_EQ(outcome.Messages[0].Text, "Error: handler is never called");
  EXPECT_EQ(outcome.Messages[1].File, "Unit1.pas");
  EXPECT_EQ(outcome.Messages[1].Line, 10);
  EXPECT_FALSE(outcome.CompilerReportedFailure());
  EXPECT_TRUE(outcome.CompilerReportedWarning());
  EXPECT_TRUE(outcome.Stopped.empty());

  compilerOutput = "Fatal: Could not compile program\r\n";
  Build();
  EXPECT_TRUE(outcome.CompilerReportedFailure());
}

TEST_F(BuildTest, SupportUnitsAreRemovedBeforeAndAfterTheCompilerAndTheProgramIsSetAside) {
  Write("C:\\Lib\\System.Drawing.Font.dcuil", "");
  Write("C:\\P\\Project1.exe", "old program");
  Write("C:\\P\\Project1._xe", "older program");
  onStart = nullptr;
  Build();
  EXPECT_FALSE(unitsAtRun);
  EXPECT_EQ(Read("C:\\P\\Project1._xe"), "old program");
  EXPECT_FALSE(Exists("C:\\P\\Project1.exe"));
  // What the compiler made of them for this build goes too.
  onRun = [this] { Write("C:\\Lib\\System.ComponentModel.WindowsCE.dcuil", "compiled"); };
  Build();
  EXPECT_FALSE(Exists("C:\\Lib\\System.ComponentModel.WindowsCE.dcuil"));
}

TEST_F(BuildTest, AProjectFileNamedInCapitalsIsPatchedAsWell) {
  Write("C:\\P\\PROJECT1.DPR", "program Project1;\r\n  [STAThread]\r\nbegin\r\nend.\r\n");
  project = testing_world::OpenProject("C:\\P\\PROJECT1.DPR");
  record.ProjectFileName = "PROJECT1.DPR";
  projectName = "PROJECT1.DPR";
  Build();
  EXPECT_NE(Read("C:\\P\\PROJECT1.DPR").find("{$DEFINE CF}"), std::string::npos);
}

TEST_F(BuildTest, AUnitShownInTheEditorSkipsTheProjectSourceButStillAdaptsUnits) {
  Write("C:\\P\\Project1.dpr", "uses U in 'U.pas';\r\n{$R 'U.resources' 'U.resx'}\r\n[STAThread]\r\n");
  Write("C:\\P\\U.pas", "interface\r\n");
  project->currentEditor = std::make_shared<testing_world::FakeEditor>("C:\\P\\U.pas", true);
  record.ProjectFileName = "U.pas";  // as the load leaves it for a unit shown in the editor
  Build();
  EXPECT_EQ(Read("C:\\P\\Project1.dpr"), "uses U in 'U.pas';\r\n{$R 'U.resources' 'U.resx'}\r\n[STAThread]\r\n");
  EXPECT_EQ(Read("C:\\P\\U.pas"), "interface\r{$define CF}\r\n");
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_NE(runs[0].find("\"C:\\P\\U.pas\""), std::string::npos);  // folder + ProjectFileName
}

TEST_F(BuildTest, AUnitThatCannotBeReadEndsTheBuildWithItsName) {
  Write("C:\\P\\Project1.dpr", "uses Gone in 'sub\\Gone.pas';\r\n");
  try {
    Build();
    FAIL();
  } catch (const platform::FileError& e) {
    EXPECT_NE(std::string(e.what()).find("Gone.pas"), std::string::npos);
  }
  EXPECT_TRUE(runs.empty());
  EXPECT_EQ(events, (Texts{"started", "sources", "ended by error"}));
  EXPECT_EQ(Shown().back(), "--> AutoFix ...\"Gone.pas\".....");
}

// A '"' in any text that goes between a tool's quotes stops the build before
// a file is touched, and the message names the text.
TEST_F(BuildTest, AQuoteInAnyTextForAToolsCommandLineStopsTheBuildBeforeAnythingIsTouched) {
  const std::string project =
      "program Project1;\r\n{$R 'a\" /evil \"b.resources' 'a.resx'}\r\n[STAThread]\r\nbegin\r\nend.\r\n";
  Write("C:\\P\\Project1.dpr", project);
  Write("C:\\P\\Project1.identcache", "");
  Build();
  EXPECT_EQ(outcome.Stopped,
            "The resource \"a\" /evil \"b.resources\" holds a '\"', which no tool's command line can pass: nothing "
            "was built");
  EXPECT_EQ(Read("C:\\P\\Project1.dpr"), project);
  EXPECT_TRUE(Exists("C:\\P\\Project1.identcache"));
  Write("C:\\P\\Project1.dpr", "program Project1;\r\nbegin\r\nend.\r\n");
  record.BDS_Lib_Path = "L\" -Oinjected \"";
  Build();
  EXPECT_EQ(outcome.Stopped.rfind("BDS_Lib_Path \"L\" -Oinjected \"\" holds", 0), 0u) << outcome.Stopped;
  record.BDS_Lib_Path = "C:\\Lib";
  AddEntry(settings::Catalogue::Delphi, "x\".dll");
  Build();
  EXPECT_EQ(outcome.Stopped.rfind("The assembly \"x\".dll\"", 0), 0u) << outcome.Stopped;
  EXPECT_EQ(shownMessages.back(), outcome.Stopped);
  EXPECT_EQ(Shown(), (Texts{pipeline::Banner}));
  EXPECT_TRUE(runs.empty());
  EXPECT_TRUE(Exists("C:\\P\\Project1.identcache"));
}
