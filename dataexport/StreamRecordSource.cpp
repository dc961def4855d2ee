#include "dataexport/StreamRecordSource.h"

namespace dataexport {

void StreamRecordSource::First() {
  if (started_) return;
  started_ = true;
  eof_ = !stream_.Next();
}

FieldInfo StreamRecordSource::Field(int index) {
  const platform::TField& f = stream_.Fields().at(static_cast<size_t>(index));
  return FieldInfo{f.FieldName, f.DataType, f.Required, f.Size, f.IsIndexField};
}

}  // namespace dataexport
