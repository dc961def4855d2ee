#include "runner/OutputLines.h"

#include <string>

#include "platform/Text.h"

namespace runner {

namespace {
bool IsBlank(const std::string& line) { return platform::Trim(line).empty(); }
}  // namespace

void AppendOutputLines(std::string_view text, MessageList& list) {
  std::string pending;
  for (char c : text) {
    if (c == '\n') {
      if (!IsBlank(pending)) list.Add(pending);
      pending.clear();
    } else if (c == '\r') {
      if (!IsBlank(pending)) {
        list.Add(pending);
        pending.clear();
      }
    } else {
      pending += c;
    }
  }
  list.SetItemIndex(list.Count() - 1);
}

}  // namespace runner
