// tidewell: the headless front end of TidewellKit.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/BuildCommand.h"
#include "cli/ExportCommand.h"
#include "platform/Version.h"
#include "platform/WinPath.h"

namespace {

const char* const Help =
    "Usage: tidewell COMMAND [ARGS]\n"
    "\n"
    "Builds Delphi for .NET projects for the .NET Compact Framework without the IDE.\n"
    "\n"
    "Commands:\n"
    "  build PROJECT.dpr...  build projects (or .bdsgroup project groups) with the\n"
    "                        settings in each one's CFOption.OPN\n"
    "  export ...            export a database table to an XML data file for a device\n"
    "\n"
    "Run 'tidewell COMMAND --help' for a command's options, 'tidewell --version'\n"
    "for the version.\n";

// The environment's paths and names, settled once before any command runs:
// a build changes the current folder, and a relative dosdevices folder
// would then be looked for from the project's. An unknown code page is said
// once and CP1252 taken instead.
void SettleEnvironment() {
#ifndef _WIN32
  if (const char* dosdevices = std::getenv("TIDEWELL_DOSDEVICES"); dosdevices && *dosdevices && *dosdevices != '/') {
    std::error_code unknown;
    const std::string whole = std::filesystem::absolute(dosdevices, unknown).lexically_normal().string();
    if (!unknown) ::setenv("TIDEWELL_DOSDEVICES", whole.c_str(), 1);
  }
  if (!platform::KnownCodePage(platform::CodePage())) {
    std::cerr << "tidewell: warning: TIDEWELL_CODEPAGE names a code page this system does not know ("
              << platform::CodePage() << "): CP1252 is used\n";
    ::setenv("TIDEWELL_CODEPAGE", "CP1252", 1);
  }
#endif
}

}  // namespace

int main(int argc, char** argv) {
  SettleEnvironment();
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
