#include "platform/Database.h"

#include <malloc.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/OdbcHandles.h"
#include "platform/Text.h"

namespace platform {

TSession Session;

namespace odbc {

std::string Diagnostic(SQLSMALLINT type, SQLHANDLE handle) {
  SQLCHAR state[6] = {0};
  SQLCHAR text[1024] = {0};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  if (!handle || (SQLGetDiagRec(type, handle, 1, state, &native, text, sizeof text, &length) != SQL_SUCCESS && length == 0))
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
  SQLRETURN r = SQLConnect(dbc_, reinterpret_cast<SQLCHAR*>(const_cast<char*>(alias.c_str())), SQL_NTS, nullptr, 0,
                           nullptr, 0);
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
  std::string text;
  char buffer[4096];
  // A character value ends with a zero the driver adds to each piece.
  const size_t room = as == SQL_C_CHAR ? sizeof buffer - 1 : sizeof buffer;
  null = false;
  for (;;) {
    SQLLEN indicator = 0;
    SQLRETURN r = SQLGetData(st, column, as, buffer, sizeof buffer, &indicator);
    if (r == SQL_NO_DATA) break;
    if (!Ok(r)) throw DatabaseError("Cannot read a value: " + Diagnostic(SQL_HANDLE_STMT, st));
    if (indicator == SQL_NULL_DATA) {
      null = true;
      return {};
    }
    size_t got = indicator == SQL_NO_TOTAL || indicator > static_cast<SQLLEN>(room) ? room : static_cast<size_t>(indicator);
    text.append(buffer, got);
    if (r == SQL_SUCCESS) break;
  }
  return text;
}

}  // namespace odbc

namespace {

using odbc::Connection;
using odbc::Diagnostic;
using odbc::Ok;
using odbc::Statement;
using odbc::ColumnText;

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

}  // namespace

namespace odbc {

ColumnInfo DescribeColumn(SQLHSTMT st, SQLUSMALLINT column) {
  std::vector<SQLCHAR> name(256, 0);
  SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
  ColumnInfo info;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!Ok(SQLDescribeCol(st, column, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLength, &sqlType,
                           &info.Size, &digits, &nullable)))
      throw DatabaseError("Cannot describe column " + std::to_string(column) + " of the query: " +
                          Diagnostic(SQL_HANDLE_STMT, st));
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
std::string LiteralPattern(SQLHDBC dbc, const std::string& name);

// The field a catalogue row names: the one of exactly that name, else the
// first of that name in any letter case.
TField* FieldNamed(std::vector<TField>& fields, const std::string& name) {
  for (TField& f : fields)
    if (f.FieldName == name) return &f;
  for (TField& f : fields)
    if (SameText(f.FieldName, name)) return &f;
  return nullptr;
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
      if (TField* f = FieldNamed(fields, column)) f->Required = nullable == std::to_string(SQL_NO_NULLS);
    }
  }
  Statement keys(connection);
  std::string name = table;  // not a pattern here
  if (Ok(SQLPrimaryKeys(keys.get(), nullptr, 0, nullptr, 0, reinterpret_cast<SQLCHAR*>(name.data()), SQL_NTS))) {
    while (Ok(SQLFetch(keys.get()))) {
      bool null = false;
      if (TField* f = FieldNamed(fields, ColumnText(keys.get(), 4, null))) f->IsIndexField = true;
    }
  }
}

}  // namespace odbc

namespace {

// A driver may hold a whole result set until its statement is freed; what
// it freed goes back to the system at once, so that it does not stay in
// this process's memory beside the records.
void ReturnFreedMemory() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

// Values are fetched as text, a row set of this many records at a time, into
// buffers bound to the columns.
constexpr SQLULEN RowSet = 512;
constexpr size_t WidestBoundColumn = 4096;

}  // namespace

