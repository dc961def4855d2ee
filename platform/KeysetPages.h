#pragma once
// A whole table read in pages by its primary key, for a driver that keeps a
// whole result in memory before it hands on the first row (MariaDB's
// Connector/ODBC 3.1, whatever it is asked): "select * from T order by K
// limit N", then "... where (K) > (last key read) ...", so that it keeps
// one page. Only where the pages give the records in the order the plain
// statement does: an InnoDB table, which is read in its key's order. Only
// for platform/.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/OdbcHandles.h"

namespace platform::odbc {

class KeysetPages {
 public:
  // Pages for `statement` on this connection: a "select * from" one InnoDB
  // table with a primary key, through MariaDB's Connector/ODBC; nothing
  // otherwise (the statement then runs as it is).
  static std::optional<KeysetPages> For(Connection& connection, const std::string& statement);

  // The first page's statement.
  std::string FirstPage() const;
  // Where the key's columns stand among the fields the first page gave, and
  // how many records later pages hold. False when a key column is not among
  // them: the statement must then run as it is.
  bool Place(const std::vector<TField>& fields, size_t pageRecords);
  // The fields of the key, by position, for the caller to hand their values
  // to Read.
  const std::vector<size_t>& KeyFields() const { return keyFields_; }
  // The key's columns, in the key's order.
  const std::vector<std::string>& KeyNames() const { return keys_; }
  // `records` more records read, the last of them with this key (the
  // values of its key fields).
  void Read(size_t records, const std::vector<std::string_view>& lastKey);
  // Whether the page read to its end was full, so another may follow.
  bool PageFull() const { return inPage_ >= limit_; }
  // Runs the next page on `st`, after the last key read. Throws
  // DatabaseError.
  void RunNextPage(const Statement& st);

 private:
  std::string table_;              // as the statement names it
  std::vector<std::string> keys_;  // the key's columns, in the key's order
  std::vector<size_t> keyFields_;
  std::vector<SQLSMALLINT> keyTypes_;  // the SQL type each key value is sent as
  std::vector<std::string> last_;      // the last key read
  std::vector<SQLLEN> lastLengths_;
  size_t limit_ = 0, inPage_ = 0, nextLimit_ = 0;
};

}  // namespace platform::odbc
