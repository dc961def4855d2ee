#pragma once
// What the database layer's files share of ODBC: handles released in order,
// every call's result checked, diagnostics on one line. Only for platform/.
#ifdef _WIN32
#include "platform/WindowsApi.h"  // the ODBC headers build on it
#endif
#include <sql.h>
#include <sqlext.h>
#include <odbcinst.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Database.h"

namespace platform::odbc {

inline bool Ok(SQLRETURN r) { return r == SQL_SUCCESS || r == SQL_SUCCESS_WITH_INFO; }

// What SQLGetInfo says of a connection as text; empty when it says nothing.
std::string InfoText(SQLHDBC dbc, SQLUSMALLINT what);

// Whether the connection's driver is MariaDB's Connector/ODBC.
bool IsMariaDbDriver(SQLHDBC dbc);

// A name in identifier quotes, a quote inside it doubled.
std::string QuotedName(const std::string& name, const std::string& quote);

// Whether a field of this type holds whole numbers (written as the number).
inline bool IsIntegerType(int dataType) {
  return dataType == ftInteger || dataType == ftSmallint || dataType == ftLargeint;
}

// The diagnostic text of a failed call, on one line (tabs and line breaks
// become blanks).
std::string Diagnostic(SQLSMALLINT type, SQLHANDLE handle);

// Environment and connection of one use, released in reverse order.
class Connection {
 public:
  explicit Connection(const std::string& alias);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  SQLHDBC Handle() const { return dbc_; }
  // A new statement handle; throws DatabaseError when there is none.
  SQLHSTMT NewStatement();

 private:
  void Release();
  SQLHENV env_ = nullptr;
  SQLHDBC dbc_ = nullptr;
  bool connected_ = false;
};

class Statement {
 public:
  explicit Statement(Connection& c) : st_(c.NewStatement()) {}
  ~Statement() { SQLFreeHandle(SQL_HANDLE_STMT, st_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  SQLHSTMT get() const { return st_; }
  void Check(SQLRETURN r, const std::string& what) const {
    if (!Ok(r)) throw DatabaseError(what + ": " + Diagnostic(SQL_HANDLE_STMT, st_));
  }

 private:
  SQLHSTMT st_;
};

// One value of the current row as text (SQL_C_CHAR), or as its bytes for a
// binary column (SQL_C_BINARY), whatever its length.
std::string ColumnText(SQLHSTMT st, SQLUSMALLINT column, bool& null, SQLSMALLINT as = SQL_C_CHAR);
// The value of a column of the current row handed to `take` in pieces of
// at most `piece` bytes as they are read, so that a value of any size costs
// that much memory; false for NULL (nothing handed). Throws DatabaseError.
bool ColumnPieces(SQLHSTMT st, SQLUSMALLINT column, SQLSMALLINT as, size_t piece,
                  const std::function<void(std::string_view)>& take);

// How a result column is described: its name at full length, the field type
// (the driver's type name decides where its SQL type is ambiguous), its size.
struct ColumnInfo {
  std::string Name, TypeName;
  int DataType = ftUnknown;
  SQLULEN Size = 0;
  SQLSMALLINT Digits = 0;  // decimal digits: a date-time's of its fraction of a second
  bool Binary = false;     // read as bytes, written as hexadecimal text
  bool Money = false;      // written as a plain number
};
ColumnInfo DescribeColumn(SQLHSTMT st, SQLUSMALLINT column);

// The rows of a statement that has run (a query or a catalogue function),
// one at a time: `row` reads the current one. The end of the rows ends the
// loop; a driver's error is a DatabaseError that starts with `what`, never
// taken for the end.
template <class Row>
void ForEachRow(const Statement& st, const std::string& what, Row row) {
  for (;;) {
    const SQLRETURN r = SQLFetch(st.get());
    if (r == SQL_NO_DATA) return;
    st.Check(r, what);
    row();
  }
}

// How many records a statement gives, counted by the database.
long long CountRecords(Connection& connection, const std::string& statement);

// The required flags and key membership of a table's fields, from the
// catalogue (a result set reports every column as nullable).
void ReadCatalogueFlags(Connection& connection, const std::string& table, std::vector<TField>& fields);

}  // namespace platform::odbc
