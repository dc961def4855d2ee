#include "platform/KeysetPages.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/Text.h"

namespace platform::odbc {

namespace {

constexpr size_t FirstPageRecords = 1024;  // before the widths are known: as for values read one by one

// The table a "select * from NAME" names, without its quotes; nothing for
// any other statement.
std::optional<std::string> WholeTable(const std::string& statement, std::string& asWritten) {
  const std::string text = Trim(statement);
  const std::string prefix = "select * from ";
  if (text.size() <= prefix.size() || !SameText(text.substr(0, prefix.size()), prefix)) return std::nullopt;
  asWritten = Trim(text.substr(prefix.size()));
  std::string name;
  if (asWritten.size() >= 2 && asWritten.front() == '`' && asWritten.back() == '`') {
    for (size_t i = 1; i + 1 < asWritten.size(); ++i) {
      if (asWritten[i] == '`') {
        if (asWritten[i + 1] != '`' || i + 2 >= asWritten.size()) return std::nullopt;
        ++i;
      }
      name += asWritten[i];
    }
    return name;
  }
  for (char c : asWritten)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '$') return std::nullopt;
  return asWritten;
}

// A column's name as MariaDB reads it.
std::string Quoted(const std::string& name) { return QuotedName(name, "`"); }

}  // namespace

std::optional<KeysetPages> KeysetPages::For(Connection& connection, const std::string& statement) {
  if (!IsMariaDbDriver(connection.Handle())) return std::nullopt;
  KeysetPages pages;
  const std::optional<std::string> table = WholeTable(statement, pages.table_);
  if (!table) return std::nullopt;

  // The key's columns in the key's order.
  std::vector<std::pair<int, std::string>> keys;
  {
    Statement catalogue(connection);
    std::string name = *table;
    if (!Ok(SQLPrimaryKeys(catalogue.get(), nullptr, 0, nullptr, 0, reinterpret_cast<SQLCHAR*>(name.data()), SQL_NTS)))
      return std::nullopt;
    while (Ok(SQLFetch(catalogue.get()))) {
      bool null = false;
      const std::string column = ColumnText(catalogue.get(), 4, null);
      const std::string sequence = ColumnText(catalogue.get(), 5, null);
      keys.emplace_back(std::atoi(sequence.c_str()), column);
    }
  }
  if (keys.empty()) return std::nullopt;
  std::sort(keys.begin(), keys.end());
  for (auto& key : keys) pages.keys_.push_back(key.second);

  // InnoDB reads a table in its key's order; another engine in its own.
  Statement engine(connection);
  std::string name = *table;
  SQLLEN nameLength = static_cast<SQLLEN>(name.size());
  std::string query = "select engine from information_schema.tables where table_schema = database() and table_name = ?";
  if (!Ok(SQLBindParameter(engine.get(), 1, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, name.size(), 0, name.data(),
                           nameLength, &nameLength)) ||
      !Ok(SQLExecDirect(engine.get(), reinterpret_cast<SQLCHAR*>(query.data()), SQL_NTS)) ||
      !Ok(SQLFetch(engine.get())))
    return std::nullopt;
  bool null = false;
  if (!SameText(ColumnText(engine.get(), 1, null), "InnoDB")) return std::nullopt;
  pages.limit_ = FirstPageRecords;
  return pages;
}

std::string KeysetPages::FirstPage() const {
  std::string order;
  for (const std::string& key : keys_) order += (order.empty() ? "" : ", ") + Quoted(key);
  return "select * from " + table_ + " order by " + order + " limit " + std::to_string(limit_);
}

bool KeysetPages::Place(const std::vector<TField>& fields, size_t pageRecords) {
  keyFields_.clear();
  keyTypes_.clear();
  for (const std::string& key : keys_) {
    size_t at = 0;
    while (at < fields.size() && !SameText(fields[at].FieldName, key)) ++at;
    if (at == fields.size()) return false;
    keyFields_.push_back(at);
    const TField& f = fields[at];
    keyTypes_.push_back(f.Binary ? SQL_VARBINARY : IsIntegerType(f.DataType) ? SQL_BIGINT : SQL_VARCHAR);
  }
  last_.assign(keys_.size(), {});
  lastLengths_.assign(keys_.size(), 0);
  nextLimit_ = std::max<size_t>(pageRecords, 1);
  return true;
}

void KeysetPages::Read(size_t records, const std::vector<std::string_view>& lastKey) {
  for (size_t i = 0; i < lastKey.size() && i < last_.size(); ++i) last_[i].assign(lastKey[i]);
  inPage_ += records;
}

void KeysetPages::RunNextPage(const Statement& st) {
  // (k1, k2) > (v1, v2): after the last key, in the key's order.
  std::string columns, marks;
  for (const std::string& key : keys_) {
    columns += (columns.empty() ? "" : ", ") + Quoted(key);
    marks += marks.empty() ? "?" : ", ?";
  }
  std::string text = "select * from " + table_ + " where (" + columns + ") > (" + marks + ") order by " + columns +
                     " limit " + std::to_string(nextLimit_);
  st.Check(SQLFreeStmt(st.get(), SQL_CLOSE), "Cannot read the next records");
  for (size_t i = 0; i < last_.size(); ++i) {
    lastLengths_[i] = static_cast<SQLLEN>(last_[i].size());
    const SQLSMALLINT as = keyTypes_[i] == SQL_VARBINARY ? SQL_C_BINARY : SQL_C_CHAR;
    st.Check(
        SQLBindParameter(st.get(), static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, as, keyTypes_[i],
                         std::max<size_t>(last_[i].size(), 1), 0, last_[i].data(), lastLengths_[i], &lastLengths_[i]),
        "Cannot read the next records");
  }
  st.Check(SQLExecDirect(st.get(), reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS), "Cannot read the next records");
  limit_ = nextLimit_;
  inPage_ = 0;
}

}  // namespace platform::odbc
