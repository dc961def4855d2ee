#pragma once
// The options file CFOption.OPN as text: what a load reads from its lines
// and the lines a save writes. Pure functions; the build dialog decides
// which controls and record fields the values go to.
#include <optional>
#include <string>
#include <string_view>
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

// True when `key` names a kind of line a load reads (without regard to case),
// a catalogue's numbered entry ("MS_Assembly_0") among them.
bool IsOptionsKey(std::string_view key);

// The file's lines with `overrides` ("KEY=VALUE", each key known) read before
// them: the first line of a key wins, so each override does, and nothing
// else changes.
platform::Lines WithOverrides(const platform::Lines& file, const std::vector<std::string>& overrides);

}  // namespace settings
