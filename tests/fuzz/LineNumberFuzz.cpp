// The line number of a compiler message.
#include <string>

#include "platform/Text.h"
#include "runner/JumpToSource.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string message(reinterpret_cast<const char*>(data), size);
  const std::string number = runner::LineNumberText(message);
  FUZZ_CHECK(number.find(')') == std::string::npos);
  if (message.find(".pas") == std::string::npos) FUZZ_CHECK(number.empty());
  FUZZ_CHECK(runner::LineNumberOf(message) == platform::StrToIntDef(number, 0));
  return 0;
}
