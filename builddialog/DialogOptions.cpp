// The build dialog's load and save of CFOption.OPN: which controls and
// record fields the options file's values go to and come from.
#include "platform/Files.h"
#include "platform/PathText.h"
#include "platform/TextLines.h"
#include "builddialog/CompactDevModel.h"
#include "settings/OptionsFile.h"

namespace builddialog {

CompactDevModel::CatalogueControls CompactDevModel::Controls(settings::Catalogue which) {
  switch (which) {
    case settings::Catalogue::Microsoft:
      return {Ed_MS_Assembly_LinkPath, &settings::TCFOptions::MS_Assembly_Path, MS_Assmbly_List};
    case settings::Catalogue::Delphi:
      return {Ed_Delphi_Assembly_LinkPath, &settings::TCFOptions::Delphi_Assembly_Path, Delphi_Assmbly_List};
    default: return {Ed_Third_Assembly_LinkPath, &settings::TCFOptions::Third_Assembly_Path, Third_Assmbly_List};
  }
}

void CompactDevModel::InitOptions() {
  settings::TCFOptions& o = CFOptions;
  settings::ResetOptions(o);
  Ed_Emulator_Screen_Width.SetText("240");
  Ed_Emulator_Screen_Height.SetText("320");

  // Anything by that name is read: a folder, a FIFO or a broken link is an
  // error that names it, not a missing file.
  const bool fileThere = Files().FileExists(settings::OptionsFileName) || Files().NameTaken(settings::OptionsFileName);
  if (fileThere || !overrides_.empty()) {
    const platform::Lines firstValues = fileThere ? platform::Lines() : OptionsFileLines();
    MS_Assmbly_List.Clear();
    Delphi_Assmbly_List.Clear();
    Third_Assmbly_List.Clear();
    platform::Lines lines = fileThere ? Files().LoadLines(settings::OptionsFileName) : firstValues;
    if (!overrides_.empty()) lines = settings::WithOverrides(lines, overrides_);
    if (!lines.empty()) {
      const settings::OptionsFileContent file = settings::ParseOptionsFile(lines);
      // Each edit's change handler applies the path rule to its field.
      o.BDS_Compiler_Path = file.CompilerPath;
      EdDCCIL_Path.SetText(file.CompilerPath);
      o.BDS_Lib_Path = file.LibPath;
      Ed_BDS_Lib_Path.SetText(file.LibPath);
      CB_CFVer.ItemIndex = file.Profile;
      o.MS_CF_Assembly_Version = file.Version;
      for (settings::Catalogue which : settings::AllCatalogues) {
        const int i = settings::IndexOf(which);
        CatalogueControls c = Controls(which);
        CFOptions.*c.Field = file.Catalogues[i].Path;
        c.Edit.SetText(file.Catalogues[i].Path);
        c.List.Fill(file.Catalogues[i].Entries, true);
      }
      o.MS_CF_Emulator_Application = file.EmulatorApplication;
      o.MS_CF_Emulator_Image_FileName = file.EmulatorImageFileName;
      o.MS_CF_Emulator_Shared_Folder = file.SharedFolder;
      Ed_Emulator_App.SetText(file.EmulatorApplication);
      Ed_Emulator_Image_FileName.SetText(file.EmulatorImageFileName);
      Ed_Shared_Folder.SetText(file.SharedFolder);
      Ed_Emulator_Screen_Width.SetText(file.ScreenWidth);
      Ed_Emulator_Screen_Height.SetText(file.ScreenHeight);
      Ed_Emulator_Ram_Size.SetText(file.RamSize);
      o.MS_CF_Auto_Depoly_To_Emulator = file.AutoDeploy;
      Chk_Is_Auto_Depoly = file.AutoDeploy == "Y";
    }
  }

  if (context_.Project) {
    o.ProjectPath = platform::ExtractFilePath(context_.Project->GetFileName());
    auto editor = context_.Project->GetCurrentEditor();
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
  settings::OptionsFileContent file;
  file.CompilerPath = EdDCCIL_Path.Text();
  file.LibPath = Ed_BDS_Lib_Path.Text();
  file.Profile = CB_CFVer.ItemIndex;
  for (settings::Catalogue which : settings::AllCatalogues) {
    const CatalogueControls c = const_cast<CompactDevModel*>(this)->Controls(which);
    settings::OptionsCatalogue& catalogue = file.Catalogues[settings::IndexOf(which)];
    catalogue.Path = c.Edit.Text();
    for (const settings::CatalogueEntry& entry : c.List.Entries()) catalogue.Entries.push_back(entry.Text);
  }
  file.EmulatorApplication = Ed_Emulator_App.Text();
  file.EmulatorImageFileName = Ed_Emulator_Image_FileName.Text();
  file.SharedFolder = Ed_Shared_Folder.Text();
  file.ScreenWidth = Ed_Emulator_Screen_Width.Text();
  file.ScreenHeight = Ed_Emulator_Screen_Height.Text();
  file.RamSize = Ed_Emulator_Ram_Size.Text();
  file.AutoDeploy = Chk_Is_Auto_Depoly ? "Y" : "N";
  return settings::FormatOptionsFile(file);
}

void CompactDevModel::SaveOptions() {
  if (CFOptions.ProjectPath.empty()) {
    // Without a project the folder would be the file system's root.
    services_.Messages->ShowMessage(NoProjectToSaveMessage);
    return;
  }
  std::string path = platform::ExcludeTrailingBackslash(CFOptions.ProjectPath) + "\\" + settings::OptionsFileName;
  try {
    Files().SaveLines(path, OptionsFileLines());
  } catch (const std::exception& e) {
    services_.Messages->ShowError(e.what());
    return;
  }
  LoadWithLoadingFlag();
}

}  // namespace builddialog
