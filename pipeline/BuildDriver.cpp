#include "pipeline/BuildDriver.h"

#include <exception>

#include "pipeline/Cleanup.h"
#include "pipeline/CompilerCommandLine.h"
#include "pipeline/SourceAdaptation.h"
#include "platform/DateTime.h"
#include "platform/Files.h"
#include "platform/PathText.h"
#include "platform/Text.h"
#include "runner/OutputLines.h"

namespace pipeline {

bool BuildOutcome::CompilerReportedFailure() const {
  for (const runner::CompilerMessage& message : Messages)
    if (runner::IsFailure(message)) return true;
  return false;
}

bool BuildOutcome::CompilerReportedWarning() const {
  for (const runner::CompilerMessage& message : Messages)
    if (message.Kind != "hint") return true;
  return false;
}

namespace {

// A check that stops the build: its message shown, and the outcome says why.
BuildOutcome& StopWith(BuildOutcome& outcome, BuildHost& host, const std::string& message) {
  host.ShowMessage(message);
  outcome.Stopped = message;
  return outcome;
}

// The project file's resources recompiled and its source patched, then its
// units adapted; the compiler's support units cleared and the old program
// kept aside.
void PrepareSources(BuildInputs& inputs, BuildHost& host, const BuildOptions& options, const std::string& sourceFile,
                    const std::string& baseName) {
  const std::string extension = platform::ExtractFileExt(sourceFile);
  const std::string dateStamp =
      options.DateStamp.empty() ? platform::FormatDateTime("yyyy/mm/dd", platform::Now()) : options.DateStamp;
  platform::Lines lines;
  platform::FileSystem& files = host.Files();
  if (platform::SameText(extension, ".DPR")) {
    const std::string text = files.ReadFileText(sourceFile);
    RefuseWideText(text, sourceFile);
    lines = platform::SplitLines(text);
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    RecompileResource(lines[i], inputs, host, options.Resources);
    if (platform::Contains(lines[i], "[STAThread]")) PatchProjectSource(files, lines, i, sourceFile, dateStamp);
  }
  lines.clear();

  runner::MessageList& messages = host.Messages();
  messages.Add("");
  messages.Add(SearchingLine);
  platform::Lines units;
  GetProjectUnits(files, inputs.ProjectFolderText() + inputs.ProjectNameText(), units);
  AdaptUnits(files, units, messages);

  RemoveCFSupportUnits(files, inputs.LibFolderText());
  BackupOutputProgram(files, inputs.Options().ProjectPath, baseName);
}

// Runs the compiler and lists its output; the outcome gets its messages and
// how it ended.
void Compile(BuildInputs& inputs, BuildHost& host, BuildObserver& observer, BuildOutcome& outcome) {
  const std::string commandLine = CompilerCommandLine(inputs);
  runner::MessageList& messages = host.Messages();
  messages.Add(" ");
  const int firstOutputLine = messages.Count();
  observer.CompilerRunning(commandLine);
  outcome.CompilerRan = true;
  runner::ConsoleRun run;
  try {
    run = host.RunConsole(commandLine, ".");
  } catch (...) {
    observer.CompilerEnded();
    throw;
  }
  runner::AppendOutputLines(run.Output, messages);
  observer.CompilerEnded();
  if (!run.Started) outcome.CompilerNotStarted = run.StartError.empty() ? "it could not be started" : run.StartError;
  if (run.ReadFailed) outcome.Stopped = runner::PipeReadError;
  outcome.CompilerExit = run.Exit;
  for (int i = firstOutputLine; i < messages.Count(); ++i)
    if (auto message = runner::ParseCompilerMessage(messages.Item(i))) outcome.Messages.push_back(*message);
}

BuildOutcome Build(BuildInputs& inputs, BuildHost& host, BuildObserver& observer, const BuildOptions& options) {
  BuildOutcome outcome;
  const std::string folder = inputs.ProjectFolderText();
  if (!host.Files().FileExists(folder + inputs.ProjectNameText())) return StopWith(outcome, host, SaveFirstMessage);
  if (platform::Trim(inputs.MSAssemblyFolderText()).empty()) return StopWith(outcome, host, EmptyAssemblyPathMessage);
  std::shared_ptr<ToolsAPI::IOTAProject> project = inputs.ActiveProject();
  if (!project) {
    outcome.Stopped = "No project is open";
    return outcome;
  }

  runner::MessageList& messages = host.Messages();
  outcome.Started = true;
  messages.Clear();
  messages.Add(Banner);
  observer.BuildStarted();

  std::shared_ptr<ToolsAPI::IOTAEditor> editor = project->GetCurrentEditor();
  if (!editor) {
    outcome.Stopped = "The project has no editor";
    return outcome;
  }
  const std::string sourceFile = editor->GetFileName();
  // Before anything is touched: a '"' would give a tool other arguments.
  platform::Lines projectLines;
  if (platform::SameText(platform::ExtractFileExt(sourceFile), ".DPR") && host.Files().FileExists(sourceFile))
    projectLines = platform::SplitLines(host.Files().ReadFileText(sourceFile));
  if (const std::string quote = QuoteInToolArguments(inputs, projectLines); !quote.empty())
    return StopWith(outcome, host, quote);
  const std::string baseName = platform::ChangeFileExt(inputs.Options().ProjectFileName, "");
  DeleteStaleCompanionFiles(host.Files(), folder, baseName);
  if (platform::ExtractFileExt(sourceFile).empty()) return StopWith(outcome, host, NoExtensionMessage);

  observer.SourcesChanging();
  PrepareSources(inputs, host, options, sourceFile, baseName);
  Compile(inputs, host, observer, outcome);

  host.Wait(options.AfterCompileMs);
  RemoveCFSupportUnits(host.Files(), inputs.LibFolderText());
  return outcome;
}

}  // namespace

BuildOutcome BuildProject(BuildInputs& inputs, BuildHost& host, BuildObserver& observer, const BuildOptions& options) {
  BuildOutcome outcome;
  try {
    outcome = Build(inputs, host, observer, options);
  } catch (const std::exception& e) {
    outcome.Started = true;
    outcome.Stopped = e.what();
    outcome.EndedByError = true;
    observer.BuildEnded(outcome);
    throw;
  }
  observer.BuildEnded(outcome);
  return outcome;
}

}  // namespace pipeline
