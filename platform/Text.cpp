#include "platform/Text.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <system_error>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

namespace {
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }
}  // namespace

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = Upper(c);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = Lower(c);
  return r;
}

int CompareText(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(Upper(a[i]));
    unsigned char y = static_cast<unsigned char>(Upper(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

std::string TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsTrimmed(s[i])) ++i;
  return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsTrimmed(s[n - 1])) --n;
  return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

std::optional<int> ParseInt(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i == s.size()) return std::nullopt;
  long long value = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return std::nullopt;
    value = value * 10 + (s[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

int StrToIntDef(std::string_view s, int fallback) { return ParseInt(s).value_or(fallback); }

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

CaseBlindFinder::CaseBlindFinder(std::string_view pattern) : pattern_(UpperCase(pattern)) {
  for (size_t& s : skip_) s = pattern_.size();
  for (size_t i = 0; i + 1 < pattern_.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(pattern_[i]);
    skip_[c] = pattern_.size() - 1 - i;
    skip_[static_cast<unsigned char>(Lower(static_cast<char>(c)))] = pattern_.size() - 1 - i;
  }
}

namespace {

// The pattern (upper case) at `at` of the text, without regard to case.
bool MatchesAt(std::string_view text, size_t at, const std::string& pattern) {
  for (size_t k = 0; k < pattern.size(); ++k)
    if (Upper(text[at + k]) != pattern[k]) return false;
  return true;
}

}  // namespace

size_t CaseBlindFinder::Find(std::string_view text, size_t from) const {
  const size_t m = pattern_.size();
  if (m == 0) return from <= text.size() ? from : std::string_view::npos;
  size_t i = from;
#if defined(__SSE2__)
  // Sixteen places at a time: where the pattern's first and last characters
  // both stand, letters folded to lower case by setting their 0x20 bit (a
  // few other bytes fold onto them too; each place found is checked whole).
  if (m >= 2) {
    const __m128i fold = _mm_set1_epi8(0x20);
    const __m128i first = _mm_set1_epi8(static_cast<char>(pattern_[0] | 0x20));
    const __m128i last = _mm_set1_epi8(static_cast<char>(pattern_[m - 1] | 0x20));
    const char* const data = text.data();
    for (; i + m + 15 <= text.size(); i += 16) {
      const __m128i starts = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)), fold);
      const __m128i ends = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + m - 1)), fold);
      unsigned mask = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(starts, first), _mm_cmpeq_epi8(ends, last))));
      for (; mask != 0; mask &= mask - 1) {
        const size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
        if (MatchesAt(text, at, pattern_)) return at;
      }
    }
  }
#endif
  for (; i + m <= text.size();) {
    size_t k = m;
    while (k > 0 && Upper(text[i + k - 1]) == pattern_[k - 1]) --k;
    if (k == 0) return i;
    i += skip_[static_cast<unsigned char>(text[i + m - 1])];
  }
  return std::string_view::npos;
}

void AppendFloat(std::string& out, std::string_view text) {
  // The whole text is the number, blanks around it and a "+" aside; read
  // the same whatever the process's locale.
  std::string_view number = text;
  while (!number.empty() && (number.front() == ' ' || number.front() == '\t')) number.remove_prefix(1);
  while (!number.empty() && (number.back() == ' ' || number.back() == '\t')) number.remove_suffix(1);
  if (number.size() > 1 && number[0] == '+' && number[1] != '-') number.remove_prefix(1);
  double value = 0;
  auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (number.empty() || error != std::errc() || end != number.data() + number.size()) {
    out += text;
    return;
  }
  char buffer[64];
  char* last = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15).ptr;
  for (char* c = buffer; c != last; ++c) *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
  out.append(buffer, last);
}

}  // namespace platform
