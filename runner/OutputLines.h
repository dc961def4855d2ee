#pragma once
#include <string_view>

#include "runner/MessageList.h"

namespace runner {

// Adds the non-blank lines of console text to the list, unchanged, and selects
// the last item. LF ends a line; CR ends a non-blank line (a blank one carries
// on); an unterminated last line is dropped. Blank: empty once the characters
// with codes 0 to 32 are removed from both ends.
void AppendOutputLines(std::string_view text, MessageList& list);

}  // namespace runner
