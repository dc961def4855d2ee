#include "cli/BuildCommand.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <optional>

#include "cli/CiMessages.h"
#include "cli/CommandOptions.h"
#include "cli/ConsoleIDE.h"
#include "cli/ProjectBatch.h"
#include "cli/ProjectGroup.h"
#include "cli/UnifiedDiff.h"
#include "platform/ChangePlan.h"
#include "platform/CommandLine.h"
#include "platform/Files.h"
#include "platform/PathText.h"
#include "platform/Process.h"
#include "platform/Signals.h"
#include "platform/Text.h"
#include "platform/WinPath.h"
#include "runner/ConsoleRunner.h"
#include "pipeline/CompilerCommandLine.h"
#include "builddialog/CompactDevModel.h"
#include "settings/OptionsFile.h"

namespace cli {

namespace {

const char* const BuildHelp =
    "Usage: tidewell build [OPTION]... PROJECT.dpr|GROUP.bdsgroup...\n"
    "\n"
    "Builds a Delphi for .NET project for the .NET Compact Framework with the\n"
    "settings kept in CFOption.OPN beside the project file: recompiles its .resx\n"
    "resources, adapts the project file and its units for the Compact Framework,\n"
    "runs dccil and prints the message list.\n"
    "\n"
    "PROJECT.dpr may be a Linux path or a Windows path (C:\\Projects\\App.dpr);\n"
    "Windows drives are found through $TIDEWELL_DOSDEVICES, $WINEPREFIX/dosdevices\n"
    "or ~/.wine/dosdevices. A BDS project group (.bdsgroup) stands for its\n"
    "projects, in the order of its Targets: each .bdsproj's main source, else the\n"
    ".dpr beside it of the same name.\n"
    "\n"
    "Given more than one project, builds each in a process of its own and prints\n"
    "each one's output as one block headed \"==> PROJECT <==\", then a line such as\n"
    "\"2 built, 1 failed\" (both on standard error with --messages=json); the exit\n"
    "status is the worst of all.\n"
    "\n"
    "The message list is printed as the build goes on. Ctrl-C ends the build and\n"
    "the tools it started.\n"
    "\n"
    "  --dry-run, -n      change nothing and run no tool: print the files the build\n"
    "                     would delete and rename (\"delete NAME\", \"rename NAME to\n"
    "                     NAME\"), the tools it would run (\"run COMMAND LINE\"),\n"
    "                     then a unified diff of every file it would write (the\n"
    "                     project file, the units, copied resources).\n"
    "  --jobs=N, -j N     build up to N projects at once (1 to 32; 1 by default).\n"
    "  --messages=FORMAT  list (the default): the message list;\n"
    "                     github: the message list, then the compiler's errors,\n"
    "                     warnings and hints as GitHub Actions annotations (::error,\n"
    "                     ::warning, ::notice file=...);\n"
    "                     json: instead of the list, one JSON object a line for each\n"
    "                     compiler message: {\"file\",\"line\",\"column\",\"kind\",\"text\"};\n"
    "                     gcc: instead of the list, FILE:LINE:COLUMN: SEVERITY: TEXT\n"
    "                     a line (error, warning or note), as editors read it.\n"
    "                     Files are named relative to the current folder where they\n"
    "                     lie inside it. A build that cannot start (exit status 2\n"
    "                     or 3) is also one record of these formats (kind fatal).\n"
    "  --set KEY=VALUE    build with VALUE for the CFOption.OPN key KEY (such as\n"
    "                     BDS_Lib_Path or MS_CF_Assembly_Version); the file is not\n"
    "                     written. May be given more than once; an unknown key is a\n"
    "                     usage error.\n"
    "  --warnings-as-errors  a warning fails the build (exit status 1) as an error\n"
    "                     does.\n"
    "\n"
    "Exit status:\n"
    "  0  built\n"
    "  1  the compiler reported an error or a fatal error, or ended with a non-zero\n"
    "     status or by a signal\n"
    "  2  the build could not start or was stopped: a usage error, a check failed,\n"
    "     or a file could not be read or written\n"
    "  3  the compiler could not be started\n";

// Prints a message list as it grows: a line when it is added, text appended
// to the last line when it is appended, and the line end when the next line
// starts (or the build ends). The bytes are those of printing the finished
// list line by line.
class MessagePrinter : public runner::MessageListObserver {
 public:
  explicit MessagePrinter(const runner::MessageLines& list) : list_(list) {}
  ~MessagePrinter() override { Finish(); }
  void LinesCleared() override {
    Finish();
    printed_.clear();
  }
  void LineAdded(int index) override {
    Finish();
    Print(list_.Item(index));
    open_ = true;
  }
  void LineChanged(int index) override {
    const std::string& text = list_.Lines()[static_cast<size_t>(index)];
    if (index == list_.Count() - 1 && open_ && text.starts_with(printed_)) Print(text.substr(printed_.size()));
  }
  void SelectionChanged(int) override {}
  void Finish() {
    if (open_) std::cout << "\n" << std::flush;
    open_ = false;
  }

