#pragma once
// The unit line rules applied to a list of lines, as the tests and the fuzz
// target compare them with the text form the build uses.
#include "pipeline/SourceAdaptation.h"
#include "platform/TextLines.h"

namespace testing_world {

// True when a line changed.
inline bool AdaptUnitLines(platform::Lines& lines) {
  bool changed = false;
  const size_t count = lines.size();
  for (size_t j = 0; j < count; ++j) {
    std::string_view next = j + 1 < count ? std::string_view(lines[j + 1]) : std::string_view();
    std::string_view secondNext = j + 2 < count ? std::string_view(lines[j + 2]) : std::string_view();
    if (auto edited = pipeline::AdaptUnitLine(lines[j], next, secondNext)) {
      lines[j] = std::move(*edited);
      changed = true;
    }
  }
  return changed;
}

}  // namespace testing_world
