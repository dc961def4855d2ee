#include "settings/OptionsFile.h"

#include <map>

#include "platform/Text.h"
#include "settings/Profiles.h"

namespace settings {

namespace {

// Catalogue entries by entry number: the value of the first line whose name
// is `prefix` followed by that number in decimal. Gathered in one pass, so a
// huge count in a damaged file costs nothing.
std::map<int, std::string> NumberedValues(const platform::Lines& lines, const std::string& prefix) {
  std::map<int, std::string> values;
  for (const std::string& line : lines) {
    size_t eq = line.find('=');
    if (eq == std::string::npos || eq <= prefix.size()) continue;
    if (!platform::SameText(std::string_view(line).substr(0, prefix.size()), prefix)) continue;
    std::string digits = line.substr(prefix.size(), eq - prefix.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos) continue;
    std::optional<int> number = platform::ParseInt(digits);
    if (!number || std::to_string(*number) != digits) continue;
    values.emplace(*number, line.substr(eq + 1));  // the first line wins
  }
  return values;
}

OptionsCatalogue ParseCatalogue(const platform::Lines& lines, const std::string& prefix) {
  OptionsCatalogue catalogue;
  catalogue.Path = platform::ValueOf(lines, prefix + "Path");
  int count = platform::StrToIntDef(platform::ValueOf(lines, prefix + "Count"), 0);
  for (const auto& [number, value] : NumberedValues(lines, prefix)) {
    if (number >= count) break;
    std::string entry = platform::Trim(value);
    if (!entry.empty()) catalogue.Entries.push_back(std::move(entry));
  }
  return catalogue;
}

}  // namespace

namespace {

// A UTF-8 byte-order mark (an editor's) is no part of the first key.
platform::Lines WithoutByteOrderMark(platform::Lines lines) {
  if (!lines.empty() && lines[0].starts_with("\xEF\xBB\xBF")) lines[0].erase(0, 3);
  return lines;
}

}  // namespace

OptionsFileContent ParseOptionsFile(const platform::Lines& file) {
  const platform::Lines lines = WithoutByteOrderMark(file);
  OptionsFileContent c;
  auto value = [&](const char* key) { return platform::ValueOf(lines, key); };
  auto valueOr = [&](const char* key, const std::string& fallback) {
    return platform::IndexOfName(lines, key) >= 0 ? value(key) : fallback;
  };
  c.CompilerPath = value("BDS_Compiler_Path");
  c.LibPath = value("BDS_Lib_Path");
  c.Version = value("MS_CF_Assembly_Version");
  for (int i = 0; i < 2; ++i)
    if (c.Version == Profiles[i].Version) c.Profile = i;
  if (c.Profile < 0) c.Version = value("DotNet_Assembly_Version");
  for (int i = 0; i < CatalogueCount; ++i) c.Catalogues[i] = ParseCatalogue(lines, CataloguePrefixes[i]);
  c.EmulatorApplication = value("MS_CF_Emulator_Application");
  c.EmulatorImageFileName = value("MS_CF_Emulator_Image_FileName");
  c.SharedFolder = value("MS_CF_Emulator_Shared_Folder");
  c.ScreenWidth = valueOr("MS_CF_Emulator_Screen_Width", c.ScreenWidth);
  c.ScreenHeight = valueOr("MS_CF_Emulator_Screen_Height", c.ScreenHeight);
  c.RamSize = value("MS_CF_Emulator_Ram_Size");
  c.AutoDeploy = value("MS_CF_Auto_Depoly_To_Emulator");
  return c;
}

platform::Lines FormatOptionsFile(const OptionsFileContent& c) {
  platform::Lines lines;
  lines.push_back("BDS_Compiler_Path=" + c.CompilerPath);
  lines.push_back("BDS_Lib_Path=" + c.LibPath);
  if (const Profile* p = ProfileAt(c.Profile)) lines.push_back(std::string("MS_CF_Assembly_Version=") + p->Version);
  for (int i = 0; i < CatalogueCount; ++i) {
    const std::string prefix = CataloguePrefixes[i];
    const OptionsCatalogue& catalogue = c.Catalogues[i];
    lines.push_back(prefix + "Path=" + catalogue.Path);
    lines.push_back(prefix + "Count=" + std::to_string(catalogue.Entries.size()));
    for (size_t n = 0; n < catalogue.Entries.size(); ++n)
      lines.push_back(prefix + std::to_string(n) + "=" + catalogue.Entries[n]);
  }
  lines.push_back("MS_CF_Emulator_Application=" + c.EmulatorApplication);
  lines.push_back("MS_CF_Emulator_Image_FileName=" + c.EmulatorImageFileName);
  lines.push_back("MS_CF_Emulator_Shared_Folder=" + c.SharedFolder);
  lines.push_back("MS_CF_Emulator_Screen_Width=" + c.ScreenWidth);
  lines.push_back("MS_CF_Emulator_Screen_Height=" + c.ScreenHeight);
  lines.push_back("MS_CF_Emulator_Ram_Size=" + c.RamSize);
  lines.push_back(std::string("MS_CF_Auto_Depoly_To_Emulator=") + (c.AutoDeploy == "Y" ? "Y" : "N"));
  return lines;
}

bool IsOptionsKey(std::string_view key) {
  static const char* const Single[] = {"BDS_Compiler_Path",
                                       "BDS_Lib_Path",
                                       "MS_CF_Assembly_Version",
                                       "DotNet_Assembly_Version",
                                       "MS_CF_Emulator_Application",
                                       "MS_CF_Emulator_Image_FileName",
                                       "MS_CF_Emulator_Shared_Folder",
                                       "MS_CF_Emulator_Screen_Width",
                                       "MS_CF_Emulator_Screen_Height",
                                       "MS_CF_Emulator_Ram_Size",
                                       "MS_CF_Auto_Depoly_To_Emulator"};
  for (const char* known : Single)
    if (platform::SameText(key, known)) return true;
  for (const std::string prefix : CataloguePrefixes) {
    if (key.size() <= prefix.size() || !platform::SameText(key.substr(0, prefix.size()), prefix)) continue;
    const std::string_view rest = key.substr(prefix.size());
    if (platform::SameText(rest, "Path") || platform::SameText(rest, "Count")) return true;
    if (rest.find_first_not_of("0123456789") == std::string_view::npos && (rest == "0" || rest[0] != '0') &&
        rest.size() < 10)
      return true;
  }
  return false;
}

platform::Lines WithOverrides(const platform::Lines& file, const std::vector<std::string>& overrides) {
  platform::Lines lines = overrides;
  const platform::Lines rest = WithoutByteOrderMark(file);
  lines.insert(lines.end(), rest.begin(), rest.end());
  return lines;
}

}  // namespace settings
