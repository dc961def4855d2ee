#pragma once
// A query read as it is fetched, as a record source for one export pass in
// memory that does not grow with the table (the command line's export).
#include <memory>
#include <string>

#include "dataexport/FieldValues.h"
#include "dataexport/RecordSource.h"
#include "platform/QueryStream.h"

namespace dataexport {

class StreamRecordSource : public RecordSource {
 public:
  // `recordCount`: what RecordCount reports (-1: unknown); `warnings` hears
  // of values written other than as stored (nobody when empty).
  StreamRecordSource(platform::QueryStream& stream, int recordCount, WarningSink warnings = {})
      : stream_(stream), count_(recordCount), warnings_(std::move(warnings)) {}
  bool Active() override { return true; }
  void First() override;  // reads the first record; a stream cannot go back
  bool Eof() override { return eof_; }
  void Next() override { eof_ = !stream_.Next(); }
  int RecordCount() override { return count_; }
  int FieldCount() override { return static_cast<int>(stream_.Fields().size()); }
  FieldInfo Field(int index) override;
  void AppendText(int field, std::string& out) override;
  // Text and bytes are written as they are read, a few megabytes at a time.
  void AppendLargeText(int field, std::string& out, const std::function<void()>& spill) override;
  platform::DateTime ValueAsDateTime(int field) override;

 private:
  platform::QueryStream& stream_;
  int count_;
  WarningSink warnings_;
  bool started_ = false;
  bool eof_ = false;
};

}  // namespace dataexport
