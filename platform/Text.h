#pragma once
// Small text helpers in the manner of the host run-time library: letter case
// without regard to locale (single-byte text), trimming, integer reading.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);
// <0, 0 or >0, comparing without regard to letter case.
int CompareText(std::string_view a, std::string_view b);

// Removes characters with codes 0 to 32 from both ends (Trim) or one end.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// Reads a whole decimal integer: leading blanks and a sign allowed, nothing
// else around the digits. Empty on anything else.
std::optional<int> ParseInt(std::string_view s);
// As ParseInt, with a default for text that does not convert.
int StrToIntDef(std::string_view s, int fallback);

bool Contains(std::string_view text, std::string_view part);

// A floating-point number given as text, appended as printf's "%.15G"
// writes it: 15 significant digits, no trailing zeros, an exponent in
// capitals where the number is very large or small. Text that is not wholly
// a number (blanks around it and a "+" aside) is appended as it is.
void AppendFloat(std::string& out, std::string_view text);
// A fixed text searched for again and again without regard to letter case
// (Boyer-Moore-Horspool over upper-cased bytes).
class CaseBlindFinder {
 public:
  explicit CaseBlindFinder(std::string_view pattern);
  bool FoundIn(std::string_view text) const { return Find(text) != std::string_view::npos; }
  // Where the pattern first occurs in the text at or after `from`, or npos.
  size_t Find(std::string_view text, size_t from = 0) const;

 private:
  std::string pattern_;  // upper case
  size_t skip_[256];
};

}  // namespace platform
