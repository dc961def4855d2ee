#pragma once
// The one option parser of tidewell's commands: "--name VALUE",
// "--name=VALUE", "-x", "-x VALUE", "-xVALUE", "--" before operands that start with
// "-", an option given twice refused unless it may repeat.
#include <map>
#include <string>
#include <vector>

namespace cli {

// How a command ends, for scripts and CI systems.
enum class ExitStatus {
  Done = 0,            // built, exported, listed
  Failed = 1,          // the compiler reported an error, or a database or file error
  CouldNotStart = 2,   // a usage error, a check failed, a file could not be read or written
  ToolNotStarted = 3,  // the compiler could not be started
};

inline int ToInt(ExitStatus status) { return static_cast<int>(status); }

struct OptionRule {
  std::string Long;  // "--messages"
  char Short = 0;    // 'n', or 0 for none
  bool TakesValue = false;
  bool Repeats = false;  // may be given more than once
};

struct CommandLineOptions {
  std::map<std::string, std::vector<std::string>> Given;  // by long name; a flag's values are ""
  std::vector<std::string> Operands;
  std::string Problem;  // empty when the arguments parse

  bool Has(const std::string& name) const { return Given.count(name) > 0; }
  // The value of an option given once; empty when it was not given.
  std::string Value(const std::string& name) const;
};

CommandLineOptions ParseCommandLine(const std::vector<std::string>& args, const std::vector<OptionRule>& rules);

}  // namespace cli
