#include "dataexport/RecordSource.h"
#include "platform/Database.h"

namespace dataexport {

bool QueryRecordSource::Active() { return query_.Active(); }
void QueryRecordSource::First() { query_.First(); }
bool QueryRecordSource::Eof() { return query_.Eof(); }
void QueryRecordSource::Next() { query_.Next(); }
int QueryRecordSource::RecordCount() { return query_.RecordCount(); }
int QueryRecordSource::FieldCount() { return query_.FieldCount(); }

FieldInfo QueryRecordSource::Field(int index) {
  const platform::TField& f = query_.Field(index);
  return FieldInfo{f.FieldName, f.DataType, f.Required, f.Size, f.IsIndexField};
}

std::string QueryRecordSource::ValueAsText(const std::string& fieldName) {
  return query_.FieldByName(fieldName).AsString();
}

platform::DateTime QueryRecordSource::ValueAsDateTime(const std::string& fieldName) {
  return query_.FieldByName(fieldName).AsDateTime();
}

}  // namespace dataexport
