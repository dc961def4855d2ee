#include "platform/DateTime.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <string>

#include "platform/WindowsApi.h"

namespace platform {

#ifdef _WIN32

// The machine's local time and the user's separators, as Windows keeps them.
DateTime Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return DateTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

namespace {
char LocaleSeparator(LCTYPE which, char fallback) {
  char buffer[8];
  return GetLocaleInfoA(LOCALE_USER_DEFAULT, which, buffer, sizeof buffer) > 1 ? buffer[0] : fallback;
}
}  // namespace

char DateSeparator() {
  static const char separator = LocaleSeparator(LOCALE_SDATE, '/');
  return separator;
}
char TimeSeparator() {
  static const char separator = LocaleSeparator(LOCALE_STIME, ':');
  return separator;
}

#else

DateTime Now() {
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,       local.tm_hour,
                  local.tm_min,         local.tm_sec,     static_cast<int>(ms)};
}

char DateSeparator() { return '/'; }
char TimeSeparator() { return ':'; }

#endif

namespace {
std::string Digits(int value, int width) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
  return buffer;
}
size_t RunLength(const std::string& p, size_t i) {
  size_t n = 0;
  char c = static_cast<char>(std::tolower(static_cast<unsigned char>(p[i])));
  while (i + n < p.size() && std::tolower(static_cast<unsigned char>(p[i + n])) == c) ++n;
  return n;
}
}  // namespace

std::string FormatDateTime(const std::string& pattern, const DateTime& v) {
  std::string out;
  bool afterHour = false;
  for (size_t i = 0; i < pattern.size();) {
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[i])));
    size_t n = RunLength(pattern, i);
    if (c == '"' || c == '\'') {
      size_t end = pattern.find(pattern[i], i + 1);
      if (end == std::string::npos) end = pattern.size();
      out += pattern.substr(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    // A number of one or two digits, as the run of letters asks ("d", "dd").
    auto number = [&](int value) {
      out += Digits(value, n >= 2 ? 2 : 1);
      n = n > 2 ? 2 : n;
    };
    switch (c) {
      case 'y': out += n >= 3 ? Digits(v.Year, 4) : Digits(v.Year % 100, 2); break;
      case 'm': {
        int value = afterHour ? v.Minute : v.Month;
        number(value);
        afterHour = false;
        break;
      }
      case 'd': number(v.Day); break;
      case 'h':
        number(v.Hour);
        afterHour = true;
        break;
      case 'n':
        number(v.Minute);
        afterHour = false;
        break;
      case 's': number(v.Second); break;
      case 'z':
        out += n >= 3 ? Digits(v.Millisecond, 3) : std::to_string(v.Millisecond);
        n = n >= 3 ? 3 : 1;
        break;
      case '/':
        out += DateSeparator();
        n = 1;
        break;
      case ':':
        out += TimeSeparator();
        n = 1;
        break;
      default:
        out += pattern[i];
        n = 1;
        break;
    }
    i += n;
  }
  return out;
}

namespace {

char* Two(char* at, int value) {
  at[0] = static_cast<char>('0' + value / 10 % 10);
  at[1] = static_cast<char>('0' + value % 10);
  return at + 2;
}

char* WriteDate(char* at, const DateTime& v) {
  at = Two(at, v.Year / 100);
  at = Two(at, v.Year);
  *at++ = DateSeparator();
  at = Two(at, v.Month);
  *at++ = DateSeparator();
  return Two(at, v.Day);
}

int DaysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  return month == 2 && leap ? 29 : days[month - 1];
}

using std::chrono::days;
using std::chrono::milliseconds;
using Instant = std::chrono::sys_time<milliseconds>;

// A date-time as a point in time, and back; false outside the years 1 to
// 9999. A day beyond its month's end counts on into the next month.
Instant ToInstant(const DateTime& v) {
  const std::chrono::year_month_day date{std::chrono::year{v.Year}, std::chrono::month{static_cast<unsigned>(v.Month)},
                                         std::chrono::day{static_cast<unsigned>(v.Day)}};
  return std::chrono::sys_days{date} + std::chrono::hours{v.Hour} + std::chrono::minutes{v.Minute} +
         std::chrono::seconds{v.Second} + milliseconds{v.Millisecond};
}

bool FromInstant(Instant instant, DateTime& v) {
  const auto day = std::chrono::floor<days>(instant);
  const std::chrono::year_month_day date{day};
  if (date.year() < std::chrono::year{1} || date.year() > std::chrono::year{9999}) return false;
  const std::chrono::hh_mm_ss time{instant - day};
  v.Year = static_cast<int>(date.year());
  v.Month = static_cast<int>(static_cast<unsigned>(date.month()));
  v.Day = static_cast<int>(static_cast<unsigned>(date.day()));
  v.Hour = static_cast<int>(time.hours().count());
  v.Minute = static_cast<int>(time.minutes().count());
  v.Second = static_cast<int>(time.seconds().count());
  v.Millisecond = static_cast<int>(time.subseconds().count());
  return true;
}

