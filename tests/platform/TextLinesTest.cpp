#include <gtest/gtest.h>

#include "platform/TextLines.h"

using platform::Lines;

TEST(TextLines, EveryKindOfLineBreakEndsALineAndAFinalBreakAddsNone) {
  EXPECT_EQ(platform::SplitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(platform::SplitLines("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(platform::SplitLines("a\r\r\n\nb"), (Lines{"a", "", "", "b"}));
  EXPECT_EQ(platform::SplitLines("a\n\nb\n\n"), (Lines{"a", "", "b", ""}));  // blank lines of an LF file stay
  EXPECT_EQ(platform::SplitLines(""), Lines{});
  EXPECT_EQ(platform::SplitLines("\r\n"), (Lines{""}));
}

TEST(TextLines, WritingPutsCrLfAfterEveryLineSoLoneCrsSplitOnTheNextRead) {
  Lines lines{"one\rtwo", "", "three"};
  std::string text = platform::JoinLines(lines);
  EXPECT_EQ(text, "one\rtwo\r\n\r\nthree\r\n");
  EXPECT_EQ(platform::SplitLines(text), (Lines{"one", "two", "", "three"}));
}

TEST(TextLines, NameLookupIgnoresCaseTakesTheFirstLineAndKeepsLaterEquals) {
  Lines lines{"no equals here", "Key=first", "KEY=second", "Url=a=b=c", "Empty=", "=nameless"};
  EXPECT_EQ(platform::ValueOf(lines, "key"), "first");
  EXPECT_EQ(platform::ValueOf(lines, "url"), "a=b=c");
  EXPECT_EQ(platform::ValueOf(lines, "Empty"), "");
  EXPECT_EQ(platform::IndexOfName(lines, "Empty"), 4);
  EXPECT_EQ(platform::IndexOfName(lines, "no equals here"), -1);
  EXPECT_EQ(platform::IndexOfName(lines, "Missing"), -1);
}