// The records of an open query, kept compactly. The texts of a record lie
// back to back in one block of a few large blocks (no block is ever moved,
// so growing costs no copy and leaves no slack); each cell is known by where
// it ends within its record (a NULL cell is empty and marked in the top
// bit), each record by where it starts.
struct TQuery::Rows {
  static constexpr uint32_t NullMark = uint32_t{1} << 31;
  static constexpr size_t BlockSize = size_t{8} << 20;
  std::vector<std::unique_ptr<char[]>> Blocks;
  size_t BlockUsed = 0, BlockCapacity = 0;
  std::vector<const char*> Starts;  // per record
  std::vector<uint32_t> Ends;       // record-major: record * Columns + column
  size_t Columns = 0;
  size_t Count = 0;
  size_t Bytes = 0;
  std::string Table;
  std::string Pending;  // the record being read

  void Add(const char* text, size_t size, bool null) {
    Pending.append(text, size);
    if (Pending.size() >= NullMark) throw DatabaseError("A record of table '" + Table + "' is too long");
    Ends.push_back(static_cast<uint32_t>(Pending.size()) | (null ? NullMark : 0));
  }
  void EndRecord() {
    if (BlockUsed + Pending.size() > BlockCapacity) {
      BlockCapacity = std::max(BlockSize, Pending.size());
      Blocks.push_back(std::make_unique<char[]>(BlockCapacity));
      BlockUsed = 0;
    }
    char* start = Blocks.back().get() + BlockUsed;
    std::copy(Pending.begin(), Pending.end(), start);
    BlockUsed += Pending.size();
    Bytes += Pending.size();
    Starts.push_back(start);
    Pending.clear();
    ++Count;
  }
  bool Null(size_t record, size_t column) const { return Ends[record * Columns + column] & NullMark; }
  std::string_view Cell(size_t record, size_t column) const {
    const size_t i = record * Columns + column;
    const size_t end = Ends[i] & ~NullMark, start = column == 0 ? 0 : Ends[i - 1] & ~NullMark;
    return std::string_view(Starts[record] + start, end - start);
  }
  void Clear() {
    Blocks.clear();
    BlockUsed = BlockCapacity = 0;
    Starts.clear();
    Ends.clear();
    Count = Bytes = 0;
    Pending.clear();
  }
};

// --- TSession ---

std::vector<std::string> TSession::GetAliasNames() const {
  std::vector<std::string> names;
  SQLHENV env = SQL_NULL_HENV;
  if (!Ok(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
    throw DatabaseError("Cannot list the aliases: the ODBC driver manager has no environment to give");
  struct Release {
    SQLHENV env;
    ~Release() { SQLFreeHandle(SQL_HANDLE_ENV, env); }
  } release{env};
  if (!Ok(SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)))
    throw DatabaseError("Cannot list the aliases: " + odbc::Diagnostic(SQL_HANDLE_ENV, env));
  // A data source's name is at most SQL_MAX_DSN_LENGTH bytes; the
  // description is not used, and a longer one is merely cut.
  SQLCHAR name[SQL_MAX_DSN_LENGTH + 1] = {0};
  SQLCHAR description[256] = {0};
  SQLSMALLINT nameLength = 0, descriptionLength = 0;
  for (SQLUSMALLINT direction = SQL_FETCH_FIRST;
       Ok(SQLDataSources(env, direction, name, sizeof name, &nameLength, description, sizeof description,
                         &descriptionLength));
       direction = SQL_FETCH_NEXT) {
    const size_t length = std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(nameLength, 0)), sizeof name - 1);
    names.emplace_back(reinterpret_cast<char*>(name), length);
  }
  return names;
}

