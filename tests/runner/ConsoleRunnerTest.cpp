#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Files.h"
#include "platform/MessagePump.h"
#include "runner/ConsoleRunner.h"
#include "tests/TestWorld.h"

#ifdef _WIN32

// On Windows the programs are the system's own command interpreter: the
// command line reaches CreateProcessA as written, and the interpreter sees
// it whole (its blanks included).
class ConsoleRunnerTest : public testing_world::TestWorld {
 protected:
  std::string Run(const std::string& commandLine, const std::string& folder = ".") {
    return runner::getDOSOutput(commandLine, folder, messages);
  }
  testing_world::FakeMessages messages;
};

TEST_F(ConsoleRunnerTest, TheCommandLineArrivesUnchangedAndBothOutputsShareOneText) {
  EXPECT_EQ(Run("cmd /c echo a  \"b  c\""), "a  \"b  c\"\r\n");
  EXPECT_EQ(Run("cmd /c echo out& echo err 1>&2"), "out\r\nerr \r\n");
}

TEST_F(ConsoleRunnerTest, TheWorkingFolderIsTheOneGivenOrTheCallersCurrentFolder) {
  MakeFolder("C:\\Work Here");
  EXPECT_EQ(Run("cmd /c cd", "C:\\Work Here"), "C:\\Work Here\r\n");
  platform::SetCurrentDir("C:\\Work Here");
  EXPECT_EQ(Run("cmd /c cd"), "C:\\Work Here\r\n");
}

TEST_F(ConsoleRunnerTest, AProgramThatCannotStartGivesAnEmptyTextAndAReason) {
  EXPECT_EQ(Run("C:\\No\\Such\\Program.exe -x"), "");
  runner::ConsoleRun run = runner::RunConsoleCommand("C:\\No\\Such\\Program.exe -x", ".", messages);
  EXPECT_FALSE(run.Started);
  EXPECT_EQ(run.StartError, "C:\\No\\Such\\Program.exe was not found");
  EXPECT_TRUE(messages.errors.empty());
}

TEST(ConsoleRunnerPosix, ScriptedPrograms) {
  GTEST_SKIP() << "POSIX only: the programs these tests run are shell scripts and /bin tools";
}

#else

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

class ConsoleRunnerTest : public testing_world::TestWorld {
 protected:
  std::string Run(const std::string& commandLine, const std::string& folder = ".") {
    return runner::getDOSOutput(commandLine, folder, messages);
  }
  void Script(const std::string& windowsPath, const std::string& body) {
    Write(windowsPath, "#!/bin/sh\n" + body);
    ::chmod(Host(windowsPath).c_str(), 0755);
  }
  testing_world::FakeMessages messages;
};

TEST_F(ConsoleRunnerTest, StandardOutputAndErrorArriveInOneTextInTheOrderWritten) {
  EXPECT_EQ(Run(R"(/bin/sh -c "printf a; sleep 0.05; printf b >&2; sleep 0.05; printf c")"), "abc");
  EXPECT_TRUE(messages.errors.empty());
}

TEST_F(ConsoleRunnerTest, LineEndsAndAnUnterminatedLastLineComeBackUnchanged) {
  EXPECT_EQ(Run(R"(/bin/sh -c "printf 'one\r\ntwo\nthree'")"), "one\r\ntwo\nthree");
  std::string big(5000, 'x');
  EXPECT_EQ(Run("/bin/sh -c \"printf %05000d 0 | tr 0 x\""), big);
}

TEST_F(ConsoleRunnerTest, AZeroByteEndsTheTextOfItsOwnSixteenByteChunk) {
  EXPECT_EQ(Run(R"(/bin/sh -c "printf '0123456789ABCDEFgh\000ij'; sleep 0.1; printf kl")"), "0123456789ABCDEFghkl");
}

TEST_F(ConsoleRunnerTest, AProgramThatCannotStartOrSaysNothingGivesAnEmptyText) {
  EXPECT_EQ(Run("C:\\No\\Such\\Program.exe -x"), "");
  EXPECT_EQ(Run(""), "");
  EXPECT_EQ(Run("/bin/true"), "");
  EXPECT_EQ(Run("/bin/echo x", "C:\\No Such Folder"), "");
  EXPECT_TRUE(messages.errors.empty());
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ConsoleRunnerTest, TheWorkingFolderDotIsTheCallersCurrentFolder) {
  MakeFolder("C:\\Work Here");
  std::filesystem::current_path(Host("C:\\Work Here"));
  std::string real = std::filesystem::canonical(Host("C:\\Work Here")).string();
  EXPECT_EQ(Run("/bin/pwd -P"), real + "\n");
  EXPECT_EQ(Run("/bin/pwd -P", "C:\\"), std::filesystem::canonical(driveC_).string() + "\n");
}

