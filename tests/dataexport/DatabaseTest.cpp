#include "dataexport/FieldValues.h"
#include "dataexport/StreamRecordSource.h"
#include "platform/Database.h"
#include "platform/QueryStream.h"
#include "tests/dataexport/DatabaseFixture.h"

namespace {
// A field of the query's current record as the export reads it: as text,
// or as a date-time (the statement run again, read value by value).
template <class Read>
auto AsExported(platform::TQuery& q, const std::string& name, Read read) {
  platform::QueryStream stream(q.DatabaseName, q.StatementText(), false);
  dataexport::StreamRecordSource source(stream, -1);
  source.First();
  for (int i = 0; i < q.RecNo(); ++i) source.Next();
  return read(source, source.IndexOfName(name));
}
std::string AsText(platform::TQuery& q, const std::string& name) {
  return AsExported(q, name, [](dataexport::RecordSource& source, int field) {
    std::string text;
    source.AppendText(field, text);
    return text;
  });
}
platform::DateTime AsDate(platform::TQuery& q, const std::string& name) {
  return AsExported(q, name, [](dataexport::RecordSource& source, int field) { return source.ValueAsDateTime(field); });
}
}  // namespace

TEST_F(DatabaseTest, AliasesAndTablesAreListedFromTheIniFile) {
  auto aliases = platform::Session.GetAliasNames();
  EXPECT_NE(std::find(aliases.begin(), aliases.end(), "DEMO"), aliases.end());
  EXPECT_EQ(platform::Session.GetTableNames("DEMO"), (std::vector<std::string>{"customer", "orders", "parts"}));
  EXPECT_THROW(platform::Session.GetTableNames("NOPE"), platform::DatabaseError);
}

TEST_F(DatabaseTest, AQueryGivesTypedFieldsWithRequiredAndKeyFlags) {
  platform::TQuery q;
  q.DatabaseName = "DEMO";
  q.SQL = {"select * from parts"};
  q.Open();
  ASSERT_EQ(q.FieldCount(), 7);
  EXPECT_EQ(q.RecordCount(), 3);
  const int types[] = {platform::ftInteger, platform::ftString, platform::ftDate,  platform::ftDateTime,
                       platform::ftBoolean, platform::ftFloat,  platform::ftString};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(q.Field(i).DataType, types[i]) << q.Field(i).FieldName;
  EXPECT_TRUE(q.Field(0).Required);
  EXPECT_TRUE(q.Field(0).IsIndexField);
  EXPECT_TRUE(q.Field(1).Required);
  EXPECT_FALSE(q.Field(1).IsIndexField);
  EXPECT_FALSE(q.Field(2).Required);
  EXPECT_EQ(q.Field(1).Size, 30);
  EXPECT_EQ(AsText(q, "name"), "Bolt");
  EXPECT_EQ(AsText(q, "InStock"), "True");
  EXPECT_EQ(AsText(q, "Price"), "0.25");
  EXPECT_EQ(platform::FormatDateTime("yyyy/mm/dd hh:nn:ss", AsDate(q, "Checked")), "2006/11/30 14:05:09");
  q.Next();
  q.Next();
  EXPECT_TRUE(q.FieldByName("Added").IsNull());
  EXPECT_EQ(platform::FormatDateTime("yyyy/mm/dd", AsDate(q, "Added")), "1899/12/30");
  q.Next();
  EXPECT_TRUE(q.Eof());
  q.First();
  EXPECT_EQ(AsText(q, "PartNo"), "1001");
  EXPECT_THROW(q.FieldByName("Nope"), platform::DatabaseError);
  q.Close();
  q.Close();
  EXPECT_FALSE(q.Active());
}

TEST_F(DatabaseTest, BadStatementsAndAliasesLeaveTheQueryClosed) {
  platform::TQuery q;
  EXPECT_THROW(q.Open(), platform::DatabaseError);  // no statement yet
  q.DatabaseName = "DEMO";
  q.SQL = {"select * from nowhere"};
  EXPECT_THROW(q.Open(), platform::DatabaseError);
  EXPECT_FALSE(q.Active());
  q.DatabaseName = "NOPE";
  q.SQL = {"select * from parts"};
  EXPECT_THROW(q.Open(), platform::DatabaseError);
}

TEST_F(DatabaseTest, RequiredFlagsComeFromTheTableItselfNotFromLookAlikes) {
  // "_" in a catalogue search pattern matches any character: a_b must not
  // take its flags from aXb.
  Sql("create table a_b(id integer, note varchar(10)); create table aXb(id integer not null, note varchar(10) not "
      "null);"
      " insert into a_b values (1, 'x');");
  platform::TQuery q;
  q.DatabaseName = "DEMO";
  q.SQL = {"select * from a_b"};
  q.Open();
  EXPECT_FALSE(q.FieldByName("id").Required);
  EXPECT_FALSE(q.FieldByName("note").Required);
}

