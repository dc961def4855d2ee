#pragma once
// A query read as it is fetched, as a record source for one export pass in
// memory that does not grow with the table (the command line's export).
#include <memory>
#include <string>

#include "dataexport/RecordSource.h"
#include "platform/QueryStream.h"

namespace dataexport {

class StreamRecordSource : public RecordSource {
 public:
  // `recordCount`: what RecordCount reports (-1: unknown).
  StreamRecordSource(platform::QueryStream& stream, int recordCount) : stream_(stream), count_(recordCount) {}
  bool Active() override { return true; }
  void First() override;  // reads the first record; a stream cannot go back
  bool Eof() override { return eof_; }
  void Next() override { eof_ = !stream_.Next(); }
  int RecordCount() override { return count_; }
  int FieldCount() override { return static_cast<int>(stream_.Fields().size()); }
  FieldInfo Field(int index) override;
  void AppendText(int field, std::string& out) override { stream_.AppendText(field, out); }
  platform::DateTime ValueAsDateTime(int field) override { return stream_.AsDateTime(field); }

 private:
  platform::QueryStream& stream_;
  int count_;
  bool started_ = false;
  bool eof_ = false;
};

}  // namespace dataexport
