#include "platform/TextLines.h"

#include "platform/Files.h"
#include "platform/Text.h"

namespace platform {

namespace {
// Position of the next CR or LF at or after `from`, or the text's size. A
// plain loop: find_first_of would look each character up in the set.
size_t FindLineBreak(std::string_view text, size_t from) {
  const char* p = text.data();
  const size_t n = text.size();
  while (from < n && p[from] != '\r' && p[from] != '\n') ++from;
  return from;
}
}  // namespace

std::vector<std::string_view> SplitLineViews(std::string_view text) {
  std::vector<std::string_view> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = FindLineBreak(text, start);
    lines.push_back(text.substr(start, end - start));
    start = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
  }
  return lines;
}

Lines SplitLines(std::string_view text) {
  std::vector<std::string_view> views = SplitLineViews(text);
  return Lines(views.begin(), views.end());
}

std::string JoinLines(const Lines& lines) {
  size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

Lines LoadLines(const std::string& path) { return SplitLines(ReadFileText(path)); }

void SaveLines(const std::string& path, const Lines& lines) { WriteFileText(path, JoinLines(lines)); }

int IndexOfName(const Lines& lines, std::string_view name) {
  for (size_t i = 0; i < lines.size(); ++i) {
    size_t eq = lines[i].find('=');
    if (eq != std::string::npos && SameText(std::string_view(lines[i]).substr(0, eq), name)) return static_cast<int>(i);
  }
  return -1;
}

std::string ValueOf(const Lines& lines, std::string_view name) {
  int i = IndexOfName(lines, name);
  if (i < 0) return {};
  const std::string& line = lines[static_cast<size_t>(i)];
  return line.substr(line.find('=') + 1);
}

}  // namespace platform
