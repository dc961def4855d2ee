#include <gtest/gtest.h>

#include <ctime>

#include "platform/DateTime.h"
#include "platform/Text.h"

TEST(Text, IntegersReadWholeWithLeadingBlanksAndASign) {
  EXPECT_EQ(platform::ParseInt("  42"), 42);
  EXPECT_EQ(platform::ParseInt("-7"), -7);
  EXPECT_EQ(platform::ParseInt("+3"), 3);
  EXPECT_FALSE(platform::ParseInt("3 "));
  EXPECT_FALSE(platform::ParseInt("x"));
  EXPECT_FALSE(platform::ParseInt(""));
  EXPECT_FALSE(platform::ParseInt("-"));
  EXPECT_FALSE(platform::ParseInt("99999999999"));
}

TEST(DateTime, PatternsOfTheSystem) {
  platform::DateTime t{2007, 3, 5, 9, 4, 7, 12};
  EXPECT_EQ(platform::FormatDateTime("yyyy/mm/dd", t), "2007/03/05");
  EXPECT_EQ(platform::FormatDateTime("yyyy/mm/dd hh:nn:ss", t), "2007/03/05 09:04:07");
  EXPECT_EQ(platform::FormatDateTime("hh:mm", t), "09:04");
  EXPECT_EQ(platform::FormatDateTime("yyyy-mm-dd\"T\"hh:nn:ss.zzz", t), "2007-03-05T09:04:07.012");
  EXPECT_EQ(platform::FormatDateTime("yyyy/mm/dd hh:nn:ss", platform::ZeroDateTime), "1899/12/30 00:00:00");
}

// The machine's local time, as the C library reports it for the same moment.
TEST(DateTime, NowIsTheLocalTime) {
#ifdef _WIN32
  // The C library reads a TZ variable in its own format (Wine passes the
  // host's on); without one it takes the system's zone, as Windows does.
  _putenv("TZ=");
  _tzset();
#endif
  std::time_t before = std::time(nullptr);
  platform::DateTime now = platform::Now();
  std::time_t after = std::time(nullptr);
  std::tm local{};
  local.tm_year = now.Year - 1900;
  local.tm_mon = now.Month - 1;
  local.tm_mday = now.Day;
  local.tm_hour = now.Hour;
  local.tm_min = now.Minute;
  local.tm_sec = now.Second;
  local.tm_isdst = -1;
  std::time_t read = std::mktime(&local);  // takes the fields as local time
  EXPECT_GE(read, before - 1);
  EXPECT_LE(read, after + 1);
  EXPECT_GE(now.Millisecond, 0);
  EXPECT_LT(now.Millisecond, 1000);
}
