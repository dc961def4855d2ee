// The compiler's messages as CI systems read them, byte for byte.
#include <gtest/gtest.h>

#include <regex>

#include "cli/CiMessages.h"
#include "platform/CodePage.h"
#include "runner/CompilerMessage.h"

namespace {

using runner::CompilerMessage;
using runner::ParseCompilerMessage;

TEST(CompilerMessage, ReadsPlaceKindAndTextOfEachKind) {
  auto error = ParseCompilerMessage("WinForm.pas(71) Error: Undeclared identifier: 'x'");
  ASSERT_TRUE(error);
  EXPECT_EQ(error->File, "WinForm.pas");
  EXPECT_EQ(error->Line, 71);
  EXPECT_EQ(error->Kind, "error");
  EXPECT_EQ(error->Text, "Undeclared identifier: 'x'");

  auto warning = ParseCompilerMessage("C:\\My Projects\\Unit (old).pas(3,14) Warning: Unsafe code 'Hint: x'");
  ASSERT_TRUE(warning);
  EXPECT_EQ(warning->File, "C:\\My Projects\\Unit (old).pas");
  EXPECT_EQ(warning->Line, 3);
  EXPECT_EQ(warning->Kind, "warning");
  EXPECT_EQ(warning->Text, "Unsafe code 'Hint: x'");  // the first kind word decides

  auto fatal = ParseCompilerMessage("Fatal: No project file given");
  ASSERT_TRUE(fatal);
  EXPECT_EQ(fatal->File, "");
  EXPECT_EQ(fatal->Line, 0);
  EXPECT_EQ(fatal->Kind, "fatal");
  EXPECT_EQ(ParseCompilerMessage("X.dpr(9) Hint: Value assigned is never used")->Kind, "hint");
}

TEST(CompilerMessage, OtherLinesAreNoMessages) {
  for (const char* line : {"WinForm.pas", "88 lines, 0.04 seconds, 4096 bytes code.", "MyError: x",
                           "Compiling Error: stage", "X.pas(a) Error: y", "X.pas(3 Error: y", "(3) Error: y",
                           "X.pas(3,) Error: y", "X.pas(12345678901) Error: y", "X.pas(3)Error: y"})
    EXPECT_FALSE(ParseCompilerMessage(line)) << line;
}

TEST(CiMessages, GitHubAnnotationsForErrorsWarningsAndHintsAsNotices) {
  CompilerMessage message{"WinForm.pas", 71, "error", "100% wrong\r\nhere"};
  EXPECT_EQ(cli::GitHubAnnotation(message, "src/App,v2/Win:Form.pas"),
            "::error file=src/App%2Cv2/Win%3AForm.pas,line=71::100%25 wrong%0D%0Ahere\n");
  message.Kind = "fatal";
  EXPECT_EQ(cli::GitHubAnnotation(message, ""), "::error::100%25 wrong%0D%0Ahere\n");
  EXPECT_EQ(cli::GitHubAnnotation({"U.pas", 2, "warning", "a: b, c"}, "U.pas"),
            "::warning file=U.pas,line=2::a: b, c\n");
  EXPECT_EQ(cli::GitHubAnnotation({"U.pas", 2, "hint", "x"}, "U.pas"), "::notice file=U.pas,line=2::x\n");
}

// A build that could not start is one record of each CI format.
TEST(CiMessages, ABuildThatCouldNotStartIsOneRecordOfEachFormat) {
  using cli::MessageFormat;
  EXPECT_EQ(cli::StartFailure(MessageFormat::Json, "project file not found: X.dpr"),
            "{\"file\":null,\"line\":null,\"column\":null,\"kind\":\"fatal\",\"text\":\"project file not found: "
            "X.dpr\"}\n");
  EXPECT_EQ(cli::StartFailure(MessageFormat::GitHub, "a, b: c"), "::error::a, b: c\n");
  EXPECT_EQ(cli::StartFailure(MessageFormat::Gcc, "no dccil"), "tidewell: error: no dccil\n");
  EXPECT_EQ(cli::StartFailure(MessageFormat::List, "no dccil"), "");
}

TEST(CiMessages, JsonLinesAreValidWhateverTheTextHolds) {
  EXPECT_EQ(cli::JsonMessage({"U.pas", 2, "warning", "say \"hi\"\\\t\x01", 7}, "dir/U.pas"),
            "{\"file\":\"dir/U.pas\",\"line\":2,\"column\":7,\"kind\":\"warning\",\"text\":\"say "
            "\\\"hi\\\"\\\\\\t\\u0001\"}\n");
  EXPECT_EQ(cli::JsonMessage({"", 0, "fatal", "No project"}, ""),
            "{\"file\":null,\"line\":null,\"column\":null,\"kind\":\"fatal\",\"text\":\"No project\"}\n");
  // UTF-8 passes; any other byte is the Windows code page's character, so
  // the line is valid UTF-8 whatever the compiler printed (a lone
  // surrogate's bytes, an overlong form, a code point past U+10FFFF).
  EXPECT_EQ(cli::JsonMessage({"", 0, "error",
                              "F\xC3\xB6rm \x91"
                              "Foo\x92 \x80 \xC3"},
                             ""),
            "{\"file\":null,\"line\":null,\"column\":null,\"kind\":\"error\",\"text\":\"F\xC3\xB6rm "
            "\xE2\x80\x98"
            "Foo\xE2\x80\x99 \xE2\x82\xAC \xC3\x83\"}\n");
  for (const char* bad : {"\xED\xA0\x80", "\xC0\xAF", "\xF4\x90\x80\x80"}) {
    const std::string line = cli::JsonMessage({"", 0, "error", bad}, "");
    EXPECT_EQ(line.find(bad), std::string::npos) << line;
    EXPECT_EQ(platform::Utf8ToCodePage(platform::ToUtf8(bad)), bad);  // each byte as the code page has it
  }
}

// The form editors read: VS Code's $gcc problem matcher takes every line.
TEST(CiMessages, GccLinesAreWhatTheGccProblemMatcherReads) {
  const std::regex gcc(R"(^(.*?):(\d+):(\d*):?\s+(?:fatal\s+)?(warning|error):\s+(.*)$)");
  EXPECT_EQ(cli::GccMessage({"U.pas", 10, "error", "Undeclared identifier: 'x'", 5}, "src/U.pas"),
            "src/U.pas:10:5: error: Undeclared identifier: 'x'\n");
  EXPECT_EQ(cli::GccMessage({"U.pas", 3, "warning", "Error: quoted"}, "U.pas"), "U.pas:3: warning: Error: quoted\n");
  EXPECT_EQ(cli::GccMessage({"U.pas", 3, "fatal", "stop"}, "U.pas"), "U.pas:3: error: stop\n");
  EXPECT_EQ(cli::GccMessage({"U.pas", 4, "hint", "unused"}, "U.pas"), "U.pas:4: note: unused\n");
  EXPECT_EQ(cli::GccMessage({"", 0, "fatal", "No project"}, ""), "tidewell: error: No project\n");
  std::smatch found;
  const std::string line = cli::GccMessage({"U.pas", 10, "error", "x", 5}, "src/U.pas");
  const std::string withoutEnd = line.substr(0, line.size() - 1);
  ASSERT_TRUE(std::regex_match(withoutEnd, found, gcc));
  EXPECT_EQ(found[1], "src/U.pas");
  EXPECT_EQ(found[2], "10");
  EXPECT_EQ(found[3], "5");
  EXPECT_EQ(found[4], "error");
  EXPECT_TRUE(std::regex_match("U.pas:3: warning: w", gcc));
  // The column is kept in every form.
  EXPECT_EQ(cli::GitHubAnnotation({"U.pas", 10, "error", "x", 5}, "U.pas"), "::error file=U.pas,line=10,col=5::x\n");
  const auto parsed = ParseCompilerMessage("Unit1.pas(10,5) Error: x");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->Column, 5);
}

