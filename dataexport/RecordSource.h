#pragma once
// What the XML export reads: an open query's records and typed fields. The
// dialog and the command line give it the ODBC query; tests give it rows of
// their own.
#include <functional>
#include <string>

#include "platform/DateTime.h"

namespace platform {
class TQuery;
}

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
  // How many bytes the values of all records take as stored, when the
  // source knows (0 otherwise): lets the pass size its document at once.
  virtual size_t ValueBytes() { return 0; }
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

// The ODBC query as a record source: records kept in memory, for the dialog.
class QueryRecordSource : public RecordSource {
 public:
  explicit QueryRecordSource(platform::TQuery& query) : query_(query) {}
  bool Active() override;
  void First() override;
  bool Eof() override;
  void Next() override;
  int RecordCount() override;
  size_t ValueBytes() override;
  int FieldCount() override;
  FieldInfo Field(int index) override;
  void AppendText(int field, std::string& out) override;
  platform::DateTime ValueAsDateTime(int field) override;

 private:
  platform::TQuery& query_;
};

}  // namespace dataexport
