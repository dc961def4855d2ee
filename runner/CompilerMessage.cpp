#include "runner/CompilerMessage.h"

#include <cctype>

namespace runner {

namespace {

struct KindWord {
  const char* Word;
  const char* Kind;
};
constexpr KindWord KindWords[] = {
    {"Error: ", "error"}, {"Fatal: ", "fatal"}, {"Warning: ", "warning"}, {"Hint: ", "hint"}};

bool AllDigits(const std::string& text) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// "FILE(LINE)" or "FILE(LINE,COLUMN)" into file and line.
bool ParsePlace(const std::string& place, CompilerMessage& message) {
  if (place.size() < 4 || place.back() != ')') return false;
  size_t open = place.rfind('(');
  if (open == std::string::npos || open == 0) return false;
  std::string numbers = place.substr(open + 1, place.size() - open - 2);
  std::string line = numbers.substr(0, numbers.find(','));
  if (!AllDigits(line)) return false;
  if (line.size() < numbers.size() && !AllDigits(numbers.substr(line.size() + 1))) return false;
  message.File = place.substr(0, open);
  message.Line = std::stoi(line);
  if (line.size() < numbers.size()) message.Column = std::stoi(numbers.substr(line.size() + 1));
  return true;
}

}  // namespace

std::optional<CompilerMessage> ParseCompilerMessage(const std::string& line) {
  // The first kind word at the start of the line or after a blank.
  size_t best = std::string::npos;
  const KindWord* kind = nullptr;
  for (const KindWord& candidate : KindWords) {
    for (size_t at = line.find(candidate.Word); at != std::string::npos && at < best;
         at = line.find(candidate.Word, at + 1)) {
      if (at == 0 || line[at - 1] == ' ') {
        best = at;
        kind = &candidate;
        break;
      }
    }
  }
  if (!kind) return std::nullopt;
  CompilerMessage message;
  message.Kind = kind->Kind;
  message.Text = line.substr(best + std::string(kind->Word).size());
  std::string place = line.substr(0, best);
  while (!place.empty() && place.back() == ' ') place.pop_back();
  if (!place.empty() && !ParsePlace(place, message)) return std::nullopt;
  return message;
}

}  // namespace runner
