#pragma once
// The database engine over ODBC, in the shape the data export works with:
// aliases are ODBC data source names, tables are the TABLE objects of a data
// source, a query runs one statement against an alias and offers its rows
// one at a time with typed fields and their stored values. An open query
// reads its records as they are asked for and keeps those it has read,
// compactly (all cell texts in a few large blocks).
// Connections and the catalogue are in OdbcConnection.cpp and
// OdbcSession.cpp, the one fetch engine in QueryStream.cpp, the records of
// an open query in Query.cpp; how values are written is the export's
// (dataexport/FieldValues.h).
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DateTime.h"

namespace platform {

// Field types, by the codes the system uses for them.
enum FieldType {
  ftUnknown = 0,
  ftString = 1,
  ftSmallint = 2,
  ftInteger = 3,
  ftWord = 4,
  ftBoolean = 5,
  ftFloat = 6,
  ftCurrency = 7,
  ftBCD = 8,
  ftDate = 9,
  ftTime = 10,
  ftDateTime = 11,
  ftBytes = 12,
  ftVarBytes = 13,
  ftAutoInc = 14,
  ftBlob = 15,
  ftMemo = 16,
  ftFixedChar = 23,
  ftWideString = 24,
  ftLargeint = 25,
};

class DatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TQuery;

class TField {
 public:
  std::string FieldName;
  int DataType = ftUnknown;
  bool Required = false;      // the column does not accept NULL
  int Size = 0;               // declared length of a string column
  bool IsIndexField = false;  // part of the table's primary key
  bool Binary = false;        // bytes, written as hexadecimal text
  bool Money = false;         // a money column, written as a plain number

  bool IsNull() const;
  // The value in the current record as the database stores it: its text,
  // or its bytes for a binary field; empty for NULL. The export's rules
  // (dataexport/FieldValues.h) write it.
  std::string_view Stored() const;

 private:
  friend class TQuery;
  const TQuery* query_ = nullptr;
  int index_ = 0;
};

// A driver's message on one line: line breaks and tabs become single
// blanks, and nothing follows a zero byte.
std::string OneLine(std::string_view text);

// The field of exactly that name, else the first of that name in any letter
// case; nullptr when there is none.
TField* FindField(std::vector<TField>& fields, const std::string& name);

class TSession {
 public:
  // Every data source name the ODBC driver manager knows.
  std::vector<std::string> GetAliasNames() const;
  // The TABLE names of an alias, without extensions: those of the database
  // the data source is in, and of the schemas a plain name is looked up in
  // (PostgreSQL's search path), each once. Throws DatabaseError.
  std::vector<std::string> GetTableNames(const std::string& alias) const;
  // A table name as a statement names it: unchanged where the database reads
  // it so, else in the driver's identifier quotes ("my table", "MixedCase"
  // for PostgreSQL, `my table` for MySQL).
  std::string NameInQuery(const std::string& alias, const std::string& table) const;
  // The database file a file-based data source names (SQLite's Database
  // entry, a DBQ entry), as written there; empty for a server's.
  static std::string DatabaseFile(const std::string& alias);
  // The ODBC configuration files the driver manager may read.
  static std::vector<std::string> ConfigurationFiles();
  // What a connection asks of a data source's driver so that it hands rows
  // on as it fetches them instead of reading a whole result first:
  // psqlODBC's cursor fetching (UseDeclareFetch=1;Fetch=16384: a few row
  // sets a round trip, as round trips cost more than the memory), MariaDB's
  // Connector/ODBC without its client cache and forward only
  // (OPTION=1048576;FORWARDONLY=1), MySQL's likewise
  // (NO_CACHE=1;FORWARD_CURSOR=1), the SQLite driver's stepping through the
  // rows (StepAPI=1). A setting the data source writes itself wins: it is
  // not asked again. Empty Settings for every other driver (its
  // statements are forward only, in row sets).
  struct DriverRequest {
    std::string Driver;    // the data source's Driver entry
    std::string Settings;  // "KEY=VALUE;..." added to the connection string
  };
  static DriverRequest StreamingRequest(const std::string& alias);
  // How many records a statement gives, counted by the database. Throws
  // DatabaseError.
  long long CountRecords(const std::string& alias, const std::string& statement) const;

 private:
  struct NameRules {
    std::string Quote;     // the driver's identifier quote
    std::string Keywords;  // the driver's own reserved words, upper case, comma-separated
    unsigned Case = 0;     // how the database folds plain names (SQL_IDENTIFIER_CASE)
  };
  mutable std::map<std::string, NameRules> rules_;  // by alias, learned with the table names
};

extern TSession Session;

class TQuery {
 public:
  TQuery();
  ~TQuery();
  TQuery(const TQuery&) = delete;
  TQuery& operator=(const TQuery&) = delete;

  std::string DatabaseName;  // the alias
  std::vector<std::string> SQL;
  // The statement Open runs: the SQL lines joined, without blanks around.
  std::string StatementText() const;

  // Runs the statement and reads its first records (RecordsPerFetch).
  // Throws DatabaseError; the query then stays closed.
  void Open();
  void Close();  // closing a closed query does nothing
  bool Active() const;

  // How many records Open, Next and FetchMore read at a time.
  static constexpr int RecordsPerFetch = 256;
  // Whether records remain that the query has not read yet.
  bool CanFetchMore() const;
  // Reads up to `records` further records and keeps them. Throws
  // DatabaseError; nothing more is read after a failure.
  void FetchMore(int records);

  void First();
  // Moves to the next record, reading more when the last one read was the
  // current one. Throws DatabaseError.
  void Next();
  bool Eof() const;
  // The records read so far: all of them once CanFetchMore is false.
  int RecordCount() const;

  // The position of the current record, from 0.
  int RecNo() const;
  // A cell of any record as stored (empty, `null` true, for NULL or a cell
  // that is not there), for a view of the records.
  std::string_view StoredAt(int record, int field, bool& null) const;
  // The table the records come from, for messages.
  const std::string& TableName() const;

  int FieldCount() const;
  const std::vector<TField>& Fields() const { return fields_; }
  TField& Field(int index);
  // The first field of that name, without regard to case. Throws
  // DatabaseError for an unknown name.
  TField& FieldByName(const std::string& name);

 private:
  friend class TField;

 public:
  struct Rows;  // the records, defined with the query

 private:
  std::unique_ptr<Rows> rows_;
  std::vector<TField> fields_;
  size_t current_ = 0;
};

}  // namespace platform
