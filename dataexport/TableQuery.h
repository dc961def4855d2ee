#pragma once
// The way from a data source to the records of one of its tables, shared
// by the data export dialog and `tidewell export`: names as the lists spell
// them, and the one statement that reads a whole table.
#include <optional>
#include <string>
#include <vector>

namespace dataexport {

// `name` as `names` spells it: the exact entry first, else one that differs
// only in letter case; nothing when the list does not hold it.
std::optional<std::string> ListedName(const std::vector<std::string>& names, const std::string& name);

// The statement that reads every record of `table` of `alias`, as the SQL
// pane shows it: the table's name quoted where the data source needs it.
std::string TableStatement(const std::string& alias, const std::string& table);

}  // namespace dataexport
