// Line splitting and name=value lookup.
#include <string>

#include "platform/TextLines.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const platform::Lines lines = platform::SplitLines(text);
  const auto views = platform::SplitLineViews(text);
  FUZZ_CHECK(views.size() == lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    FUZZ_CHECK(views[i] == lines[i]);
    FUZZ_CHECK(lines[i].find_first_of("\r\n") == std::string::npos);
  }
  // Written out and read again, the lines are the same.
  FUZZ_CHECK(platform::SplitLines(platform::JoinLines(lines)) == lines);
  // Every line's name finds a line with that name, the first one.
  for (const std::string& line : lines) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    int at = platform::IndexOfName(lines, line.substr(0, eq));
    FUZZ_CHECK(at >= 0 && lines[static_cast<size_t>(at)].find('=') != std::string::npos);
    const std::string& found = lines[static_cast<size_t>(at)];
    FUZZ_CHECK(platform::ValueOf(lines, line.substr(0, eq)) == found.substr(found.find('=') + 1));
  }
  return 0;
}
