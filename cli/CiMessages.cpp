#include "cli/CiMessages.h"

#include <cstdio>
#include <filesystem>

#include "platform/CodePage.h"

namespace cli {

namespace {

// GitHub's escaping of workflow command data; properties also escape ':' and ','.
std::string EscapeGitHub(const std::string& raw, bool property) {
  std::string out;
  for (char c : platform::ToUtf8(raw)) {
    if (c == '%') out += "%25";
    else if (c == '\r') out += "%0D";
    else if (c == '\n') out += "%0A";
    else if (property && c == ':') out += "%3A";
    else if (property && c == ',') out += "%2C";
    else out += c;
  }
  return out;
}

// Length of the UTF-8 sequence at `at`, or 0 when the bytes there are not one.
size_t Utf8Length(const std::string& text, size_t at) {
  unsigned char c = static_cast<unsigned char>(text[at]);
  size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
  if (c >= 0xF5 || length == 0 || at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
  return length;
}

// A JSON string, always valid UTF-8: well-formed UTF-8 passes unchanged, any
// other byte is the Windows code page's character (compilers print in it).
std::string JsonString(const std::string& raw) {
  const std::string text = platform::ToUtf8(raw);
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"') out += "\\\"";
    else if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (size_t length = Utf8Length(text, i)) {
      out.append(text, i, length);
      i += length - 1;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    }
  }
  return out + "\"";
}

}  // namespace

bool ParseMessageFormat(const std::string& name, MessageFormat& format) {
  if (name == "list") format = MessageFormat::List;
  else if (name == "github") format = MessageFormat::GitHub;
  else if (name == "json") format = MessageFormat::Json;
  else if (name == "gcc") format = MessageFormat::Gcc;
  else return false;
  return true;
}

std::string GitHubAnnotation(const runner::CompilerMessage& message, const std::string& file) {
  const char* command = runner::IsFailure(message)  ? "error"
                        : message.Kind == "warning" ? "warning"
                                                    : "notice";  // a hint
  std::string properties;
  if (!file.empty()) {
    properties = " file=" + EscapeGitHub(file, true);
    if (message.Line > 0) properties += ",line=" + std::to_string(message.Line);
    if (message.Line > 0 && message.Column > 0) properties += ",col=" + std::to_string(message.Column);
  }
  return std::string("::") + command + properties + "::" + EscapeGitHub(message.Text, false) + "\n";
}

std::string JsonMessage(const runner::CompilerMessage& message, const std::string& file) {
  std::string out = "{\"file\":" + (file.empty() ? std::string("null") : JsonString(file));
  out += ",\"line\":" + (message.Line > 0 ? std::to_string(message.Line) : std::string("null"));
  out += ",\"column\":" + (message.Column > 0 ? std::to_string(message.Column) : std::string("null"));
  out += ",\"kind\":" + JsonString(message.Kind) + ",\"text\":" + JsonString(message.Text) + "}\n";
  return out;
}

std::string StartFailure(MessageFormat format, const std::string& why) {
  runner::CompilerMessage message;
  message.Kind = "fatal";
  message.Text = why;
  if (format == MessageFormat::Json) return JsonMessage(message, "");
  if (format == MessageFormat::GitHub) return GitHubAnnotation(message, "");
  if (format == MessageFormat::Gcc) return GccMessage(message, "");
  return {};
}

std::string GccMessage(const runner::CompilerMessage& message, const std::string& file) {
  std::string place = file.empty() ? std::string("tidewell") : platform::ToUtf8(file);
  if (!file.empty() && message.Line > 0) {
    place += ":" + std::to_string(message.Line);
    if (message.Column > 0) place += ":" + std::to_string(message.Column);
  }
  const char* severity = runner::IsFailure(message) ? "error" : message.Kind == "warning" ? "warning" : "note";
  return place + ": " + severity + ": " + platform::ToUtf8(message.Text) + "\n";
}

std::string DisplayPath(const std::string& file, const std::string& projectFolder, const std::string& currentFolder) {
  namespace fs = std::filesystem;
  if (file.empty()) return {};
  fs::path whole = (fs::path(projectFolder) / fs::path(file)).lexically_normal();
  fs::path relative = whole.lexically_relative(fs::path(currentFolder).lexically_normal());
  bool inside = !relative.empty() && *relative.begin() != "..";
  return (inside ? relative : whole).generic_string();
}

}  // namespace cli
