#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <random>
#include <chrono>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/BuildCommand.h"
#include "platform/DateTime.h"
#include "tests/TestWorld.h"
#include "tests/cli/BuildCommandFixture.h"

namespace fs = std::filesystem;

TEST_F(BuildCommandTest, BuildsTheExampleAndPrintsItsMessageList) {
  ASSERT_EQ(Tidewell("build HelloCF.dpr"), 0) << err;
  std::istringstream lines(out);
  std::vector<std::string> printed;
  for (std::string line; std::getline(lines, line);) printed.push_back(line);
  ASSERT_GE(printed.size(), 7u) << out;
  EXPECT_EQ(printed[0].rfind("Tidewell!! V2.0 Test by ", 0), 0u);
  EXPECT_EQ(printed[1], "--> ReCompile Resource File...\"WinForm.resx\".......OK !!");
  EXPECT_EQ(printed[2], "");
  EXPECT_EQ(printed[3], "...Searching Project Source Code.... ");
  EXPECT_EQ(printed[4], "--> AutoFix ...\"WinForm.pas\".......OK !!");
  EXPECT_EQ(printed[5], " ");
  EXPECT_TRUE(fs::exists(project_ + "/HelloCF.exe"));
  EXPECT_TRUE(fs::exists(project_ + "/WinForm.TWinForm.resources"));
  EXPECT_EQ(err, "");
  // The patch is dated today, as year/month/day.
  const std::string today = platform::FormatDateTime("yyyy/mm/dd", platform::Now());
  EXPECT_NE(testing_world::ReadHostFile(project_ + "/HelloCF.dpr").find("//CREATE DATE:" + today + "\r"),
            std::string::npos);
}

TEST_F(BuildCommandTest, AMarkedErrorIsReportedWithItsLineAndExitStatusOne) {
  Append("WinForm.pas", "  Broken; {!error}\r\n");
  EXPECT_EQ(Tidewell("build '" + project_ + "/HelloCF.dpr'"), 1);
  EXPECT_NE(out.find("WinForm.pas("), std::string::npos);
  EXPECT_NE(out.find(") Error: "), std::string::npos);
  EXPECT_FALSE(fs::exists(project_ + "/HelloCF.exe"));
}

TEST_F(BuildCommandTest, AProjectFolderWithoutOptionsBuildsWithTheDialogsFirstValues) {
  fs::remove(project_ + "/CFOption.OPN");
  ASSERT_EQ(Tidewell("build HelloCF.dpr"), 0) << out << err;
  EXPECT_TRUE(fs::exists(project_ + "/HelloCF.exe"));
  EXPECT_FALSE(fs::exists(project_ + "/CFOption.OPN"));  // a build never saves settings
}

TEST_F(BuildCommandTest, ChecksThatStopTheBuildExitTwoWithTheirMessageOnStandardError) {
  std::ofstream(project_ + "/CFOption.OPN", std::ios::binary) << "MS_Assembly_Path= \r\n";
  EXPECT_EQ(Tidewell("build HelloCF.dpr"), 2);
  EXPECT_EQ(err, "tidewell build: MS Assembly LinkPath Is Empty!!\n");
  EXPECT_EQ(Tidewell("build Nowhere.dpr"), 2);
  EXPECT_NE(err.find("Nowhere.dpr"), std::string::npos);
  EXPECT_EQ(Tidewell("build"), 2);
}

TEST_F(BuildCommandTest, HelpSaysWhatEachCommandDoes) {
  EXPECT_EQ(Tidewell("--help"), 0);
  EXPECT_NE(out.find("build PROJECT.dpr"), std::string::npos);
  EXPECT_EQ(Tidewell("build --help"), 0);
  EXPECT_NE(out.find("Exit status"), std::string::npos);
  EXPECT_EQ(Tidewell("frobnicate"), 2);
}

