// Connections, statements, the description of result columns and the
// catalogue's flags: what every use of ODBC here shares.
#include "platform/Database.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/Files.h"
#include "platform/OdbcHandles.h"
#include "platform/Text.h"

namespace platform {

namespace odbc {

std::string InfoText(SQLHDBC dbc, SQLUSMALLINT what) {
  char text[4096] = {0};  // a driver's list of keywords is long
  SQLSMALLINT length = 0;
  return Ok(SQLGetInfo(dbc, what, text, sizeof text, &length)) ? std::string(text) : std::string();
}

bool IsMariaDbDriver(SQLHDBC dbc) {
  return LowerCase(InfoText(dbc, SQL_DRIVER_NAME)).find("maodbc") != std::string::npos;
}

std::string QuotedName(const std::string& name, const std::string& quote) {
  std::string quoted = quote;
  for (char c : name) {
    quoted += c;
    if (std::string(1, c) == quote) quoted += c;
  }
  return quoted + quote;
}

std::string Diagnostic(SQLSMALLINT type, SQLHANDLE handle) {
  SQLCHAR state[6] = {0};
  SQLCHAR text[1024] = {0};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  if (!handle ||
      (SQLGetDiagRec(type, handle, 1, state, &native, text, sizeof text, &length) != SQL_SUCCESS && length == 0))
    return "unknown ODBC error";
  return OneLine(reinterpret_cast<char*>(text));
}

Connection::Connection(const std::string& alias) {
  if (!Ok(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_))) {
    env_ = nullptr;
    throw DatabaseError("Cannot open alias '" + alias + "': the ODBC driver manager has no environment to give");
  }
  if (!Ok(SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)) ||
      !Ok(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_))) {
    std::string why = Diagnostic(SQL_HANDLE_ENV, env_);
    dbc_ = nullptr;
    Release();
    throw DatabaseError("Cannot open alias '" + alias + "': " + why);
  }
  // A file-based driver makes a database that is not there: an empty one,
  // where the user named another by mistake. Not from here.
  if (const std::string file = TSession::DatabaseFile(alias); !file.empty() && !FileExists(file)) {
    Release();
    throw DatabaseError("Cannot open alias '" + alias + "': its database file \"" + file + "\" does not exist");
  }
  // The data source as it is, with what makes its driver stream rows.
  const std::string settings = TSession::StreamingRequest(alias).Settings;
  SQLRETURN r;
  if (settings.empty() || alias.find_first_of("{};") != std::string::npos) {
    r = SQLConnect(dbc_, reinterpret_cast<SQLCHAR*>(const_cast<char*>(alias.c_str())), SQL_NTS, nullptr, 0, nullptr, 0);
  } else {
    std::string text = "DSN=" + alias + ";" + settings;
    SQLCHAR out[1024];
    SQLSMALLINT outLength = 0;
    r = SQLDriverConnect(dbc_, nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS, out, sizeof out, &outLength,
                         SQL_DRIVER_NOPROMPT);
  }
  if (!Ok(r)) {
    std::string why = Diagnostic(SQL_HANDLE_DBC, dbc_);
    Release();
    throw DatabaseError("Cannot open alias '" + alias + "': " + why);
  }
  connected_ = true;
}

Connection::~Connection() { Release(); }

SQLHSTMT Connection::NewStatement() {
  SQLHSTMT st = SQL_NULL_HSTMT;
  if (!Ok(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &st)))
    throw DatabaseError("Cannot make a statement: " + Diagnostic(SQL_HANDLE_DBC, dbc_));
  return st;
}

void Connection::Release() {
  if (connected_) SQLDisconnect(dbc_);
  if (dbc_) SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  if (env_) SQLFreeHandle(SQL_HANDLE_ENV, env_);
  dbc_ = env_ = nullptr;
  connected_ = false;
}

