// The session: the data sources the driver manager knows, the tables of one,
// and how a statement names a table.
#include "platform/Database.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/OdbcHandles.h"
#include "platform/Text.h"

namespace platform {

TSession Session;

namespace {
using odbc::ColumnText;
using odbc::Connection;
using odbc::Ok;
using odbc::Statement;
}  // namespace

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
  for (SQLUSMALLINT direction = SQL_FETCH_FIRST; Ok(SQLDataSources(
           env, direction, name, sizeof name, &nameLength, description, sizeof description, &descriptionLength));
       direction = SQL_FETCH_NEXT) {
    const size_t length = std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(nameLength, 0)), sizeof name - 1);
    names.emplace_back(reinterpret_cast<char*>(name), length);
  }
  return names;
}

namespace {
std::string ProfileText(const std::string& alias, const char* key) {
  char value[4096] = {0};
  return SQLGetPrivateProfileString(alias.c_str(), key, "", value, sizeof value, "odbc.ini") > 0 ? value : "";
}
}  // namespace

std::string TSession::DatabaseFile(const std::string& alias) {
  if (std::string file = ProfileText(alias, "DBQ"); !file.empty()) return file;
  // Database is a file for SQLite, a database's name for a server.
  const std::string driver = LowerCase(ProfileText(alias, "Driver"));
  return driver.find("sqlite") != std::string::npos ? ProfileText(alias, "Database") : "";
}

TSession::DriverRequest TSession::StreamingRequest(const std::string& alias) {
  DriverRequest request;
  request.Driver = ProfileText(alias, "Driver");
  // The Driver entry names the driver (its entry in odbcinst.ini, which
  // names its library) or its library itself.
  char library[4096] = {0};
  if (!request.Driver.empty())
    SQLGetPrivateProfileString(request.Driver.c_str(), "Driver", "", library, sizeof library, "odbcinst.ini");
  const std::string known = LowerCase(request.Driver + " " + library);
  auto unless = [&](const char* key, const char* value) {
    if (ProfileText(alias, key).empty()) request.Settings += std::string(key) + "=" + value + ";";
  };
  if (known.find("psqlodbc") != std::string::npos || known.find("postgres") != std::string::npos) {
    unless("UseDeclareFetch", "1");
    unless("Fetch", "16384");
  } else if (known.find("maodbc") != std::string::npos || known.find("mariadb") != std::string::npos) {
    // Connector/ODBC of MariaDB takes its flags as one number: no cache
    // (1048576) is asked only when the data source sets none of them.
    unless("OPTION", "1048576");
    unless("FORWARDONLY", "1");
  } else if (known.find("myodbc") != std::string::npos || known.find("mysql") != std::string::npos) {
    unless("NO_CACHE", "1");
    unless("FORWARD_CURSOR", "1");
  } else if (known.find("sqlite") != std::string::npos) {
    // Without it the SQLite driver reads a whole result into memory first.
    unless("StepAPI", "1");
  }
  return request;
}

std::vector<std::string> TSession::ConfigurationFiles() {
  std::vector<std::string> files;
#ifndef _WIN32
  // unixODBC's user file (ODBCINI, else ~/.odbc.ini), and the system's
  // (in ODBCSYSINI, else /etc), with the drivers' list beside it.
  auto env = [](const char* name) -> std::string {
    const char* value = std::getenv(name);
    return value && *value ? value : "";
  };
  if (!env("ODBCINI").empty()) files.push_back(env("ODBCINI"));
  if (!env("HOME").empty()) files.push_back(env("HOME") + "/.odbc.ini");
  for (const std::string& folder : {env("ODBCSYSINI"), std::string("/etc")})
    if (!folder.empty())
      for (const char* name : {"/odbc.ini", "/odbcinst.ini"}) files.push_back(folder + name);
  if (!env("ODBCINSTINI").empty()) files.push_back(env("ODBCINSTINI"));
#endif
  return files;
}

