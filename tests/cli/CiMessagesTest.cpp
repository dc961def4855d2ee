// The compiler's messages as CI systems read them, byte for byte.
#include <gtest/gtest.h>

#include "cli/CiMessages.h"
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

TEST(CiMessages, GitHubAnnotationsForErrorsAndWarningsOnly) {
  CompilerMessage message{"WinForm.pas", 71, "error", "100% wrong\r\nhere"};
  EXPECT_EQ(cli::GitHubAnnotation(message, "src/App,v2/Win:Form.pas"),
            "::error file=src/App%2Cv2/Win%3AForm.pas,line=71::100%25 wrong%0D%0Ahere\n");
  message.Kind = "fatal";
  EXPECT_EQ(cli::GitHubAnnotation(message, ""), "::error::100%25 wrong%0D%0Ahere\n");
  EXPECT_EQ(cli::GitHubAnnotation({"U.pas", 2, "warning", "a: b, c"}, "U.pas"),
            "::warning file=U.pas,line=2::a: b, c\n");
  EXPECT_EQ(cli::GitHubAnnotation({"U.pas", 2, "hint", "x"}, "U.pas"), "");
}

TEST(CiMessages, JsonLinesAreValidWhateverTheTextHolds) {
  EXPECT_EQ(cli::JsonMessage({"U.pas", 2, "warning", "say \"hi\"\\\t\x01"}, "dir/U.pas"),
            "{\"file\":\"dir/U.pas\",\"line\":2,\"kind\":\"warning\",\"text\":\"say \\\"hi\\\"\\\\\\t\\u0001\"}\n");
  EXPECT_EQ(cli::JsonMessage({"", 0, "fatal", "No project"}, ""),
            "{\"file\":null,\"line\":null,\"kind\":\"fatal\",\"text\":\"No project\"}\n");
  // UTF-8 passes; a Windows code page byte becomes its Latin-1 character.
  EXPECT_EQ(cli::JsonMessage({"", 0, "error", "F\xC3\xB6rm F\xF6rm \xC3"}, ""),
            "{\"file\":null,\"line\":null,\"kind\":\"error\",\"text\":\"F\xC3\xB6rm F\\u00f6rm \\u00c3\"}\n");
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
  EXPECT_FALSE(cli::ParseMessageFormat("JSON", format));
  EXPECT_EQ(format, cli::MessageFormat::Json);
}

}  // namespace
