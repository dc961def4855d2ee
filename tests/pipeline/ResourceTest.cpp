#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

#include "pipeline/ResourceRecompile.h"
#include "tests/pipeline/BuildFixture.h"

TEST(ResourceNames, TakenBetweenTheQuotesAroundEachExtension) {
  const std::string line = "{$R 'WinForm.TWinForm.resources' 'WinForm.resx'}";
  EXPECT_EQ(pipeline::QuotedResourceName(line, ".resources"), "WinForm.TWinForm.resources");
  EXPECT_EQ(pipeline::QuotedResourceName(line, ".resx"), "WinForm.resx");
  EXPECT_EQ(pipeline::QuotedResourceName("x.resources 'a.resx", ".resources"), ".resources ");
  EXPECT_EQ(pipeline::ResGenCommandLine("C:\\Program Files\\Microsoft.NET\\SDK\\v1.1\\Bin\\ResGen.exe",
                                        "C:\\P\\WinForm.resx", "C:\\P\\WinForm.TWinForm.resources"),
            "C:\\Program Files\\Microsoft.NET\\SDK\\v1.1\\Bin\\ResGen.exe /compile "
            "\"C:\\P\\WinForm.resx\",\"C:\\P\\WinForm.TWinForm.resources\"");
}

class ResourceTest : public BuildTest {
 protected:
  void SetUp() override {
    BuildTest::SetUp();
    Write("C:\\P\\Project1.dpr", "{$R *.res}\r\n{$R 'A.TA.resources' 'A.resx'}\r\n{$R 'B.TB.resources' 'B.resx'}\r\n");
    Write("C:\\P\\A.resx", "<a/>");
    Write("C:\\P\\B.resx", "<b/>");
  }
};

