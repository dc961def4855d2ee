// Windows command lines: arguments split, quoted and split again come back
// unchanged; the program part never crashes.
#include <string>

#include "platform/CommandLine.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> args = platform::SplitArguments(text);
  std::string line;
  for (const std::string& arg : args) line += " " + platform::QuoteArgument(arg);
  FUZZ_CHECK(platform::SplitArguments(line) == args);
  platform::ProgramText(text);
  platform::ResolveCommandLine(text, [](const std::string& program) -> std::optional<std::string> {
    return program.size() % 3 == 0 ? std::optional<std::string>(program) : std::nullopt;
  });
  return 0;
}
