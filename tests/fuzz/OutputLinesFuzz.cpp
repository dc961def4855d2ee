// Console output into message lines: single, non-blank lines, in order, and
// the last one selected. A CR after a blank start of a line is dropped and
// the line carries on, so each line is a run of the text without its CRs.
#include <string>

#include "platform/Text.h"
#include "runner/MessageList.h"
#include "runner/OutputLines.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  runner::MessageLines list;
  runner::AppendOutputLines(text, list);
  std::string withoutCr;
  for (char c : text)
    if (c != '\r') withoutCr += c;
  size_t from = 0;
  for (const std::string& line : list.Lines()) {
    FUZZ_CHECK(line.find('\n') == std::string::npos && !platform::Trim(line).empty());
    size_t at = withoutCr.find(line, from);
    FUZZ_CHECK(at != std::string::npos);
    from = at + line.size();
  }
  FUZZ_CHECK(list.ItemIndex() == list.Count() - 1);
  return 0;
}
