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

  using settings::TCFOptions;
  EdDCCIL_Path.OnChange = [this] { ApplyPathRule(EdDCCIL_Path, &TCFOptions::BDS_Compiler_Path); };
  Ed_BDS_Lib_Path.OnChange = [this] { ApplyPathRule(Ed_BDS_Lib_Path, &TCFOptions::BDS_Lib_Path); };
  for (settings::Catalogue which : settings::AllCatalogues) {
    Controls(which).Edit.OnChange = [this, which] {
      CatalogueControls c = Controls(which);
      ApplyPathRule(c.Edit, c.Field);
    };
  }
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

void CompactDevModel::KeepLibFolderAsTyped() { CFOptions.BDS_Lib_Path = Ed_BDS_Lib_Path.Text(); }

void CompactDevModel::KeepAssemblyFolderAsTyped(settings::Catalogue which) {
  CatalogueControls c = Controls(which);
  CFOptions.*c.Field = c.Edit.Text();
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
  CompileEnabled = true;
  EdPjPath.SetText(CFOptions.ProjectPath);
  EdPJName.SetText(CFOptions.ProjectFileName);
  if (!platform::SetCurrentDir(CFOptions.ProjectPath)) {
    services_.Messages->ShowError("Cannot make the project folder \"" + CFOptions.ProjectPath +
                                  "\" the current folder: save the project first !!");
    return false;
  }
  for (const std::string& name : Files().ListFiles(EdPjPath.Text(), "*.dcpil"))
    Files().DeleteFile(EdPjPath.Text() + name);
  return LoadWithLoadingFlag();
}

pipeline::BuildOutcome CompactDevModel::Build() {
  // The compiler reads the files on disk: the IDE offers the edits not yet
  // saved first, and a cancel there means no build.
  if (context_.Modules && !context_.Modules->SaveAll()) return {};
  try {
    return pipeline::BuildProject(*this, *this, *this);
  } catch (const std::exception& e) {
    services_.Messages->ShowError(e.what());
    pipeline::BuildOutcome outcome;
    outcome.Started = true;
    outcome.Stopped = e.what();
    outcome.EndedByError = true;
    return outcome;
  }
}

void CompactDevModel::Close() { DeleteCompiledPackages(); }

void CompactDevModel::DeleteCompiledPackages() {
  pipeline::DelPjAllDcpil(Files(), EdPjPath.Text(),
                          {&MS_Assmbly_List.Entries(), &Delphi_Assmbly_List.Entries(), &Third_Assmbly_List.Entries()});
}

void CompactDevModel::JumpToSelectedMessage() {
  runner::MessageListDblClick(MessageList, context_.Modules, *services_.Messages);
}

void CompactDevModel::OpenResources() {
  if (services_.OpenResources) services_.OpenResources();
}

// --- the build's events: the page and the Compile button ---

void CompactDevModel::BuildStarted() {
  PageControl1 = MessagesPage;
  if (observer_) observer_->BuildStarted();
}

void CompactDevModel::SourcesChanging() {
  CompileEnabled = false;
  if (observer_) observer_->SourcesChanging();
}

void CompactDevModel::CompilerRunning(const std::string& commandLine) {
  if (observer_) observer_->CompilerRunning(commandLine);
}

void CompactDevModel::CompilerEnded() {
  CompileVisible = true;
  CompileEnabled = true;
  if (observer_) observer_->CompilerEnded();
}

void CompactDevModel::BuildEnded(const pipeline::BuildOutcome& outcome) {
  // A file error ends the build where it stands: the messages stay in view,
  // and the Compile button stays off until the dialog is shown again.
  if (outcome.Started && !outcome.EndedByError) PageControl1 = TargetProjectPage;
  if (observer_) observer_->BuildEnded(outcome);
}

// --- build inputs and host ---

const settings::CatalogueEntries& CompactDevModel::CatalogueList(settings::Catalogue which) const {
  return const_cast<CompactDevModel*>(this)->Controls(which).List.Entries();
}

std::shared_ptr<ToolsAPI::IOTAProject> CompactDevModel::ActiveProject() const { return context_.Project; }

void CompactDevModel::ShowMessage(const std::string& text) { services_.Messages->ShowMessage(text); }

runner::ConsoleRun CompactDevModel::RunConsole(const std::string& commandLine, const std::string& workingFolder) {
  if (services_.RunConsole) return services_.RunConsole(commandLine, workingFolder);
  return runner::RunConsoleCommand(commandLine, workingFolder, *services_.Messages);
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