std::string ColumnText(SQLHSTMT st, SQLUSMALLINT column, bool& null, SQLSMALLINT as) {
  // Read into the text itself: a first piece, then all the driver says is
  // left at once (or pieces twice as large each time when it cannot say),
  // so that a large value takes a few calls, not one per 4 KB (a driver may
  // go over what it gave already for each call).
  std::string text;
  const size_t terminator = as == SQL_C_CHAR ? 1 : 0;  // a character piece ends with a zero
  size_t piece = 4096;
  null = false;
  for (;;) {
    const size_t at = text.size();
    text.resize(at + piece);
    SQLLEN indicator = 0;
    SQLRETURN r = SQLGetData(st, column, as, text.data() + at, static_cast<SQLLEN>(piece), &indicator);
    if (r == SQL_NO_DATA) {
      text.resize(at);
      break;
    }
    if (!Ok(r)) throw DatabaseError("Cannot read a value: " + Diagnostic(SQL_HANDLE_STMT, st));
    if (indicator == SQL_NULL_DATA) {
      null = true;
      return {};
    }
    const size_t room = piece - terminator;
    const bool known = indicator != SQL_NO_TOTAL;
    text.resize(at + (!known || indicator > static_cast<SQLLEN>(room) ? room : static_cast<size_t>(indicator)));
    if (r == SQL_SUCCESS) break;
    piece =
        known && indicator > static_cast<SQLLEN>(room) ? static_cast<size_t>(indicator) - room + terminator : piece * 2;
  }
  return text;
}

bool ColumnPieces(SQLHSTMT st, SQLUSMALLINT column, SQLSMALLINT as, size_t piece,
                  const std::function<void(std::string_view)>& take) {
  const size_t terminator = as == SQL_C_CHAR ? 1 : 0;
  std::string buffer(piece + terminator, '\0');
  for (;;) {
    SQLLEN indicator = 0;
    SQLRETURN r = SQLGetData(st, column, as, buffer.data(), static_cast<SQLLEN>(buffer.size()), &indicator);
    if (r == SQL_NO_DATA) return true;
    if (!Ok(r)) throw DatabaseError("Cannot read a value: " + Diagnostic(SQL_HANDLE_STMT, st));
    if (indicator == SQL_NULL_DATA) return false;
    const bool known = indicator != SQL_NO_TOTAL;
    const size_t got = !known || indicator > static_cast<SQLLEN>(piece) ? piece : static_cast<size_t>(indicator);
    take(std::string_view(buffer.data(), got));
    if (r == SQL_SUCCESS) return true;
  }
}

}  // namespace odbc

namespace {

using odbc::ColumnText;
using odbc::Connection;
using odbc::Diagnostic;
using odbc::Ok;
using odbc::Statement;

int FieldTypeOf(SQLSMALLINT sqlType) {
  switch (sqlType) {
    case SQL_CHAR:
    case SQL_VARCHAR: return ftString;
    case SQL_LONGVARCHAR:
    case SQL_WLONGVARCHAR: return ftMemo;
    case SQL_WCHAR:
    case SQL_WVARCHAR: return ftWideString;
    case SQL_TINYINT:
    case SQL_SMALLINT: return ftSmallint;
    case SQL_INTEGER: return ftInteger;
    case SQL_BIGINT: return ftLargeint;
    case SQL_BIT: return ftBoolean;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE: return ftFloat;
    case SQL_DECIMAL:
    case SQL_NUMERIC: return ftBCD;
    case SQL_TYPE_DATE:
    case SQL_DATE: return ftDate;
    case SQL_TYPE_TIME:
    case SQL_TIME: return ftTime;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP: return ftDateTime;
    case SQL_BINARY:
    case SQL_VARBINARY: return ftVarBytes;
    case SQL_LONGVARBINARY: return ftBlob;
    default: return ftUnknown;
  }
}

}  // namespace

