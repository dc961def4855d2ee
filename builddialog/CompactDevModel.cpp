#include "builddialog/CompactDevModel.h"

#include "pipeline/BuildDriver.h"
#include "pipeline/Cleanup.h"
#include "platform/Files.h"
#include "platform/MessagePump.h"
#include "platform/Process.h"
#include "runner/ConsoleRunner.h"
#include "runner/JumpToSource.h"
#include "settings/EmulatorDevices.h"
#include "settings/Profiles.h"

namespace builddialog {

CompactDevModel::CompactDevModel(DialogServices services) : services_(std::move(services)) {
  // Design values of a new dialog. They are in place before the change
  // handlers are wired, so the record keeps the reset values it starts with.
  EdDCCIL_Path.SetText(settings::DefaultCompilerPath);
  Ed_BDS_Lib_Path.SetText(settings::Profiles[0].LibPath);
  Ed_MS_Assembly_LinkPath.SetText(settings::Profiles[0].AssemblyPath);
  Ed_Delphi_Assembly_LinkPath.SetText(settings::DefaultDelphiAssemblyPath);
  Ed_Third_Assembly_LinkPath.SetText(settings::Profiles[0].AssemblyPath);
  for (const settings::Profile& p : settings::Profiles) CB_CFVer.Items.push_back(p.Entry);
  for (const settings::EmulatorDevice& d : settings::EmulatorDevices) ComboBox1.Items.push_back(d.Entry);
  ComboBox1.ItemIndex = 0;
  ComboBox1.Text = settings::EmulatorDevices[0].Entry;
  Ed_Shared_Folder.SetText("TestData");
  Ed_Emulator_Screen_Width.SetText("240");
  Ed_Emulator_Screen_Height.SetText("320");
  Ed_Emulator_Ram_Size.SetText("64");

  EdDCCIL_Path.OnChange = [this] { EdDCCIL_PathChange(); };
  Ed_BDS_Lib_Path.OnChange = [this] { Ed_BDS_Lib_PathChange(); };
  Ed_MS_Assembly_LinkPath.OnChange = [this] { Ed_MS_Assembly_LinkPathChange(); };
  Ed_Delphi_Assembly_LinkPath.OnChange = [this] { Ed_Delphi_Assembly_LinkPathChange(); };
  Ed_Third_Assembly_LinkPath.OnChange = [this] { Ed_Third_Assembly_LinkPathChange(); };
}

// --- path rule ---

void CompactDevModel::ApplyPathRule(EditState& edit, std::string settings::TCFOptions::*field) {
  const std::string& text = edit.Text();
  size_t begin = text.find_first_not_of(' ');
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\\')) --end;
  std::string result = begin == std::string::npos || begin >= end ? std::string() : text.substr(begin, end - begin);
  if (result != text) edit.SetText(result);
  CFOptions.*field = result;
}

void CompactDevModel::EdDCCIL_PathChange() { ApplyPathRule(EdDCCIL_Path, &settings::TCFOptions::BDS_Compiler_Path); }
void CompactDevModel::Ed_BDS_Lib_PathChange() { ApplyPathRule(Ed_BDS_Lib_Path, &settings::TCFOptions::BDS_Lib_Path); }
void CompactDevModel::Ed_MS_Assembly_LinkPathChange() {
  ApplyPathRule(Ed_MS_Assembly_LinkPath, &settings::TCFOptions::MS_Assembly_Path);
}
void CompactDevModel::Ed_Delphi_Assembly_LinkPathChange() {
  ApplyPathRule(Ed_Delphi_Assembly_LinkPath, &settings::TCFOptions::Delphi_Assembly_Path);
}
void CompactDevModel::Ed_Third_Assembly_LinkPathChange() {
  ApplyPathRule(Ed_Third_Assembly_LinkPath, &settings::TCFOptions::Third_Assembly_Path);
}

void CompactDevModel::Ed_BDS_Lib_PathKeyPress() { CFOptions.BDS_Lib_Path = Ed_BDS_Lib_Path.Text(); }
void CompactDevModel::Ed_MS_Assembly_LinkPathKeyPress() {
  CFOptions.MS_Assembly_Path = Ed_MS_Assembly_LinkPath.Text();
}
void CompactDevModel::Ed_Delphi_Assembly_LinkPathKeyPress() {
  CFOptions.Delphi_Assembly_Path = Ed_Delphi_Assembly_LinkPath.Text();
}
void CompactDevModel::Ed_Third_Assembly_LinkPathKeyPress() {
  CFOptions.Third_Assembly_Path = Ed_Third_Assembly_LinkPath.Text();
}

// --- show, hide, build ---

void CompactDevModel::OpenProject(ProjectContext context) {
  context_ = std::move(context);
  CFOptions.Loading = true;
  try {
    InitOptions();
  } catch (...) {
    CFOptions.Loading = false;
    throw;
  }
  CFOptions.Loading = false;
  PageControl1 = 0;
}

bool CompactDevModel::EnterProject() {
  BitBtn1Enabled = true;
  EdPjPath.SetText(CFOptions.ProjectPath);
  EdPJName.SetText(CFOptions.ProjectFileName);
  if (!platform::SetCurrentDir(CFOptions.ProjectPath)) {
    services_.Messages->ShowError("Cannot make the project folder \"" + CFOptions.ProjectPath +
                                  "\" the current folder: save the project first !!");
    return false;
  }
  for (const std::string& name : platform::ListFiles(EdPjPath.Text(), "*.dcpil"))
    platform::DeleteFile(EdPjPath.Text() + name);
  return LoadWithLoadingFlag();
}

void CompactDevModel::Build() {
  try {
    pipeline::DoCompileCF(*this, *this);
  } catch (const std::exception& e) {
    services_.Messages->ShowError(e.what());
  }
}

void CompactDevModel::Close() { DelPjAllDcpil(); }

void CompactDevModel::FormShow() { EnterProject(); }

void CompactDevModel::FormHide() { Close(); }

void CompactDevModel::DelPjAllDcpil() {
  pipeline::DelPjAllDcpil(EdPjPath.Text(),
                          {&MS_Assmbly_List.Entries(), &Delphi_Assmbly_List.Entries(), &Third_Assmbly_List.Entries()});
}

void CompactDevModel::BitBtn1Click() { Build(); }

void CompactDevModel::MessageListDblClick() {
  runner::MessageListDblClick(MessageList, context_.Modules, *services_.Messages);
}

void CompactDevModel::Label5Click() {
  if (services_.OpenResources) services_.OpenResources();
}

void CompactDevModel::DoCompileCF() { Build(); }

// --- build inputs and host ---

const settings::CatalogueEntries& CompactDevModel::CatalogueList(pipeline::Catalogue which) const {
  switch (which) {
    case pipeline::MicrosoftCatalogue: return MS_Assmbly_List.Entries();
    case pipeline::DelphiCatalogue: return Delphi_Assmbly_List.Entries();
    default: return Third_Assmbly_List.Entries();
  }
}

std::shared_ptr<ToolsAPI::IOTAProject> CompactDevModel::ActiveProject() const { return context_.Project; }

void CompactDevModel::ShowMessage(const std::string& text) { services_.Messages->ShowMessage(text); }

std::string CompactDevModel::RunConsole(const std::string& commandLine, const std::string& workingFolder) {
  if (services_.RunConsole) return services_.RunConsole(commandLine, workingFolder);
  return runner::getDOSOutput(commandLine, workingFolder, *services_.Messages);
}

std::unique_ptr<platform::StartedProcess> CompactDevModel::StartHidden(const std::string& commandLine) {
  if (services_.StartHidden) return services_.StartHidden(commandLine);
  return platform::StartHidden(commandLine);
}

void CompactDevModel::Wait(int milliseconds) {
  if (services_.Sleep) services_.Sleep(milliseconds);
  else platform::Sleep(milliseconds);
}

}  // namespace builddialog
