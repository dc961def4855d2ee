// The build dialog's pickers, catalogue buttons, profile switch and device list.
#include "platform/Files.h"
#include "platform/PathText.h"
#include "platform/Text.h"
#include "builddialog/CompactDevModel.h"
#include "settings/EmulatorDevices.h"
#include "settings/Profiles.h"

namespace builddialog {

namespace {
// A picked folder as the dialog stores it: no trailing "\", no outer blanks.
std::string PickedFolder(std::string folder) {
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return platform::Trim(folder);
}
}  // namespace

std::string CompactDevModel::PickerStart(const std::string& folderText) {
  if (folderText.empty()) return {};
  return platform::DirectoryExists(folderText) ? folderText : std::string("C:\\");
}

void CompactDevModel::RestoreProjectFolder() { platform::SetCurrentDir(CFOptions.ProjectPath); }

// --- framework profile ---

void CompactDevModel::SwitchFrameworkProfile() {
  if (CFOptions.Loading) return;
  if (!services_.Messages->AskYesNo("Exchange to another .Net Version ?")) return;
  const settings::Profile* profile = settings::ProfileAt(CB_CFVer.ItemIndex);
  if (!profile) return;
  Ed_BDS_Lib_Path.SetText(profile->LibPath);
  Ed_MS_Assembly_LinkPath.SetText(profile->AssemblyPath);
  CFOptions.MS_CF_Assembly_Version = profile->Version;
}

// --- catalogues ---

void CompactDevModel::FillCatalogue(settings::Catalogue which) {
  CatalogueControls c = Controls(which);
  dialogs::PickResult picked = services_.Picker->PickFile("dll", PickerStart(c.Edit.Text()));
  if (!picked.Accepted) {
    RestoreProjectFolder();
    return;
  }
  std::string folder = PickedFolder(picked.Directory);
  CFOptions.*c.Field = folder;
  c.Edit.SetText(folder);
  c.List.Fill(Files().ListFiles(c.Edit.Text(), "*.DLL"), true);
  RestoreProjectFolder();
}

void CompactDevModel::AddAssemblyToShownCatalogue() {
  CatalogueControls c = Controls(AssemblyPageCtrl);
  dialogs::PickResult picked = services_.Picker->PickFile("*.dll", PickerStart(c.Edit.Text()));
  if (picked.Accepted) {
    // The catalogue's folder stays; the build looks for the name there.
    std::string name = platform::ExtractFileName(picked.FileName);
    if (!name.empty() && !c.List.Contains(name)) c.List.SetChecked(c.List.Add(name), true);
  }
  RestoreProjectFolder();
}

void CompactDevModel::RemoveSelected(CheckListState& list) {
  if (list.ItemIndex() < 0) return;
  list.Delete(list.ItemIndex());
  list.SetItemIndex(list.Count() > 0 ? 0 : -1);
}

void CompactDevModel::RemoveSelectedFromShownCatalogue() { RemoveSelected(Controls(AssemblyPageCtrl).List); }
void CompactDevModel::RemoveSelectedEntry(settings::Catalogue which) { RemoveSelected(Controls(which).List); }

// --- compiler and library folders ---

void CompactDevModel::PickFolderInto(EditState& edit, std::string settings::TCFOptions::*field) {
  dialogs::PickResult picked = services_.Picker->PickPath(PickerStart(edit.Text()));
  if (picked.Accepted) {
    std::string folder = PickedFolder(picked.Directory);
    CFOptions.*field = folder;
    edit.SetText(folder);
  }
  RestoreProjectFolder();
}

void CompactDevModel::PickCompilerFolder() { PickFolderInto(EdDCCIL_Path, &settings::TCFOptions::BDS_Compiler_Path); }
void CompactDevModel::PickLibFolder() { PickFolderInto(Ed_BDS_Lib_Path, &settings::TCFOptions::BDS_Lib_Path); }

// --- emulator ---

void CompactDevModel::ShowDeviceScreenSize() {
  if (ComboBox1.ItemIndex < 0 || ComboBox1.ItemIndex >= static_cast<int>(std::size(settings::EmulatorDevices))) return;
  const settings::EmulatorDevice& device = settings::EmulatorDevices[ComboBox1.ItemIndex];
  Ed_Emulator_Screen_Width.SetText(device.Width);
  Ed_Emulator_Screen_Height.SetText(device.Height);
}

void CompactDevModel::PickEmulatorFile(const char* mask, EditState& edit, std::string settings::TCFOptions::*field) {
  dialogs::PickResult picked = services_.Picker->PickFile(mask, std::string());
  if (picked.Accepted) {
    CFOptions.*field = picked.FileName;
    edit.SetText(picked.FileName);
  }
  RestoreProjectFolder();
}

void CompactDevModel::PickEmulatorProgram() {
  PickEmulatorFile("*.exe", Ed_Emulator_App, &settings::TCFOptions::MS_CF_Emulator_Application);
}
void CompactDevModel::PickEmulatorImage() {
  PickEmulatorFile("*.bin;*.cem", Ed_Emulator_Image_FileName, &settings::TCFOptions::MS_CF_Emulator_Image_FileName);
}

}  // namespace builddialog
