#include <gtest/gtest.h>

#include <cctype>
#include <ctime>
#include <random>

#include "platform/DateTime.h"
#include "platform/PathText.h"
#include "platform/CodePage.h"
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
  EXPECT_EQ(platform::FormatDateTime("d/m/yy", t), "5/3/07");
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

namespace {
// A stored date read, written as "yyyy-mm-dd hh:nn:ss.zzz"; "no date" when
// it is not one.
std::string Read(std::string_view text) {
  platform::DateTime v;
  if (!platform::ParseDateValue(text, v)) return "no date";
  return platform::FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", v);
}
}  // namespace

TEST(DateValue, LayoutsSqliteStoresAreRead) {
  EXPECT_EQ(Read("2006-11-30"), "2006-11-30 00:00:00.000");
  EXPECT_EQ(Read(" 2006-11-30T08:05\t"), "2006-11-30 08:05:00.000");
  EXPECT_EQ(Read("2006-11-30 08:05:09.1239"), "2006-11-30 08:05:09.123");
  EXPECT_EQ(Read("08:05:09"), "2000-01-01 08:05:09.000");  // a time alone
  for (const char* bad : {"", "2006-1-30", "2006-11-30X", "2006-13-01", "2006-11-00", "2006-11-32", "0000-01-01",
                          "2006-11-30 24:00", "2006-11-30 08:60", "08:05:", "2006-11-30T08:05:09.", "yesterday"})
    EXPECT_EQ(Read(bad), "no date") << bad;
}

TEST(DateValue, ZonesAreTakenToUtcAcrossDayMonthAndYearEnds) {
  EXPECT_EQ(Read("2006-11-30T08:05:00Z"), "2006-11-30 08:05:00.000");
  EXPECT_EQ(Read("2006-12-31 23:30:00-01:00"), "2007-01-01 00:30:00.000");
  EXPECT_EQ(Read("2007-03-01 00:30:00+02:00"), "2007-02-28 22:30:00.000");
  EXPECT_EQ(Read("2008-03-01 00:30:00+02:00"), "2008-02-29 22:30:00.000");  // a leap year
  EXPECT_EQ(Read("2006-11-30 08:05+0100"), "no date");
}

TEST(DateValue, DaysBeyondTheMonthRollOverAsSqliteDoes) {
  EXPECT_EQ(Read("2007-02-30"), "2007-03-02 00:00:00.000");
  EXPECT_EQ(Read("2008-02-30"), "2008-03-01 00:00:00.000");
  EXPECT_EQ(Read("2006-04-31"), "2006-05-01 00:00:00.000");
  // The last day of February in the years a century makes leap or not.
  EXPECT_EQ(Read("2000-02-29"), "2000-02-29 00:00:00.000");
  EXPECT_EQ(Read("1900-02-29"), "1900-03-01 00:00:00.000");
  EXPECT_EQ(Read("2008-02-29 10:00"), "2008-02-29 10:00:00.000");
  EXPECT_EQ(Read("2007-02-29"), "2007-03-01 00:00:00.000");
  EXPECT_EQ(Read("9999-12-31 23:59:59"), "9999-12-31 23:59:59.000");
  EXPECT_EQ(Read("9999-12-31 23:59:59-01:00"), "no date");  // past the year 9999
}

TEST(DateValue, DatesBefore1970AndJulianDaysKeepTheirDay) {
  EXPECT_EQ(Read("1969-12-31 23:59:59"), "1969-12-31 23:59:59.000");
  EXPECT_EQ(Read("1900-01-01"), "1900-01-01 00:00:00.000");
  EXPECT_EQ(Read("0001-01-01"), "0001-01-01 00:00:00.000");
  EXPECT_EQ(Read("2440587.5"), "1970-01-01 00:00:00.000");
  EXPECT_EQ(Read("2440587.25"), "1969-12-31 18:00:00.000");
  EXPECT_EQ(Read("2440587.499999993"), "1969-12-31 23:59:59.999");  // 0.6 ms before 1970: rounded, not cut
  EXPECT_EQ(Read("2440588.0000000069"), "1970-01-01 12:00:00.001");
  EXPECT_EQ(Read("2454070.5"), "2006-12-01 00:00:00.000");
  EXPECT_EQ(Read("2415018.5"), "1899-12-30 00:00:00.000");
  EXPECT_EQ(Read("1721425.5"), "0001-01-01 00:00:00.000");
  EXPECT_EQ(Read("1721425.4"), "no date");
  EXPECT_EQ(Read("2454070.5x"), "no date");
}

TEST(Text, FloatsAreWrittenAsPrintfWritesThemWith15Digits) {
  auto written = [](std::string_view text) {
    std::string out = "=";
    platform::AppendFloat(out, text);
    return out;
  };
  EXPECT_EQ(written("1.5"), "=1.5");
  EXPECT_EQ(written("2.50"), "=2.5");
  EXPECT_EQ(written("100"), "=100");
  EXPECT_EQ(written("-0.1"), "=-0.1");
  EXPECT_EQ(written("0.30000000000000004"), "=0.3");
  EXPECT_EQ(written("123456789012345678"), "=1.23456789012346E+17");
  EXPECT_EQ(written("0.00001"), "=1E-05");
  EXPECT_EQ(written("0.0001"), "=0.0001");
  EXPECT_EQ(written("+7"), "=7");
  EXPECT_EQ(written(" 7"), "=7");
  EXPECT_EQ(written("abc"), "=abc");
  EXPECT_EQ(written("1.5 kg"), "=1.5 kg");
  EXPECT_EQ(written("0X1"), "=0X1");  // found by fuzzing: it was written as 0
  EXPECT_EQ(written(""), "=");
}

