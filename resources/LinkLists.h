#pragma once
// The resources browser's four link lists and the addresses of the online
// .NET class library reference: pure text rules, and the list files.
#include <string>
#include <vector>

namespace resources {

inline constexpr const char* ListFolder = "C:\\Program Files\\REDAdozuzu\\";
inline constexpr const char* PageIndexFile = "C:\\Program Files\\REDAdozuzu\\MsdnInfo.txt";
inline constexpr const char* FavouritesFile = "C:\\Program Files\\REDAdozuzu\\ResLink.txt";
inline constexpr const char* NamesFile = "C:\\Program Files\\REDAdozuzu\\AssemblyList.txt";
inline constexpr const char* LanguagesFile = "C:\\Program Files\\REDAdozuzu\\LibLinkList.txt";

// The host of the online .NET class library reference.
inline constexpr const char* ReferenceBase = "https://learn.microsoft.com/";

std::string ReferenceHome();  // the base, then "en-us/library/default.aspx"
// The base, the language, "/library/", the name, ".Aspx": joined as they stand.
std::string ComposeReferenceAddress(const std::string& language, const std::string& name);

// The page address a page-index entry opens: the address of the first entry
// from the top whose page name (the text before its first "=") equals the
// chosen entry's, without regard to case; entries without "=" are never
// found. Empty when there is nothing to open (none found, or only blanks).
std::string PageAddressOf(const std::vector<std::string>& index, const std::string& entry);

// True when `text` is worth adding to `list`: not blank, and not in it in
// any letter case.
bool IsNewEntry(const std::vector<std::string>& list, const std::string& text);
// Adds at the place that keeps `list` sorted without regard to case.
void AddSorted(std::vector<std::string>& list, const std::string& text);
void SortNames(std::vector<std::string>& list);

}  // namespace resources
