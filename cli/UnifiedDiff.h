#pragma once
// A unified diff of two texts, as `diff -u` writes it, so that a reader or
// `patch` can take it: lines are split after each line feed and kept with
// their own line ends (a carriage return stays part of its line).
#include <string>

namespace cli {

// The diff of `before` and `after` with three lines of context, headed by
// "--- " `oldName` and "+++ " `newName`; empty when the texts are equal.
// A text that does not end with a line feed is marked as diff marks it.
std::string UnifiedDiff(const std::string& before, const std::string& after, const std::string& oldName,
                        const std::string& newName);

}  // namespace cli
