#pragma once
// The database engine over ODBC, in the shape the data export works with:
// aliases are ODBC data source names, tables are the TABLE objects of a data
// source, a query runs one statement against an alias and offers its rows
// one at a time with typed fields. The records of an open query are held
// compactly in memory: all cell texts in one buffer.
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
  ftUnknown = 0, ftString = 1, ftSmallint = 2, ftInteger = 3, ftWord = 4, ftBoolean = 5, ftFloat = 6,
  ftCurrency = 7, ftBCD = 8, ftDate = 9, ftTime = 10, ftDateTime = 11, ftBytes = 12, ftVarBytes = 13,
  ftAutoInc = 14, ftBlob = 15, ftMemo = 16, ftFixedChar = 23, ftWideString = 24, ftLargeint = 25,
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
  // The value as text: "True"/"False" for booleans, numbers as the engine
  // gives them, dates as yyyy/mm/dd (and hh:nn:ss), NULL as empty text.
  std::string AsString() const;
  // The same text, appended to `out`.
  void AppendString(std::string& out) const;
  // The value as a date-time, read in every layout the database's own date
  // functions understand; NULL is the zero date-time, 30 December 1899. A
  // value that is no date throws DatabaseError naming table, field and
  // record.
  DateTime AsDateTime() const;

 private:
  friend class TQuery;
  const TQuery* query_ = nullptr;
  int index_ = 0;
};

// Told of values the export writes other than as stored (a date that names no
// day of the calendar, written as the null date), one line each; nothing
// when no sink is set.
using WarningSink = std::function<void(const std::string&)>;
void SetWarningSink(WarningSink sink);

// A date value read in every layout the database's own date functions
// understand. A value that names no day of the calendar (a zero year, month
// or day; infinity) is the zero date-time, with a warning; any other value
// that is no date throws DatabaseError naming table, field and record.
DateTime ReadDateValue(std::string_view text, const std::string& table, const std::string& field, size_t record);

// A boolean's stored value as the export writes it: "False" for zero (a
// digit, bits, the byte 0), "f" and "false" in any case; "True" otherwise.
const char* BooleanText(std::string_view stored);

// A money value as a plain number: "$1,234.50" and "-1.234,50 EUR" give
// "1234.50" and "-1234.50"; a last separator with three digits after it
// groups thousands ("¥1,234" gives "1234").
std::string PlainMoney(std::string_view money);

// A driver's message on one line: line breaks and tabs become single
// blanks, and nothing follows a zero byte.
std::string OneLine(std::string_view text);

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
  // How many records a statement gives, counted by the database. Throws
  // DatabaseError.
  long long CountRecords(const std::string& alias, const std::string& statement) const;

 private:
  struct NameRules {
    std::string Quote;   // the driver's identifier quote
    unsigned Case = 0;   // how the database folds plain names (SQL_IDENTIFIER_CASE)
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

  // Runs the statement and reads its rows. Throws DatabaseError; the query
  // then stays closed.
  void Open();
  void Close();  // closing a closed query does nothing
  bool Active() const;

  void First();
  void Next();
  bool Eof() const;
  int RecordCount() const;
  // The bytes the values of all records take as stored.
  size_t ValueBytes() const;

  // The position of the current record, from 0.
  int RecNo() const;
  // A cell of any record as AsString gives it, for a view of the records;
  // a value that is no date is shown as stored.
  std::string DisplayText(int record, int field) const;

  int FieldCount() const;
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