TEST_F(BuildCommandTest, CiFormatsNameTheCompilersMessagesByFileAndLine) {
  Append("WinForm.pas", "  Broken; {!error}\r\n");
  // The second build writes the inserted line breaks as CR LF; from then on
  // the lines stay put.
  ASSERT_EQ(Tidewell("build HelloCF.dpr"), 1);
  ASSERT_EQ(Tidewell("build HelloCF.dpr"), 1);
  const std::string unit = testing_world::ReadHostFile(project_ + "/WinForm.pas");
  const std::string line = std::to_string(1 + std::count(unit.begin(), unit.begin() + unit.find("{!error}"), '\n'));
  const std::string list = out;
  // The unit is adapted already: the lines stay put from here on.
  ASSERT_EQ(Tidewell("build --messages=github HelloCF.dpr"), 1);
  EXPECT_EQ(
      out,
      list + "::error file=WinForm.pas,line=" + line +
          "::Marked as wrong by the stand-in compiler\n::error file=HelloCF.dpr,line=103::Could not compile program\n");
  ASSERT_EQ(Tidewell("build --messages json HelloCF.dpr"), 1);
  EXPECT_EQ(out, "{\"file\":\"WinForm.pas\",\"line\":" + line +
                     ",\"column\":null,\"kind\":\"error\",\"text\":\"Marked as wrong by the stand-in compiler\"}\n"
                     "{\"file\":\"HelloCF.dpr\",\"line\":103,\"column\":null,\"kind\":\"fatal\",\"text\":\"Could not "
                     "compile program\"}\n");
  EXPECT_EQ(Tidewell("build --messages=xml HelloCF.dpr"), 2);
  EXPECT_NE(err.find("unknown message format 'xml'"), std::string::npos);
  EXPECT_EQ(Tidewell("build --messages=json --messages=list HelloCF.dpr"), 2);
  EXPECT_EQ(Tidewell("build --frobnicate HelloCF.dpr"), 2);
}

TEST_F(BuildCommandTest, VersionAndUsageErrorsGoWhereScriptsLookForThem) {
  EXPECT_EQ(Tidewell("--version"), 0);
  EXPECT_TRUE(out.starts_with("tidewell 2.0.0")) << out;
  EXPECT_EQ(Tidewell(""), 2);
  EXPECT_EQ(out, "");
  EXPECT_NE(err.find("Usage: tidewell COMMAND"), std::string::npos);
}

TEST_F(BuildCommandTest, ACompilerThatFailsSilentlyOrCrashesFailsTheBuild) {
  UseCompiler("echo compiling\nexit 2\n");
  EXPECT_EQ(Tidewell("build HelloCF.dpr"), 1);
  EXPECT_TRUE(out.ends_with(" \ncompiling\n")) << out;  // the list stays as it is
  EXPECT_EQ(err, "tidewell build: the compiler ended with status 2\n");
  UseCompiler("kill -SEGV $$\n");
  EXPECT_EQ(Tidewell("build HelloCF.dpr"), 1);
  EXPECT_EQ(err, "tidewell build: the compiler was ended by signal 11 (SIGSEGV)\n");
  UseCompiler("echo fine\n");
  EXPECT_EQ(Tidewell("build HelloCF.dpr"), 0) << err;
}

TEST_F(BuildCommandTest, ACompilerThatReadsItsInputMeetsItsEnd) {
  UseCompiler("cat\necho read everything\n");
  EXPECT_EQ(Tidewell("build HelloCF.dpr"), 0);
  EXPECT_TRUE(out.ends_with(" \nread everything\n")) << out;
}