namespace {

std::string InfoText(SQLHDBC dbc, SQLUSMALLINT what) {
  char text[256] = {0};
  SQLSMALLINT length = 0;
  return Ok(SQLGetInfo(dbc, what, text, sizeof text, &length)) ? std::string(text) : std::string();
}

// The database a connection is in, when the driver knows of catalogs.
std::string CurrentCatalog(SQLHDBC dbc) {
  char text[512] = {0};
  SQLINTEGER length = 0;
  return Ok(SQLGetConnectAttr(dbc, SQL_ATTR_CURRENT_CATALOG, text, sizeof text, &length)) ? std::string(text)
                                                                                          : std::string();
}

// The schemas an unqualified table name is looked up in, in order: those of
// PostgreSQL's search path; nothing for a database without that notion.
std::vector<std::string> SearchPath(Connection& connection) {
  std::vector<std::string> schemas;
  if (InfoText(connection.Handle(), SQL_DBMS_NAME) != "PostgreSQL") return schemas;
  Statement st(connection);
  if (!Ok(SQLExecDirect(st.get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>("select unnest(current_schemas(false))")),
                        SQL_NTS)))
    return schemas;
  while (Ok(SQLFetch(st.get()))) {
    bool null = false;
    std::string schema = ColumnText(st.get(), 1, null);
    if (!null) schemas.push_back(schema);
  }
  return schemas;
}

}  // namespace

long long TSession::CountRecords(const std::string& alias, const std::string& statement) const {
  Connection connection(alias);
  return odbc::CountRecords(connection, statement);
}

