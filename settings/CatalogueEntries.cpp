#include "settings/CatalogueEntries.h"

#include <algorithm>

#include "platform/Text.h"

namespace settings {

namespace {
bool Before(const CatalogueEntry& a, const CatalogueEntry& b) { return platform::CompareText(a.Text, b.Text) < 0; }
}  // namespace

size_t SortedPlace(const CatalogueEntries& entries, const std::string& text) {
  auto at = std::upper_bound(entries.begin(), entries.end(), text, [](const std::string& t, const CatalogueEntry& e) {
    return platform::CompareText(t, e.Text) < 0;
  });
  return static_cast<size_t>(at - entries.begin());
}

void AddSorted(CatalogueEntries& entries, const std::vector<std::string>& texts, bool checked) {
  // One by one, an equal name goes after those already there; a stable sort
  // of the old entries followed by the new ones in their order keeps that.
  size_t old = entries.size();
  entries.reserve(old + texts.size());
  for (const std::string& text : texts) entries.push_back({text, checked});
  std::stable_sort(entries.begin() + static_cast<std::ptrdiff_t>(old), entries.end(), Before);
  std::inplace_merge(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(old), entries.end(), Before);
}

}  // namespace settings
