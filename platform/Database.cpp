#include "platform/Database.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cstdio>

#include "platform/Text.h"

namespace platform {

TSession Session;

namespace {

struct Cell {
  bool Null = true;
  std::string Text;
  DateTime When;
};

// The diagnostic text of a failed ODBC call.
std::string Diagnostic(SQLSMALLINT type, SQLHANDLE handle) {
  SQLCHAR state[6] = {0};
  SQLCHAR text[512] = {0};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  if (SQLGetDiagRec(type, handle, 1, state, &native, text, sizeof text, &length) == SQL_SUCCESS ||
      length > 0)
    return std::string(reinterpret_cast<char*>(text));
  return "unknown ODBC error";
}

bool Ok(SQLRETURN r) { return r == SQL_SUCCESS || r == SQL_SUCCESS_WITH_INFO; }

// Environment, connection and statement handles of one use, released in
// reverse order.
class Connection {
 public:
  explicit Connection(const std::string& alias) {
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
    SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
    SQLRETURN r = SQLConnect(dbc_, reinterpret_cast<SQLCHAR*>(const_cast<char*>(alias.c_str())), SQL_NTS, nullptr, 0,
                             nullptr, 0);
    if (!Ok(r)) {
      std::string why = Diagnostic(SQL_HANDLE_DBC, dbc_);
      Release();
      throw DatabaseError("Cannot open alias '" + alias + "': " + why);
    }
    connected_ = true;
  }
  ~Connection() { Release(); }
  SQLHSTMT Statement() {
    SQLHSTMT st = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &st);
    return st;
  }

 private:
  void Release() {
    if (connected_) SQLDisconnect(dbc_);
    if (dbc_) SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    if (env_) SQLFreeHandle(SQL_HANDLE_ENV, env_);
    dbc_ = env_ = nullptr;
    connected_ = false;
  }
  SQLHENV env_ = nullptr;
  SQLHDBC dbc_ = nullptr;
  bool connected_ = false;
};

class Statement {
 public:
  explicit Statement(Connection& c) : st_(c.Statement()) {}
  ~Statement() { SQLFreeHandle(SQL_HANDLE_STMT, st_); }
  SQLHSTMT get() const { return st_; }
  void Check(SQLRETURN r, const std::string& what) const {
    if (!Ok(r)) throw DatabaseError(what + ": " + Diagnostic(SQL_HANDLE_STMT, st_));
  }

 private:
  SQLHSTMT st_;
};

std::string ColumnText(SQLHSTMT st, SQLUSMALLINT column, bool& null) {
  std::string text;
  char buffer[4096];
  for (;;) {
    SQLLEN indicator = 0;
    SQLRETURN r = SQLGetData(st, column, SQL_C_CHAR, buffer, sizeof buffer, &indicator);
    if (r == SQL_NO_DATA) break;
    if (!Ok(r)) throw DatabaseError("Cannot read a value: " + Diagnostic(SQL_HANDLE_STMT, st));
    if (indicator == SQL_NULL_DATA) {
      null = true;
      return {};
    }
    null = false;
    size_t got = indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buffer)
                     ? sizeof buffer - 1
                     : static_cast<size_t>(indicator);
    text.append(buffer, got);
    if (r == SQL_SUCCESS) break;
  }
  return text;
}

int FieldTypeOf(SQLSMALLINT sqlType) {
  switch (sqlType) {
    case SQL_CHAR: case SQL_VARCHAR: return ftString;
    case SQL_LONGVARCHAR: case SQL_WLONGVARCHAR: return ftMemo;
    case SQL_WCHAR: case SQL_WVARCHAR: return ftWideString;
    case SQL_TINYINT: case SQL_SMALLINT: return ftSmallint;
    case SQL_INTEGER: return ftInteger;
    case SQL_BIGINT: return ftLargeint;
    case SQL_BIT: return ftBoolean;
    case SQL_REAL: case SQL_FLOAT: case SQL_DOUBLE: return ftFloat;
    case SQL_DECIMAL: case SQL_NUMERIC: return ftBCD;
    case SQL_TYPE_DATE: case SQL_DATE: return ftDate;
    case SQL_TYPE_TIME: case SQL_TIME: return ftTime;
    case SQL_TYPE_TIMESTAMP: case SQL_TIMESTAMP: return ftDateTime;
    case SQL_BINARY: case SQL_VARBINARY: return ftVarBytes;
    case SQL_LONGVARBINARY: return ftBlob;
    default: return ftUnknown;
  }
}

