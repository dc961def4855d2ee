#include "dataexport/RecordSource.h"
#include "dataexport/FieldValues.h"
#include "platform/Database.h"

#include "platform/Text.h"

namespace dataexport {

int RecordSource::IndexOfName(const std::string& name) {
  for (int i = 0; i < FieldCount(); ++i)  // "name" and "Name" are two fields
    if (Field(i).Name == name) return i;
  for (int i = 0; i < FieldCount(); ++i)
    if (platform::SameText(Field(i).Name, name)) return i;
  return -1;
}

bool QueryRecordSource::Active() { return query_.Active(); }
void QueryRecordSource::First() { query_.First(); }
bool QueryRecordSource::Eof() { return query_.Eof(); }
void QueryRecordSource::Next() { query_.Next(); }
int QueryRecordSource::RecordCount() { return query_.RecordCount(); }
size_t QueryRecordSource::ValueBytes() { return query_.ValueBytes(); }
int QueryRecordSource::FieldCount() { return query_.FieldCount(); }

FieldInfo QueryRecordSource::Field(int index) {
  const platform::TField& f = query_.Field(index);
  return FieldInfo{f.FieldName, f.DataType, f.Required, f.Size, f.IsIndexField};
}

namespace {
ValuePlace PlaceOf(platform::TQuery& query, int field) {
  return ValuePlace{query.TableName(), query.Field(field).FieldName, static_cast<size_t>(query.RecNo()) + 1, nullptr};
}
}  // namespace

void QueryRecordSource::AppendText(int field, std::string& out) {
  const platform::TField& f = query_.Field(field);
  if (!f.IsNull()) AppendFieldText(out, f, f.Stored(), PlaceOf(query_, field));
}

platform::DateTime QueryRecordSource::ValueAsDateTime(int field) {
  const platform::TField& f = query_.Field(field);
  return f.IsNull() ? platform::ZeroDateTime : ReadDateValue(f.Stored(), PlaceOf(query_, field));
}

}  // namespace dataexport
