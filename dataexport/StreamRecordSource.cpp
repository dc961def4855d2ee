#include "dataexport/StreamRecordSource.h"

namespace dataexport {

void StreamRecordSource::First() {
  if (started_) return;
  started_ = true;
  eof_ = !stream_.Next();
}

namespace {
ValuePlace PlaceOf(const platform::QueryStream& stream, int field, const WarningSink& warnings) {
  return ValuePlace{stream.TableName(), stream.Fields().at(static_cast<size_t>(field)).FieldName, stream.RecordNumber(),
                    &warnings};
}
}  // namespace

void StreamRecordSource::AppendText(int field, std::string& out) {
  if (stream_.IsNull(field)) return;
  AppendFieldText(out, stream_.Fields()[static_cast<size_t>(field)], stream_.Stored(field),
                  PlaceOf(stream_, field, warnings_));
}

void StreamRecordSource::AppendLargeText(int field, std::string& out, const std::function<void()>& spill) {
  constexpr size_t SpillAt = size_t{1} << 20;
  const platform::TField& info = stream_.Fields()[static_cast<size_t>(field)];
  if (stream_.CanReadInPieces(field) && WrittenInPieces(info)) {
    const ValuePlace place = PlaceOf(stream_, field, warnings_);
    bool null = false;
    const bool read = stream_.ReadInPieces(
        field,
        [&](std::string_view piece) {
          AppendFieldText(out, info, piece, place);
          if (out.size() >= SpillAt) spill();
        },
        null);
    if (read) return;
  }
  AppendText(field, out);
}

platform::DateTime StreamRecordSource::ValueAsDateTime(int field) {
  if (stream_.IsNull(field)) return platform::ZeroDateTime;
  return ReadDateValue(stream_.Stored(field), PlaceOf(stream_, field, warnings_));
}

FieldInfo StreamRecordSource::Field(int index) {
  const platform::TField& f = stream_.Fields().at(static_cast<size_t>(index));
  return FieldInfo{f.FieldName, f.DataType, f.Required, f.Size, f.IsIndexField};
}

}  // namespace dataexport
