#include "cli/CommandOptions.h"

namespace cli {

std::string CommandLineOptions::Value(const std::string& name) const {
  auto found = Given.find(name);
  return found == Given.end() || found->second.empty() ? std::string() : found->second.front();
}

namespace {

const OptionRule* FindLong(const std::vector<OptionRule>& rules, const std::string& name) {
  for (const OptionRule& rule : rules)
    if (rule.Long == name) return &rule;
  return nullptr;
}

const OptionRule* FindShort(const std::vector<OptionRule>& rules, char letter) {
  for (const OptionRule& rule : rules)
    if (rule.Short != 0 && rule.Short == letter) return &rule;
  return nullptr;
}

}  // namespace

CommandLineOptions ParseCommandLine(const std::vector<std::string>& args, const std::vector<OptionRule>& rules) {
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
    const OptionRule* rule = isLong ? FindLong(rules, arg.substr(0, equals)) : FindShort(rules, arg[1]);
    // "-j4": a short option's value may follow its letter.
    const bool attached = !isLong && arg.size() > 2;
    if (!rule || (attached && !rule->TakesValue)) {
      parsed.Problem = "unknown option '" + arg + "'";
      break;
    }
    std::string value;
    if (!rule->TakesValue) {
      if (equals != std::string::npos) parsed.Problem = rule->Long + " takes no value";
    } else if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (attached) {
      value = arg.substr(2);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    }
    if (rule->TakesValue && value.empty()) parsed.Problem = rule->Long + " needs a value";
    if (parsed.Has(rule->Long) && !rule->Repeats) parsed.Problem = rule->Long + " given twice";
    if (parsed.Problem.empty()) parsed.Given[rule->Long].push_back(value);
  }
  return parsed;
}

}  // namespace cli
