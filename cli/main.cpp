// tidewell: the headless front end of TidewellKit.
#include <iostream>
#include <string>
#include <vector>

#include "cli/BuildCommand.h"
#include "cli/ExportCommand.h"
#include "platform/Version.h"

namespace {

const char* const Help =
    "Usage: tidewell COMMAND [ARGS]\n"
    "\n"
    "Builds Delphi for .NET projects for the .NET Compact Framework without the IDE.\n"
    "\n"
    "Commands:\n"
    "  build PROJECT.dpr   build a project with the settings in its CFOption.OPN\n"
    "  export ...          export a database table to an XML data file for a device\n"
    "\n"
    "Run 'tidewell COMMAND --help' for a command's options, 'tidewell --version'\n"
    "for the version.\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::cerr << Help;
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h") {
    std::cout << Help;
    return 0;
  }
  if (args[0] == "--version") {
    std::cout << "tidewell " << platform::VersionText() << "\n";
    return 0;
  }
  std::string command = args[0];
  args.erase(args.begin());
  if (command == "build") return cli::RunBuildCommand(args);
  if (command == "export") return cli::RunExportCommand(args);
  std::cerr << "tidewell: unknown command '" << command << "'\n\n" << Help;
  return 2;
}
