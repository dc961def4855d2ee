// tidewell: the headless front end of TidewellKit.
#include <iostream>
#include <string>
#include <vector>

#include "cli/BuildCommand.h"
#include "cli/ExportCommand.h"

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
    "Run 'tidewell COMMAND --help' for a command's options.\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::cout << Help;
    return args.empty() ? 2 : 0;
  }
  std::string command = args[0];
  args.erase(args.begin());
  if (command == "build") return cli::RunBuildCommand(args);
  if (command == "export") return cli::RunExportCommand(args);
  std::cerr << "tidewell: unknown command '" << command << "'\n\n" << Help;
  return 2;
}