TEST_F(BuildCommandTest, EveryFormOfTheProjectPathBuildsInTheProjectsOwnFolder) {
  fs::create_directories(project_ + "/sub");
  struct Case {
    std::string folder, path;
  } cases[] = {
      {root_, "'Z:" + project_ + "/HelloCF.dpr'"},                                       // a drive, then "/"
      {root_, "'Z:" + project_ + "\\HelloCF.dpr'"}, {root_, "'Hello CF\\HelloCF.dpr'"},  // relative, the Windows way
      {root_, "'.\\Hello CF\\HelloCF.dpr'"},        {root_, "'./Hello CF/../Hello CF/HelloCF.dpr'"},
      {project_ + "/sub", "../HelloCF.dpr"},        {project_ + "/sub", "'..\\HelloCF.dpr'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    fs::remove(project_ + "/HelloCF.exe");
    EXPECT_EQ(TidewellIn(c.folder, "build " + c.path), 0) << out << err;
    EXPECT_TRUE(fs::exists(project_ + "/HelloCF.exe"));
    EXPECT_TRUE(fs::is_empty(project_ + "/sub"));
  }
  EXPECT_FALSE(fs::exists(root_ + "/HelloCF.exe"));
}

TEST_F(BuildCommandTest, AUnitNamedInTheWindowsCodePageIsFoundByItsUtf8Name) {
  // The IDE writes the project file in the Windows code page ("\xF6" is o
  // with two dots); the file system names the unit in UTF-8.
  std::string project = testing_world::ReadHostFile(project_ + "/HelloCF.dpr");
  project.replace(project.find("  WinForm in"), 0, "  MainF\xF6rm in 'MainF\xF6rm.pas',\r\n");
  std::ofstream(project_ + "/HelloCF.dpr", std::ios::binary) << project;
  std::ofstream(project_ + "/MainF\xC3\xB6rm.pas", std::ios::binary)
      << "unit MainF\xF6rm;\r\n\r\ninterface\r\n\r\nimplementation\r\n\r\nend.\r\n";
  EXPECT_EQ(Tidewell("build HelloCF.dpr"), 0) << out << err;
  EXPECT_NE(out.find("--> AutoFix ...\"MainF\xF6rm.pas\".......OK !!"), std::string::npos) << out;
  EXPECT_NE(testing_world::ReadHostFile(project_ + "/MainF\xC3\xB6rm.pas").find("{$define CF}"), std::string::npos);
  EXPECT_FALSE(fs::exists(project_ + "/MainF\xF6rm.pas"));
}

TEST_F(BuildCommandTest, ADryRunChangesNothingAndShowsExactlyWhatTheBuildWillDo) {
  for (const char* name : {"HelloCF.pdb", "Old.resources", "HelloCF.exe", "System.dcpil"})
    std::ofstream(project_ + "/" + name) << "stale";
  const testing_world::FolderSnapshot before(project_);
  ASSERT_EQ(Tidewell("build --dry-run HelloCF.dpr"), 0) << err;
  EXPECT_EQ(testing_world::FolderSnapshot(project_), before);
  EXPECT_TRUE(
      out.starts_with("delete System.dcpil\ndelete HelloCF.pdb\ndelete Old.resources\n"
                      "rename HelloCF.exe to HelloCF._xe\nrun C:\\Program Files\\Microsoft.NET\\SDK\\v1.1\\Bin\\"
                      "ResGen.exe /compile \""))
      << out;
  // The compiler's command line, then the diff.
  const size_t compiler = out.find("\nrun \"C:\\Program Files\\Borland\\BDS\\4.0\\Bin\\dccil\" -DCF ");
  ASSERT_NE(compiler, std::string::npos) << out;
  EXPECT_EQ(out.substr(out.find('\n', compiler + 1), 37), "\n--- a/HelloCF.dpr\n+++ b/HelloCF.dpr\n");
  // The diff, applied to a copy, gives the sources the real build writes.
  const std::string plan = out;
  fs::copy(project_, root_ + "/patched", fs::copy_options::recursive);
  std::ofstream(root_ + "/plan.diff", std::ios::binary) << plan;
  ASSERT_EQ(std::system(("cd '" + root_ + "/patched' && patch -s -p1 <../plan.diff").c_str()), 0) << plan;
  ASSERT_EQ(Tidewell("build HelloCF.dpr"), 0) << err;
  for (const char* name : {"HelloCF.dpr", "WinForm.pas"})
    EXPECT_EQ(testing_world::ReadHostFile(root_ + "/patched/" + name),
              testing_world::ReadHostFile(project_ + "/" + name))
        << name;
  EXPECT_FALSE(fs::exists(project_ + "/HelloCF.pdb"));
}

// Wherever the project lies, its plan applies with patch -p1 and git apply:
// from the current folder when the project is inside it, else from the
// project's folder, which the first line names. A blank in a name is kept.
TEST_F(BuildCommandTest, ADryRunsDiffAppliesWithPatchAndGitFromEitherFolder) {
  const std::string folder = root_ + "/my proj", outside = root_ + "/elsewhere";
  fs::copy(project_, folder, fs::copy_options::recursive);
  fs::create_directories(outside);
  struct Place {
    std::string runIn, project, applyIn;
  };
  for (const Place& place :
       {Place{root_, "'my proj/HelloCF.dpr'", root_}, Place{outside, "'" + folder + "/HelloCF.dpr'", folder}}) {
    ASSERT_EQ(TidewellIn(place.runIn, "build --dry-run " + place.project), 0) << err;
    EXPECT_EQ(out.starts_with("# Paths relative to the project's folder " + folder + "\n"), place.applyIn == folder)
        << out;
    std::ofstream(root_ + "/plan.diff", std::ios::binary) << out;
    for (const char* tool : {"git apply --check", "patch -s --dry-run -p1 <"})
      EXPECT_EQ(std::system(("cd '" + place.applyIn + "' && " + tool + " '" + root_ + "/plan.diff'").c_str()), 0)
          << tool << "\n"
          << out;
  }
  const std::string plan = out;
  fs::copy(folder, root_ + "/patched", fs::copy_options::recursive);
  ASSERT_EQ(std::system(("cd '" + root_ + "/patched' && patch -s -p1 <'" + root_ + "/plan.diff'").c_str()), 0);
  ASSERT_EQ(TidewellIn(outside, "build '" + folder + "/HelloCF.dpr'"), 0) << err;
  for (const char* name : {"HelloCF.dpr", "WinForm.pas"})
    EXPECT_EQ(testing_world::ReadHostFile(root_ + "/patched/" + name), testing_world::ReadHostFile(folder + "/" + name))
        << name;
}

// Signals at random moments of builds that rewrite large units: each file
// holds its old or its new text, byte for byte, and no temporary file stays.
TEST_F(BuildCommandTest, SignalsAtRandomMomentsLeaveEveryUnitOldOrNewAndNoTemporaryFile) {
  // WinForm.pas with a second hard link (rewritten in place), Big.pas
  // without (replaced through a temporary file), both large.
  std::string project = testing_world::ReadHostFile(project_ + "/HelloCF.dpr");
  project.replace(project.find("  WinForm in"), 0, "  Big in 'Big.pas',\r\n");
  std::ofstream(project_ + "/HelloCF.dpr", std::ios::binary) << project;
  std::string filler;
  for (int i = 0; i < 3000; ++i)
    filler += "  // padding " + std::string(4000, static_cast<char>('a' + i % 26)) + "\r\n";
  std::ofstream(project_ + "/WinForm.pas", std::ios::app | std::ios::binary) << filler;
  std::ofstream(project_ + "/Big.pas", std::ios::binary) << "unit Big;\r\n\r\ninterface\r\n\r\nimplementation\r\n"
                                                         << filler << "end.\r\n";
  const std::vector<std::string> units = {"HelloCF.dpr", "WinForm.pas", "Big.pas"};
  std::map<std::string, std::string> old, built;
  for (const std::string& unit : units) old[unit] = testing_world::ReadHostFile(project_ + "/" + unit);
  auto reset = [&] {
    for (const std::string& unit : units) {
      fs::remove(project_ + "/" + unit);
      std::ofstream(project_ + "/" + unit, std::ios::binary) << old[unit];
    }
    fs::remove(root_ + "/Twin.pas");
    fs::create_hard_link(project_ + "/WinForm.pas", root_ + "/Twin.pas");
  };
  reset();
  UseCompiler("touch '" + root_ + "/compiling'\n");
  ASSERT_EQ(Tidewell("build HelloCF.dpr"), 0) << err;
  for (const std::string& unit : units) built[unit] = testing_world::ReadHostFile(project_ + "/" + unit);
  ASSERT_NE(built["Big.pas"], old["Big.pas"]);
  // The rewrites come before the compiler: signals fall in the time until it starts.
  reset();
  fs::remove(root_ + "/compiling");
  const auto started = std::chrono::steady_clock::now();
  pid_t reference = ::fork();
  if (reference == 0) {
    ::execl(TIDEWELL_BINARY, TIDEWELL_BINARY, "build", (project_ + "/HelloCF.dpr").c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  while (!fs::exists(root_ + "/compiling") && std::chrono::steady_clock::now() - started < std::chrono::seconds(60))
    ::usleep(1000);
  const auto buildTime = (std::chrono::steady_clock::now() - started) * 5 / 4;
  ::waitpid(reference, nullptr, 0);

  std::mt19937 random(2026);
  const int signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
  int interrupted = 0;
  for (int round = 0; round < 40; ++round) {
    reset();
    const std::string command = "ulimit -c 0; cd '" + project_ + "' && TIDEWELL_DOSDEVICES='" +
                                std::string(TIDEWELL_SOURCE_DIR) + "/examples/toolchain/dosdevices' exec '" +
                                std::string(TIDEWELL_BINARY) + "' build HelloCF.dpr >/dev/null 2>&1";
    pid_t tidewell = ::fork();
    if (tidewell == 0) {
      ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    const auto wait = std::chrono::duration_cast<std::chrono::microseconds>(buildTime) * (random() % 1000) / 1000;
    ::usleep(static_cast<useconds_t>(wait.count()));
    const int signal = signals[random() % 4];
    ::kill(tidewell, signal);
    int status = 0;
    ::waitpid(tidewell, &status, 0);
    if (WIFSIGNALED(status)) ++interrupted;
    for (const std::string& unit : units) {
      const std::string now = testing_world::ReadHostFile(project_ + "/" + unit);
      EXPECT_TRUE(now == old[unit] || now == built[unit])
          << unit << " in round " << round << " (signal " << signal << "): " << now.size() << " bytes";
    }
    EXPECT_EQ(testing_world::ReadHostFile(root_ + "/Twin.pas"), testing_world::ReadHostFile(project_ + "/WinForm.pas"));
    for (const auto& entry : fs::directory_iterator(project_))
      EXPECT_EQ(entry.path().filename().string().find(".tidewell-"), std::string::npos) << entry.path();
  }
  EXPECT_GT(interrupted, 0);
}

TEST_F(BuildCommandTest, AnErrorLineStartsOnALineOfItsOwn) {
  fs::permissions(project_ + "/WinForm.pas", fs::perms::owner_read);
  std::string command = "cd '" + project_ + "' && TIDEWELL_DOSDEVICES='" + std::string(TIDEWELL_SOURCE_DIR) +
                        "/examples/toolchain/dosdevices' '" + std::string(TIDEWELL_BINARY) + "' build HelloCF.dpr >'" +
                        root_ + "/both.txt' 2>&1";
  EXPECT_NE(std::system(command.c_str()), 0);
  EXPECT_NE(testing_world::ReadHostFile(root_ + "/both.txt")
                .find("--> AutoFix ...\"WinForm.pas\".....\ntidewell build: Cannot create file \"WinForm.pas\"."),
            std::string::npos)
      << testing_world::ReadHostFile(root_ + "/both.txt");
}

TEST_F(BuildCommandTest, AWarningThatQuotesAnErrorIsAWarningInEveryFormatAndTheBuildSucceeds) {
  UseCompiler("echo 'WinForm.pas(3) Warning: Error: handler is never called'\n");
  EXPECT_EQ(Tidewell("build HelloCF.dpr"), 0) << err;
  EXPECT_TRUE(out.ends_with(" \nWinForm.pas(3) Warning: Error: handler is never called\n")) << out;
  EXPECT_EQ(Tidewell("build --messages=github HelloCF.dpr"), 0) << err;
  EXPECT_TRUE(out.ends_with("::warning file=WinForm.pas,line=3::Error: handler is never called\n")) << out;
  EXPECT_EQ(Tidewell("build --messages=json HelloCF.dpr"), 0) << err;
  EXPECT_EQ(out,
            "{\"file\":\"WinForm.pas\",\"line\":3,\"column\":null,\"kind\":\"warning\",\"text\":\"Error: handler is "
            "never called\"}\n");
  EXPECT_EQ(Tidewell("build --warnings-as-errors HelloCF.dpr"), 1);  // as fpc -Sew and msbuild -warnaserror
  EXPECT_EQ(Tidewell("build --messages=gcc HelloCF.dpr"), 0);
  EXPECT_EQ(out, "WinForm.pas:3: warning: Error: handler is never called\n");
  UseCompiler("echo 'WinForm.pas(3,9) Hint: never used'\n");
  EXPECT_EQ(Tidewell("build --warnings-as-errors --messages=gcc HelloCF.dpr"), 0);  // a hint is no warning
  EXPECT_EQ(out, "WinForm.pas:3:9: note: never used\n");
  UseCompiler("echo 'Unit1.pas(7) Error: Warning: not declared'\n");
  EXPECT_EQ(Tidewell("build --messages=json HelloCF.dpr"), 1);
  EXPECT_EQ(
      out,
      "{\"file\":\"Unit1.pas\",\"line\":7,\"column\":null,\"kind\":\"error\",\"text\":\"Warning: not declared\"}\n");
}

TEST_F(BuildCommandTest, AnOptionsFileInTheFolderTheCommandRunsFromIsNotRead) {
  fs::remove(project_ + "/CFOption.OPN");
  fs::create_directories(root_ + "/elsewhere");
  std::ofstream(root_ + "/elsewhere/CFOption.OPN", std::ios::binary) << "MS_Assembly_Path=\r\n";
  std::string command = "cd '" + root_ + "/elsewhere' && TIDEWELL_DOSDEVICES='" + std::string(TIDEWELL_SOURCE_DIR) +
                        "/examples/toolchain/dosdevices' '" + std::string(TIDEWELL_BINARY) + "' build '" + project_ +
                        "/HelloCF.dpr' >/dev/null 2>&1";
  int status = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(BuildCommandTest, RebuildingTheSameCopyLeavesItsSourcesAsTheyAre) {
  ASSERT_EQ(Tidewell("build HelloCF.dpr"), 0);
  const std::string project = testing_world::ReadHostFile(project_ + "/HelloCF.dpr");
  EXPECT_NE(project.find("\r  {$IFNDEF CF}\r  [STAThread]\r  {$ENDIF}\r\n"), std::string::npos);
  ASSERT_EQ(Tidewell("build HelloCF.dpr"), 0);
  EXPECT_EQ(testing_world::ReadHostFile(project_ + "/HelloCF.dpr"), project);
  // The unit's inserted line breaks are written as CR LF by the second build;
  // from then on it stays as it is.
  const std::string unit = testing_world::ReadHostFile(project_ + "/WinForm.pas");
  EXPECT_EQ(unit.find("\r{"), std::string::npos);
  ASSERT_EQ(Tidewell("build HelloCF.dpr"), 0);
  EXPECT_EQ(testing_world::ReadHostFile(project_ + "/WinForm.pas"), unit);
  EXPECT_TRUE(fs::exists(project_ + "/HelloCF._xe"));
}

// Failure paths a user meets: they end with a clear status and keep the files.

TEST_F(BuildCommandTest, AnEmptyOrOverLongProjectPathIsAClearUsageError) {
  EXPECT_EQ(Tidewell("build ''"), 2);
  EXPECT_EQ(err, "tidewell build: cannot use the project path: no file name given\n");
  std::string deep(5000, 'd');
  EXPECT_EQ(Tidewell("build " + deep + "/HelloCF.dpr"), 2);
  EXPECT_NE(err.find("longer than the system allows"), std::string::npos) << err;
}

TEST_F(BuildCommandTest, AMissingCompilerHasAnExitStatusOfItsOwnAndNothingIsTouched) {
  std::string options = testing_world::ReadHostFile(project_ + "/CFOption.OPN");
  options.replace(0, options.find("\r\n"), "BDS_Compiler_Path=C:\\No Such Folder");
  std::ofstream(project_ + "/CFOption.OPN", std::ios::binary) << options;
  std::ofstream(project_ + "/System.dcpil") << "x";
  const testing_world::FolderSnapshot before(project_);
  EXPECT_EQ(Tidewell("build HelloCF.dpr"), 3);
  EXPECT_EQ(err, "tidewell build: the compiler could not be started: C:\\No Such Folder\\dccil was not found\n");
  EXPECT_EQ(out, "");
  EXPECT_EQ(testing_world::FolderSnapshot(project_), before);

  // A compiler file that may not be run is found as early.
  UseCompiler("echo never\n");
  fs::permissions(root_ + "/compiler/dccil", fs::perms::owner_read | fs::perms::owner_write);
  const testing_world::FolderSnapshot unrunnable(project_);
  EXPECT_EQ(Tidewell("build HelloCF.dpr"), 3);
  EXPECT_NE(err.find("dccil may not be run: it has no execute permission"), std::string::npos) << err;
  EXPECT_EQ(testing_world::FolderSnapshot(project_), unrunnable);
}

TEST_F(BuildCommandTest, OnlyAProjectFileIsBuilt) {
  std::ofstream(project_ + "/notes.txt") << "not a project";
  std::ofstream(project_ + "/Stale.resources") << "x";
  const testing_world::FolderSnapshot before(project_);
  EXPECT_EQ(Tidewell("build notes.txt"), 2);
  EXPECT_EQ(err, "tidewell build: not a project file (.dpr or .dpk): notes.txt\n");
  // In a CI format the reason is also one record on standard output.
  EXPECT_EQ(Tidewell("build --messages=json notes.txt"), 2);
  EXPECT_EQ(out,
            "{\"file\":null,\"line\":null,\"column\":null,\"kind\":\"fatal\",\"text\":\"not a project file (.dpr "
            "or .dpk): notes.txt\"}\n");
  EXPECT_EQ(Tidewell("build --messages=github notes.txt"), 2);
  EXPECT_EQ(out, "::error::not a project file (.dpr or .dpk): notes.txt\n");
  EXPECT_EQ(testing_world::FolderSnapshot(project_), before);
}

// The environment is read once, before the build changes folder: a relative
// dosdevices folder is the caller's; where the compiler's drive was looked
// for is said; an unknown code page is said and CP1252 used.
TEST_F(BuildCommandTest, TheEnvironmentIsSettledAtStartAndItsMistakesAreNamed) {
  const std::string run = "cd '" + root_ + "' && TIDEWELL_CODEPAGE=NOSUCHPAGE TIDEWELL_DOSDEVICES=";
  const std::string build = " '" + std::string(TIDEWELL_BINARY) + "' build '" + project_ + "/HelloCF.dpr' >'" + root_ +
                            "/out.txt' 2>'" + root_ + "/err.txt'";
  fs::create_directories(root_ + "/drives");
  fs::create_directory_symlink(std::string(TIDEWELL_SOURCE_DIR) + "/examples/toolchain/drive_c", root_ + "/drives/c:");
  int status = std::system((run + "drives" + build).c_str());
  err = testing_world::ReadHostFile(root_ + "/err.txt");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << err;
  EXPECT_EQ(err,
            "tidewell: warning: TIDEWELL_CODEPAGE names a code page this system does not know (NOSUCHPAGE): CP1252 is "
            "used\n");
  for (const std::string& drives : {std::string("nowhere"), std::string("out.txt")}) {
    status = std::system((run + drives + build).c_str());
    err = testing_world::ReadHostFile(root_ + "/err.txt");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << err;
    EXPECT_NE(err.find("(drives are looked up in " + root_ + "/" + drives + ", which "), std::string::npos) << err;
  }
}

// A '"' in the project's folder would split the compiler's arguments, and a
// "\\" in a Linux name would be read as a folder break: refused, untouched.
TEST_F(BuildCommandTest, AQuoteOrABackslashInTheProjectsPathIsRefusedBeforeAnythingIsTouched) {
  for (const std::string name : {"a\"b", "a\\b"}) {
    const std::string folder = root_ + "/" + name;
    fs::copy(project_, folder, fs::copy_options::recursive);
    const testing_world::FolderSnapshot before(folder);
    EXPECT_EQ(TidewellIn(root_, "build '" + name + "/HelloCF.dpr'"), 2) << name;
    EXPECT_NE(err.find(name.find('"') != std::string::npos ? "holds a '\"'" : "holds a '\\'"), std::string::npos)
        << err;
    EXPECT_EQ(testing_world::FolderSnapshot(folder), before) << name;
  }
}

TEST_F(BuildCommandTest, AnErrorThatStopsTheBuildIsOneLineOnStandardErrorAndExitStatus2) {
  fs::remove(project_ + "/WinForm.pas");
  fs::create_directory(project_ + "/WinForm.pas");
  EXPECT_EQ(Tidewell("build HelloCF.dpr"), 2);
  EXPECT_EQ(err, "tidewell build: Cannot open file \"WinForm.pas\". It is a folder\n");
  EXPECT_TRUE(out.ends_with("--> AutoFix ...\"WinForm.pas\".....\n")) << out;  // the list's line is ended
  EXPECT_FALSE(fs::exists(project_ + "/HelloCF.exe"));
}

TEST_F(BuildCommandTest, AMissingResxCostsNoWait) {
  fs::remove(project_ + "/WinForm.resx");
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Tidewell("build HelloCF.dpr"), 0) << err;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));  // the wait bound is 60 s
  EXPECT_NE(out.find("--> Resource File \"WinForm.TWinForm.resources\" was not created"), std::string::npos) << out;
}

// A compiler whose child leaves its process group (setsid) and keeps the
// output open: the build ends when the compiler has, and takes the child
// with it; an interrupt during the build ends it too.
TEST_F(BuildCommandTest, WhatTheCompilerLeavesRunningEndsWithTheBuild) {
  const std::string left = root_ + "/left.pid";
  auto leftGone = [&] {
    pid_t pid = 0;
    std::istringstream(testing_world::ReadHostFile(left)) >> pid;
    EXPECT_GT(pid, 0);
    for (int i = 0; i < 100; ++i) {
      if (pid <= 0 || ::kill(pid, 0) != 0) return true;
      ::usleep(50 * 1000);
    }
    ::kill(pid, SIGKILL);
    return false;
  };
  const std::string detach = "setsid sh -c 'echo $$ > \"" + left + "\"; exec sleep 600' &\nsleep 0.3\n";
  UseCompiler(detach + "echo compiled\n");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Tidewell("build HelloCF.dpr"), 0) << err;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));  // not the sleep's 600
  EXPECT_NE(out.find("compiled"), std::string::npos);
  EXPECT_TRUE(leftGone()) << "the compiler's child outlived the build";

  fs::remove(left);
  UseCompiler(detach + "echo $$ > '" + root_ + "/dccil.pid'\nexec sleep 600\n");
  std::string command = "cd '" + project_ + "' && TIDEWELL_DOSDEVICES='" + std::string(TIDEWELL_SOURCE_DIR) +
                        "/examples/toolchain/dosdevices' exec '" + std::string(TIDEWELL_BINARY) +
                        "' build HelloCF.dpr >/dev/null 2>&1";
  pid_t tidewell = ::fork();
  if (tidewell == 0) {
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  for (int i = 0; i < 200 && testing_world::ReadHostFile(root_ + "/dccil.pid").empty(); ++i) ::usleep(50 * 1000);
  ::kill(tidewell, SIGINT);
  int status = 0;
  ::waitpid(tidewell, &status, 0);
  EXPECT_TRUE(leftGone()) << "the compiler's child outlived an interrupted build";
}

