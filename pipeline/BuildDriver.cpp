#include "pipeline/BuildDriver.h"

#include "pipeline/Cleanup.h"
#include "pipeline/CompilerCommandLine.h"
#include "pipeline/SourceAdaptation.h"
#include "platform/DateTime.h"
#include "platform/Files.h"
#include "platform/PathText.h"
#include "platform/Text.h"
#include "runner/OutputLines.h"

namespace pipeline {

namespace {
constexpr int TargetProjectPage = 0;
constexpr int MessagesPage = 2;
}  // namespace

void DoCompileCF(BuildInputs& inputs, BuildHost& host, const BuildOptions& options) {
  const std::string folder = inputs.ProjectFolderText();
  if (!platform::FileExists(folder + inputs.ProjectNameText())) {
    host.ShowMessage(SaveFirstMessage);
    return;
  }
  if (platform::Trim(inputs.MSAssemblyFolderText()).empty()) {
    host.ShowMessage(EmptyAssemblyPathMessage);
    return;
  }
  std::shared_ptr<ToolsAPI::IOTAProject> project = inputs.ActiveProject();
  if (!project) return;

  runner::MessageList& messages = host.Messages();
  host.SelectPage(MessagesPage);
  messages.Clear();
  messages.Add(Banner);

  std::shared_ptr<ToolsAPI::IOTAEditor> editor = project->GetCurrentEditor();
  if (!editor) {
    host.SelectPage(TargetProjectPage);
    return;
  }
  const std::string sourceFile = editor->GetFileName();
  const std::string extension = platform::ExtractFileExt(sourceFile);
  const std::string baseName = platform::ChangeFileExt(inputs.Options().ProjectFileName, "");
  DeleteStaleCompanionFiles(folder, baseName);
  if (extension.empty()) {
    host.ShowMessage(NoExtensionMessage);
    host.SelectPage(TargetProjectPage);
    return;
  }
  host.SetCompileEnabled(false);
  const std::string commandLine = CompilerCommandLine(inputs);

  const std::string dateStamp =
      options.DateStamp.empty() ? platform::FormatDateTime("yyyy/mm/dd", platform::Now()) : options.DateStamp;
  platform::Lines lines;
  if (platform::SameText(extension, ".DPR")) lines = platform::LoadLines(sourceFile);
  for (size_t i = 0; i < lines.size(); ++i) {
    RecompileResource(lines[i], inputs, host, options.Resources);
    if (platform::Contains(lines[i], "[STAThread]")) PatchProjectSource(lines, i, sourceFile, dateStamp);
  }
  lines.clear();

  messages.Add("");
  messages.Add(SearchingLine);
  platform::Lines units;
  GetProjectUnits(folder + inputs.ProjectNameText(), units);
  AdaptUnits(units, messages);

  RemoveCFSupportUnits(inputs.LibFolderText());
  BackupOutputProgram(inputs.Options().ProjectPath, baseName);

  messages.Add(" ");
  try {
    runner::AppendOutputLines(host.RunConsole(commandLine, "."), messages);
  } catch (...) {
    host.SetCompileVisible(true);
    host.SetCompileEnabled(true);
    throw;
  }
  host.SetCompileVisible(true);
  host.SetCompileEnabled(true);

  host.Wait(options.AfterCompileMs);
  RemoveCFSupportUnits(inputs.LibFolderText());
  host.SelectPage(TargetProjectPage);
}

}  // namespace pipeline