TEST_F(ConsoleRunnerTest, ProgramsAreFoundByWindowsPathWithOrWithoutExeAndAcrossBlanks) {
  Script("C:\\Program Files\\Tool Kit\\args.exe", "for a in \"$@\"; do printf '[%s]' \"$a\"; done\n");
  EXPECT_EQ(Run(R"(C:\program files\tool kit\ARGS.EXE one "two words" three)"), "[one][two words][three]");
  EXPECT_EQ(Run(R"("C:\Program Files\Tool Kit\args" a\\b "c\"d" "")"), "[a\\\\b][c\"d][]");
  EXPECT_EQ(Run(R"(C:\Program Files\Tool Kit\args -U"C:\L" /compile "C:\P\a.resx","C:\P\a.resources")"),
            "[-UC:\\L][/compile][C:\\P\\a.resx,C:\\P\\a.resources]");
}

TEST_F(ConsoleRunnerTest, TheHostPumpRunsBeforeTheFirstReadAndAfterEveryRead) {
  int pumps = 0;
  platform::SetMessagePump([&] { ++pumps; });
  std::string out = Run(R"(/bin/sh -c "printf 0123456789ABCDEF0123")");
  platform::SetMessagePump(nullptr);
  EXPECT_EQ(out, "0123456789ABCDEF0123");
  EXPECT_GE(pumps, 3);  // before, after the 16 bytes, after the 4
}

TEST_F(ConsoleRunnerTest, StandardInputIsAtItsEndSoAToolThatReadsItNeverWaits) {
  // End of file (status 1), not a read that times out (above 128).
  EXPECT_EQ(Run(R"(/bin/bash -c "read -t 5 x; echo status=$?")"), "status=1\n");
}

TEST_F(ConsoleRunnerTest, HowTheProgramEndedIsKnownByExitCodeOrSignal) {
  runner::ConsoleRun run = runner::RunConsoleCommand(R"(/bin/sh -c "echo x; exit 3")", ".", messages);
  ASSERT_TRUE(run.Exit);
  EXPECT_EQ(run.Exit->Code, 3);
  EXPECT_EQ(platform::DescribeExit(*run.Exit), "status 3");
  run = runner::RunConsoleCommand(R"(/bin/sh -c "kill -SEGV $$")", ".", messages);
  ASSERT_TRUE(run.Exit);
  EXPECT_EQ(platform::DescribeExit(*run.Exit), "signal 11 (SIGSEGV)");
  EXPECT_TRUE(run.Exit->Failed());
  run = runner::RunConsoleCommand("/bin/true", ".", messages);
  ASSERT_TRUE(run.Exit);
  EXPECT_FALSE(run.Exit->Failed());
}

TEST_F(ConsoleRunnerTest, AStartFailureSaysWhy) {
  Write("C:\\Tools\\tool", "#!/bin/sh\necho never\n");  // not executable
  runner::ConsoleRun run = runner::RunConsoleCommand("C:\\Tools\\tool", ".", messages);
  EXPECT_FALSE(run.Started);
  EXPECT_EQ(run.StartError, Host("C:\\Tools\\tool") + " could not be started: Permission denied");
}

TEST_F(ConsoleRunnerTest, AChildThatOutlivesItsOutputIsStillReaped) {
  EXPECT_EQ(Run(R"(/bin/sh -c "printf early; exec >&- 2>&-; sleep 0.3")"), "early");
  // Once the child has ended, it is gone: no zombie is left behind.
  bool gone = false;
  for (int i = 0; i < 100 && !gone; ++i) {
    ::usleep(50 * 1000);
    // Looks without reaping (WNOWAIT), so only the runner can have reaped it.
    siginfo_t info{};
    errno = 0;
    gone = ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == -1 && errno == ECHILD;
  }
  EXPECT_TRUE(gone);
}

TEST_F(ConsoleRunnerTest, TwoMillionLinesAndASilentExitBothEndTheRun) {
  std::string out = Run(R"(/bin/sh -c "seq 2000000")");
  EXPECT_EQ(out.size(), 14888896u);
  EXPECT_TRUE(out.ends_with("\n2000000\n"));
  EXPECT_EQ(Run(R"(/bin/sh -c "exit 3")"), "");
}

TEST_F(ConsoleRunnerTest, WindowsProgramsRunThroughWineInThePrefixTheDrivesComeFrom) {
  Write("C:\\Tools\\dccil.exe", "MZ, a Windows program");
  // Without wine, the program cannot start, and the reason names wine.
  const char* oldPath = std::getenv("PATH");
  const std::string path = oldPath ? oldPath : "";
  MakeFolder("C:\\nowine");
  ::setenv("PATH", (driveC_ + "/nowine").c_str(), 1);  // the drive's own folder: "c:" would split PATH
  runner::ConsoleRun run = runner::RunConsoleCommand("C:\\Tools\\dccil.exe -x", ".", messages);
  EXPECT_FALSE(run.Started);
  EXPECT_NE(run.StartError.find("needs wine"), std::string::npos) << run.StartError;

  // A wine that tells what it was given: the prefix is the folder that holds
  // the dosdevices folder, and the program comes first.
  Script("C:\\bin\\wine", "echo \"$WINEPREFIX|$1|$2\"\n");
  ::setenv("PATH", (driveC_ + "/bin:" + path).c_str(), 1);
  run = runner::RunConsoleCommand("C:\\Tools\\dccil.exe -x", ".", messages);
  ::setenv("PATH", path.c_str(), 1);
  EXPECT_TRUE(run.Started);
  EXPECT_EQ(run.Output, root_ + "|" + Host("C:\\Tools\\dccil.exe") + "|-x\n");
}

#endif
