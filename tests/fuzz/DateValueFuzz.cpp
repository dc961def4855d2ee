// Stored dates and floats as the export reads and writes them.
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/DateTime.h"
#include "platform/Text.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {
int DaysIn(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[month - 1];
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  platform::DateTime v;
  if (text != "now" && text != "NOW" && platform::ParseDateValue(text, v)) {
    // A date read is a real one, within the years the export writes.
    FUZZ_CHECK(v.Year >= 1 && v.Year <= 9999);
    FUZZ_CHECK(v.Month >= 1 && v.Month <= 12);
    FUZZ_CHECK(v.Day >= 1 && v.Day <= DaysIn(v.Year, v.Month));
    FUZZ_CHECK(v.Hour >= 0 && v.Hour < 24 && v.Minute >= 0 && v.Minute < 60);
    FUZZ_CHECK(v.Second >= 0 && v.Second < 60 && v.Millisecond >= 0 && v.Millisecond < 1000);
    // Written in the layout it was read from, it reads back the same.
    platform::DateTime again;
    const std::string written = platform::FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", v);
    FUZZ_CHECK(platform::ParseDateValue(written, again));
    FUZZ_CHECK(platform::FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", again) == written);
  }
  // A float written has at most 15 significant digits and reads back to
  // within that precision; text that is no number passes unchanged.
  std::string out;
  platform::AppendFloat(out, text);
  const std::string copy(text);
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  if (end == copy.c_str()) {
    FUZZ_CHECK(out == text);
  } else if (out != text && std::isfinite(value)) {
    const std::string mantissa = out.substr(0, out.find('E'));
    const size_t first = mantissa.find_first_of("123456789");
    size_t digits = 0;
    if (first != std::string::npos)
      for (char c : mantissa.substr(first)) digits += c >= '0' && c <= '9';
    FUZZ_CHECK(digits <= 15);
    const double back = std::strtod(out.c_str(), nullptr);
    FUZZ_CHECK(back == value || std::fabs(back - value) <= std::fabs(value) * 1e-14);
  }
  return 0;
}
