#include "platform/TimestampCells.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform::odbc {

namespace {

char* Digits(char* at, unsigned value, int count) {
  for (int i = count - 1; i >= 0; --i) {
    at[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return at + count;
}

bool AllZero(const SQL_TIMESTAMP_STRUCT& v) {
  return v.year == 0 && v.month == 0 && v.day == 0 && v.hour == 0 && v.minute == 0 && v.second == 0 && v.fraction == 0;
}

}  // namespace

TimestampLayout LayoutOf(const ColumnInfo& column) {
  return TimestampLayout{column.DataType == ftDate, std::clamp<int>(column.Digits, 0, 9)};
}

std::string_view WriteTimestamp(const SQL_TIMESTAMP_STRUCT& v, TimestampLayout layout, TimestampText& out) {
  char* at = out.data();
  at = Digits(at, static_cast<unsigned>(std::max<int>(v.year, 0)), 4);
  *at++ = '-';
  at = Digits(at, v.month, 2);
  *at++ = '-';
  at = Digits(at, v.day, 2);
  if (!layout.DateOnly) {
    *at++ = ' ';
    at = Digits(at, v.hour, 2);
    *at++ = ':';
    at = Digits(at, v.minute, 2);
    *at++ = ':';
    at = Digits(at, v.second, 2);
    if (layout.Fraction > 0) {
      unsigned fraction = v.fraction;  // nanoseconds
      for (int i = layout.Fraction; i < 9; ++i) fraction /= 10;
      *at++ = '.';
      at = Digits(at, fraction, layout.Fraction);
    }
  }
  return std::string_view(out.data(), static_cast<size_t>(at - out.data()));
}

void MarkTimestamps(SQL_TIMESTAMP_STRUCT* values, size_t rows) { std::memset(values, 0xff, rows * sizeof *values); }

void KeepZeroDates(const SQL_TIMESTAMP_STRUCT* values, SQLLEN* lengths, size_t rows) {
  for (size_t r = 0; r < rows; ++r)
    if (lengths[r] == SQL_NULL_DATA && AllZero(values[r])) lengths[r] = sizeof *values;
}

bool TimestampsReadBack(Connection& connection) {
  // Each kind of value a table may hold: the zero date-time and date, a
  // NULL, fractions of a second, the first and the last day.
  static const char* const Probe =
      "select cast(0 as datetime), cast(null as datetime), cast('2006-01-02 03:04:05.5' as datetime(2)),"
      " cast('2006-01-02' as date), cast(0 as date), cast('0001-01-01 00:00:00.000001' as datetime(6)),"
      " cast('9999-12-31 23:59:59' as datetime)";
  constexpr SQLUSMALLINT Columns = 7;
  try {
    // As text, the driver's own.
    std::vector<std::string> texts(Columns);
    std::vector<bool> nulls(Columns);
    {
      Statement st(connection);
      st.Check(SQLExecDirect(st.get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(Probe)), SQL_NTS), "");
      if (!Ok(SQLFetch(st.get()))) return false;
      for (SQLUSMALLINT c = 0; c < Columns; ++c) {
        bool null = false;
        texts[c] = ColumnText(st.get(), static_cast<SQLUSMALLINT>(c + 1), null);
        nulls[c] = null;
      }
    }
    // The zero dates must be there to be told from NULL.
    if (nulls[0] || nulls[4] || !nulls[1]) return false;

    // As structures in a bound row set, written back here.
    Statement st(connection);
    st.Check(SQLExecDirect(st.get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(Probe)), SQL_NTS), "");
    std::vector<SQL_TIMESTAMP_STRUCT> values(Columns);
    std::vector<SQLLEN> lengths(Columns);
    std::vector<TimestampLayout> layouts;
    MarkTimestamps(values.data(), Columns);
    for (SQLUSMALLINT c = 0; c < Columns; ++c) {
      layouts.push_back(LayoutOf(DescribeColumn(st.get(), static_cast<SQLUSMALLINT>(c + 1))));
      if (!Ok(SQLBindCol(st.get(), static_cast<SQLUSMALLINT>(c + 1), SQL_C_TYPE_TIMESTAMP, &values[c], sizeof values[c],
                         &lengths[c])))
        return false;
    }
    if (!Ok(SQLFetch(st.get()))) return false;
    for (SQLUSMALLINT c = 0; c < Columns; ++c) {
      KeepZeroDates(&values[c], &lengths[c], 1);
      if ((lengths[c] == SQL_NULL_DATA) != nulls[c]) return false;
      TimestampText text;
      if (!nulls[c] && WriteTimestamp(values[c], layouts[c], text) != texts[c]) return false;
    }
    return true;
  } catch (const DatabaseError&) {
    return false;  // a driver or a server that cannot run the check fetches text
  }
}

}  // namespace platform::odbc
