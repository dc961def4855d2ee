#include "resources/LinkLists.h"

#include <algorithm>

#include "platform/Text.h"

namespace resources {

namespace {
bool Before(const std::string& a, const std::string& b) { return platform::CompareText(a, b) < 0; }
}  // namespace

std::string ReferenceHome() { return std::string(ReferenceBase) + "en-us/library/default.aspx"; }

std::string ComposeReferenceAddress(const std::string& language, const std::string& name) {
  return ReferenceBase + language + "/library/" + name + ".Aspx";
}

std::string PageAddressOf(const std::vector<std::string>& index, const std::string& entry) {
  const std::string name = entry.substr(0, entry.find('='));
  for (const std::string& candidate : index) {
    const size_t eq = candidate.find('=');
    if (eq != std::string::npos && platform::SameText(candidate.substr(0, eq), name)) {
      const std::string address = candidate.substr(eq + 1);
      return platform::Trim(address).empty() ? std::string() : address;
    }
  }
  return {};
}

bool IsNewEntry(const std::vector<std::string>& list, const std::string& text) {
  if (platform::Trim(text).empty()) return false;
  return std::none_of(list.begin(), list.end(), [&](const std::string& e) { return platform::SameText(e, text); });
}

void AddSorted(std::vector<std::string>& list, const std::string& text) {
  list.insert(std::upper_bound(list.begin(), list.end(), text, Before), text);
}

void SortNames(std::vector<std::string>& list) { std::stable_sort(list.begin(), list.end(), Before); }

}  // namespace resources
