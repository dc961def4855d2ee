// Unified diffs as `diff -u` writes them, byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "cli/UnifiedDiff.h"
#include "tests/TestWorld.h"

namespace {

TEST(UnifiedDiff, HunksCarryThreeLinesOfContextAndMergeWhenClose) {
  EXPECT_EQ(cli::UnifiedDiff("a\nb\n", "a\nb\n", "x", "y"), "");
  EXPECT_EQ(cli::UnifiedDiff("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n",
                             "1\n2\n3\n4\nfive\n6\n7\n8\n9\n10\n11\neleven\n12\n", "a/f", "b/f"),
            "--- a/f\n+++ b/f\n"
            "@@ -2,11 +2,12 @@\n 2\n 3\n 4\n-5\n+five\n 6\n 7\n 8\n 9\n 10\n 11\n+eleven\n 12\n");
  EXPECT_EQ(cli::UnifiedDiff("", "new\n", "/dev/null", "b/n"), "--- /dev/null\n+++ b/n\n@@ -0,0 +1 @@\n+new\n");
  EXPECT_EQ(
      cli::UnifiedDiff("a\r\nb", "a\r\nc", "a/u", "b/u"),
      "--- a/u\n+++ b/u\n@@ -1,2 +1,2 @@\n a\r\n-b\n\\ No newline at end of file\n+c\n\\ No newline at end of file\n");
}

#ifndef _WIN32
// Counts the lines a diff adds and removes.
int ChangedLines(const std::string& diff) {
  int changed = 0;
  for (size_t at = 0; at < diff.size(); at = diff.find('\n', at) + 1) {
    if (diff.compare(at, 4, "--- ") == 0 || diff.compare(at, 4, "+++ ") == 0) continue;
    if (diff[at] == '+' || diff[at] == '-') ++changed;
    if (diff.find('\n', at) == std::string::npos) break;
  }
  return changed;
}

// Random edits: patch(1) takes every diff back to the new text, and the diff
// is as short as diff(1)'s.
TEST(UnifiedDiff, PatchTakesItAndItIsAsShortAsDiffs) {
  if (std::system("diff --version >/dev/null 2>&1 && patch --version >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "needs diff and patch";
  const std::string folder =
      (std::filesystem::temp_directory_path() / ("tidewell-diff-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(folder);
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    std::string before, after;
    const int lines = 1 + static_cast<int>(random() % 60);
    for (int i = 0; i < lines; ++i) {
      std::string line = "line " + std::to_string(random() % 8) + (random() % 4 ? "\n" : "\r\n");
      before += line;
      switch (random() % 6) {
        case 0: break;                             // dropped
        case 1: after += line + "added\n"; break;  // one more
        case 2: after += "changed\n"; break;
        default: after += line;
      }
    }
    if (random() % 3 == 0) after += "no end";
    std::ofstream(folder + "/old", std::ios::binary) << before;
    std::ofstream(folder + "/new", std::ios::binary) << after;
    const std::string ours = cli::UnifiedDiff(before, after, "old", "new");
    std::ofstream(folder + "/ours.diff", std::ios::binary) << ours;
    (void)!std::system(("cd '" + folder +
                        "' && diff -u old new >theirs.diff; cp old patched && "
                        "patch -s patched ours.diff")
                           .c_str());
    EXPECT_EQ(testing_world::ReadHostFile(folder + "/patched"), after) << "round " << round << "\n" << ours;
    EXPECT_EQ(ChangedLines(ours), ChangedLines(testing_world::ReadHostFile(folder + "/theirs.diff"))) << round;
  }
  std::filesystem::remove_all(folder);
}
#endif

}  // namespace
