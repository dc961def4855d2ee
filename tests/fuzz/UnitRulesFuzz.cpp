// The unit line rules: the fast text form gives the same bytes as the rules
// applied to a list of lines.
#include <string>

#include "pipeline/SourceAdaptation.h"
#include "tests/pipeline/UnitLines.h"
#include "platform/TextLines.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  platform::Lines lines = platform::SplitLines(text);
  testing_world::AdaptUnitLines(lines);
  FUZZ_CHECK(pipeline::AdaptUnitText(text) == platform::JoinLines(lines));
  return 0;
}
