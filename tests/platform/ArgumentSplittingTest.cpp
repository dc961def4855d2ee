#include <gtest/gtest.h>

#include "platform/CommandLine.h"

using Args = std::vector<std::string>;

TEST(ArgumentSplitting, ArgumentsSplitByTheWindowsRules) {
  EXPECT_EQ(platform::SplitArguments(R"(a b	c)"), (Args{"a", "b", "c"}));
  EXPECT_EQ(platform::SplitArguments(R"("a b" c)"), (Args{"a b", "c"}));
  EXPECT_EQ(platform::SplitArguments(R"(-U"C:\L" -lu"")"), (Args{"-UC:\\L", "-lu"}));
  EXPECT_EQ(platform::SplitArguments(R"(a\\b "c\\" d)"), (Args{"a\\\\b", "c\\", "d"}));
  EXPECT_EQ(platform::SplitArguments(R"(\"quoted\" "in""side")"), (Args{"\"quoted\"", "in\"side"}));
  EXPECT_EQ(platform::SplitArguments(R"(a\\\"b)"), (Args{"a\\\"b"}));
  EXPECT_EQ(platform::SplitArguments(R"("C:\P\x.resx","C:\P\x.resources")"),
            (Args{"C:\\P\\x.resx,C:\\P\\x.resources"}));
  EXPECT_EQ(platform::SplitArguments("   "), Args{});
}

namespace {
std::optional<std::string> OnlyProgramFiles(const std::string& text) {
  if (text == "C:\\Program Files\\SDK\\ResGen.exe") return "/host/ResGen.exe";
  if (text == "C:\\tool") return "/host/tool";
  return std::nullopt;
}
}  // namespace

TEST(ArgumentSplitting, AnUnquotedProgramWithBlanksIsFoundAsCreateProcessFindsIt) {
  auto r = platform::ResolveCommandLine(R"(C:\Program Files\SDK\ResGen.exe /compile "C:\P\a.resx","C:\P\a.resources")",
                                        &OnlyProgramFiles);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Program, "/host/ResGen.exe");
  EXPECT_EQ(r->Arguments, (Args{"/compile", "C:\\P\\a.resx,C:\\P\\a.resources"}));
}

TEST(ArgumentSplitting, AQuotedProgramEndsAtItsQuote) {
  auto r = platform::ResolveCommandLine(R"("C:\tool" -x "y z")", &OnlyProgramFiles);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Program, "/host/tool");
  EXPECT_EQ(r->Arguments, (Args{"-x", "y z"}));
  EXPECT_TRUE(platform::ResolveCommandLine(R"("C:\Program Files\SDK\ResGen.exe)", &OnlyProgramFiles));
  EXPECT_FALSE(platform::ResolveCommandLine("C:\\nothing here", &OnlyProgramFiles));
  EXPECT_FALSE(platform::ResolveCommandLine("", &OnlyProgramFiles));
}

TEST(ArgumentSplitting, QuotedArgumentsSplitBackUnchangedAndProgramsAreNamedAsWritten) {
  const Args args{"plain", "", "two words", "tab\there", "quote\"inside", "trailing\\", "\\\\\"", "a\\b"};
  std::string line;
  for (const std::string& a : args) line += " " + platform::QuoteArgument(a);
  EXPECT_EQ(platform::SplitArguments(line), args);
  EXPECT_EQ(platform::QuoteArgument("plain"), "plain");
  EXPECT_EQ(platform::QuoteArgument("trailing\\ x"), "\"trailing\\ x\"");
  EXPECT_EQ(platform::ProgramText("\"C:\\Program Files\\dccil\" -DCF"), "C:\\Program Files\\dccil");
  EXPECT_EQ(platform::ProgramText("  C:\\Tools\\ResGen.exe /compile"), "C:\\Tools\\ResGen.exe");
}