namespace odbc {

ColumnInfo DescribeColumn(SQLHSTMT st, SQLUSMALLINT column) {
  std::vector<SQLCHAR> name(256, 0);
  SQLSMALLINT nameLength = 0, sqlType = 0, nullable = 0;
  ColumnInfo info;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!Ok(SQLDescribeCol(st, column, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLength, &sqlType,
                           &info.Size, &info.Digits, &nullable)))
      throw DatabaseError("Cannot describe column " + std::to_string(column) +
                          " of the query: " + Diagnostic(SQL_HANDLE_STMT, st));
    if (nameLength < static_cast<SQLSMALLINT>(name.size())) break;
    name.assign(static_cast<size_t>(nameLength) + 1, 0);  // read the whole name the second time
  }
  info.Name.assign(reinterpret_cast<char*>(name.data()), static_cast<size_t>(std::max<SQLSMALLINT>(nameLength, 0)));
  char typeName[128] = {0};
  SQLSMALLINT typeLength = 0;
  if (Ok(SQLColAttribute(st, column, SQL_DESC_TYPE_NAME, typeName, sizeof typeName, &typeLength, nullptr)))
    info.TypeName = LowerCase(typeName);
  info.DataType = FieldTypeOf(sqlType);
  // Where the SQL type says too little, the type name decides.
  const std::string& type = info.TypeName;
  if (type == "bool" || type == "boolean") info.DataType = ftBoolean;
  info.Binary = info.DataType == ftVarBytes || info.DataType == ftBlob || type == "bytea" ||
                type.find("blob") != std::string::npos || type.find("binary") != std::string::npos;
  if (info.Binary && info.DataType != ftVarBytes && info.DataType != ftBytes) info.DataType = ftBlob;
  info.Money = type == "money";
  return info;
}

}  // namespace odbc

namespace {
// A name for a catalogue function's search pattern: its "_" and "%" stand
// for themselves.
std::string LiteralPattern(SQLHDBC dbc, const std::string& name) {
  char escape[8] = {0};
  SQLSMALLINT length = 0;
  if (!Ok(SQLGetInfo(dbc, SQL_SEARCH_PATTERN_ESCAPE, escape, sizeof escape, &length)) || escape[0] == '\0') return name;
  std::string pattern;
  for (char c : name) {
    if (c == '_' || c == '%' || c == escape[0]) pattern += escape[0];
    pattern += c;
  }
  return pattern;
}

}  // namespace

namespace odbc {

long long CountRecords(Connection& connection, const std::string& statement) {
  Statement st(connection);
  std::string count = "select count(*) from (" + statement + ") counted";
  st.Check(SQLExecDirect(st.get(), reinterpret_cast<SQLCHAR*>(count.data()), SQL_NTS), "Cannot count the records");
  st.Check(SQLFetch(st.get()), "Cannot count the records");
  bool null = false;
  return std::strtoll(ColumnText(st.get(), 1, null).c_str(), nullptr, 10);
}

void ReadCatalogueFlags(Connection& connection, const std::string& table, std::vector<TField>& fields) {
  if (table.empty()) return;
  // Nullability and key membership come from the catalogue: the result set
  // description reports every column as nullable.
  std::string pattern = LiteralPattern(connection.Handle(), table);
  Statement catalogue(connection);
  if (Ok(SQLColumns(catalogue.get(), nullptr, 0, nullptr, 0, reinterpret_cast<SQLCHAR*>(pattern.data()), SQL_NTS,
                    nullptr, 0))) {
    while (Ok(SQLFetch(catalogue.get()))) {
      bool null = false;
      const std::string column = ColumnText(catalogue.get(), 4, null);
      const std::string nullable = ColumnText(catalogue.get(), 11, null);
      if (TField* f = FindField(fields, column)) f->Required = nullable == std::to_string(SQL_NO_NULLS);
    }
  }
  Statement keys(connection);
  std::string name = table;  // not a pattern here
  if (Ok(SQLPrimaryKeys(keys.get(), nullptr, 0, nullptr, 0, reinterpret_cast<SQLCHAR*>(name.data()), SQL_NTS))) {
    while (Ok(SQLFetch(keys.get()))) {
      bool null = false;
      if (TField* f = FindField(fields, ColumnText(keys.get(), 4, null))) f->IsIndexField = true;
    }
  }
}

}  // namespace odbc

std::string OneLine(std::string_view text) {
  std::string line;
  for (char c : text) {
    if (c == '\0') break;
    const bool blank = c == '\r' || c == '\n' || c == '\t';
    if (!blank) line += c;
    else if (!line.empty() && line.back() != ' ') line += ' ';
  }
  return Trim(line);
}

TField* FindField(std::vector<TField>& fields, const std::string& name) {
  for (TField& f : fields)
    if (f.FieldName == name) return &f;
  for (TField& f : fields)
    if (SameText(f.FieldName, name)) return &f;
  return nullptr;
}

}  // namespace platform