namespace {

// The words SQL reserves (ODBC's list), which a statement cannot take as a
// table's plain name, and those the driver adds (`keywords`).
bool IsReservedWord(const std::string& name, const std::string& keywords) {
  static const char* const Reserved =
      ",ABSOLUTE,ACTION,ADA,ADD,ALL,ALLOCATE,ALTER,AND,ANY,ARE,AS,ASC,ASSERTION,AT,AUTHORIZATION,AVG,BEGIN,BETWEEN,"
      "BIT,BIT_LENGTH,BOTH,BY,CASCADE,CASCADED,CASE,CAST,CATALOG,CHAR,CHAR_LENGTH,CHARACTER,CHARACTER_LENGTH,CHECK,"
      "CLOSE,COALESCE,COLLATE,COLLATION,COLUMN,COMMIT,CONNECT,CONNECTION,CONSTRAINT,CONSTRAINTS,CONTINUE,CONVERT,"
      "CORRESPONDING,COUNT,CREATE,CROSS,CURRENT,CURRENT_DATE,CURRENT_TIME,CURRENT_TIMESTAMP,CURRENT_USER,CURSOR,"
      "DATE,DAY,DEALLOCATE,DEC,DECIMAL,DECLARE,DEFAULT,DEFERRABLE,DEFERRED,DELETE,DESC,DESCRIBE,DESCRIPTOR,"
      "DIAGNOSTICS,DISCONNECT,DISTINCT,DOMAIN,DOUBLE,DROP,ELSE,END,END-EXEC,ESCAPE,EXCEPT,EXCEPTION,EXEC,EXECUTE,"
      "EXISTS,EXTERNAL,EXTRACT,FALSE,FETCH,FIRST,FLOAT,FOR,FOREIGN,FORTRAN,FOUND,FROM,FULL,GET,GLOBAL,GO,GOTO,"
      "GRANT,GROUP,HAVING,HOUR,IDENTITY,IMMEDIATE,IN,INCLUDE,INDEX,INDICATOR,INITIALLY,INNER,INPUT,INSENSITIVE,"
      "INSERT,INT,INTEGER,INTERSECT,INTERVAL,INTO,IS,ISOLATION,JOIN,KEY,LANGUAGE,LAST,LEADING,LEFT,LEVEL,LIKE,"
      "LIMIT,LOCAL,LOWER,MATCH,MAX,MIN,MINUTE,MODULE,MONTH,NAMES,NATIONAL,NATURAL,NCHAR,NEXT,NO,NONE,NOT,NULL,"
      "NULLIF,NUMERIC,OCTET_LENGTH,OF,OFFSET,ON,ONLY,OPEN,OPTION,OR,ORDER,OUTER,OUTPUT,OVERLAPS,PAD,PARTIAL,"
      "PASCAL,POSITION,PRECISION,PREPARE,PRESERVE,PRIMARY,PRIOR,PRIVILEGES,PROCEDURE,PUBLIC,READ,REAL,"
      "REFERENCES,RELATIVE,RESTRICT,REVOKE,RIGHT,ROLLBACK,ROWS,SCHEMA,SCROLL,SECOND,SECTION,SELECT,SESSION,"
      "SESSION_USER,SET,SIZE,SMALLINT,SOME,SPACE,SQL,SQLCA,SQLCODE,SQLERROR,SQLSTATE,SQLWARNING,SUBSTRING,SUM,"
      "SYSTEM_USER,TABLE,TEMPORARY,THEN,TIME,TIMESTAMP,TIMEZONE_HOUR,TIMEZONE_MINUTE,TO,TRAILING,TRANSACTION,"
      "TRANSLATE,TRANSLATION,TRIM,TRUE,UNION,UNIQUE,UNKNOWN,UPDATE,UPPER,USAGE,USER,USING,VALUE,VALUES,VARCHAR,"
      "VARYING,VIEW,WHEN,WHENEVER,WHERE,WITH,WORK,WRITE,YEAR,ZONE,";
  const std::string word = "," + UpperCase(name) + ",";
  return std::string_view(Reserved).find(word) != std::string_view::npos ||
         ("," + keywords + ",").find(word) != std::string::npos;
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
  if (odbc::InfoText(connection.Handle(), SQL_DBMS_NAME) != "PostgreSQL") return schemas;
  Statement st(connection);
  if (!Ok(SQLExecDirect(
          st.get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>("select unnest(current_schemas(false))")), SQL_NTS)))
    return schemas;
  odbc::ForEachRow(st, "Cannot read the search path", [&] {
    bool null = false;
    std::string schema = ColumnText(st.get(), 1, null);
    if (!null) schemas.push_back(schema);
  });
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
  rules.Quote = odbc::InfoText(connection.Handle(), SQL_IDENTIFIER_QUOTE_CHAR);
  rules.Keywords = UpperCase(odbc::InfoText(connection.Handle(), SQL_KEYWORDS));
  SQLUSMALLINT identifierCase = 0;
  if (Ok(SQLGetInfo(connection.Handle(), SQL_IDENTIFIER_CASE, &identifierCase, sizeof identifierCase, nullptr)))
    rules.Case = identifierCase;
  rules_[alias] = rules;

