#include "pipeline/SourceAdaptation.h"

#include <algorithm>

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
  static const platform::CaseBlindFinder Interface("INTERFACE");
  if (Interface.FoundIn(line) && !Contains(next, "{$define CF}")) return std::string(line) + "\r{$define CF}";
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

std::string AdaptUnitText(std::string_view text) {
  // Lines are views into the text; only edited lines are new strings.
  const std::vector<std::string_view> lines = platform::SplitLineViews(text);
  std::string out;
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

// True when AdaptUnitText would give other bytes than the text has: a rule
// edits a line, or a line does not end with CR LF. Builds nothing.
bool UnitTextChanges(std::string_view text) {
  const std::vector<std::string_view> lines = platform::SplitLineViews(text);
  size_t written = 0;
  for (std::string_view line : lines) written += line.size() + 2;
  if (written != text.size()) return true;  // a break that is not CR LF, or none after the last line
  for (size_t j = 0; j < lines.size(); ++j) {
    std::string_view next = j + 1 < lines.size() ? lines[j + 1] : std::string_view();
    std::string_view secondNext = j + 2 < lines.size() ? lines[j + 2] : std::string_view();
    if (AdaptUnitLine(lines[j], next, secondNext)) return true;
  }
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
