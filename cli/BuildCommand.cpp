#include "cli/BuildCommand.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <optional>

#include "cli/CiMessages.h"
#include "cli/ConsoleIDE.h"
#include "cli/UnifiedDiff.h"
#include "platform/ChangePlan.h"
#include "platform/CommandLine.h"
#include "platform/Files.h"
#include "platform/PathText.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "platform/WinPath.h"
#include "runner/ConsoleRunner.h"
#include "pipeline/CompilerCommandLine.h"
#include "builddialog/CompactDevModel.h"

namespace cli {

namespace {

const char* const BuildHelp =
    "Usage: tidewell build [--messages=FORMAT] [--dry-run] PROJECT.dpr\n"
    "\n"
    "Builds a Delphi for .NET project for the .NET Compact Framework with the\n"
    "settings kept in CFOption.OPN beside the project file: recompiles its .resx\n"
    "resources, adapts the project file and its units for the Compact Framework,\n"
    "runs dccil and prints the message list.\n"
    "\n"
    "PROJECT.dpr may be a Linux path or a Windows path (C:\\Projects\\App.dpr);\n"
    "Windows drives are found through $TIDEWELL_DOSDEVICES, $WINEPREFIX/dosdevices\n"
    "or ~/.wine/dosdevices.\n"
    "\n"
    "The message list is printed as the build goes on. Ctrl-C ends the build and\n"
    "the tools it started.\n"
    "\n"
    "  --dry-run, -n      change nothing and run no tool: print the files the build\n"
    "                     would delete and rename (\"delete NAME\", \"rename NAME to\n"
    "                     NAME\"), then a unified diff of every file it would write\n"
    "                     (the project file, the units, copied resources).\n"
    "  --messages=FORMAT  list (the default): the message list;\n"
    "                     github: the message list, then the compiler's errors and\n"
    "                     warnings as GitHub Actions annotations (::error file=...);\n"
    "                     json: instead of the list, one JSON object a line for each\n"
    "                     compiler message: {\"file\",\"line\",\"kind\",\"text\"}.\n"
    "                     Files are named relative to the current folder where they\n"
    "                     lie inside it.\n"
    "\n"
    "Exit status: 0 built, 1 the compiler reported an error, 2 the build could not\n"
    "start, 3 the compiler could not be started.\n";

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

bool IsErrorLine(const std::string& line) {
  for (const char* word : {"Error: ", "Fatal: "}) {
    size_t at = line.find(word);
    if (at != std::string::npos && (at == 0 || line[at - 1] == ' ')) return true;
  }
  return false;
}

namespace {

int Usage(const std::string& problem) {
  std::cerr << "tidewell build: " << problem << "\n\n" << BuildHelp;
  return 2;
}

// The compiler's messages of a finished build in a CI system's format.
void PrintCiMessages(const std::vector<std::string>& lines, MessageFormat format, const std::string& projectFile,
                     const std::string& startFolder) {
  const std::string projectFolder = platform::ToHostPath(platform::ExtractFilePath(projectFile));
  bool compilerOutput = false;  // the compiler's lines follow the one-blank line
  for (const std::string& line : lines) {
    if (!compilerOutput) {
      compilerOutput = line == " ";
      continue;
    }
    std::optional<runner::CompilerMessage> message = runner::ParseCompilerMessage(line);
    if (!message) continue;
    std::string file = message->File.empty()
                           ? std::string()
                           : DisplayPath(platform::ToHostPath(message->File), projectFolder, startFolder);
    std::cout << (format == MessageFormat::Json ? JsonMessage(*message, file) : GitHubAnnotation(*message, file));
  }
  std::cout << std::flush;
}

// What a dry run found a build would do: the files it would delete and
// rename, one a line, then a unified diff of every file it would write.
std::string DescribePlan(const std::vector<platform::ChangePlan::Change>& changes, const std::string& startFolder) {
  auto shown = [&](const std::string& path) {
    return DisplayPath(platform::ToHostPath(path), startFolder, startFolder);
  };
  std::string moves, diffs;
  for (const platform::ChangePlan::Change& change : changes) {
    using Change = platform::ChangePlan::Change;
    if (change.What == Change::Delete) moves += "delete " + shown(change.Path) + "\n";
    if (change.What == Change::Rename) moves += "rename " + shown(change.Path) + " to " + shown(change.To) + "\n";
    if (change.What == Change::Write)
      diffs += UnifiedDiff(change.OldText, change.NewText, change.Existed ? "a/" + shown(change.Path) : "/dev/null",
                           "b/" + shown(change.Path));
  }
  return moves + diffs;
}

}  // namespace

int RunBuildCommand(const std::vector<std::string>& args) {
  MessageFormat format = MessageFormat::List;
  bool formatGiven = false;
  bool dryRun = false;
  std::vector<std::string> projects;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded) {
      projects.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      std::cout << BuildHelp;
      return 0;
    } else if (arg == "--dry-run" || arg == "-n") {
      dryRun = true;
    } else if (arg == "--messages" || arg.starts_with("--messages=")) {
      if (formatGiven) return Usage("--messages given twice");
      std::string name;
      if (arg == "--messages") {
        if (i + 1 == args.size()) return Usage("--messages needs a format: list, github or json");
        name = args[++i];
      } else {
        name = arg.substr(std::string("--messages=").size());
      }
      if (!ParseMessageFormat(name, format)) return Usage("unknown message format '" + name + "' (list, github or json)");
      formatGiven = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Usage("unknown option '" + arg + "'");
    } else {
      projects.push_back(arg);
    }
  }
  if (projects.size() != 1) return Usage("expected one project file");
  const std::string& projectArgument = projects[0];
  if (std::string problem = platform::PathProblem(projectArgument); !problem.empty()) {
    std::cerr << "tidewell build: cannot use the project path: " << problem << "\n";
    return 2;
  }
  const std::string projectFile = platform::TypedPath(projectArgument);
  if (!platform::FileExists(projectFile)) {
    std::cerr << "tidewell build: project file not found: " << projectArgument << "\n";
    return 2;
  }
  std::error_code noFolder;
  const std::string startFolder = std::filesystem::current_path(noFolder).string();

