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
  const Args args{"plain",      "",       "two words", "tab\there",   "quote\"inside",
                  "trailing\\", "\\\\\"", "a\\b",      "C:\\My Dir\\"};
  std::string line;
  for (const std::string& a : args) line += " " + platform::QuoteArgument(a);
  EXPECT_EQ(platform::SplitArguments(line), args);
  EXPECT_EQ(platform::QuoteArgument("plain"), "plain");
  EXPECT_EQ(platform::QuoteArgument("trailing\\ x"), "\"trailing\\ x\"");
  EXPECT_EQ(platform::ProgramText("\"C:\\Program Files\\dccil\" -DCF"), "C:\\Program Files\\dccil");
  EXPECT_EQ(platform::ProgramText("  C:\\Tools\\ResGen.exe /compile"), "C:\\Tools\\ResGen.exe");
}

#ifndef _WIN32
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "tests/TestWorld.h"

class ProgramLookupTest : public testing_world::TestWorld {};

TEST_F(ProgramLookupTest, AProgramIsFoundAsNamedThenWithExeAndOnThePathOnlyWhenItMayRun) {
  Write("C:\\Tools\\ResGen.exe", "MZ");
  EXPECT_EQ(platform::FindProgram("C:\\Tools\\ResGen"), Host("C:\\Tools\\ResGen.exe"));
  EXPECT_FALSE(platform::FindProgram("C:\\Tools\\Missing"));
  Write("C:\\bin\\ghost", "#!/bin/sh\n");  // no execute permission
  Write("C:\\bin\\tool", "#!/bin/sh\n");
  ::chmod(Host("C:\\bin\\tool").c_str(), 0755);
  const std::string oldPath = std::getenv("PATH");
  const std::string bin = driveC_ + "/bin";  // no ":" in it, as $PATH needs
  ::setenv("PATH", bin.c_str(), 1);
  EXPECT_FALSE(platform::FindProgram("ghost"));
  EXPECT_EQ(platform::FindProgram("tool"), bin + "/tool");
  ::setenv("PATH", oldPath.c_str(), 1);
}
#endif