TEST_F(ResourceTest, TheResourceCompilerOfTheProfileRunsForEachPairInTurn) {
  Write("C:\\Program Files\\Microsoft.NET\\SDK\\v2.0\\Bin\\ResGen.exe", "");
  Write("C:\\P\\A.TA.resources", "stale");
  profile = 1;
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

TEST_F(ResourceTest, AStaleCompiledResourceInASubfolderIsGoneBeforeTheCompilerRuns) {
  Write("C:\\P\\Project1.dpr", "{$R 'Forms\\C.TC.resources' 'Forms\\C.resx'}\r\n");
  Write("C:\\P\\Forms\\C.resx", "<c/>");
  Write("C:\\P\\Forms\\C.TC.resources", "stale");  // the project folder's clean-up does not reach it
  Write("C:\\Program Files\\Microsoft.NET\\SDK\\v2.0\\Bin\\ResGen.exe", "");
  profile = 1;
  bool staleSeen = true;
  onStart = [&] {
    staleSeen = Exists("C:\\P\\Forms\\C.TC.resources");
    Write("C:\\P\\Forms\\C.TC.resources", "new");
  };
  Build();
  EXPECT_FALSE(staleSeen);
  EXPECT_EQ(Read("C:\\P\\Forms\\C.TC.resources"), "new");
}

TEST_F(ResourceTest, WithoutAProfileTheXmlFileIsCopiedSilently) {
  profile = -1;
  Build();
  EXPECT_TRUE(started.empty());
  EXPECT_EQ(Read("C:\\P\\A.TA.resources"), "<a/>");
  EXPECT_EQ(Read("C:\\P\\B.TB.resources"), "<b/>");
  EXPECT_EQ(Shown()[1], "");
}

int WaitedInSteps(const std::vector<int>& waits) {
  int waited = 0;
  for (int w : waits)
    if (w == 10) waited += w;
  return waited;
}

TEST_F(ResourceTest, AResourceCompilerThatHangsCostsTheBoundIsEndedAndTheBuildGoesOn) {
  Write("C:\\Program Files\\Microsoft.NET\\SDK\\v1.1\\Bin\\ResGen.exe", "");
  profile = 0;
  Build();
  EXPECT_EQ(Shown()[2],
            "--> Resource File \"A.TA.resources\" was still not there after 0 s; the build goes on without it !!");
  EXPECT_EQ(runs.size(), 1u);            // the compiler still runs
  EXPECT_EQ(WaitedInSteps(waits), 400);  // 200 ms for each of the two resources
  EXPECT_EQ(terminations, 2);
}

TEST_F(ResourceTest, NoWaitWhenNothingCanStillCreateTheFile) {
  // The resource compiler ended without writing its file.
  Write("C:\\Program Files\\Microsoft.NET\\SDK\\v1.1\\Bin\\ResGen.exe", "");
  profile = 0;
  toolsExitAtOnce = true;
  Build();
  EXPECT_EQ(WaitedInSteps(waits), 0);
  EXPECT_EQ(Shown()[2],
            "--> Resource File \"A.TA.resources\" was not created: the resource compiler ended without "
            "writing it; the build goes on without it !!");
  EXPECT_EQ(terminations, 0);

  // Without a resource compiler, the .resx file to copy does not exist.
  waits.clear();
  profile = -1;
  platform::DeleteFile("C:\\P\\A.resx");
  Build();
  EXPECT_EQ(WaitedInSteps(waits), 0);
  EXPECT_EQ(Shown()[1],
            "--> Resource File \"A.TA.resources\" was not created: \"A.resx\" could not be copied; the "
            "build goes on without it !!");
  EXPECT_EQ(Read("C:\\P\\B.TB.resources"), "<b/>");
}

TEST_F(ResourceTest, NamesThatLeadOutOfTheProjectAreLeftAlone) {
  // Files outside the project that a hostile project file names.
  Write("C:\\outside\\notes.txt", "mine");
  Write("C:\\outside\\template.resx", "theirs");
#ifndef _WIN32
  fs::create_directory_symlink(Host("C:\\outside"), Host("C:\\P\\linked"));
  const std::string linked = "linked\\notes.txt.resources";
#else
  const std::string linked = "..\\P\\..\\..\\outside\\notes.txt.resources";  // no symbolic links under Wine
#endif
  Write("C:\\P\\Project1.dpr",
        "{$R '.resources\\..\\..\\outside\\notes.txt.resources' 'A.resx'}\r\n"
        "{$R 'C:\\outside\\notes.txt.resources' 'A.resx'}\r\n"
        "{$R '" +
            linked +
            "' 'A.resx'}\r\n"
            "{$R 'Copy.resources' '..\\outside\\template.resx'}\r\n"
            "{$R 'B.TB.resources' 'B.resx'}\r\n");
  for (int number : {-1, 0}) {
    SCOPED_TRACE(number);
    if (number == 0) Write("C:\\Program Files\\Microsoft.NET\\SDK\\v1.1\\Bin\\ResGen.exe", "");
    profile = number;
    Build();
    EXPECT_EQ(Read("C:\\outside\\notes.txt"), "mine");
    EXPECT_FALSE(Exists("C:\\outside\\notes.txt.resources"));
    EXPECT_FALSE(Exists("C:\\P\\Copy.resources"));
    for (const std::string& name :
         {std::string(".resources\\..\\..\\outside\\notes.txt.resources"),
          std::string("C:\\outside\\notes.txt.resources"), linked, std::string("..\\outside\\template.resx")})
      EXPECT_NE(
          std::find(Shown().begin(), Shown().end(),
                    std::string("--> Resource File \"") + name + "\" lies outside the project folder: left alone !!"),
          Shown().end())
          << name;
    for (const std::string& command : started) EXPECT_EQ(command.find("outside"), std::string::npos) << command;
  }
}

TEST_F(ResourceTest, AToolThatWritesItsFileAndEndsIsNotMistakenForAFailure) {
  Write("C:\\Program Files\\Microsoft.NET\\SDK\\v1.1\\Bin\\ResGen.exe", "");
  profile = 0;
  toolsExitAtOnce = true;
  onStart = [this] { Write(started.size() == 1 ? "C:\\P\\A.TA.resources" : "C:\\P\\B.TB.resources", "new"); };
  Build();
  EXPECT_EQ(Shown()[3], "");  // no give-up line between the resources and the unit pass
}

TEST_F(ResourceTest, TheDialogsProjectFolderWinsOverTheRecord) {
  MakeFolder("C:\\Q");
  Write("C:\\Q\\A.resx", "<q/>");
  profile = -1;
  record.ProjectPath = "C:\\Elsewhere\\";
  Build();
  EXPECT_EQ(record.ProjectPath, "C:\\P\\");
  EXPECT_EQ(Read("C:\\P\\A.TA.resources"), "<a/>");
}

TEST_F(ResourceTest, AHangingResourceCompilerIsGoneAfterTheBuild) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: the resource compiler is a shell script, its processes are read from /proc";
#else
  // A resource compiler that starts a helper of its own and never finishes.
  Write("C:\\Program Files\\Microsoft.NET\\SDK\\v1.1\\Bin\\ResGen.exe",
        "#!/bin/sh\nsleep 600 &\necho $$ $! >> '" + Host("C:\\pids") + "'\nwait\n");
  ::chmod(Host("C:\\Program Files\\Microsoft.NET\\SDK\\v1.1\\Bin\\ResGen.exe").c_str(), 0755);
  profile = 0;
  realTools = true;
  Build();
  std::istringstream pids(Read("C:\\pids"));
  std::vector<pid_t> all;
  for (pid_t pid; pids >> pid;) all.push_back(pid);
  ASSERT_EQ(all.size(), 4u);  // two resources, each a tool and its helper
  for (pid_t pid : all) {
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
      // Gone, or a zombie of this process that the reaper is about to collect.
      std::string state = Read("/proc/" + std::to_string(pid) + "/stat");
      gone = state.empty() || state.find(") Z") != std::string::npos;
      if (!gone) ::usleep(20 * 1000);
    }
    EXPECT_TRUE(gone) << pid << " still runs";
  }
#endif
}