TEST_F(BuildCommandTest, EndingTheBuildHoweverItEndsEndsTheCompilerItStarted) {
  // A compiler that never finishes and says where it is.
  UseCompiler("echo $$ > '" + root_ + "/dccil.pid'\necho compiling\nexec sleep 600\n");
  for (int signal : {SIGINT, SIGTERM, SIGKILL}) {
    SCOPED_TRACE(signal);
    fs::remove(root_ + "/dccil.pid");
    std::string command = "cd '" + project_ + "' && TIDEWELL_DOSDEVICES='" + std::string(TIDEWELL_SOURCE_DIR) +
                          "/examples/toolchain/dosdevices' exec '" + std::string(TIDEWELL_BINARY) +
                          "' build HelloCF.dpr >'" + root_ + "/out.txt' 2>&1";
    pid_t tidewell = ::fork();
    if (tidewell == 0) {
      ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    pid_t compiler = 0;
    for (int i = 0; i < 200 && compiler == 0; ++i) {
      ::usleep(50 * 1000);
      std::istringstream(testing_world::ReadHostFile(root_ + "/dccil.pid")) >> compiler;
    }
    ASSERT_GT(compiler, 0) << "the compiler never started";
    // What the build has done so far is already on the terminal.
    EXPECT_NE(testing_world::ReadHostFile(root_ + "/out.txt").find("--> AutoFix ...\"WinForm.pas\""),
              std::string::npos);

    ::kill(tidewell, signal);
    int status = 0;
    ::waitpid(tidewell, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal);
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
      gone = ::kill(compiler, 0) != 0;
      if (!gone) ::usleep(50 * 1000);
    }
    EXPECT_TRUE(gone) << "the compiler outlived the build";
  }
}

// A project reached through a symbolic link keeps the user's spelling in
// every format that names files: CI annotations and the dry run's diff.
TEST_F(BuildCommandTest, AProjectReachedThroughALinkIsNamedAsTheUserReachedIt) {
  fs::create_directory_symlink(project_, root_ + "/link");
  Append("WinForm.pas", "  Broken; {!error}\r\n");
  EXPECT_EQ(TidewellIn(root_, "build --messages=json link/HelloCF.dpr"), 1);
  EXPECT_TRUE(out.starts_with("{\"file\":\"link/WinForm.pas\",")) << out;
  EXPECT_NE(out.find("{\"file\":\"link/HelloCF.dpr\","), std::string::npos) << out;
  EXPECT_EQ(TidewellIn(root_, "build -n link/HelloCF.dpr"), 0);
  EXPECT_NE(out.find("\n--- a/link/WinForm.pas\n+++ b/link/WinForm.pas\n"), std::string::npos) << out;
}
