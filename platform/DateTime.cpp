#include "platform/DateTime.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace platform {

DateTime Now() {
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min,         local.tm_sec,      static_cast<int>(ms)};
}

char DateSeparator() { return '/'; }
char TimeSeparator() { return ':'; }

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
    switch (c) {
      case 'y': out += n >= 3 ? Digits(v.Year, 4) : Digits(v.Year % 100, 2); break;
      case 'm': {
        int value = afterHour ? v.Minute : v.Month;
        out += Digits(value, n >= 2 ? 2 : 1);
        n = n > 2 ? 2 : n;
        afterHour = false;
        break;
      }
      case 'd': out += Digits(v.Day, n >= 2 ? 2 : 1); n = n > 2 ? 2 : n; break;
      case 'h': out += Digits(v.Hour, n >= 2 ? 2 : 1); n = n > 2 ? 2 : n; afterHour = true; break;
      case 'n': out += Digits(v.Minute, n >= 2 ? 2 : 1); n = n > 2 ? 2 : n; afterHour = false; break;
      case 's': out += Digits(v.Second, n >= 2 ? 2 : 1); n = n > 2 ? 2 : n; break;
      case 'z': out += n >= 3 ? Digits(v.Millisecond, 3) : std::to_string(v.Millisecond); n = n >= 3 ? 3 : 1; break;
      case '/': out += DateSeparator(); n = 1; break;
      case ':': out += TimeSeparator(); n = 1; break;
      default: out += pattern[i]; n = 1; break;
    }
    i += n;
  }
  return out;
}

}  // namespace platform
