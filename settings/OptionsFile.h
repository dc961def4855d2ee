#pragma once
// The options file CFOption.OPN as text: what a load reads from its lines
// and the lines a save writes. Pure functions; the build dialog decides
// which controls and record fields the values go to.
#include <optional>
#include <string>
#include <vector>

#include "platform/TextLines.h"
#include "settings/CatalogueEntries.h"

namespace settings {

inline constexpr const char* CataloguePrefixes[3] = {"MS_Assembly_", "Delphi_Assembly_", "Third_Assembly_"};

struct OptionsCatalogue {
  std::string Path;
  std::vector<std::string> Entries;  // trimmed, non-empty, in entry-number order
  bool operator==(const OptionsCatalogue&) const = default;
};

struct OptionsFileContent {
  std::string CompilerPath;  // BDS_Compiler_Path
  std::string LibPath;       // BDS_Lib_Path
  // The selector position the version names (0 "CF V1.X", 1 "CF V2.X"), -1
  // for none; a save writes the version line from it alone.
  int Profile = -1;
  // The version string a load takes: MS_CF_Assembly_Version when it names a
  // profile, else DotNet_Assembly_Version.
  std::string Version;
  OptionsCatalogue Catalogues[CatalogueCount];  // by IndexOf(Catalogue)
  std::string EmulatorApplication, EmulatorImageFileName, SharedFolder;
  std::string ScreenWidth = "240", ScreenHeight = "320";  // when no line carries them
  std::string RamSize;
  std::string AutoDeploy = "N";  // a save writes "Y" exactly when this is "Y"

  bool operator==(const OptionsFileContent&) const = default;
};

// The reading rules: keys without regard to case, the first line wins,
// counts read as whole decimal numbers (anything else is 0), entries beyond
// the count or blank skipped.
OptionsFileContent ParseOptionsFile(const platform::Lines& lines);

// The 19 kinds of line, in the save's order.
platform::Lines FormatOptionsFile(const OptionsFileContent& content);

}  // namespace settings