std::vector<std::string> TSession::GetTableNames(const std::string& alias) const {
  Connection connection(alias);
  NameRules rules;
  rules.Quote = InfoText(connection.Handle(), SQL_IDENTIFIER_QUOTE_CHAR);
  SQLUSMALLINT identifierCase = 0;
  if (Ok(SQLGetInfo(connection.Handle(), SQL_IDENTIFIER_CASE, &identifierCase, sizeof identifierCase, nullptr)))
    rules.Case = identifierCase;
  rules_[alias] = rules;

  // The tables of the database the data source is in, and of the schemas
  // its names are looked up in: what "select * from NAME" can reach.
  std::string catalog = CurrentCatalog(connection.Handle());
  std::vector<std::string> schemas = SearchPath(connection);
  if (schemas.empty()) schemas.push_back(std::string());
  std::vector<std::string> names;
  for (std::string& schema : schemas) {
    Statement st(connection);
    auto text = [](std::string& s) { return s.empty() ? nullptr : reinterpret_cast<SQLCHAR*>(s.data()); };
    st.Check(SQLTables(st.get(), text(catalog), catalog.empty() ? 0 : SQL_NTS, text(schema), schema.empty() ? 0 : SQL_NTS,
                       nullptr, 0, reinterpret_cast<SQLCHAR*>(const_cast<char*>("TABLE")), SQL_NTS),
             "Cannot list the tables of '" + alias + "'");
    while (Ok(SQLFetch(st.get()))) {
      bool null = false;
      std::string name = ColumnText(st.get(), 3, null);
      if (!null && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  return names;
}

std::string TSession::NameInQuery(const std::string& alias, const std::string& table) const {
  if (!rules_.count(alias)) GetTableNames(alias);
  const NameRules& rules = rules_.at(alias);
  bool plain = !table.empty() && !std::isdigit(static_cast<unsigned char>(table[0]));
  for (char c : table) {
    const unsigned char u = static_cast<unsigned char>(c);
    plain = plain && u < 0x80 && (std::isalnum(u) || c == '_');
    plain = plain && !(rules.Case == SQL_IC_LOWER && std::isupper(u)) && !(rules.Case == SQL_IC_UPPER && std::islower(u));
  }
  if (plain || rules.Quote.empty() || rules.Quote == " ") return table;
  std::string quoted = rules.Quote;
  for (char c : table) {
    quoted += c;
    if (std::string(1, c) == rules.Quote) quoted += c;  // a quote inside is doubled
  }
  return quoted + rules.Quote;
}

// --- TField ---

namespace {

// The value of a cell as text, appended: booleans as True/False, floats
// without exponent noise, money as a plain number, bytes as hexadecimal
// text, dates in the system's patterns, times as the driver gives them.
// `date` reads a date cell and throws for one that is no date.
template <class ReadDate>
void AppendValue(std::string& out, const TField& field, std::string_view text, ReadDate date) {
  if (field.Binary) {
    static const char digits[] = "0123456789ABCDEF";
    for (unsigned char c : text) {
      out += digits[c >> 4];
      out += digits[c & 15];
    }
    return;
  }
  std::string plain;
  if (field.Money) {
    plain = PlainMoney(text);
    text = plain;
  }
  switch (field.DataType) {
    case ftBoolean: out += BooleanText(text); break;
    case ftFloat: AppendFloat(out, text); break;
    case ftDate: AppendDate(out, date()); break;
    case ftDateTime: AppendDateTime(out, date()); break;
    default: out += text; break;  // times too: "24:00:00" and "-838:59:59" are times no clock shows
  }
}

// A value in a date layout that names no day of the calendar: a zero year,
// month or day (MariaDB's zero dates), or infinity (PostgreSQL).
bool NamesNoCalendarDay(std::string_view text) {
  const std::string value = LowerCase(Trim(std::string(text)));
  if (value == "infinity" || value == "-infinity") return true;
  if (value.size() < 10 || value[4] != '-' || value[7] != '-') return false;
  return value.compare(0, 4, "0000") == 0 || value.compare(5, 2, "00") == 0 || value.compare(8, 2, "00") == 0;
}

WarningSink warnings;

}  // namespace

bool TField::IsNull() const { return query_->rows_->Null(query_->current_, static_cast<size_t>(index_)); }

void TField::AppendString(std::string& out) const {
  if (IsNull()) return;
  AppendValue(out, *this, query_->rows_->Cell(query_->current_, static_cast<size_t>(index_)),
              [this] { return AsDateTime(); });
}

void SetWarningSink(WarningSink sink) { warnings = std::move(sink); }

std::string PlainMoney(std::string_view money) {
  std::string kept;  // the digits, the sign and the separators after the first digit
  for (char c : money)
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '-') kept += c;
    else if ((c == '.' || c == ',') && !kept.empty()) kept += c;
  const size_t last = kept.find_last_of(".,");
  std::string number;
  for (size_t i = 0; i < kept.size(); ++i)
    if (std::isdigit(static_cast<unsigned char>(kept[i])) || kept[i] == '-') number += kept[i];
    else if (i == last && kept.size() - i - 1 <= 2) number += '.';  // cents, not thousands
  return number;
}

const char* BooleanText(std::string_view stored) {
  // Zero as a digit, as bits ("00" in hexadecimal, the byte 0 as MariaDB
  // hands on a BIT(1)), or a word.
  const bool zero = !stored.empty() && stored.find_first_not_of(std::string_view("0\0", 2)) == std::string_view::npos;
  return zero || SameText(stored, "f") || SameText(stored, "false") ? "False" : "True";
}

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

namespace odbc {
void AppendFieldValue(std::string& out, const TField& field, std::string_view text, const std::string& table,
                      size_t record) {
  AppendValue(out, field, text, [&] { return ReadDateValue(text, table, field.FieldName, record); });
}
}  // namespace odbc

DateTime ReadDateValue(std::string_view text, const std::string& table, const std::string& field, size_t record) {
  DateTime value;
  if (ParseDateValue(text, value)) return value;
  const std::string where = "Field '" + field + "' of table '" + table + "', record " + std::to_string(record) + ": '" +
                            std::string(text) + "'";
  if (NamesNoCalendarDay(text)) {
    if (warnings) warnings(where + " names no day of the calendar; written as the null date");
    return ZeroDateTime;
  }
  throw DatabaseError(where + " is not a date");
}

std::string TField::AsString() const {
  std::string text;
  AppendString(text);
  return text;
}

DateTime TField::AsDateTime() const {
  const TQuery::Rows& rows = *query_->rows_;
  if (rows.Null(query_->current_, static_cast<size_t>(index_))) return ZeroDateTime;
  return ReadDateValue(rows.Cell(query_->current_, static_cast<size_t>(index_)), rows.Table, FieldName,
                       query_->current_ + 1);
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

namespace {

// Every record, one row set at a time into buffers bound to the columns.
// False, with `rows` emptied, when a value is wider than its column's
// buffer: the caller then reads the records one value at a time.
bool FetchRowSets(SQLHSTMT st, const std::vector<SQLULEN>& sizes, const std::vector<bool>& binary, TQuery::Rows& rows) {
  const size_t columns = sizes.size();
  std::vector<size_t> widths(columns);
  std::vector<std::vector<char>> buffers(columns);
  std::vector<std::vector<SQLLEN>> indicators(columns, std::vector<SQLLEN>(RowSet));
  SQLULEN fetched = 0;
  if (!Ok(SQLSetStmtAttr(st, SQL_ATTR_ROW_BIND_TYPE, SQL_BIND_BY_COLUMN, 0)) ||
      !Ok(SQLSetStmtAttr(st, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(RowSet), 0)) ||
      !Ok(SQLSetStmtAttr(st, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0)))
    return false;
  for (size_t c = 0; c < columns; ++c) {
    widths[c] = std::min<size_t>(std::max<size_t>(sizes[c], 32), WidestBoundColumn) + 1;
    buffers[c].resize(widths[c] * RowSet);
    if (!Ok(SQLBindCol(st, static_cast<SQLUSMALLINT>(c + 1), binary[c] ? SQL_C_BINARY : SQL_C_CHAR, buffers[c].data(),
                       static_cast<SQLLEN>(widths[c]), indicators[c].data())))
      return false;
  }
  for (;;) {
    SQLRETURN r = SQLFetch(st);
    if (r == SQL_NO_DATA) return true;
    if (!Ok(r)) throw DatabaseError("Cannot read the records: " + Diagnostic(SQL_HANDLE_STMT, st));
    for (SQLULEN row = 0; row < fetched; ++row) {
      for (size_t c = 0; c < columns; ++c) {
        const SQLLEN size = indicators[c][row];
        if (size == SQL_NULL_DATA) {
          rows.Add("", 0, true);
          continue;
        }
        if (size == SQL_NO_TOTAL || size < 0 || static_cast<size_t>(size) + (binary[c] ? 0 : 1) > widths[c]) {
          rows.Clear();
          return false;
        }
        rows.Add(buffers[c].data() + row * widths[c], static_cast<size_t>(size), false);
      }
      rows.EndRecord();
    }
  }
}

// Every record, one value at a time, whatever its width.
void FetchValues(SQLHSTMT st, const std::vector<bool>& binary, TQuery::Rows& rows) {
  for (;;) {
    SQLRETURN r = SQLFetch(st);
    if (r == SQL_NO_DATA) return;
    if (!Ok(r)) throw DatabaseError("Cannot read the records: " + Diagnostic(SQL_HANDLE_STMT, st));
    for (size_t c = 1; c <= binary.size(); ++c) {
      bool null = false;
      const std::string text = ColumnText(st, static_cast<SQLUSMALLINT>(c), null, binary[c - 1] ? SQL_C_BINARY : SQL_C_CHAR);
      rows.Add(text.data(), text.size(), null);
    }
    rows.EndRecord();
  }
}

// A name for a catalogue function's search pattern: its "_" and "%" stand
// for themselves.
std::string LiteralPattern(SQLHDBC dbc, const std::string& name) {
  char escape[8] = {0};
  SQLSMALLINT length = 0;
  if (!Ok(SQLGetInfo(dbc, SQL_SEARCH_PATTERN_ESCAPE, escape, sizeof escape, &length)) || escape[0] == '\0')
    return name;
  std::string pattern;
  for (char c : name) {
    if (c == '_' || c == '%' || c == escape[0]) pattern += escape[0];
    pattern += c;
  }
  return pattern;
}

}  // namespace

void TQuery::Open() {
  if (Active()) return;
  std::string statement;
  for (const std::string& line : SQL) statement += line + "\n";
  if (Trim(statement).empty()) throw DatabaseError("The query has no SQL statement");
  if (Trim(DatabaseName).empty()) throw DatabaseError("The query has no alias");

  Connection connection(DatabaseName);
  auto rows = std::make_unique<Rows>();
  std::vector<TField> fields;
  std::vector<SQLULEN> sizes;
  std::vector<bool> binary;
  for (int attempt = 0;; ++attempt) {
    Statement st(connection);
    st.Check(SQLExecDirect(st.get(), reinterpret_cast<SQLCHAR*>(statement.data()), SQL_NTS), "Cannot open the query");
    SQLSMALLINT columns = 0;
    st.Check(SQLNumResultCols(st.get(), &columns), "Cannot describe the query");
    fields.assign(static_cast<size_t>(columns), TField());
    sizes.assign(static_cast<size_t>(columns), 0);
    binary.assign(static_cast<size_t>(columns), false);
    for (SQLUSMALLINT c = 1; c <= columns; ++c) {
      const odbc::ColumnInfo info = odbc::DescribeColumn(st.get(), c);
      sizes[c - 1] = info.Size;
      binary[c - 1] = info.Binary;
      TField& f = fields[c - 1];
      f.FieldName = info.Name;
      f.DataType = info.DataType;
      f.Binary = info.Binary;
      f.Money = info.Money;
      f.Size = f.DataType == ftString || f.DataType == ftWideString ? static_cast<int>(sizes[c - 1]) : 0;
      f.index_ = c - 1;
      if (rows->Table.empty()) {
        char base[256] = {0};
        SQLSMALLINT length = 0;
        if (Ok(SQLColAttribute(st.get(), c, SQL_DESC_BASE_TABLE_NAME, base, sizeof base, &length, nullptr)))
          rows->Table = base;
      }
    }
    rows->Columns = static_cast<size_t>(columns);
    if (columns == 0) {  // records without values, which some drivers will not fetch
      for (long long n = odbc::CountRecords(connection, Trim(statement)); n > 0; --n) rows->EndRecord();
      break;
    }
    if (attempt == 0 && FetchRowSets(st.get(), sizes, binary, *rows)) break;
    if (attempt == 1) {
      FetchValues(st.get(), binary, *rows);
      break;
    }
  }
  rows->Ends.shrink_to_fit();
  rows->Starts.shrink_to_fit();
  ReturnFreedMemory();

  odbc::ReadCatalogueFlags(connection, rows->Table, fields);

  fields_ = std::move(fields);
  for (TField& f : fields_) f.query_ = this;
  rows_ = std::move(rows);
  current_ = 0;
}

void TQuery::First() { current_ = 0; }

void TQuery::Next() {
  if (Active() && current_ < rows_->Count) ++current_;
}

bool TQuery::Eof() const { return !Active() || current_ >= rows_->Count; }

int TQuery::RecordCount() const { return Active() ? static_cast<int>(rows_->Count) : 0; }

size_t TQuery::ValueBytes() const { return Active() ? rows_->Bytes : 0; }

int TQuery::RecNo() const { return static_cast<int>(current_); }

std::string TQuery::DisplayText(int record, int field) const {
  if (!Active() || record < 0 || static_cast<size_t>(record) >= rows_->Count || field < 0 ||
      static_cast<size_t>(field) >= rows_->Columns || rows_->Null(static_cast<size_t>(record), static_cast<size_t>(field)))
    return {};
  const std::string_view text = rows_->Cell(static_cast<size_t>(record), static_cast<size_t>(field));
  std::string shown;
  bool readable = true;
  AppendValue(shown, fields_[static_cast<size_t>(field)], text, [&] {
    DateTime value;
    readable = readable && (ParseDateValue(text, value) || NamesNoCalendarDay(text));
    return value;
  });
  return readable ? shown : std::string(text);  // a value that is no date is shown as stored
}

int TQuery::FieldCount() const { return static_cast<int>(fields_.size()); }

TField& TQuery::Field(int index) {
  if (!Active()) throw DatabaseError("The query is not open: its fields cannot be read");
  if (index < 0 || static_cast<size_t>(index) >= fields_.size())
    throw DatabaseError("The query has no field " + std::to_string(index));
  return fields_[static_cast<size_t>(index)];
}

TField& TQuery::FieldByName(const std::string& name) {
  if (TField* f = FieldNamed(fields_, name)) return *f;  // "name" and "Name" are two columns
  throw DatabaseError("Field '" + name + "' not found");
}

}  // namespace platform
