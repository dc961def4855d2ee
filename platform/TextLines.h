#pragma once
// Text files as lists of lines, the way the system reads and writes them:
// CR LF, LF and CR each end a line when reading; CR LF after every line when
// writing. A line may itself hold lone CR characters (an inserted multi-line
// text); written out they become line breaks that the next read splits at.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using Lines = std::vector<std::string>;

// Splits text at CR LF, LF or CR. A break at the very end adds no line.
Lines SplitLines(std::string_view text);

// The same lines as views into `text`, for passes that copy nothing.
std::vector<std::string_view> SplitLineViews(std::string_view text);

// Joins lines with CR LF after every line.
std::string JoinLines(const Lines& lines);

// Reads a text file (a Windows path) as lines. Throws FileError when the file
// cannot be read.
Lines LoadLines(const std::string& path);

// Writes lines with CR LF after each, replacing the file atomically. Throws
// FileError when the file cannot be written; an existing file is then kept.
void SaveLines(const std::string& path, const Lines& lines);

// name=value lookup: a line's name is its text before the first "=", compared
// without regard to letter case; the first line with the name wins. A line
// without "=" has no name.
int IndexOfName(const Lines& lines, std::string_view name);
std::string ValueOf(const Lines& lines, std::string_view name);

}  // namespace platform
