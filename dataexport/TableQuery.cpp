#include "dataexport/TableQuery.h"

#include "platform/Database.h"
#include "platform/Text.h"

namespace dataexport {

std::optional<std::string> ListedName(const std::vector<std::string>& names, const std::string& name) {
  for (const std::string& listed : names)
    if (listed == name) return listed;
  for (const std::string& listed : names)
    if (platform::SameText(listed, name)) return listed;
  return std::nullopt;
}

std::string TableStatement(const std::string& alias, const std::string& table) {
  return "select * from " + platform::Session.NameInQuery(alias, table);
}

}  // namespace dataexport
