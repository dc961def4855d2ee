#pragma once
// The records of an exported XML document, read back for the tests that
// compare them with what a server's own client reads.
#include <map>
#include <sstream>
#include <string>
#include <vector>

// The cells of the records of an exported document, by record and field.
inline std::vector<std::map<std::string, std::string>> Records(const std::string& xml, const std::string& table) {
  std::vector<std::map<std::string, std::string>> records;
  std::istringstream lines(xml);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "  <" + table + ">") records.emplace_back();
    else if (line.rfind("    <", 0) == 0 && !records.empty()) {
      const size_t close = line.find('>');
      const std::string name = line.substr(5, close - 5);
      const std::string end = "</" + name + ">";
      records.back()[name] = line.substr(close + 1, line.size() - close - 1 - end.size());
    }
  }
  return records;
}
