// Loading and saving CFOption.OPN.
#include <map>

#include "platform/Files.h"
#include "platform/PathText.h"
#include "platform/Text.h"
#include "platform/TextLines.h"
#include "settings/CompactDevModel.h"
#include "settings/Profiles.h"

namespace settings {

namespace {

const char* const CataloguePrefixes[3] = {"MS_Assembly_", "Delphi_Assembly_", "Third_Assembly_"};

bool HasName(const platform::Lines& lines, const std::string& name) { return platform::IndexOfName(lines, name) >= 0; }

// Catalogue entries of `lines`, by entry number: the value of the first line
// whose name is `prefix` followed by that number in decimal. Gathered in one
// pass, so a huge count in a damaged file costs nothing.
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

}  // namespace

CompactDevModel::CatalogueControls CompactDevModel::Catalogue(int which) {
  switch (which) {
    case 0: return {Ed_MS_Assembly_LinkPath, &TCFOptions::MS_Assembly_Path, MS_Assmbly_List};
    case 1: return {Ed_Delphi_Assembly_LinkPath, &TCFOptions::Delphi_Assembly_Path, Delphi_Assmbly_List};
    default: return {Ed_Third_Assembly_LinkPath, &TCFOptions::Third_Assembly_Path, Third_Assmbly_List};
  }
}

void CompactDevModel::LoadCatalogue(const platform::Lines& lines, const char* prefix, int which) {
  CatalogueControls c = Catalogue(which);
  std::string p = prefix;
  CFOptions.*c.Field = platform::ValueOf(lines, p + "Path");
  c.Edit.SetText(CFOptions.*c.Field);
  c.List.Clear();
  int count = platform::StrToIntDef(platform::ValueOf(lines, p + "Count"), 0);
  for (const auto& [number, value] : NumberedValues(lines, p)) {
    if (number >= count) break;
    std::string entry = platform::Trim(value);
    if (!entry.empty()) c.List.SetChecked(c.List.Add(entry), true);
  }
}

void CompactDevModel::InitOptions() {
  TCFOptions& o = CFOptions;
  o.BDS_Compiler_Path.clear();
  o.ProjectPath.clear();
  o.ProjectFileName.clear();
  o.BDS_Lib_Path = Profiles[0].LibPath;
  o.MS_CF_Assembly_Version = Profiles[0].Version;
  o.MS_Assembly_Path = Profiles[0].AssemblyPath;
  o.Delphi_Assembly_Path = DefaultDelphiAssemblyPath;
  o.Third_Assembly_Path.clear();
  o.MS_CF_Emulator_Application.clear();
  o.MS_CF_Emulator_Image_FileName.clear();
  o.MS_CF_Emulator_Shared_Folder.clear();
  o.MS_CF_Auto_Depoly_To_Emulator = "N";
  Ed_Emulator_Screen_Width.SetText("240");
  Ed_Emulator_Screen_Height.SetText("320");

  if (platform::FileExists(OptionsFileName)) {
    MS_Assmbly_List.Clear();
    Delphi_Assmbly_List.Clear();
    Third_Assmbly_List.Clear();
    const platform::Lines lines = platform::LoadLines(OptionsFileName);
    if (!lines.empty()) {
      o.BDS_Compiler_Path = platform::ValueOf(lines, "BDS_Compiler_Path");
      EdDCCIL_Path.SetText(o.BDS_Compiler_Path);
      o.BDS_Lib_Path = platform::ValueOf(lines, "BDS_Lib_Path");
      Ed_BDS_Lib_Path.SetText(o.BDS_Lib_Path);

      CB_CFVer.ItemIndex = -1;
      o.MS_CF_Assembly_Version = platform::ValueOf(lines, "MS_CF_Assembly_Version");
      for (int i = 0; i < 2; ++i)
        if (o.MS_CF_Assembly_Version == Profiles[i].Version) CB_CFVer.ItemIndex = i;
      if (CB_CFVer.ItemIndex < 0) o.MS_CF_Assembly_Version = platform::ValueOf(lines, "DotNet_Assembly_Version");

      for (int i = 0; i < 3; ++i) LoadCatalogue(lines, CataloguePrefixes[i], i);

      o.MS_CF_Emulator_Application = platform::ValueOf(lines, "MS_CF_Emulator_Application");
      o.MS_CF_Emulator_Image_FileName = platform::ValueOf(lines, "MS_CF_Emulator_Image_FileName");
      o.MS_CF_Emulator_Shared_Folder = platform::ValueOf(lines, "MS_CF_Emulator_Shared_Folder");
      Ed_Emulator_App.SetText(o.MS_CF_Emulator_Application);
      Ed_Emulator_Image_FileName.SetText(o.MS_CF_Emulator_Image_FileName);
      Ed_Shared_Folder.SetText(o.MS_CF_Emulator_Shared_Folder);
      auto valueOr = [&](const char* key, const char* fallback) {
        return HasName(lines, key) ? platform::ValueOf(lines, key) : std::string(fallback);
      };
      Ed_Emulator_Screen_Width.SetText(valueOr("MS_CF_Emulator_Screen_Width", "240"));
      Ed_Emulator_Screen_Height.SetText(valueOr("MS_CF_Emulator_Screen_Height", "320"));
      // A file without a RAM size shows the dialog's own default.
      Ed_Emulator_Ram_Size.SetText(valueOr("MS_CF_Emulator_Ram_Size", "64"));

      o.MS_CF_Auto_Depoly_To_Emulator = platform::ValueOf(lines, "MS_CF_Auto_Depoly_To_Emulator");
      Chk_Is_Auto_Depoly = o.MS_CF_Auto_Depoly_To_Emulator == "Y";
    }
  }

  if (Pub_Project_Intf) {
    o.ProjectPath = platform::ExtractFilePath(Pub_Project_Intf->GetFileName());
    auto editor = Pub_Project_Intf->GetCurrentEditor();
    std::string shown = editor ? editor->GetFileName() : std::string();
    o.ProjectFileExt = platform::ExtractFileExt(shown);
    o.ProjectFileName = platform::ExtractFileName(shown);
  }
}

bool CompactDevModel::LoadWithLoadingFlag() {
  CFOptions.Loading = true;
  bool loaded = true;
  try {
    InitOptions();
  } catch (const std::exception& e) {
    loaded = false;
    services_.Messages->ShowError(e.what());
  }
  CFOptions.Loading = false;
  return loaded;
}

platform::Lines CompactDevModel::OptionsFileLines() const {
  platform::Lines lines;
  lines.push_back("BDS_Compiler_Path=" + EdDCCIL_Path.Text());
  lines.push_back("BDS_Lib_Path=" + Ed_BDS_Lib_Path.Text());
  if (const Profile* p = ProfileAt(CB_CFVer.ItemIndex))
    lines.push_back(std::string("MS_CF_Assembly_Version=") + p->Version);
  const EditState* edits[3] = {&Ed_MS_Assembly_LinkPath, &Ed_Delphi_Assembly_LinkPath, &Ed_Third_Assembly_LinkPath};
  const CheckListState* lists[3] = {&MS_Assmbly_List, &Delphi_Assmbly_List, &Third_Assmbly_List};
  for (int c = 0; c < 3; ++c) {
    std::string prefix = CataloguePrefixes[c];
    lines.push_back(prefix + "Path=" + edits[c]->Text());
    lines.push_back(prefix + "Count=" + std::to_string(lists[c]->Count()));
    for (int i = 0; i < lists[c]->Count(); ++i) lines.push_back(prefix + std::to_string(i) + "=" + lists[c]->Item(i));
  }
  lines.push_back("MS_CF_Emulator_Application=" + Ed_Emulator_App.Text());
  lines.push_back("MS_CF_Emulator_Image_FileName=" + Ed_Emulator_Image_FileName.Text());
  lines.push_back("MS_CF_Emulator_Shared_Folder=" + Ed_Shared_Folder.Text());
  lines.push_back("MS_CF_Emulator_Screen_Width=" + Ed_Emulator_Screen_Width.Text());
  lines.push_back("MS_CF_Emulator_Screen_Height=" + Ed_Emulator_Screen_Height.Text());
  lines.push_back("MS_CF_Emulator_Ram_Size=" + Ed_Emulator_Ram_Size.Text());
  lines.push_back(std::string("MS_CF_Auto_Depoly_To_Emulator=") + (Chk_Is_Auto_Depoly ? "Y" : "N"));
  return lines;
}

void CompactDevModel::BtnSaveOptionsClick() {
  std::string path = platform::ExcludeTrailingBackslash(CFOptions.ProjectPath) + "\\" + OptionsFileName;
  try {
    platform::SaveLines(path, OptionsFileLines());
  } catch (const std::exception& e) {
    services_.Messages->ShowError(e.what());
    return;
  }
  LoadWithLoadingFlag();
}

}  // namespace settings
