#pragma once
// The entries of an assembly catalogue: assembly file names with check
// marks, kept sorted without regard to letter case. The build reads them as
// plain data; the build dialog shows them in its check lists.
#include <string>
#include <vector>

namespace settings {

// The three assembly catalogues, in the order of the dialog's pages and the
// options file.
enum class Catalogue { Microsoft = 0, Delphi = 1, ThirdParty = 2 };
inline constexpr Catalogue AllCatalogues[] = {Catalogue::Microsoft, Catalogue::Delphi, Catalogue::ThirdParty};
inline constexpr int CatalogueCount = 3;
inline constexpr int IndexOf(Catalogue which) { return static_cast<int>(which); }

struct CatalogueEntry {
  std::string Text;
  bool Checked = false;
};
using CatalogueEntries = std::vector<CatalogueEntry>;

// Where `text` goes in sorted entries: after every entry that compares equal.
size_t SortedPlace(const CatalogueEntries& entries, const std::string& text);

// Adds many names at once, in O(n log n) however they are ordered: the result
// is what adding them one by one at their sorted places would give.
void AddSorted(CatalogueEntries& entries, const std::vector<std::string>& texts, bool checked);

}  // namespace settings
