#include "platform/TextEncoder.h"

#include <stdexcept>

#include "platform/Text.h"

#ifdef _WIN32
#include "platform/WindowsApi.h"
#else
#include <iconv.h>
#endif

namespace platform {

#ifdef _WIN32

// The Windows code page of each name a declaration may carry.
struct TextEncoder::Converter {
  UINT page = 0;
};

namespace {

UINT CodePageNamed(const std::string& encoding) {
  static const std::pair<const char*, UINT> Pages[] = {
      {"ISO-8859-1", 28591}, {"big5", 950}, {"gb2312", 936}, {"EUC-JP", 20932}, {"windows-1252", 1252}};
  for (const auto& [name, page] : Pages)
    if (SameText(encoding, name)) return page;
  return 0;
}

}  // namespace

TextEncoder::TextEncoder(const std::string& encoding) {
  if (SameText(encoding, "UTF-8")) return;
  const UINT page = CodePageNamed(encoding);
  if (page == 0 || !IsValidCodePage(page)) throw std::runtime_error("cannot write text in " + encoding);
  converter_ = std::make_unique<Converter>();
  converter_->page = page;
}

TextEncoder::~TextEncoder() = default;

namespace {

std::string Converted(UINT page, char32_t character) {
  std::string utf8;
  AppendUtf8(utf8, character);
  wchar_t wide[2];
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide, 2);
  char out[8];
  BOOL defaulted = FALSE;
  const int n = WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, wide, units, out, sizeof out, nullptr, &defaulted);
  return n > 0 && !defaulted ? std::string(out, static_cast<size_t>(n)) : std::string();
}

}  // namespace

#else

struct TextEncoder::Converter {
  iconv_t handle = reinterpret_cast<iconv_t>(-1);
  ~Converter() {
    if (handle != reinterpret_cast<iconv_t>(-1)) ::iconv_close(handle);
  }
};

TextEncoder::TextEncoder(const std::string& encoding) {
  if (SameText(encoding, "UTF-8")) return;
  converter_ = std::make_unique<Converter>();
  converter_->handle = ::iconv_open(encoding.c_str(), "UTF-32LE");
  if (converter_->handle == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("cannot write text in " + encoding);
}

TextEncoder::~TextEncoder() = default;

namespace {

std::string Converted(iconv_t handle, char32_t character) {
  char in[4] = {static_cast<char>(character & 0xFF), static_cast<char>((character >> 8) & 0xFF),
                static_cast<char>((character >> 16) & 0xFF), static_cast<char>((character >> 24) & 0xFF)};
  char out[16];
  char* from = in;
  char* to = out;
  size_t inLeft = sizeof in, outLeft = sizeof out;
  ::iconv(handle, nullptr, nullptr, nullptr, nullptr);  // a fresh start: no shift state carried over
  if (::iconv(handle, &from, &inLeft, &to, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return {};
  return std::string(out, sizeof out - outLeft);
}

}  // namespace

#endif

bool TextEncoder::Append(char32_t character, std::string& out) {
  if (!converter_) {
    AppendUtf8(out, character);
    return true;
  }
  if (character < 0x80) {  // every encoding here keeps ASCII as it is
    out += static_cast<char>(character);
    return true;
  }
  auto known = known_.find(character);
  if (known == known_.end()) {
#ifdef _WIN32
    known = known_.emplace(character, Converted(converter_->page, character)).first;
#else
    known = known_.emplace(character, Converted(converter_->handle, character)).first;
#endif
  }
  out += known->second;
  return !known->second.empty();
}

}  // namespace platform
