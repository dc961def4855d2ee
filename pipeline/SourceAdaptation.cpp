#include "pipeline/SourceAdaptation.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/Files.h"
#include "platform/PathText.h"
#include "platform/Text.h"

namespace pipeline {

using platform::Contains;

namespace {

constexpr int BannerWidth = 53;

// "  //" text "//", padded with blanks to the banner's width.
std::string Framed(const std::string& text) {
  std::string inner = text;
  inner.resize(BannerWidth - 6, ' ');
  return "  //" + inner + "//";
}

const char* const UsesFix =
    "\r  {$ifdef CF}"
    "\r  //===== Fix Libraries for MS Compact Framework (Above Windows Mobile 2003 V2)====="
    "\r  System.Drawing.Font,System.Drawing.GraphicsUnit,System.ComponentModel.WindowsCE,"
    "\r  {$endif}";

const char* const LongInitForm = "(System.ComponentModel.ISupportInitialize(";

const platform::CaseBlindFinder& InterfaceMark() {
  static const platform::CaseBlindFinder finder("INTERFACE");
  return finder;
}

// Rules 3 and 4: the long ISupportInitialize form becomes the short one.
std::optional<std::string> ShortenInitCall(std::string_view line, std::string_view call /* ")).BeginInit;" */) {
  size_t at = line.find(call);
  if (at == std::string_view::npos) return std::nullopt;
  size_t open = at == 0 ? std::string_view::npos : line.rfind('(', at - 1);
  size_t start = open == std::string_view::npos ? 0 : open + 1;
  call.remove_prefix(3);  // the call without its "))."
  return "  ISupportInitialize(" + std::string(line.substr(start, at - start)) + ")." + std::string(call);
}

}  // namespace

std::optional<std::string> AdaptUnitLine(std::string_view line, std::string_view next, std::string_view secondNext) {
  if (Contains(line, "//Mark for CF ->")) return std::nullopt;
  if (InterfaceMark().FoundIn(line) && !Contains(next, "{$define CF}")) return std::string(line) + "\r{$define CF}";
  if (Contains(line, "System.ComponentModel,") && !Contains(next, "{$ifdef CF}") &&
      !Contains(secondNext, "System.Drawing.Font,") && !Contains(secondNext, "System.Drawing.GraphicsUnit,")) {
    std::string edited(line);
    edited.back() = ',';
    return edited + UsesFix;
  }
  if (Contains(line, LongInitForm)) {
    if (auto begin = ShortenInitCall(line, ")).BeginInit;")) return begin;
    return ShortenInitCall(line, ")).EndInit;");
  }
  return std::nullopt;
}

std::string ProjectSourcePatch(const std::string& dateStamp) {
  const std::string parts[] = {
      " {$DEFINE CF}",
      "  //********* Tidewell!! V2.0 for BDS2006 *********//",
      Framed(" Patched for the Compact Framework by Tidewell"),
      Framed(" All rights reserved by the Tidewell team."),
      "  //***********************************************//",
      "  // This is a Compact Framework Application       //",
      "  //CREATE DATE:" + dateStamp,
      "  {$IFNDEF CF}",
      "  [STAThread]",
      "  {$ENDIF}",
  };
  std::string patch;
  for (const std::string& part : parts) patch += (patch.empty() ? "" : "\r") + part;
  return patch;
}

void PatchProjectSource(platform::FileSystem& files, platform::Lines& lines, size_t index, const std::string& path,
                        const std::string& dateStamp) {
  if (index > 0 && Contains(lines[index - 1], "{$IFNDEF CF}")) return;
  lines[index] = ProjectSourcePatch(dateStamp);
  files.SaveLines(path, lines);
}

void GetProjectUnits(const platform::FileSystem& files, const std::string& projectFile, platform::Lines& units) {
  if (!files.FileExists(projectFile)) return;
  for (const std::string& line : files.LoadLines(projectFile)) {
    size_t dot = line.find(".pas");
    if (dot == std::string::npos) continue;
    size_t quote = line.rfind('\'', dot);
    if (quote == std::string::npos) continue;
    units.push_back(line.substr(quote + 1, dot - quote) + "pas");
  }
}

namespace {

// True when every line ends with CR LF, the last one too: such a text is
// written back as it is, except for the lines a rule edits.
bool AllBreaksAreCrLf(std::string_view text) {
  if (!text.ends_with("\r\n")) return false;
  const char* const end = text.data() + text.size();
  size_t crs = 0, lfs = 0;
  for (const char* p = text.data(); (p = static_cast<const char*>(std::memchr(p, '\r', end - p))); ++p, ++crs)
    if (p + 1 == end || p[1] != '\n') return false;
  for (const char* p = text.data(); (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p) ++lfs;
  return crs == lfs;
}

size_t LineStartAt(std::string_view text, size_t at) {
  while (at > 0 && text[at - 1] != '\r' && text[at - 1] != '\n') --at;
  return at;
}

size_t LineEndFrom(std::string_view text, size_t at) {
  while (at < text.size() && text[at] != '\r' && text[at] != '\n') ++at;
  return at;
}

// The start of the line after the one that ends at `end` (at its break), or
// the text's size.
size_t NextLineStart(std::string_view text, size_t end) {
  if (end >= text.size()) return text.size();
  return end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
}

// A line a rule may edit, with the two lines after it (empty past the end).
struct MarkedLine {
  size_t Start, End;
  std::string_view Line, Next, SecondNext;
};

// The lines holding a mark some rule looks for, in text order, each once.
// Every other line is left as it is by AdaptUnitLine.
std::vector<MarkedLine> MarkedLines(std::string_view text) {
  std::vector<size_t> starts;
  auto note = [&](size_t at) { starts.push_back(LineStartAt(text, at)); };
  for (size_t at = 0; (at = InterfaceMark().Find(text, at)) != std::string_view::npos; ++at) note(at);
  // Long marks, so a search that skips ahead by them is quicker than one
  // that stops at each of their first letters.
  using Searcher = std::boyer_moore_horspool_searcher<std::string_view::const_iterator>;
  static const std::string_view marks[] = {"System.ComponentModel,", LongInitForm};
  static const Searcher searchers[] = {Searcher(marks[0].begin(), marks[0].end()),
                                       Searcher(marks[1].begin(), marks[1].end())};
  for (const Searcher& searcher : searchers)
    for (auto at = text.begin();;) {
      at = searcher(at, text.end()).first;
      if (at == text.end()) break;
      note(static_cast<size_t>(at - text.begin()));
      ++at;
    }
  std::sort(starts.begin(), starts.end());
  starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
  std::vector<MarkedLine> lines;
  for (size_t start : starts) {
    MarkedLine marked{start, LineEndFrom(text, start), {}, {}, {}};
    marked.Line = text.substr(start, marked.End - start);
    const size_t next = NextLineStart(text, marked.End);
    if (next < text.size()) {
      const size_t nextEnd = LineEndFrom(text, next);
      marked.Next = text.substr(next, nextEnd - next);
      const size_t second = NextLineStart(text, nextEnd);
      if (second < text.size()) marked.SecondNext = text.substr(second, LineEndFrom(text, second) - second);
    }
    lines.push_back(marked);
  }
  return lines;
}

}  // namespace

std::string AdaptUnitText(std::string_view text) {
  std::string out;
  if (AllBreaksAreCrLf(text)) {
    // The text is copied in runs between the edited lines.
    out.reserve(text.size() + 512);
    size_t copied = 0;
    for (const MarkedLine& marked : MarkedLines(text)) {
      auto edited = AdaptUnitLine(marked.Line, marked.Next, marked.SecondNext);
      if (!edited) continue;
      out.append(text, copied, marked.Start - copied);
      out += *edited;
      copied = marked.End;
    }
    out.append(text, copied);
    return out;
  }
  // Lines are views into the text; only edited lines are new strings.
  const std::vector<std::string_view> lines = platform::SplitLineViews(text);
  out.reserve(text.size() + 2 * lines.size() + 256);
  for (size_t j = 0; j < lines.size(); ++j) {
    std::string_view next = j + 1 < lines.size() ? lines[j + 1] : std::string_view();
    std::string_view secondNext = j + 2 < lines.size() ? lines[j + 2] : std::string_view();
    if (auto edited = AdaptUnitLine(lines[j], next, secondNext)) out += *edited;
    else out += lines[j];
    out += "\r\n";
  }
  return out;
}

namespace {

// True when AdaptUnitText would give other bytes than the text has: a line
// does not end with CR LF, or a rule edits a line. Builds nothing.
bool UnitTextChanges(std::string_view text) {
  if (!AllBreaksAreCrLf(text)) return true;
  for (const MarkedLine& marked : MarkedLines(text))
    if (AdaptUnitLine(marked.Line, marked.Next, marked.SecondNext)) return true;
  return false;
}

}  // namespace

bool IsWideText(std::string_view text) {
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF") ||
      text.starts_with(std::string_view("\0\0\xFE\xFF", 4)))
    return true;
  // No mark, but a zero in every other byte of its start: UTF-16 all the same.
  const size_t checked = std::min<size_t>(text.size(), 512) & ~size_t{1};
  if (checked < 4) return false;
  size_t evenZeros = 0, oddZeros = 0;
  for (size_t i = 0; i < checked; ++i) (i % 2 ? oddZeros : evenZeros) += text[i] == '\0';
  return evenZeros == checked / 2 || oddZeros == checked / 2;
}

void RefuseWideText(std::string_view text, const std::string& path) {
  if (IsWideText(text))
    throw platform::FileError("Cannot adapt file \"" + path +
                              "\". It is not single-byte text (UTF-16 or UTF-32): save it in the Windows code page");
}

void AdaptUnits(platform::FileSystem& files, const platform::Lines& units, runner::MessageList& messages) {
  // The rewrites are made durable together, not one flush per unit; a unit
  // that fails ends the build with the units before it rewritten.
  platform::FileBatch batch(files);
  const std::string projectFolder = platform::GetCurrentDir();
  for (const std::string& unit : units) {
    const std::string name = platform::ExtractFileName(unit);
    // A unit whose name leads out of the project (a symbolic link to a file
    // elsewhere: a bare name in the project's folder has no other way out)
    // is another's file: it is neither read for a rewrite nor written.
    if (platform::IsSymbolicLink(name) && !platform::IsInsideFolder(name, projectFolder)) {
      messages.Add("--> Unit File \"" + name + "\" lies outside the project folder: left alone !!");
      continue;
    }
    messages.Add("--> AutoFix ...\"" + name + "\".....");
    const std::string text = files.ReadFileText(name);
    if (text.empty()) continue;  // a unit without lines is not written
    RefuseWideText(text, name);
    // Written back every time; bytes that are already there only need the
    // new time, which spares the file system a new file per unit.
    if (UnitTextChanges(text)) files.WriteFileText(name, AdaptUnitText(text));
    else files.TouchFile(name);
    runner::AppendToLastLine(messages, "..OK !!");
  }
  batch.End();
}

}  // namespace pipeline
