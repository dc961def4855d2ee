#pragma once
// The export's rules for values: how a field's stored text is written
// (booleans as True/False, floats without exponent noise, money as a plain
// number, bytes as hexadecimal text, dates in the system's patterns, times
// as the driver gives them), and how a date is read.
#include <functional>
#include <string>
#include <string_view>

#include "platform/Database.h"
#include "platform/DateTime.h"

namespace dataexport {

// Told of values written other than as stored (a date that names no day of
// the calendar, written as the null date), one line each.
using WarningSink = std::function<void(const std::string&)>;

// Where a value stands, for messages: table, field, record (from 1), and
// who hears the warnings (nobody when empty). Made for every value, so it
// copies nothing: the names belong to the query, which outlives it.
struct ValuePlace {
  std::string_view Table, Field;
  size_t Record = 0;
  const WarningSink* Warnings = nullptr;
};

// The value's text appended to `out`; a date that is no date throws
// platform::DatabaseError naming table, field and record.
void AppendFieldText(std::string& out, const platform::TField& field, std::string_view stored, const ValuePlace& place);

// True when a field's value may be written piece by piece as it is read
// (bytes, text): its pieces' texts, one after the other, are the value's.
bool WrittenInPieces(const platform::TField& field);

// A date value read in every layout the database's own date functions
// understand. A value that names no day of the calendar (a zero year, month
// or day; infinity) is the zero date-time, with a warning; any other value
// that is no date throws platform::DatabaseError naming table, field and
// record.
platform::DateTime ReadDateValue(std::string_view stored, const ValuePlace& place);

// A cell of an open query as a view of the records shows it: as the export
// writes it, except that a value that is no date is shown as stored.
std::string DisplayText(const platform::TQuery& query, int record, int field);

// A boolean's stored value as the export writes it: "False" for zero (a
// digit, bits, the byte 0), "f" and "false" in any case; "True" otherwise.
const char* BooleanText(std::string_view stored);

// A money value as a plain number: "$1,234.50" and "-1.234,50 EUR" give
// "1234.50" and "-1234.50"; a last separator with three digits after it
// groups thousands ("¥1,234" gives "1234").
std::string PlainMoney(std::string_view money);

}  // namespace dataexport