TEST(PathText, FolderNameAndExtensionSplitAtTheLastBackslashOrDriveColon) {
  EXPECT_EQ(platform::ExtractFilePath("C:\\My.Projects\\App.dpr"), "C:\\My.Projects\\");
  EXPECT_EQ(platform::ExtractFileName("C:\\My.Projects\\App.dpr"), "App.dpr");
  EXPECT_EQ(platform::ExtractFileExt("C:\\My.Projects\\App"), "");  // the dot is the folder's
  EXPECT_EQ(platform::ExtractFileExt("C:\\My.Projects\\App.Unit.pas"), ".pas");
  EXPECT_EQ(platform::ChangeFileExt("C:\\My.Projects\\App", ".dcpil"), "C:\\My.Projects\\App.dcpil");
  EXPECT_EQ(platform::ExtractFileName("C:App.dpr"), "App.dpr");  // relative to drive C:'s folder
  EXPECT_EQ(platform::ExtractFilePath("C:App.dpr"), "C:");
  EXPECT_EQ(platform::ExcludeTrailingBackslash("C:\\P\\"), "C:\\P");
  EXPECT_EQ(platform::ExcludeTrailingBackslash("\\"), "");
  EXPECT_EQ(platform::ExcludeTrailingBackslash("C:\\P"), "C:\\P");
}

TEST(Text, ComparisonTrimAndIntegersAtTheirEdges) {
  EXPECT_LT(platform::CompareText("System", "System.Data"), 0);  // a prefix sorts first
  EXPECT_GT(platform::CompareText("system.data", "SYSTEM"), 0);
  EXPECT_EQ(platform::CompareText("abc", "ABC"), 0);
  EXPECT_EQ(platform::Trim("\t C:\\P \r\n"), "C:\\P");  // blanks and control characters
  EXPECT_EQ(platform::ParseInt("2147483647"), 2147483647);
  EXPECT_EQ(platform::ParseInt("-2147483648"), -2147483647 - 1);
  EXPECT_FALSE(platform::ParseInt("2147483648"));
}

TEST(CodePage, TheSystemsTextGoesToUtf8AndComesBackByteForByte) {
  const std::string text = "Caf\xE9 na\xEFve \x80 \x81\x8D\x8F\x90\x9D \x9F";  // CP1252, with its five holes
  const std::string utf8 = platform::CodePageToUtf8(text);
  EXPECT_EQ(utf8.substr(0, 16), "Caf\xC3\xA9 na\xC3\xAFve \xE2\x82\xAC");
  EXPECT_EQ(platform::Utf8ToCodePage(utf8), text);
  std::string every;
  for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
  EXPECT_EQ(platform::Utf8ToCodePage(platform::CodePageToUtf8(every)), every);
  EXPECT_EQ(platform::Utf8ToCodePage("\xCE\xA9 \xF0\x9F\x98\x80"), "? ?");  // no place in CP1252
  EXPECT_EQ(platform::Utf8ToCodePage("\xE9t\xE9"), "\xE9t\xE9");            // no UTF-8: the code page's own
}

// The case-blind search finds exactly what a plain scan finds, at every
// offset, next to the text's ends, and among bytes that fold onto letters.
TEST(Text, ACaseBlindSearchFindsWhatAPlainScanFinds) {
  std::mt19937 random(7);
  const std::string alphabet = "iInNtTeErRfFaAcC@`(\x80\xC9 \r\n";
  for (const std::string pattern : {"INTERFACE", "I", "(SYSTEM.COMPONENTMODEL.ISUPPORTINITIALIZE(", "@IE"}) {
    const platform::CaseBlindFinder finder(pattern);
    for (int round = 0; round < 300; ++round) {
      std::string text(random() % 90, ' ');
      for (char& c : text) c = alphabet[random() % alphabet.size()];
      // Now and then the pattern itself, in mixed case, somewhere.
      if (round % 3 == 0 && text.size() >= pattern.size()) {
        const size_t at = random() % (text.size() - pattern.size() + 1);
        for (size_t k = 0; k < pattern.size(); ++k)
          text[at + k] = random() % 2 ? pattern[k] : static_cast<char>(std::tolower(pattern[k]));
      }
      const size_t from = text.empty() ? 0 : random() % text.size();
      size_t expected = std::string::npos;
      for (size_t i = from; expected == std::string::npos && i + pattern.size() <= text.size(); ++i)
        if (platform::SameText(std::string_view(text).substr(i, pattern.size()), pattern)) expected = i;
      ASSERT_EQ(finder.Find(text, from), expected) << pattern << " in '" << text << "' from " << from;
    }
  }
}