TEST_F(DatabaseTest, DatesAreReadInEveryLayoutTheDatabaseUnderstandsAndNeverBecomeTheZeroDate) {
  Sql("create table moments(n integer, d date, t datetime);"
      " insert into moments values (1, '2006-11-30T14:05:09', '2006-11-30T14:05:09.250'),"
      " (2, 2454069.5, 2454069.25), (3, '2006-11-30', '2006-11-30 16:05:09+02:00'),"
      " (4, 1164895509, 'next tuesday');");
  platform::TQuery q;
  q.DatabaseName = "DEMO";
  q.SQL = {"select * from moments"};
  q.Open();
  auto shown = [&](const char* field) { return platform::FormatDateTime("yyyy/mm/dd hh:nn:ss", AsDate(q, field)); };
  EXPECT_EQ(shown("d"), "2006/11/30 14:05:09");  // the time of the ISO "T" form is kept
  EXPECT_EQ(shown("t"), "2006/11/30 14:05:09");
  EXPECT_EQ(AsText(q, "t"), "2006/11/30 14:05:09");
  q.Next();
  EXPECT_EQ(shown("d"), "2006/11/30 00:00:00");  // Julian day numbers, as SQLite reads them
  EXPECT_EQ(shown("t"), "2006/11/29 18:00:00");
  q.Next();
  EXPECT_EQ(shown("t"), "2006/11/30 14:05:09");  // a time zone is taken back to UTC
  q.Next();
  for (const char* field : {"d", "t"}) {
    try {
      AsDate(q, field);
      FAIL() << field << " read as a date";
    } catch (const platform::DatabaseError& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find("Field '" + std::string(field) + "' of table 'moments', record 4"), std::string::npos)
          << what;
      EXPECT_EQ(what.find('\n'), std::string::npos);
    }
  }
  EXPECT_THROW(AsText(q, "d"), platform::DatabaseError);
  EXPECT_EQ(dataexport::DisplayText(q, 3, 1), "1164895509");  // a view shows it as stored
}

TEST_F(DatabaseTest, AFailingStatementIsOneLineAndAValueWiderThanItsColumnIsReadWhole) {
  platform::TQuery q;
  q.DatabaseName = "DEMO";
  q.SQL = {"select * from", "nowhere"};
  try {
    q.Open();
    FAIL();
  } catch (const platform::DatabaseError& e) {
    EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos) << e.what();
  }
  const std::string wide(10000, 'w');
  Sql("create table notes(short varchar(4)); insert into notes values ('" + wide + "'), (NULL);");
  q.SQL = {"select * from notes"};
  q.Open();
  EXPECT_EQ(q.FieldByName("short").Stored(), wide);
  EXPECT_EQ(AsText(q, "short"), wide);
  q.Next();
  EXPECT_TRUE(q.FieldByName("short").IsNull());

  // Met past the records read at first: the statement runs again, and the
  // records read before are kept as they were.
  Sql("create table later(n integer, short varchar(4));"
      " with recursive k(i) as (select 1 union all select i + 1 from k where i < 400)"
      " insert into later select i, case when i = 300 then '" +
      wide + "' else 'ab' end from k;");
  q.Close();
  q.SQL = {"select * from later"};
  q.Open();
  EXPECT_EQ(q.RecordCount(), platform::TQuery::RecordsPerFetch);
  int records = 0;
  for (; !q.Eof(); q.Next(), ++records) {
    EXPECT_EQ(q.FieldByName("n").Stored(), std::to_string(records + 1));
    EXPECT_EQ(q.FieldByName("short").Stored(), records == 299 ? wide : "ab") << records;
  }
  EXPECT_EQ(records, 400);
  EXPECT_FALSE(q.CanFetchMore());
}

TEST(DatabaseValues, BooleansByTheirStoredValueAndDriverMessagesOnOneLine) {
  for (std::string_view no : {std::string_view("0"), std::string_view("\0", 1), std::string_view("00"),
                              std::string_view("f"), std::string_view("FALSE")})
    EXPECT_STREQ(dataexport::BooleanText(no), "False") << no;
  for (std::string_view yes : {std::string_view("1"), std::string_view("\x01", 1), std::string_view("t"),
                               std::string_view("True"), std::string_view("-1"), std::string_view("")})
    EXPECT_STREQ(dataexport::BooleanText(yes), "True") << yes;
  // Money as a plain number, whatever the currency's way of writing it.
  EXPECT_EQ(dataexport::PlainMoney("$1,234.50"), "1234.50");
  EXPECT_EQ(dataexport::PlainMoney("-1.234,5 EUR"), "-1234.5");
  EXPECT_EQ(dataexport::PlainMoney("\xEF\xBF\xA5"
                                   "1,234"),
            "1234");  // thousands, no cents
  EXPECT_EQ(dataexport::PlainMoney("12"), "12");
  EXPECT_EQ(platform::OneLine("ERROR:\trelation \"x\" does not exist;\r\n\tError while executing the query\n"),
            "ERROR: relation \"x\" does not exist; Error while executing the query");
}

TEST(DatabaseValues, DatesThatNameNoCalendarDayAreTheNullDateWithAWarning) {
  std::vector<std::string> warnings;
  const dataexport::WarningSink sink = [&](const std::string& w) { warnings.push_back(w); };
  for (const char* none : {"infinity", "-infinity", "0000-00-00", "2006-00-10", "2006-11-00 08:00:00"}) {
    const platform::DateTime value = dataexport::ReadDateValue(none, {"t", "Day", 7, &sink});
    EXPECT_EQ(platform::FormatDateTime("yyyy-mm-dd", value), "1899-12-30") << none;
  }
  ASSERT_EQ(warnings.size(), 5u);
  EXPECT_EQ(warnings[1],
            "Field 'Day' of table 't', record 7: '-infinity' names no day of the calendar; written as the null date");
  EXPECT_THROW(dataexport::ReadDateValue("2006-13-01x", {"t", "Day", 7, &sink}), platform::DatabaseError);
}