TEST(CiMessages, FilesAreShownRelativeToTheCurrentFolderWhenInsideIt) {
  EXPECT_EQ(cli::DisplayPath("WinForm.pas", "/work/app/", "/work"), "app/WinForm.pas");
  EXPECT_EQ(cli::DisplayPath("sub/../WinForm.pas", "/work/app", "/work/app"), "WinForm.pas");
  EXPECT_EQ(cli::DisplayPath("/lib/Unit.pas", "/work/app", "/work"), "/lib/Unit.pas");
  EXPECT_EQ(cli::DisplayPath("WinForm.pas", "/work/app", "/work/application"), "/work/app/WinForm.pas");
  EXPECT_EQ(cli::DisplayPath("", "/work/app", "/work"), "");
}

TEST(CiMessages, FormatNames) {
  cli::MessageFormat format = cli::MessageFormat::List;
  EXPECT_TRUE(cli::ParseMessageFormat("github", format));
  EXPECT_EQ(format, cli::MessageFormat::GitHub);
  EXPECT_TRUE(cli::ParseMessageFormat("json", format));
  EXPECT_EQ(format, cli::MessageFormat::Json);
  EXPECT_TRUE(cli::ParseMessageFormat("gcc", format));
  EXPECT_EQ(format, cli::MessageFormat::Gcc);
  EXPECT_FALSE(cli::ParseMessageFormat("JSON", format));
  EXPECT_EQ(format, cli::MessageFormat::Gcc);  // a wrong name changes nothing
}

}  // namespace