// Reads "yyyy-mm-dd", "hh:mm:ss" or "yyyy-mm-dd hh:mm:ss[.fff]".
DateTime ParseDateTime(const std::string& text, int type) {
  DateTime t;
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (type == ftTime) {
    if (std::sscanf(text.c_str(), "%d:%d:%d", &h, &mi, &s) >= 2) t = DateTime{1899, 12, 30, h, mi, s, 0};
    return t;
  }
  int n = std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
  if (n >= 3) t = DateTime{y, mo, d, n >= 5 ? h : 0, n >= 5 ? mi : 0, n >= 6 ? s : 0, 0};
  return t;
}

std::string FloatText(const std::string& text) {
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str()) return text;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  return buffer;
}

}  // namespace

struct TQuery::Rows {
  std::vector<std::vector<Cell>> Records;
};

// --- TSession ---

std::vector<std::string> TSession::GetAliasNames() const {
  std::vector<std::string> names;
  SQLHENV env = nullptr;
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLCHAR name[SQL_MAX_DSN_LENGTH + 1];
  SQLCHAR description[256];
  SQLSMALLINT nameLength = 0, descriptionLength = 0;
  for (SQLUSMALLINT direction = SQL_FETCH_FIRST;
       Ok(SQLDataSources(env, direction, name, sizeof name, &nameLength, description, sizeof description,
                         &descriptionLength));
       direction = SQL_FETCH_NEXT)
    names.emplace_back(reinterpret_cast<char*>(name));
  SQLFreeHandle(SQL_HANDLE_ENV, env);
  return names;
}

