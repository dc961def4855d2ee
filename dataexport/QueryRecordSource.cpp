#include "dataexport/RecordSource.h"
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

void QueryRecordSource::AppendText(int field, std::string& out) { query_.Field(field).AppendString(out); }

platform::DateTime QueryRecordSource::ValueAsDateTime(int field) { return query_.Field(field).AsDateTime(); }

}  // namespace dataexport
