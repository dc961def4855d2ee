#pragma once
// Unicode characters into a named encoding, one at a time: for a document
// that declares its encoding and must hold only what that encoding can.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

class TextEncoder {
 public:
  // `encoding` as XML declarations name it (ISO-8859-1, big5, gb2312,
  // EUC-JP, UTF-8, ...). Throws std::runtime_error when the system cannot
  // write it.
  explicit TextEncoder(const std::string& encoding);
  ~TextEncoder();
  TextEncoder(const TextEncoder&) = delete;
  TextEncoder& operator=(const TextEncoder&) = delete;

  // Appends the character as the encoding writes it; false, with nothing
  // appended, when the encoding has no such character.
  bool Append(char32_t character, std::string& out);

 private:
  struct Converter;
  std::unique_ptr<Converter> converter_;   // none for UTF-8
  std::map<char32_t, std::string> known_;  // each character met, as written ("" when it cannot be)
};

// One UTF-8 character of `text` at `at`: its code point and length, or
// length 0 for a byte that starts no well-formed character (a surrogate, an
// overlong form, a code point past U+10FFFF).
std::pair<char32_t, size_t> DecodeUtf8(std::string_view text, size_t at);
void AppendUtf8(std::string& out, char32_t character);

}  // namespace platform