std::vector<std::string> TSession::GetTableNames(const std::string& alias) const {
  Connection connection(alias);
  Statement st(connection);
  st.Check(SQLTables(st.get(), nullptr, 0, nullptr, 0, nullptr, 0, reinterpret_cast<SQLCHAR*>(const_cast<char*>("TABLE")),
                     SQL_NTS),
           "Cannot list the tables of '" + alias + "'");
  std::vector<std::string> names;
  while (Ok(SQLFetch(st.get()))) {
    bool null = false;
    std::string name = ColumnText(st.get(), 3, null);
    if (!null) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  return names;
}

// --- TField ---

bool TField::IsNull() const { return query_->rows_->Records.at(query_->current_).at(index_).Null; }

std::string TField::AsString() const {
  const Cell& cell = query_->rows_->Records.at(query_->current_).at(index_);
  if (cell.Null) return {};
  switch (DataType) {
    case ftBoolean: return cell.Text == "0" || SameText(cell.Text, "false") ? "False" : "True";
    case ftFloat: return FloatText(cell.Text);
    case ftDate: return FormatDateTime("yyyy/mm/dd", cell.When);
    case ftTime: return FormatDateTime("hh:nn:ss", cell.When);
    case ftDateTime: return FormatDateTime("yyyy/mm/dd hh:nn:ss", cell.When);
    default: return cell.Text;
  }
}

DateTime TField::AsDateTime() const {
  const Cell& cell = query_->rows_->Records.at(query_->current_).at(index_);
  return cell.Null ? ZeroDateTime : cell.When;
}

// --- TQuery ---

TQuery::TQuery() = default;
TQuery::~TQuery() = default;

bool TQuery::Active() const { return rows_ != nullptr; }

void TQuery::Close() {
  rows_.reset();
  fields_.clear();
  current_ = 0;
}

void TQuery::Open() {
  if (Active()) return;
  std::string statement;
  for (const std::string& line : SQL) statement += line + "\n";
  if (Trim(statement).empty()) throw DatabaseError("The query has no SQL statement");
  if (Trim(DatabaseName).empty()) throw DatabaseError("The query has no alias");

  Connection connection(DatabaseName);
  Statement st(connection);
  st.Check(SQLExecDirect(st.get(), reinterpret_cast<SQLCHAR*>(statement.data()), SQL_NTS), "Cannot open the query");
  SQLSMALLINT columns = 0;
  SQLNumResultCols(st.get(), &columns);

  std::vector<TField> fields(static_cast<size_t>(columns));
  std::string table;
  for (SQLUSMALLINT c = 1; c <= columns; ++c) {
    SQLCHAR name[256];
    SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    SQLDescribeCol(st.get(), c, name, sizeof name, &nameLength, &sqlType, &size, &digits, &nullable);
    TField& f = fields[c - 1];
    f.FieldName = reinterpret_cast<char*>(name);
    f.DataType = FieldTypeOf(sqlType);
    f.Size = f.DataType == ftString || f.DataType == ftWideString ? static_cast<int>(size) : 0;
    f.index_ = c - 1;
    if (table.empty()) {
      char base[256] = {0};
      SQLSMALLINT length = 0;
      if (Ok(SQLColAttribute(st.get(), c, SQL_DESC_BASE_TABLE_NAME, base, sizeof base, &length, nullptr)))
        table = base;
    }
  }

  auto rows = std::make_unique<Rows>();
  while (true) {
    SQLRETURN r = SQLFetch(st.get());
    if (r == SQL_NO_DATA) break;
    st.Check(r, "Cannot read the records");
    std::vector<Cell> record(static_cast<size_t>(columns));
    for (SQLUSMALLINT c = 1; c <= columns; ++c) {
      Cell& cell = record[c - 1];
      cell.Text = ColumnText(st.get(), c, cell.Null);
      int type = fields[c - 1].DataType;
      if (!cell.Null && (type == ftDate || type == ftTime || type == ftDateTime))
        cell.When = ParseDateTime(cell.Text, type);
    }
    rows->Records.push_back(std::move(record));
  }

  // Nullability and key membership come from the catalogue: the result set
  // description reports every column as nullable.
  if (!table.empty()) {
    Statement catalogue(connection);
    SQLCHAR* tableName = reinterpret_cast<SQLCHAR*>(table.data());
    if (Ok(SQLColumns(catalogue.get(), nullptr, 0, nullptr, 0, tableName, SQL_NTS, nullptr, 0))) {
      while (Ok(SQLFetch(catalogue.get()))) {
        bool null = false;
        std::string column = ColumnText(catalogue.get(), 4, null);
        std::string nullable = ColumnText(catalogue.get(), 11, null);
        for (TField& f : fields)
          if (SameText(f.FieldName, column)) f.Required = nullable == std::to_string(SQL_NO_NULLS);
      }
    }
    Statement keys(connection);
    if (Ok(SQLPrimaryKeys(keys.get(), nullptr, 0, nullptr, 0, tableName, SQL_NTS))) {
      while (Ok(SQLFetch(keys.get()))) {
        bool null = false;
        std::string column = ColumnText(keys.get(), 4, null);
        for (TField& f : fields)
          if (SameText(f.FieldName, column)) f.IsIndexField = true;
      }
    }
  }

  fields_ = std::move(fields);
  for (TField& f : fields_) f.query_ = this;
  rows_ = std::move(rows);
  current_ = 0;
}

void TQuery::First() { current_ = 0; }

void TQuery::Next() {
  if (Active() && current_ < rows_->Records.size()) ++current_;
}

bool TQuery::Eof() const { return !Active() || current_ >= rows_->Records.size(); }

int TQuery::RecordCount() const { return Active() ? static_cast<int>(rows_->Records.size()) : 0; }

int TQuery::FieldCount() const { return static_cast<int>(fields_.size()); }

TField& TQuery::Field(int index) { return fields_.at(static_cast<size_t>(index)); }

TField& TQuery::FieldByName(const std::string& name) {
  for (TField& f : fields_)
    if (SameText(f.FieldName, name)) return f;
  throw DatabaseError("Field '" + name + "' not found");
}

}  // namespace platform
