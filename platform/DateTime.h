#pragma once
// Calendar date and time of day, and FormatDateTime for the patterns the
// system uses: yyyy, yy, m, mm, d, dd, h, hh, n, nn, s, ss, zzz, "/" (the
// locale's date separator), ":" (its time separator), and text in quotes.
// "m"/"mm" right after an hour field means minutes, as in the host library.
#include <string>
#include <string_view>

namespace platform {

struct DateTime {
  int Year = 1899;
  int Month = 12;
  int Day = 30;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
};

// The zero date-time of the host library: 30 December 1899, midnight.
inline constexpr DateTime ZeroDateTime{};

DateTime Now();

std::string FormatDateTime(const std::string& pattern, const DateTime& value);

// The patterns "yyyy/mm/dd" and "yyyy/mm/dd hh:nn:ss", appended to `out`
// without interpreting a pattern: for passes that format millions of dates.
void AppendDate(std::string& out, const DateTime& value);
void AppendDateTime(std::string& out, const DateTime& value);

// Reads a stored date or time in every layout SQLite's date functions
// understand: "yyyy-mm-dd", optionally followed by "T" or a blank and
// "hh:mm", "hh:mm:ss" or "hh:mm:ss.sss", optionally followed by "Z" or a
// time zone "+hh:mm"/"-hh:mm" (the result is then in UTC); "hh:mm[:ss[.sss]]"
// alone (on 1 January 2000); a Julian day number ("2454070.5"); and "now".
// False for anything else, and for a day outside the years 1 to 9999.
bool ParseDateValue(std::string_view text, DateTime& value);

// Separators of the user's locale (on POSIX "/" and ":").
char DateSeparator();
char TimeSeparator();

}  // namespace platform
