#include "platform/CodePage.h"

#include <array>
#include <map>
#include <mutex>
#include <string>

#include "platform/TextEncoder.h"
#include "platform/WinPath.h"

#ifdef _WIN32
#include "platform/WindowsApi.h"
#else
#include <iconv.h>
#endif

namespace platform {

namespace {

// The code point of each byte of a single-byte code page; a byte the page
// has no character for maps to the code point of its own number.
struct CodePageTable {
  std::array<char32_t, 256> ToUnicode{};
  std::map<char32_t, unsigned char> FromUnicode;
};

char32_t CharacterOf(const std::string& page, unsigned char byte) {
#ifdef _WIN32
  (void)page;
  wchar_t wide = 0;
  const char narrow = static_cast<char>(byte);
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &narrow, 1, &wide, 1) == 1) return wide;
  return byte;
#else
  iconv_t converter = ::iconv_open("UTF-32LE", page.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return byte;
  char in[1] = {static_cast<char>(byte)};
  unsigned char out[8] = {0};
  char* from = in;
  char* to = reinterpret_cast<char*>(out);
  size_t inLeft = 1, outLeft = sizeof out;
  const bool done = ::iconv(converter, &from, &inLeft, &to, &outLeft) != static_cast<size_t>(-1) && inLeft == 0 &&
                    outLeft == sizeof out - 4;
  ::iconv_close(converter);
  if (!done) return byte;
  return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
#endif
}

// The table of the code page in use, made once for each page named.
const CodePageTable& Table() {
#ifdef _WIN32
  const std::string page = "ACP";
#else
  const std::string page = CodePage();
#endif
  static std::mutex lock;
  static std::map<std::string, CodePageTable> tables;
  std::lock_guard<std::mutex> hold(lock);
  auto [at, made] = tables.try_emplace(page);
  CodePageTable& t = at->second;
  if (made) {
    for (int b = 0; b < 256; ++b) {
      const auto byte = static_cast<unsigned char>(b);
      t.ToUnicode[byte] = b < 0x80 ? static_cast<char32_t>(b) : CharacterOf(page, byte);
      t.FromUnicode.emplace(t.ToUnicode[byte], byte);
    }
  }
  return t;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::pair<char32_t, size_t> DecodeUtf8(std::string_view text, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return {lead, 1};
  size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
  if (length == 0 || at + length > text.size()) return {0, 0};
  char32_t c = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    const unsigned char next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return {0, 0};
    c = (c << 6) | (next & 0x3F);
  }
  const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
  if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {0, 0};
  return {c, length};
}

std::string CodePageToUtf8(std::string_view text) {
  const CodePageTable& table = Table();
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (char c : text) AppendUtf8(out, table.ToUnicode[static_cast<unsigned char>(c)]);
  return out;
}

std::string ToUtf8(std::string_view text) {
  const CodePageTable& table = Table();
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const auto [c, length] = DecodeUtf8(text, at);
    if (length == 0) {
      AppendUtf8(out, table.ToUnicode[static_cast<unsigned char>(text[at++])]);
    } else {
      out.append(text, at, length);
      at += length;
    }
  }
  return out;
}

std::string Utf8ToCodePage(std::string_view text) {
  const CodePageTable& table = Table();
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const auto [c, length] = DecodeUtf8(text, at);
    if (length == 0) {  // not UTF-8: a byte of the code page's own
      out += text[at++];
      continue;
    }
    at += length;
    auto found = table.FromUnicode.find(c);
    out += found != table.FromUnicode.end() ? static_cast<char>(found->second) : '?';
  }
  return out;
}

}  // namespace platform
