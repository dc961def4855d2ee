#include "cli/BuildCommand.h"

#include <limits.h>
#include <stdlib.h>

#include <iostream>

#include "build/BuildDriver.h"
#include "cli/ConsoleIDE.h"
#include "platform/Files.h"
#include "platform/PathText.h"
#include "platform/WinPath.h"
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
    "Exit status: 0 built, 1 the compiler reported an error, 2 the build could not start.\n";

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
  if (windowsPath) return argument;
  char resolved[PATH_MAX];
  return platform::ToWindowsPath(::realpath(argument.c_str(), resolved) ? resolved : argument);
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
  settings::CompactDevModel dialog(services);

  // As the dialog command opens the dialog: load, first page, show step.
  // The IDE's current folder is the project's; so is ours, so that the first
  // load cannot pick up an options file from wherever the command was run.
  platform::SetCurrentDir(platform::ExtractFilePath(projectFile));
  if (!dialog.LoadWithLoadingFlag()) return 2;
  dialog.PageControl1 = 0;
  dialog.FormShow();
  if (messages.Shown() > 0) return 2;

  dialog.BitBtn1Click();
  bool stopped = messages.Shown() > 0;
  bool failed = false;
  bool compilerOutput = false;  // the compiler's lines follow the one-blank line
  for (const std::string& line : dialog.MessageList.Lines()) {
    std::cout << line << "\n";
    failed = failed || (compilerOutput && IsErrorLine(line));
    compilerOutput = compilerOutput || line == " ";
  }
  std::cout.flush();
  dialog.FormHide();  // closing the dialog
  Pub_Project_Intf.reset();
  Pub_ModuleService.reset();
  if (stopped) return 2;
  return failed ? 1 : 0;
}

}  // namespace cli
