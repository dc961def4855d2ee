#include "dataexport/WellFormedXml.h"

#include <cstdio>

namespace dataexport {

namespace {

bool IsNameStart(char32_t c) {
  return c == ':' || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0xD6) ||
         (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
         (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
         (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
         (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameCharacter(char32_t c) {
  return IsNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 || (c >= 0x300 && c <= 0x36F) ||
         (c >= 0x203F && c <= 0x2040);
}

// Characters an XML 1.0 document may hold.
bool InXml(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

std::string Escape(char32_t c) {
  char text[16];
  std::snprintf(text, sizeof text, c > 0xFFFF ? "_x%08X_" : "_x%04X_", static_cast<unsigned>(c));
  return text;
}

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// An underscore at `at` that starts what reads as an escape: "_x", four or
// eight hexadecimal digits, "_".
bool LooksEscaped(std::string_view name, size_t at) {
  if (at + 1 >= name.size() || name[at + 1] != 'x') return false;
  for (size_t digits : {size_t{4}, size_t{8}}) {
    if (at + 2 + digits >= name.size() || name[at + 2 + digits] != '_') continue;
    bool hex = true;
    for (size_t i = 0; i < digits && hex; ++i) hex = IsHex(name[at + 2 + i]);
    if (hex) return true;
  }
  return false;
}

}  // namespace

std::string EncodeName(std::string_view name, platform::TextEncoder& encoder) {
  std::string out;
  bool first = true;
  for (size_t at = 0; at < name.size();) {
    auto [c, length] = platform::DecodeUtf8(name, at);
    if (length == 0) {  // not UTF-8: the byte as the character of its number
      c = static_cast<unsigned char>(name[at]);
      length = 1;
    }
    const bool fits = first ? IsNameStart(c) : IsNameCharacter(c);
    if (c == '_' && LooksEscaped(name, at)) out += Escape(c);
    else if (!fits || !encoder.Append(c, out)) out += Escape(c);
    at += length;
    first = false;
  }
  return out;
}

std::vector<ReplacedCharacter> AppendContent(std::string_view text, platform::TextEncoder& encoder, std::string& out) {
  std::vector<ReplacedCharacter> replaced;
  for (size_t at = 0; at < text.size();) {
    auto [c, length] = platform::DecodeUtf8(text, at);
    if (length == 0) {
      c = 0xFFFD;  // the caller hands over UTF-8; anything else is damage
      length = 1;
    }
    at += length;
    switch (c) {
      case '&': out += "&amp;"; continue;
      case '<': out += "&lt;"; continue;
      case '>': out += "&gt;"; continue;
      case '\r': out += "&#13;"; continue;
      default: break;
    }
    if (!InXml(c)) {
      replaced.push_back({c, true});
      out += "&#65533;";
    } else if (!encoder.Append(c, out)) {
      replaced.push_back({c, false});
      out += "&#" + std::to_string(static_cast<unsigned long>(c)) + ";";
    }
  }
  return replaced;
}

std::string DelphiQuoted(std::string_view name) {
  std::string out;
  for (char c : name) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

}  // namespace dataexport