  auto project = std::make_shared<ConsoleProject>(projectFile);
  const builddialog::ProjectContext context{project, std::make_shared<ConsoleModuleServices>(project)};

  ConsoleMessages messages;
  builddialog::DialogServices services;
  services.Messages = &messages;
  std::string compilerNotStarted;
  std::optional<platform::ExitStatus> compilerExit;
  services.RunConsole = [&](const std::string& commandLine, const std::string& folder) {
    runner::ConsoleRun run = runner::RunConsoleCommand(commandLine, folder, messages);
    if (!run.Started) compilerNotStarted = run.StartError;
    compilerExit = run.Exit;
    return run.Output;
  };
  // A dry run: every file change goes to the plan, and no tool runs.
  std::optional<platform::ChangePlan> plan;
  if (dryRun) {
    plan.emplace();
    services.RunConsole = [](const std::string&, const std::string&) { return std::string(); };
    services.StartHidden = [](const std::string&) { return std::unique_ptr<platform::StartedProcess>(); };
    services.Sleep = [](int) {};
  }
  builddialog::CompactDevModel dialog(services);
  platform::EndChildrenOnInterrupt();

  // As the IDE's command opens the dialog. The IDE's current folder is the
  // project's; so is ours, so that the first load cannot pick up an options
  // file from wherever the command was run.
  platform::SetCurrentDir(platform::ExtractFilePath(projectFile));
  try {
    dialog.OpenProject(context);
  } catch (const std::exception& e) {
    messages.ShowError(e.what());
    return 2;
  }
  // A compiler that is not there would find the sources patched for nothing
  // (after the dialog's own first checks, which keep their say).
  if (const std::string commandLine = pipeline::CompilerCommandLine(dialog);
      !dryRun && !platform::Trim(dialog.MSAssemblyFolderText()).empty() && !platform::CanFindProgram(commandLine)) {
    std::cerr << "tidewell build: the compiler could not be started: " << platform::ProgramText(commandLine)
              << " was not found\n";
    return 3;
  }
  if (!dialog.EnterProject() || messages.Shown() > 0) return 2;

  if (dryRun) {
    dialog.Build();
    dialog.Close();
    std::cout << DescribePlan(plan->Changes(), startFolder) << std::flush;
    return messages.Shown() > 0 ? 2 : 0;
  }

  bool failed = false;
  bool compilerOutput = false;  // the compiler's lines follow the one-blank line
  if (format == MessageFormat::Json) {
    dialog.Build();
  } else {
    MessagePrinter printer(dialog.MessageList);
    dialog.MessageList.SetObserver(&printer);
    messages.BeforeShowing = [&printer] { printer.Finish(); };  // an error starts a line of its own
    dialog.Build();
    messages.BeforeShowing = nullptr;
    dialog.MessageList.SetObserver(nullptr);
  }
  if (format != MessageFormat::List) PrintCiMessages(dialog.MessageList.Lines(), format, projectFile, startFolder);
  bool stopped = messages.Shown() > 0;
  for (const std::string& line : dialog.MessageList.Lines()) {
    failed = failed || (compilerOutput && IsErrorLine(line));
    compilerOutput = compilerOutput || line == " ";
  }
  dialog.Close();
  if (stopped) return 2;
  if (!compilerNotStarted.empty()) {
    std::cerr << "tidewell build: the compiler could not be started: " << compilerNotStarted << "\n";
    return 3;
  }
  if (compilerExit && compilerExit->Failed()) {
    std::cerr << "tidewell build: the compiler "
              << (compilerExit->Signal ? "was ended by " : "ended with ") << platform::DescribeExit(*compilerExit)
              << "\n";
    return 1;
  }
  return failed ? 1 : 0;
}

}  // namespace cli
