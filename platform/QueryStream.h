#pragma once
// A query read as it is fetched, for one pass over its records in memory
// that does not grow with them: values are fetched a row set at a time into
// buffers bound to the columns, and the next row set is fetched on a second
// thread while the current one is used. The one fetch engine: the export
// reads it record by record, and TQuery keeps what it reads for a view that
// goes back and forth over the records.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Database.h"

namespace platform {

class QueryStream {
 public:
  // Runs `statement` on `alias` and describes its fields (with the
  // catalogue's required flags and keys). With `bound` false every value is
  // read on its own, whatever its width, on this thread. Throws DatabaseError.
  QueryStream(const std::string& alias, const std::string& statement, bool bound = true);
  ~QueryStream();
  QueryStream(const QueryStream&) = delete;
  QueryStream& operator=(const QueryStream&) = delete;

  // The fields; their values are read through the stream.
  const std::vector<TField>& Fields() const;
  // Moves to the next record (the first, on the first call); false after
  // the last. Throws DatabaseError; a value wider than its column's buffer
  // throws WiderThanBound (read the query again unbound).
  bool Next();
  bool IsNull(int field) const;
  // The value in the current record as the database stores it (empty for
  // NULL); valid until the next call of Next.
  std::string_view Stored(int field) const;
  // The value handed to `take` in pieces as it is read, for a value of any
  // size in little memory: possible once for a field of a query read
  // unbound whose earlier fields are read and which is not (fields are read
  // in order). False, with nothing handed, when not possible; `null` tells
  // a NULL otherwise (nothing handed either). Throws DatabaseError.
  bool ReadInPieces(int field, const std::function<void(std::string_view)>& take, bool& null);
  // Whether ReadInPieces would read this field now (a cheap look first).
  bool CanReadInPieces(int field) const;
  // The records read so far (the current one's number, from 1).
  size_t RecordNumber() const;
  // The table the records come from, for messages.
  const std::string& TableName() const;
  // How the records are read, in a few words for a user: in row sets or
  // value by value, in pages by a key, what is fetched other than as text.
  std::string HowRead() const;

  class WiderThanBound : public DatabaseError {
   public:
    using DatabaseError::DatabaseError;
  };

  struct State;  // the connection, the buffers and the fetching thread

 private:
  std::unique_ptr<State> state_;
};

}  // namespace platform
