#include "build/SourceAdaptation.h"

#include "platform/Files.h"
#include "platform/PathText.h"
#include "platform/Text.h"

namespace build {

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
bool ShortenInitCall(std::string& line, const char* call /* "BeginInit;" or "EndInit;" */) {
  std::string tail = std::string(")).") + call;
  size_t at = line.find(tail);
  if (!Contains(line, LongInitForm) || at == std::string::npos) return false;
  size_t open = at == 0 ? std::string::npos : line.rfind('(', at - 1);
  size_t start = open == std::string::npos ? 0 : open + 1;
  line = "  ISupportInitialize(" + line.substr(start, at - start) + ")." + call;
  return true;
}

}  // namespace

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

void PatchProjectSource(platform::Lines& lines, size_t index, const std::string& path, const std::string& dateStamp) {
  if (index > 0 && Contains(lines[index - 1], "{$IFNDEF CF}")) return;
  lines[index] = ProjectSourcePatch(dateStamp);
  platform::SaveLines(path, lines);
}

void GetProjectUnits(const std::string& projectFile, platform::Lines& units) {
  if (!platform::FileExists(projectFile)) return;
  for (const std::string& line : platform::LoadLines(projectFile)) {
    size_t dot = line.find(".pas");
    if (dot == std::string::npos) continue;
    size_t quote = line.rfind('\'', dot);
    if (quote == std::string::npos) continue;
    units.push_back(line.substr(quote + 1, dot - quote) + "pas");
  }
}

bool AdaptUnitLines(platform::Lines& lines) {
  bool changed = false;
  const size_t count = lines.size();
  static const std::string empty;
  for (size_t j = 0; j < count; ++j) {
    std::string& line = lines[j];
    const std::string& next = j + 1 < count ? lines[j + 1] : empty;
    const std::string& secondNext = j + 2 < count ? lines[j + 2] : empty;
    if (Contains(line, "//Mark for CF ->")) continue;
    if (Contains(platform::UpperCase(line), "INTERFACE") && !Contains(next, "{$define CF}")) {
      line += "\r{$define CF}";
      changed = true;
      continue;
    }
    if (Contains(line, "System.ComponentModel,") && !Contains(next, "{$ifdef CF}") &&
        !Contains(secondNext, "System.Drawing.Font,") && !Contains(secondNext, "System.Drawing.GraphicsUnit,")) {
      line.back() = ',';
      line += UsesFix;
      changed = true;
      continue;
    }
    if (ShortenInitCall(line, "BeginInit;") || ShortenInitCall(line, "EndInit;")) changed = true;
  }
  return changed;
}

void AdaptUnits(const platform::Lines& units, runner::MessageList& messages) {
  for (const std::string& unit : units) {
    const std::string name = platform::ExtractFileName(unit);
    messages.Add("--> AutoFix ...\"" + name + "\".....");
    platform::Lines lines = platform::LoadLines(name);
    if (lines.empty()) continue;
    AdaptUnitLines(lines);
    platform::SaveLines(name, lines);
    runner::AppendToLastLine(messages, "..OK !!");
  }
}

}  // namespace build
