// Console output into message lines: single, non-blank lines, in order, and
// the last one selected.
#include <string>

#include "platform/Text.h"
#include "runner/MessageList.h"
#include "runner/OutputLines.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  runner::MessageLines list;
  runner::AppendOutputLines(text, list);
  size_t from = 0;
  for (const std::string& line : list.Lines()) {
    FUZZ_CHECK(line.find('\n') == std::string::npos && !platform::Trim(line).empty());
    size_t at = text.find(line, from);
    FUZZ_CHECK(at != std::string::npos);
    from = at + line.size();
  }
  FUZZ_CHECK(list.ItemIndex() == list.Count() - 1);
  return 0;
}