// A run of exactly `n` digits at `at`, moving past it.
bool Number(std::string_view t, size_t& at, size_t n, int& value) {
  if (at + n > t.size()) return false;
  value = 0;
  for (size_t i = 0; i < n; ++i) {
    char c = t[at + i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  at += n;
  return true;
}

// "hh:mm[:ss[.sss]]" at `at`.
bool TimeOfDay(std::string_view t, size_t& at, DateTime& v) {
  if (!Number(t, at, 2, v.Hour) || at >= t.size() || t[at++] != ':' || !Number(t, at, 2, v.Minute)) return false;
  v.Second = v.Millisecond = 0;
  if (at < t.size() && t[at] == ':') {
    ++at;
    if (!Number(t, at, 2, v.Second)) return false;
    if (at < t.size() && t[at] == '.') {
      ++at;
      size_t start = at;
      int scale = 100;
      while (at < t.size() && t[at] >= '0' && t[at] <= '9') {
        if (scale > 0) v.Millisecond += (t[at] - '0') * scale;
        scale /= 10;
        ++at;
      }
      if (at == start) return false;
    }
  }
  return v.Hour < 24 && v.Minute < 60 && v.Second < 60;
}

bool JulianDay(std::string_view t, DateTime& v) {
  if (t.empty() || t.find_first_not_of("0123456789.+-") != std::string_view::npos) return false;
  std::string text(t);
  char* end = nullptr;
  double jd = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !(jd >= 1721425.5 && jd < 5373484.5)) return false;
  // Julian day 2440587.5 is 1970-01-01 00:00 UTC.
  const auto since1970 = std::llround((jd - 2440587.5) * 86400000.0);
  return FromInstant(Instant{milliseconds{since1970}}, v);
}

}  // namespace

void AppendDate(std::string& out, const DateTime& v) {
  char text[10];
  out.append(text, WriteDate(text, v));
}

void AppendDateTime(std::string& out, const DateTime& v) {
  char text[19];
  char* at = WriteDate(text, v);
  *at++ = ' ';
  at = Two(at, v.Hour);
  *at++ = TimeSeparator();
  at = Two(at, v.Minute);
  *at++ = TimeSeparator();
  out.append(text, Two(at, v.Second));
}

bool ParseDateValue(std::string_view t, DateTime& v) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  if (t == "now" || t == "NOW") {
    v = Now();
    return true;
  }
  const bool isoDate = t.size() >= 10 && t[4] == '-';
  if (!isoDate && JulianDay(t, v)) return true;
  DateTime parsed;
  size_t at = 0;
  if (t.size() >= 5 && t[2] == ':') {  // a time alone is on 2000-01-01
    parsed.Year = 2000;
    parsed.Month = parsed.Day = 1;
    if (!TimeOfDay(t, at, parsed) || at != t.size()) return false;
    v = parsed;
    return true;
  }
  if (!Number(t, at, 4, parsed.Year) || at >= t.size() || t[at++] != '-' || !Number(t, at, 2, parsed.Month) ||
      at >= t.size() || t[at++] != '-' || !Number(t, at, 2, parsed.Day))
    return false;
  parsed.Hour = parsed.Minute = parsed.Second = parsed.Millisecond = 0;
  if (parsed.Year < 1 || parsed.Month < 1 || parsed.Month > 12 || parsed.Day < 1 || parsed.Day > 31) return false;
  if (at < t.size() && (t[at] == 'T' || t[at] == ' ')) {
    ++at;
    if (!TimeOfDay(t, at, parsed)) return false;
  }
  int offsetMinutes = 0;
  if (at < t.size() && (t[at] == 'Z' || t[at] == 'z')) {
    ++at;
  } else if (at < t.size() && (t[at] == '+' || t[at] == '-')) {
    int sign = t[at++] == '-' ? -1 : 1, hours = 0, minutes = 0;
    if (!Number(t, at, 2, hours) || at >= t.size() || t[at++] != ':' || !Number(t, at, 2, minutes)) return false;
    offsetMinutes = sign * (hours * 60 + minutes);
  }
  if (at != t.size()) return false;
  if (offsetMinutes == 0 && parsed.Day <= DaysInMonth(parsed.Year, parsed.Month)) {
    v = parsed;  // a day of the calendar in UTC already: nothing to move
    return true;
  }
  // A day beyond the month's end rolls over, as SQLite's date functions do.
  return FromInstant(ToInstant(parsed) - std::chrono::minutes{offsetMinutes}, v);
}

}  // namespace platform
