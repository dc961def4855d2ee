#include "cli/BuildCommand.h"

#include <cctype>
#include <iostream>

#include "cli/ConsoleIDE.h"
#include "platform/Files.h"
#include "platform/PathText.h"
#include "platform/Process.h"
#include "platform/WinPath.h"
#include "runner/ConsoleRunner.h"
#include "settings/CompactDevModel.h"

namespace cli {

namespace {

const char* const BuildHelp =
    "Usage: tidewell build PROJECT.dpr\n"
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

std::string ProjectPathArgument(const std::string& argument) {
  bool windowsPath = argument.find('\\') != std::string::npos ||
                     (argument.size() >= 2 && argument[1] == ':' && std::isalpha(static_cast<unsigned char>(argument[0])));
  return windowsPath ? argument : platform::ToWindowsPath(argument);
}

int RunBuildCommand(const std::vector<std::string>& args) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << BuildHelp;
    return 0;
  }
  if (args.size() != 1) {
    std::cerr << "tidewell build: expected one project file\n\n" << BuildHelp;
    return 2;
  }
  if (std::string problem = platform::PathProblem(args[0]); !problem.empty()) {
    std::cerr << "tidewell build: cannot use the project path: " << problem << "\n";
    return 2;
  }
  const std::string projectFile = ProjectPathArgument(args[0]);
  if (!platform::FileExists(projectFile)) {
    std::cerr << "tidewell build: project file not found: " << args[0] << "\n";
    return 2;
  }

  auto project = std::make_shared<ConsoleProject>(projectFile);
  Pub_Project_Intf = project;
  Pub_ModuleService = std::make_shared<ConsoleModuleServices>(project);
  Pub_CF_Tool_Path = platform::GetCurrentDir();
  if (Pub_CF_Tool_Path.empty() || Pub_CF_Tool_Path.back() != '\\') Pub_CF_Tool_Path += '\\';

  ConsoleMessages messages;
  settings::DialogServices services;
  services.Messages = &messages;
  std::string compilerNotStarted;
  services.RunConsole = [&](const std::string& commandLine, const std::string& folder) {
    runner::ConsoleRun run = runner::RunConsoleCommand(commandLine, folder, messages);
    if (!run.Started) compilerNotStarted = run.StartError;
    return run.Output;
  };
  settings::CompactDevModel dialog(services);
  platform::EndChildrenOnInterrupt();

  // As the dialog command opens the dialog: load, first page, show step.
  // The IDE's current folder is the project's; so is ours, so that the first
  // load cannot pick up an options file from wherever the command was run.
  platform::SetCurrentDir(platform::ExtractFilePath(projectFile));
  if (!dialog.LoadWithLoadingFlag()) return 2;
  dialog.PageControl1 = 0;
  dialog.FormShow();
  if (messages.Shown() > 0) return 2;

  bool failed = false;
  bool compilerOutput = false;  // the compiler's lines follow the one-blank line
  {
    MessagePrinter printer(dialog.MessageList);
    dialog.MessageList.SetObserver(&printer);
    dialog.BitBtn1Click();
    dialog.MessageList.SetObserver(nullptr);
  }
  bool stopped = messages.Shown() > 0;
  for (const std::string& line : dialog.MessageList.Lines()) {
    failed = failed || (compilerOutput && IsErrorLine(line));
    compilerOutput = compilerOutput || line == " ";
  }
  dialog.FormHide();  // closing the dialog
  Pub_Project_Intf.reset();
  Pub_ModuleService.reset();
  if (stopped) return 2;
  if (!compilerNotStarted.empty()) {
    std::cerr << "tidewell build: the compiler could not be started: " << compilerNotStarted << "\n";
    return 3;
  }
  return failed ? 1 : 0;
}

}  // namespace cli
