#pragma once
// One line of the compiler's output read as a message: "FILE(LINE) Kind: text"
// or "Kind: text", where Kind is Error, Fatal, Warning or Hint and stands at
// the start of the line or after a blank. A column may follow the line
// number ("FILE(LINE,COLUMN)").
#include <optional>
#include <string>

namespace runner {

struct CompilerMessage {
  std::string File;  // as the compiler names it; empty when the line names none
  int Line = 0;      // 0 when the line names none
  std::string Kind;  // "error", "fatal", "warning" or "hint"
  std::string Text;  // what follows "Kind: "
  int Column = 0;    // 0 when the line names none
};

std::optional<CompilerMessage> ParseCompilerMessage(const std::string& line);

// True for a message that ends the build: an error or a fatal error.
inline bool IsFailure(const CompilerMessage& message) { return message.Kind == "error" || message.Kind == "fatal"; }

}  // namespace runner
