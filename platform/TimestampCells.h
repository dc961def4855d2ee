#pragma once
// Dates and date-times fetched as ODBC timestamp structures instead of as
// text, for MariaDB's Connector/ODBC, which formats every one of them with
// sprintf on the fetching thread when it is asked for text. They are written
// back here as the text the driver would have given, byte for byte.
//
// The driver hands its zero date ("0000-00-00 00:00:00") on as NULL, with
// the structure filled with zeros; a true NULL leaves the structure as it
// was. A mark put in the structures before the fetch tells the two apart.
// Whether a connection's driver does all this is checked on it first
// (TimestampsReadBack); the caller fetches text where it does not. Only for
// platform/.
#include <array>
#include <string_view>

#include "platform/OdbcHandles.h"

namespace platform::odbc {

// How a column's structures are written: a date alone, or a date and time
// with this many digits of the fraction of a second.
struct TimestampLayout {
  bool DateOnly = false;
  int Fraction = 0;
};
TimestampLayout LayoutOf(const ColumnInfo& column);

// Room for the longest text, "yyyy-mm-dd hh:mm:ss.fffffffff".
using TimestampText = std::array<char, 32>;

// The text of a structure in `out`.
std::string_view WriteTimestamp(const SQL_TIMESTAMP_STRUCT& value, TimestampLayout layout, TimestampText& out);

// Marks `rows` structures before a fetch into them; after it, turns each
// NULL the driver gave for its zero date into that value.
void MarkTimestamps(SQL_TIMESTAMP_STRUCT* values, size_t rows);
void KeepZeroDates(const SQL_TIMESTAMP_STRUCT* values, SQLLEN* lengths, size_t rows);

// Whether this connection's driver gives dates as structures that write
// back as its own text, its zero dates told from NULL, in bound row sets.
bool TimestampsReadBack(Connection& connection);

}  // namespace platform::odbc