 private:
  void Print(const std::string& text) {
    std::cout << text << std::flush;
    printed_ = open_ ? printed_ + text : text;
  }
  const runner::MessageLines& list_;
  std::string printed_;  // the text of the open line printed so far
  bool open_ = false;
};

}  // namespace

namespace {

int Usage(const std::string& problem) {
  std::cerr << "tidewell build: " << problem << "\n\n" << BuildHelp;
  return ToInt(ExitStatus::CouldNotStart);
}

// The current folder as the user's shell names it ($PWD, when it is this
// folder reached through a link), else as the system does.
std::string LogicalCurrentFolder() {
  std::error_code unknown;
  const std::filesystem::path physical = std::filesystem::current_path(unknown);
  const char* shell = std::getenv("PWD");
  if (shell && *shell == '/' && std::filesystem::equivalent(shell, physical, unknown) && !unknown) return shell;
  return physical.string();
}

// The project's folder as the user reached it (through links as typed) and
// as the system resolves it; the compiler names files by the latter.
struct ProjectFolders {
  std::string AsGiven, Resolved;
};

ProjectFolders FoldersOf(const std::string& projectFile, const std::string& typed, const std::string& startFolder) {
  namespace fs = std::filesystem;
  ProjectFolders folders;
  folders.Resolved = platform::ToHostPath(platform::ExtractFilePath(projectFile));
  std::error_code unknown;
  const fs::path resolved = fs::weakly_canonical(folders.Resolved, unknown);
  if (!unknown) folders.Resolved = resolved.string();
  folders.AsGiven = folders.Resolved;
  const bool windowsPath = typed.size() >= 2 && typed[1] == ':';
  if (!windowsPath && typed.find('\\') == std::string::npos) {
    const fs::path given = (fs::path(startFolder) / typed).lexically_normal().parent_path();
    if (fs::equivalent(given, resolved, unknown) && !unknown) folders.AsGiven = given.string();
  }
  return folders;
}

// A file the compiler names, as the user reached the project: the resolved
// project folder spelled as the user gave it.
std::string AsGiven(const std::string& hostFile, const ProjectFolders& folders) {
  const std::string& resolved = folders.Resolved;
  if (resolved == folders.AsGiven || !hostFile.starts_with(resolved) || hostFile.size() <= resolved.size() ||
      hostFile[resolved.size()] != '/')
    return hostFile;
  return folders.AsGiven + hostFile.substr(resolved.size());
}

// The compiler's messages of a finished build in a CI system's format.
void PrintCiMessages(const std::vector<runner::CompilerMessage>& messages, MessageFormat format,
                     const ProjectFolders& folders, const std::string& startFolder) {
  for (const runner::CompilerMessage& message : messages) {
    std::string file = message.File.empty() ? std::string()
                                            : DisplayPath(AsGiven(platform::ToHostPath(message.File), folders),
                                                          folders.AsGiven, startFolder);
    std::cout << (format == MessageFormat::Json  ? JsonMessage(message, file)
                  : format == MessageFormat::Gcc ? GccMessage(message, file)
                                                 : GitHubAnnotation(message, file));
  }
  std::cout << std::flush;
}

// What a dry run found a build would do: the files it would delete and
// rename, one a line, then a unified diff of every file it would write,
// which `patch -p1` and `git apply` take: its names are relative to the
// current folder when the project lies inside it, else to the project's
// folder (the first line then says so), and a name with a blank ends with
// a TAB, as git writes it.
std::string DescribePlan(const std::vector<platform::ChangePlan::Change>& changes,
                         const std::vector<std::string>& commands, const std::string& startFolder,
                         const ProjectFolders& folders) {
  const std::string& projectFolder = folders.AsGiven;
  const bool fromStart = !DisplayPath(projectFolder, startFolder, startFolder).starts_with('/');
  const std::string base = fromStart ? startFolder : projectFolder;
  auto shown = [&](const std::string& path) {
    return DisplayPath(AsGiven(platform::ToHostPath(path), folders), base, base);
  };
  auto diffName = [&](const std::string& name) { return name.find(' ') == std::string::npos ? name : name + "\t"; };
  std::string moves, diffs;
  for (const platform::ChangePlan::Change& change : changes) {
    using Change = platform::ChangePlan::Change;
    if (change.What == Change::Delete) moves += "delete " + shown(change.Path) + "\n";
    if (change.What == Change::Rename) moves += "rename " + shown(change.Path) + " to " + shown(change.To) + "\n";
    if (change.What == Change::Write)
      diffs += UnifiedDiff(change.OldText, change.NewText,
                           change.Existed ? diffName("a/" + shown(change.Path)) : "/dev/null",
                           diffName("b/" + shown(change.Path)));
  }
  for (const std::string& command : commands) moves += "run " + command + "\n";
  const std::string heading =
      fromStart || changes.empty() ? "" : "# Paths relative to the project's folder " + projectFolder + "\n";
  return heading + moves + diffs;
}

}  // namespace

namespace {

struct BuildRequest {
  MessageFormat Format = MessageFormat::List;
  bool DryRun = false;
  bool WarningsAsErrors = false;       // a warning fails the build too
  std::vector<std::string> Overrides;  // --set's options-file lines
  int Jobs = 1;                        // builds at once, for many projects
  std::vector<std::string> Projects;   // as the user typed them, groups opened
  std::string ProjectArgument;         // the one project, as typed
  std::string ProjectFile;             // the system's path of it
};

// The options of one build as its own command line, for the builds of many
// projects.
std::vector<std::string> OptionsOfOneBuild(const BuildRequest& request) {
  static const char* const Formats[] = {"list", "github", "json", "gcc"};
  std::vector<std::string> options{"--messages=" + std::string(Formats[static_cast<int>(request.Format)])};
  if (request.DryRun) options.push_back("--dry-run");
  if (request.WarningsAsErrors) options.push_back("--warnings-as-errors");
  for (const std::string& line : request.Overrides) options.push_back("--set=" + line);
  return options;
}

// The one project's path checked and made the system's.
std::optional<int> CheckProjectFile(const std::string& argument, BuildRequest& request, ConsoleMessages& messages) {
  request.ProjectArgument = argument;
  if (std::string problem = platform::PathProblem(request.ProjectArgument); !problem.empty()) {
    messages.ShowError("cannot use the project path: " + problem);
    return ToInt(ExitStatus::CouldNotStart);
  }
#ifndef _WIN32
  // A "\" inside a Linux name would be taken for a Windows folder break.
  std::error_code unreadable;
  if (request.ProjectArgument.find('\\') != std::string::npos &&
      std::filesystem::exists(request.ProjectArgument, unreadable)) {
    messages.ShowError(
        "cannot use the project path: a folder or file name in it holds a '\\', which a Windows path cannot hold: " +
        request.ProjectArgument);
    return ToInt(ExitStatus::CouldNotStart);
  }
#endif
  request.ProjectFile = platform::TypedPath(request.ProjectArgument);
  // Only a project is built: any other file would have its folder's
  // compiled files deleted for nothing.
  const std::string extension = platform::ExtractFileExt(request.ProjectFile);
  if (!platform::SameText(extension, ".dpr") && !platform::SameText(extension, ".dpk")) {
    messages.ShowError("not a project file (.dpr or .dpk): " + request.ProjectArgument);
    return ToInt(ExitStatus::CouldNotStart);
  }
  if (!platform::FileExists(request.ProjectFile)) {
    messages.ShowError("project file not found: " + request.ProjectArgument);
    return ToInt(ExitStatus::CouldNotStart);
  }
  return std::nullopt;
}

// The command line into a request; a usage error's status otherwise.
std::optional<int> ParseBuildRequest(const std::vector<std::string>& args, BuildRequest& request,
                                     ConsoleMessages& messages) {
  const CommandLineOptions options = ParseCommandLine(args, {{"--help", 'h'},
                                                             {"--dry-run", 'n'},
                                                             {"--messages", 0, true},
                                                             {"--warnings-as-errors"},
                                                             {"--set", 0, true, true},
                                                             {"--jobs", 'j', true}});
  if (!options.Problem.empty()) return Usage(options.Problem);
  if (options.Has("--help")) {
    std::cout << BuildHelp;
    return ToInt(ExitStatus::Done);
  }
  request.DryRun = options.Has("--dry-run");
  request.WarningsAsErrors = options.Has("--warnings-as-errors");
  if (options.Has("--messages") && !ParseMessageFormat(options.Value("--messages"), request.Format))
    return Usage("unknown message format '" + options.Value("--messages") + "' (list, github, json or gcc)");
  if (options.Has("--set"))
    for (const std::string& setting : options.Given.at("--set")) {
      const size_t equals = setting.find('=');
      const std::string key = setting.substr(0, equals);
      if (equals == std::string::npos || !settings::IsOptionsKey(key))
        return Usage("--set needs KEY=VALUE with a key of CFOption.OPN, not '" + setting + "'");
      if (setting.find_first_of("\r\n") != std::string::npos) return Usage("--set's value is one line: " + key);
      request.Overrides.push_back(setting);
    }
  if (options.Has("--jobs")) {
    const std::optional<int> jobs = platform::ParseInt(options.Value("--jobs"));
    if (!jobs || *jobs < 1 || *jobs > 32) return Usage("--jobs needs a number from 1 to 32");
    request.Jobs = *jobs;
  }
  if (options.Operands.empty()) return Usage("expected a project file");
  for (const std::string& operand : options.Operands) {
    if (!IsProjectGroup(operand)) {
      request.Projects.push_back(operand);
      continue;
    }
    const GroupProjects group = ReadProjectGroup(operand);
    if (!group.Problem.empty()) {
      messages.ShowError(group.Problem);
      return ToInt(ExitStatus::CouldNotStart);
    }
    request.Projects.insert(request.Projects.end(), group.Projects.begin(), group.Projects.end());
  }
  if (request.Projects.size() > 1) return std::nullopt;
  return CheckProjectFile(request.Projects[0], request, messages);
}

// A compiler that is not there would find the sources patched for nothing
// (after the dialog's own first checks, which keep their say).
bool CompilerMissing(const builddialog::CompactDevModel& dialog, ConsoleMessages& messages) {
  const std::string commandLine = pipeline::CompilerCommandLine(const_cast<builddialog::CompactDevModel&>(dialog));
  if (platform::Trim(dialog.MSAssemblyFolderText()).empty()) return false;
  const std::string problem = platform::ProgramProblem(commandLine);
  if (problem.empty()) return false;
  // A drive that names no folder is the likelier mistake: said with the problem.
  const std::string drive = platform::DriveProblem(platform::ProgramText(commandLine));
  messages.ShowError("the compiler could not be started: " + problem +
                     (drive.empty() ? "" : " (" + drive + "; see TIDEWELL_DOSDEVICES)"));
  return true;
}

// The exit status a finished build earns, with its one line on standard
// error where the compiler failed without saying so.
ExitStatus StatusOf(const pipeline::BuildOutcome& outcome, bool warningsAsErrors, ConsoleMessages& messages) {
  if (!outcome.Stopped.empty()) return ExitStatus::CouldNotStart;  // every stop before the compiler says why
  if (!outcome.CompilerNotStarted.empty()) {
    messages.ShowError("the compiler could not be started: " + outcome.CompilerNotStarted);
    return ExitStatus::ToolNotStarted;
  }
  if (outcome.CompilerExit && outcome.CompilerExit->Failed()) {
    std::cerr << "tidewell build: the compiler " << (outcome.CompilerExit->Signal ? "was ended by " : "ended with ")
              << platform::DescribeExit(*outcome.CompilerExit) << "\n";
    return ExitStatus::Failed;
  }
  if (outcome.CompilerReportedFailure() || (warningsAsErrors && outcome.CompilerReportedWarning()))
    return ExitStatus::Failed;
  return ExitStatus::Done;
}

// Builds with the message list printed as it grows (or, for json, only the
// messages at the end).
pipeline::BuildOutcome BuildAndPrint(builddialog::CompactDevModel& dialog, ConsoleMessages& messages,
                                     const BuildRequest& request, const std::string& startFolder) {
  pipeline::BuildOutcome outcome;
  if (request.Format == MessageFormat::Json || request.Format == MessageFormat::Gcc) {
    outcome = dialog.Build();
  } else {
    MessagePrinter printer(dialog.MessageList);
    dialog.MessageList.SetObserver(&printer);
    messages.BeforeShowing = [&printer] { printer.Finish(); };  // an error starts a line of its own
    outcome = dialog.Build();
    messages.BeforeShowing = nullptr;
    dialog.MessageList.SetObserver(nullptr);
  }
  if (request.Format != MessageFormat::List)
    PrintCiMessages(outcome.Messages, request.Format,
                    FoldersOf(request.ProjectFile, request.ProjectArgument, startFolder), startFolder);
  return outcome;
}

}  // namespace

namespace {

int Build(const std::vector<std::string>& args, BuildRequest& request, ConsoleMessages& messages) {
  if (std::optional<int> status = ParseBuildRequest(args, request, messages)) return *status;
  if (request.Projects.size() > 1)
    return ToInt(
        BuildEach({request.Projects, request.Jobs, OptionsOfOneBuild(request), request.Format == MessageFormat::Json}));
  const std::string startFolder = LogicalCurrentFolder();

  auto project = std::make_shared<ConsoleProject>(request.ProjectFile);
  const builddialog::ProjectContext context{project, std::make_shared<ConsoleModuleServices>(project)};
  builddialog::DialogServices services;
  services.Messages = &messages;
  services.RunConsole = [&messages](const std::string& commandLine, const std::string& folder) {
    return runner::RunConsoleCommand(commandLine, folder, messages);
  };
  // A dry run: every file change goes to the plan, and no tool runs.
  std::optional<platform::ChangePlan> plan;
  std::vector<std::string> commands;  // the tools a dry run would run
  if (request.DryRun) {
    plan.emplace();
    services.Files = &*plan;
    services.RunConsole = [&commands](const std::string& commandLine, const std::string&) {
      commands.push_back(commandLine);
      runner::ConsoleRun ran;
      ran.Started = true;
      return ran;
    };
    services.StartHidden = [&commands](const std::string& commandLine) {
      commands.push_back(commandLine);
      return std::unique_ptr<platform::StartedProcess>();
    };
    services.Sleep = [](int) {};
  }
  builddialog::CompactDevModel dialog(services);
  dialog.OverrideOptions(request.Overrides);
  platform::EndChildrenOnEndingSignal();
  platform::AdoptWhatToolsLeave();

  // As the IDE's command opens the dialog. The IDE's current folder is the
  // project's; so is ours, so that the first load cannot pick up an options
  // file from wherever the command was run.
  platform::SetCurrentDir(platform::ExtractFilePath(request.ProjectFile));
  try {
    dialog.OpenProject(context);
  } catch (const std::exception& e) {
    messages.ShowError(e.what());
    return ToInt(ExitStatus::CouldNotStart);
  }
  if (!request.DryRun && CompilerMissing(dialog, messages)) return ToInt(ExitStatus::ToolNotStarted);
  if (!dialog.EnterProject()) return ToInt(ExitStatus::CouldNotStart);

  if (request.DryRun) {
    const pipeline::BuildOutcome outcome = dialog.Build();
    dialog.Close();
    std::cout << DescribePlan(plan->Changes(), commands, startFolder,
                              FoldersOf(request.ProjectFile, request.ProjectArgument, startFolder))
              << std::flush;
    return ToInt(outcome.Stopped.empty() ? ExitStatus::Done : ExitStatus::CouldNotStart);
  }
  const pipeline::BuildOutcome outcome = BuildAndPrint(dialog, messages, request, startFolder);
  dialog.Close();
  return ToInt(StatusOf(outcome, request.WarningsAsErrors, messages));
}

}  // namespace

int RunBuildCommand(const std::vector<std::string>& args) {
  BuildRequest request;
  ConsoleMessages messages;
  const int status = Build(args, request, messages);
  // A build that could not start is one record of the CI format too, so
  // that a reader of that stream alone sees why.
  if ((status == ToInt(ExitStatus::CouldNotStart) || status == ToInt(ExitStatus::ToolNotStarted)) &&
      !messages.LastShown().empty())
    std::cout << StartFailure(request.Format, messages.LastShown()) << std::flush;
  return status;
}

}  // namespace cli
