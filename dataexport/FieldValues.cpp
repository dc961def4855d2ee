#include "dataexport/FieldValues.h"

#include <cctype>

#include "platform/Text.h"

namespace dataexport {

namespace {

// The value of a cell as text, appended. `date` reads a date cell and
// throws for one that is no date.
template <class ReadDate>
void AppendValue(std::string& out, const platform::TField& field, std::string_view text, ReadDate date) {
  if (field.Binary) {
    static const char digits[] = "0123456789ABCDEF";
    for (unsigned char c : text) {
      out += digits[c >> 4];
      out += digits[c & 15];
    }
    return;
  }
  std::string plain;
  if (field.Money) {
    plain = PlainMoney(text);
    text = plain;
  }
  switch (field.DataType) {
    case platform::ftBoolean: out += BooleanText(text); break;
    case platform::ftFloat: platform::AppendFloat(out, text); break;
    case platform::ftDate: platform::AppendDate(out, date()); break;
    case platform::ftDateTime: platform::AppendDateTime(out, date()); break;
    default: out += text; break;  // times too: "24:00:00" and "-838:59:59" are times no clock shows
  }
}

// A value in a date layout that names no day of the calendar: a zero year,
// month or day (MariaDB's zero dates), or infinity (PostgreSQL).
bool NamesNoCalendarDay(std::string_view text) {
  const std::string value = platform::LowerCase(platform::Trim(std::string(text)));
  if (value == "infinity" || value == "-infinity") return true;
  if (value.size() < 10 || value[4] != '-' || value[7] != '-') return false;
  return value.compare(0, 4, "0000") == 0 || value.compare(5, 2, "00") == 0 || value.compare(8, 2, "00") == 0;
}

}  // namespace

void AppendFieldText(std::string& out, const platform::TField& field, std::string_view stored,
                     const ValuePlace& place) {
  AppendValue(out, field, stored, [&] { return ReadDateValue(stored, place); });
}

bool WrittenInPieces(const platform::TField& field) {
  if (field.Binary) return true;
  if (field.Money) return false;
  switch (field.DataType) {
    case platform::ftString:
    case platform::ftWideString:
    case platform::ftMemo: return true;
    default: return false;
  }
}

platform::DateTime ReadDateValue(std::string_view stored, const ValuePlace& place) {
  platform::DateTime value;
  if (platform::ParseDateValue(stored, value)) return value;
  const std::string where = "Field '" + std::string(place.Field) + "' of table '" + std::string(place.Table) +
                            "', record " + std::to_string(place.Record) + ": '" + std::string(stored) + "'";
  if (NamesNoCalendarDay(stored)) {
    if (place.Warnings && *place.Warnings)
      (*place.Warnings)(where + " names no day of the calendar; written as the null date");
    return platform::ZeroDateTime;
  }
  throw platform::DatabaseError(where + " is not a date");
}

std::string DisplayText(const platform::TQuery& query, int record, int field) {
  bool null = true;
  const std::string_view text = query.StoredAt(record, field, null);
  if (null) return {};
  std::string shown;
  bool readable = true;
  AppendValue(shown, query.Fields()[static_cast<size_t>(field)], text, [&] {
    platform::DateTime value;
    readable = readable && (platform::ParseDateValue(text, value) || NamesNoCalendarDay(text));
    return value;
  });
  return readable ? shown : std::string(text);  // a value that is no date is shown as stored
}

std::string PlainMoney(std::string_view money) {
  std::string kept;  // the digits, the sign and the separators after the first digit
  for (char c : money)
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '-') kept += c;
    else if ((c == '.' || c == ',') && !kept.empty()) kept += c;
  const size_t last = kept.find_last_of(".,");
  std::string number;
  for (size_t i = 0; i < kept.size(); ++i)
    if (std::isdigit(static_cast<unsigned char>(kept[i])) || kept[i] == '-') number += kept[i];
    else if (i == last && kept.size() - i - 1 <= 2) number += '.';  // cents, not thousands
  return number;
}

const char* BooleanText(std::string_view stored) {
  // Zero as a digit, as bits ("00" in hexadecimal, the byte 0 as MariaDB
  // hands on a BIT(1)), or a word.
  const bool zero = !stored.empty() && stored.find_first_not_of(std::string_view("0\0", 2)) == std::string_view::npos;
  return zero || platform::SameText(stored, "f") || platform::SameText(stored, "false") ? "False" : "True";
}

}  // namespace dataexport
