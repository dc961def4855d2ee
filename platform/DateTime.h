#pragma once
// Calendar date and time of day, and FormatDateTime for the patterns the
// system uses: yyyy, yy, m, mm, d, dd, h, hh, n, nn, s, ss, zzz, "/" (the
// locale's date separator), ":" (its time separator), and text in quotes.
// "m"/"mm" right after an hour field means minutes, as in the host library.
#include <string>

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

// Separators of the user's locale (on POSIX "/" and ":").
char DateSeparator();
char TimeSeparator();

}  // namespace platform
