#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/TestWorld.h"
#include "tests/cli/BuildCommandFixture.h"

namespace fs = std::filesystem;

namespace {

// The lines of a text.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

class ManyProjectsTest : public BuildCommandTest {
 protected:
  // Copies of the project named A, B, ... beside it, each built by a
  // compiler that says its folder's name a few times, slowly, and fails
  // where a file "broken" lies.
  void MakeCopies(const std::vector<std::string>& names) {
    UseCompiler(
        "name=$(basename \"$PWD\")\n"
        "for i in 1 2 3 4; do echo \"$name says $i\"; sleep 0.05; done\n"
        "if [ -f broken ]; then echo \"WinForm.pas(3) Error: $name is broken\"; exit 1; fi\n");
    for (const std::string& name : names) fs::copy(project_, root_ + "/" + name, fs::copy_options::recursive);
  }
};

// Serial or side by side, each project's output is one block under its
// heading, every project is built once, and the worst status wins.
TEST_F(ManyProjectsTest, EachProjectIsOneBlockUnderItsNameAndTheWorstStatusWins) {
  MakeCopies({"A", "B", "C"});
  std::ofstream(root_ + "/B/broken") << "";
  for (const char* jobs : {"", "-j 2 ", "--jobs=3 "}) {
    SCOPED_TRACE(jobs);
    EXPECT_EQ(TidewellIn(root_, std::string("build ") + jobs + "A/HelloCF.dpr B/HelloCF.dpr C/HelloCF.dpr"), 1);
    std::map<std::string, int> headings, sayings;
    std::string current;
    for (const std::string& line : Lines(out)) {
      if (line.starts_with("==> ")) {
        current = line.substr(4, 1);
        ++headings[current];
        EXPECT_EQ(line, "==> " + current + "/HelloCF.dpr <==");
      } else if (line.find(" says ") != std::string::npos) {
        EXPECT_EQ(line.substr(0, 1), current) << out;  // never another project's line
        ++sayings[line.substr(0, 1)];
      }
    }
    EXPECT_EQ(headings, (std::map<std::string, int>{{"A", 1}, {"B", 1}, {"C", 1}})) << out;
    EXPECT_EQ(sayings, (std::map<std::string, int>{{"A", 4}, {"B", 4}, {"C", 4}})) << out;
    EXPECT_NE(out.find("B is broken"), std::string::npos);
    EXPECT_TRUE(out.ends_with("\n2 built, 1 failed\n")) << out;
    EXPECT_NE(err.find("tidewell build: the compiler ended with status 1\n"), std::string::npos) << err;
  }
  // A build that cannot start outweighs a failed one.
  EXPECT_EQ(TidewellIn(root_, "build -j2 B/HelloCF.dpr Missing.dpr"), 2);
  EXPECT_TRUE(out.ends_with("0 built, 1 failed, 1 could not start\n")) << out;
  EXPECT_NE(err.find("project file not found: Missing.dpr"), std::string::npos);
  EXPECT_EQ(TidewellIn(root_, "build -j 0 A/HelloCF.dpr C/HelloCF.dpr"), 2);
}

// json stays a stream of records: the headings and the summary go to
// standard error.
TEST_F(ManyProjectsTest, JsonKeepsStandardOutputForRecords) {
  MakeCopies({"A", "B"});
  std::ofstream(root_ + "/B/broken") << "";
  EXPECT_EQ(TidewellIn(root_, "build -j2 --messages=json A/HelloCF.dpr B/HelloCF.dpr"), 1);
  EXPECT_EQ(out,
            "{\"file\":\"B/WinForm.pas\",\"line\":3,\"column\":null,\"kind\":\"error\",\"text\":\"B is broken\"}\n");
  EXPECT_NE(err.find("==> A/HelloCF.dpr <==\n"), std::string::npos);
  EXPECT_TRUE(err.ends_with("1 built, 1 failed\n")) << err;
}

// A group as the IDE writes it: its Targets' order, a .bdsproj's main
// source, else the .dpr of its name; Windows paths, relative to the group,
// in any case.
TEST_F(ManyProjectsTest, AProjectGroupBuildsItsTargetsInOrder) {
  MakeCopies({"A", "B"});
  fs::create_directories(root_ + "/groups");
  std::ofstream(root_ + "/A/App.bdsproj")
      << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<BorlandProject>\n\t<Delphi.Personality>\n\t\t<Source>\n"
         "\t\t\t<Source Name=\"MainSource\">HelloCF.dpr</Source>\n\t\t</Source>\n\t</Delphi.Personality>\n"
         "</BorlandProject>\n";
  std::ofstream(root_ + "/B/HelloCF.bdsproj") << "<BorlandProject/>\n";
  const std::string group =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<BorlandProject>\n  <Default.Personality>\n    <Projects>\n"
      "      <Projects Name=\"App.exe\">..\\A\\App.bdsproj</Projects>\n"
      "      <Projects Name=\"HelloCF.exe\">..\\b\\hellocf.bdsproj</Projects>\n"
      "      <Projects Name=\"Targets\">HelloCF.exe App.exe</Projects>\n    </Projects>\n"
      "  </Default.Personality>\n</BorlandProject>\n";
  std::ofstream(root_ + "/groups/Suite.bdsgroup") << group;
  ASSERT_EQ(TidewellIn(root_, "build groups/Suite.bdsgroup"), 0) << out << err;
  const size_t b = out.find("==> B/HelloCF.dpr <=="), a = out.find("==> A/HelloCF.dpr <==");
  EXPECT_TRUE(b != std::string::npos && a != std::string::npos && b < a) << out << err;
  EXPECT_TRUE(out.ends_with("\n2 built, 0 failed\n")) << out;
  EXPECT_NE(out.find("A says 4"), std::string::npos);

  std::ofstream(root_ + "/groups/Broken.bdsgroup") << "<Projects><Projects Name=\"X.exe\">X\\X.bdsproj</Projects>";
  EXPECT_EQ(TidewellIn(root_, "build groups/Broken.bdsgroup"), 2);
  EXPECT_EQ(err, "tidewell build: the project X\\X.bdsproj of the group groups/Broken.bdsgroup was not found\n");
}

// --set: the build sees the value, the options file keeps its bytes, and a
// dry run shows the tool's command line with it.
TEST_F(ManyProjectsTest, SetOverridesAKeyForThisBuildOnly) {
  const std::string options = testing_world::ReadHostFile(project_ + "/CFOption.OPN");
  ASSERT_EQ(Tidewell("build -n --set 'BDS_Lib_Path=X:\\Lib\\CF' --set=ms_cf_assembly_version=v2.0.50727 HelloCF.dpr"),
            0)
      << err;
  EXPECT_NE(out.find("run \""), std::string::npos) << out;
  EXPECT_NE(out.find(" -U\"X:\\Lib\\CF\" "), std::string::npos) << out;
  EXPECT_NE(out.find("--clrversion:v2.0.50727"), std::string::npos) << out;

  UseCompiler("echo built with the test compiler\n");
  const std::string tested = testing_world::ReadHostFile(project_ + "/CFOption.OPN");
  std::ofstream(project_ + "/CFOption.OPN", std::ios::binary) << options;
  const std::string compiler = tested.substr(0, tested.find("\r\n"));
  ASSERT_EQ(Tidewell("build --set '" + compiler + "' HelloCF.dpr"), 0) << err;
  EXPECT_NE(out.find("built with the test compiler"), std::string::npos) << out;
  EXPECT_EQ(testing_world::ReadHostFile(project_ + "/CFOption.OPN"), options);
  // Without an options file, over the dialog's first values.
  fs::remove(project_ + "/CFOption.OPN");
  ASSERT_EQ(Tidewell("build --set '" + compiler + "' HelloCF.dpr"), 0) << err;
  EXPECT_NE(out.find("built with the test compiler"), std::string::npos) << out;
  EXPECT_FALSE(fs::exists(project_ + "/CFOption.OPN"));

  EXPECT_EQ(Tidewell("build --set BDS_Lib=X HelloCF.dpr"), 2);
  EXPECT_NE(err.find("--set needs KEY=VALUE with a key of CFOption.OPN, not 'BDS_Lib=X'"), std::string::npos);
  EXPECT_EQ(Tidewell("build --set BDS_Lib_Path HelloCF.dpr"), 2);
}

// Ctrl-C during builds side by side: each build ends as one interrupted
// alone does (its compiler with it), and the command ends by the signal.
TEST_F(ManyProjectsTest, AnInterruptReachesEveryBuildAndEndsTheCommandOnceTheyHaveEnded) {
  UseCompiler("echo $$ > \"$PWD/dccil.pid\"\necho compiling\nexec sleep 600\n");
  for (const char* name : {"A", "B", "C"}) fs::copy(project_, root_ + "/" + name, fs::copy_options::recursive);
  std::string command = "cd '" + root_ + "' && TIDEWELL_DOSDEVICES='" + std::string(TIDEWELL_SOURCE_DIR) +
                        "/examples/toolchain/dosdevices' exec '" + std::string(TIDEWELL_BINARY) +
                        "' build -j2 A/HelloCF.dpr B/HelloCF.dpr C/HelloCF.dpr >'" + root_ + "/out.txt' 2>&1";
  pid_t tidewell = ::fork();
  if (tidewell == 0) {
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  std::vector<pid_t> compilers;
  for (int i = 0; i < 200 && compilers.size() < 2; ++i) {
    ::usleep(50 * 1000);
    compilers.clear();
    for (const char* name : {"A", "B"}) {
      pid_t pid = 0;
      std::istringstream(testing_world::ReadHostFile(root_ + "/" + name + "/dccil.pid")) >> pid;
      if (pid > 0) compilers.push_back(pid);
    }
  }
  ASSERT_EQ(compilers.size(), 2u) << "the compilers never started";
  ::kill(tidewell, SIGINT);
  int status = 0;
  ::waitpid(tidewell, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
  for (pid_t compiler : compilers) {
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
      gone = ::kill(compiler, 0) != 0;
      if (!gone) ::usleep(50 * 1000);
    }
    EXPECT_TRUE(gone) << "a compiler outlived the build";
  }
  const std::string printed = testing_world::ReadHostFile(root_ + "/out.txt");
  EXPECT_NE(printed.find("==> A/HelloCF.dpr <==\n"), std::string::npos) << printed;
  EXPECT_EQ(printed.find("==> C/HelloCF.dpr <=="), std::string::npos) << "a build started after the interrupt";
  EXPECT_TRUE(printed.ends_with("0 built, 2 failed, 1 not built (interrupted)\n")) << printed;
  EXPECT_FALSE(fs::exists(root_ + "/C/dccil.pid"));
}
