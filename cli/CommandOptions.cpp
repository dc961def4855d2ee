#include "cli/CommandOptions.h"

namespace cli {

std::string CommandLineOptions::Value(const std::string& name) const {
  auto found = Given.find(name);
  return found == Given.end() || found->second.empty() ? std::string() : found->second.front();
}

namespace {

const OptionSpec* FindLong(const std::vector<OptionSpec>& specs, const std::string& name) {
  for (const OptionSpec& spec : specs)
    if (spec.Long == name) return &spec;
  return nullptr;
}

const OptionSpec* FindShort(const std::vector<OptionSpec>& specs, char letter) {
  for (const OptionSpec& spec : specs)
    if (spec.Short != 0 && spec.Short == letter) return &spec;
  return nullptr;
}

}  // namespace

CommandLineOptions ParseCommandLine(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs) {
  CommandLineOptions parsed;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size() && parsed.Problem.empty(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      parsed.Operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const bool isLong = arg.starts_with("--");
    const size_t equals = isLong ? arg.find('=') : std::string::npos;
    const OptionSpec* spec =
        isLong ? FindLong(specs, arg.substr(0, equals)) : (arg.size() == 2 ? FindShort(specs, arg[1]) : nullptr);
    if (!spec) {
      parsed.Problem = "unknown option '" + arg + "'";
      break;
    }
    std::string value;
    if (!spec->TakesValue) {
      if (equals != std::string::npos) parsed.Problem = spec->Long + " takes no value";
    } else if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    }
    if (spec->TakesValue && value.empty()) parsed.Problem = spec->Long + " needs a value";
    if (parsed.Has(spec->Long) && !spec->Repeats) parsed.Problem = spec->Long + " given twice";
    if (parsed.Problem.empty()) parsed.Given[spec->Long].push_back(value);
  }
  return parsed;
}

}  // namespace cli
