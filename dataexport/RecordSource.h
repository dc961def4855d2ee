#pragma once
// What the XML export reads: an open query's records and typed fields. The
// dialog and the command line give it the ODBC query; tests give it rows of
// their own.
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
  virtual int RecordCount() = 0;
  virtual int FieldCount() = 0;
  virtual FieldInfo Field(int index) = 0;
  // Values of the current record, looked up by field name.
  virtual std::string ValueAsText(const std::string& fieldName) = 0;
  virtual platform::DateTime ValueAsDateTime(const std::string& fieldName) = 0;
};

// The ODBC query as a record source.
class QueryRecordSource : public RecordSource {
 public:
  explicit QueryRecordSource(platform::TQuery& query) : query_(query) {}
  bool Active() override;
  void First() override;
  bool Eof() override;
  void Next() override;
  int RecordCount() override;
  int FieldCount() override;
  FieldInfo Field(int index) override;
  std::string ValueAsText(const std::string& fieldName) override;
  platform::DateTime ValueAsDateTime(const std::string& fieldName) override;

 private:
  platform::TQuery& query_;
};

}  // namespace dataexport
