#include "cli/CommandOptions.h"

#include <gtest/gtest.h>

namespace {
const std::vector<cli::OptionRule> Specs = {
    {"--help", 'h'}, {"--dry-run", 'n'}, {"--messages", 0, true}, {"--set", 0, true, true}};

cli::CommandLineOptions Parse(std::vector<std::string> args) { return cli::ParseCommandLine(args, Specs); }
}  // namespace

TEST(CommandOptions, ValuesComeAttachedOrAfterAndShortFlagsStandForTheirLongNames) {
  const cli::CommandLineOptions parsed = Parse({"-n", "--messages=json", "App.dpr", "--set", "A=1", "--set=B=2"});
  EXPECT_TRUE(parsed.Problem.empty()) << parsed.Problem;
  EXPECT_TRUE(parsed.Has("--dry-run"));
  EXPECT_EQ(parsed.Value("--messages"), "json");
  EXPECT_EQ(parsed.Given.at("--set"), (std::vector<std::string>{"A=1", "B=2"}));
  EXPECT_EQ(parsed.Operands, (std::vector<std::string>{"App.dpr"}));
  EXPECT_EQ(Parse({"--messages", "github"}).Value("--messages"), "github");
  EXPECT_EQ(Parse({"--messages", "list"}).Operands.size(), 0u);  // the value is no operand
}

TEST(CommandOptions, OperandsAfterTwoDashesAndALoneDashAreNeverOptions) {
  EXPECT_EQ(Parse({"--", "-n", "--help"}).Operands, (std::vector<std::string>{"-n", "--help"}));
  EXPECT_EQ(Parse({"-"}).Operands, (std::vector<std::string>{"-"}));
}

TEST(CommandOptions, MistakesAreNamed) {
  EXPECT_EQ(Parse({"--frobnicate"}).Problem, "unknown option '--frobnicate'");
  EXPECT_EQ(Parse({"-x"}).Problem, "unknown option '-x'");
  EXPECT_EQ(Parse({"-nh"}).Problem, "unknown option '-nh'");
  EXPECT_EQ(Parse({"--messages"}).Problem, "--messages needs a value");
  EXPECT_EQ(Parse({"--messages="}).Problem, "--messages needs a value");
  EXPECT_EQ(Parse({"--messages=json", "--messages=list"}).Problem, "--messages given twice");
  EXPECT_EQ(Parse({"--dry-run=yes"}).Problem, "--dry-run takes no value");
  EXPECT_EQ(Parse({"--dry-run", "-n"}).Problem, "--dry-run given twice");
}

TEST(CommandOptions, AShortOptionsValueMayFollowItsLetter) {
  const std::vector<cli::OptionRule> rules = {{"--jobs", 'j', true}, {"--dry-run", 'n'}};
  EXPECT_EQ(cli::ParseCommandLine({"-j4"}, rules).Value("--jobs"), "4");
  EXPECT_EQ(cli::ParseCommandLine({"-j", "2", "A.dpr"}, rules).Operands, (std::vector<std::string>{"A.dpr"}));
  EXPECT_EQ(cli::ParseCommandLine({"-nfoo"}, rules).Problem, "unknown option '-nfoo'");
}