  // SQLite's driver lists no tables, and no error, from a file that is no
  // database: its own schema table says what the file is.
  if (LowerCase(odbc::InfoText(connection.Handle(), SQL_DBMS_NAME)).find("sqlite") != std::string::npos) {
    Statement st(connection);
    const std::string what = "Cannot list the tables of '" + alias + "'";
    st.Check(
        SQLExecDirect(st.get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>("select count(*) from sqlite_master")),
                      SQL_NTS),
        what);
    odbc::ForEachRow(st, what, [] {});
  }

  // The tables of the database the data source is in, and of the schemas
  // its names are looked up in: what "select * from NAME" can reach.
  std::string catalog = CurrentCatalog(connection.Handle());
  std::vector<std::string> schemas = SearchPath(connection);
  if (schemas.empty()) schemas.push_back(std::string());
  std::vector<std::string> names;
  for (std::string& schema : schemas) {
    Statement st(connection);
    auto text = [](std::string& s) { return s.empty() ? nullptr : reinterpret_cast<SQLCHAR*>(s.data()); };
    st.Check(
        SQLTables(st.get(), text(catalog), catalog.empty() ? 0 : SQL_NTS, text(schema), schema.empty() ? 0 : SQL_NTS,
                  nullptr, 0, reinterpret_cast<SQLCHAR*>(const_cast<char*>("TABLE")), SQL_NTS),
        "Cannot list the tables of '" + alias + "'");
    odbc::ForEachRow(st, "Cannot list the tables of '" + alias + "'", [&] {
      bool null = false;
      std::string name = ColumnText(st.get(), 3, null);
      if (!null && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    });
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  return names;
}

std::string TSession::NameInQuery(const std::string& alias, const std::string& table) const {
  if (!rules_.count(alias)) GetTableNames(alias);
  const NameRules& rules = rules_.at(alias);
  bool plain = !table.empty() && !std::isdigit(static_cast<unsigned char>(table[0]));
  for (char c : table) {
    const unsigned char u = static_cast<unsigned char>(c);
    plain = plain && u < 0x80 && (std::isalnum(u) || c == '_');
    plain =
        plain && !(rules.Case == SQL_IC_LOWER && std::isupper(u)) && !(rules.Case == SQL_IC_UPPER && std::islower(u));
  }
  plain = plain && !IsReservedWord(table, rules.Keywords);
  if (plain || rules.Quote.empty() || rules.Quote == " ") return table;
  return odbc::QuotedName(table, rules.Quote);
}

}  // namespace platform
