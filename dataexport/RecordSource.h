#pragma once
// What the XML export reads: a query's records and typed fields. Exports
// give it the query as it is fetched (StreamRecordSource.h); tests give it
// rows of their own.
#include <functional>
#include <string>

#include "platform/DateTime.h"

namespace dataexport {

struct FieldInfo {
  std::string Name;
  int DataType = 0;  // field type code (platform::FieldType)
  bool Required = false;
  int Size = 0;
  bool IsIndexField = false;
};

class RecordSource {
 public:
  virtual ~RecordSource() = default;
  virtual bool Active() = 0;
  virtual void First() = 0;
  virtual bool Eof() = 0;
  virtual void Next() = 0;
  // How many records there are; -1 when the source cannot tell.
  virtual int RecordCount() = 0;
  virtual int FieldCount() = 0;
  virtual FieldInfo Field(int index) = 0;
  // The field whose name is exactly `name`, else the first of that name in
  // any letter case, as a lookup by name finds it; -1 when there is none.
  int IndexOfName(const std::string& name);
  // Values of the current record, by field position: as text appended to
  // `out`, or as a date-time.
  virtual void AppendText(int field, std::string& out) = 0;
  // As AppendText, for a value that may be larger than memory should hold:
  // `spill` is called whenever `out` has grown past a piece, and empties it.
  virtual void AppendLargeText(int field, std::string& out, const std::function<void()>& spill) {
    (void)spill;
    AppendText(field, out);
  }
  virtual platform::DateTime ValueAsDateTime(int field) = 0;
};

}  // namespace dataexport
