// The records of an open query, read through the one fetch engine as a view
// asks for them and kept compactly, so that it can go back and forth over
// those it has shown.
#include "platform/Database.h"

#include <malloc.h>

#include <algorithm>
#include <cstdint>

#include "platform/QueryStream.h"
#include "platform/Text.h"

namespace platform {

namespace {

// A driver may hold a whole result set until its statement is freed; what
// it freed goes back to the system at once, so that it does not stay in
// this process's memory beside the records.
void ReturnFreedMemory() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

}  // namespace

// The records of an open query, kept compactly. The texts of a record lie
// back to back in one block of a few large blocks (no block is ever moved,
// so growing costs no copy and leaves no slack); each cell is known by where
// it ends within its record (a NULL cell is empty and marked in the top
// bit), each record by where it starts.
struct TQuery::Rows {
  static constexpr uint32_t NullMark = uint32_t{1} << 31;
  static constexpr size_t BlockSize = size_t{8} << 20;
  std::vector<std::unique_ptr<char[]>> Blocks;
  size_t BlockUsed = 0, BlockCapacity = 0;
  std::vector<const char*> Starts;  // per record
  std::vector<uint32_t> Ends;       // record-major: record * Columns + column
  size_t Columns = 0;
  size_t Count = 0;
  std::string Table;
  std::string Pending;  // the record being read
  std::string Alias, Statement;
  // Reads the records not yet kept; none once the last is kept, or after a
  // failure.
  std::unique_ptr<QueryStream> Stream;
  bool Bound = true;
  std::vector<TField> Fields;

  void StartStream(bool bound) {
    Stream.reset();
    Stream = std::make_unique<QueryStream>(Alias, Statement, bound);
    Bound = bound;
  }
  // Keeps up to `more` further records. A value wider than its column's
  // buffer makes the statement run again read value by value, past the
  // records already kept. A failure ends the reading and is passed on.
  void Keep(size_t more) {
    const size_t wanted = Count + more;
    try {
      while (Stream && Count < wanted) {
        try {
          if (!Stream->Next()) {
            Stream.reset();
            ReturnFreedMemory();
            break;
          }
          for (size_t c = 0; c < Columns; ++c) {
            const bool null = Stream->IsNull(static_cast<int>(c));
            const std::string_view text = null ? std::string_view() : Stream->Stored(static_cast<int>(c));
            Add(text.data(), text.size(), null);
          }
          EndRecord();
        } catch (const QueryStream::WiderThanBound&) {
          if (!Bound) throw;
          Pending.clear();
          Ends.resize(Count * Columns);
          StartStream(false);
          for (size_t skipped = 0; skipped < Count && Stream; ++skipped)
            if (!Stream->Next()) Stream.reset();
        }
      }
    } catch (...) {
      Stream.reset();
      Pending.clear();
      Ends.resize(Count * Columns);
      throw;
    }
  }

  void Add(const char* text, size_t size, bool null) {
    Pending.append(text, size);
    if (Pending.size() >= NullMark) throw DatabaseError("A record of table '" + Table + "' is too long");
    Ends.push_back(static_cast<uint32_t>(Pending.size()) | (null ? NullMark : 0));
  }
  void EndRecord() {
    if (BlockUsed + Pending.size() > BlockCapacity) {
      BlockCapacity = std::max(BlockSize, Pending.size());
      Blocks.emplace_back(new char[BlockCapacity]);  // not cleared: only what is written is touched
      BlockUsed = 0;
    }
    char* start = Blocks.back().get() + BlockUsed;
    std::copy(Pending.begin(), Pending.end(), start);
    BlockUsed += Pending.size();
    Starts.push_back(start);
    Pending.clear();
    ++Count;
  }
  bool Null(size_t record, size_t column) const { return Ends[record * Columns + column] & NullMark; }
  std::string_view Cell(size_t record, size_t column) const {
    const size_t i = record * Columns + column;
    const size_t end = Ends[i] & ~NullMark, start = column == 0 ? 0 : Ends[i - 1] & ~NullMark;
    return std::string_view(Starts[record] + start, end - start);
  }
};

// --- TField ---

bool TField::IsNull() const { return query_->rows_->Null(query_->current_, static_cast<size_t>(index_)); }

std::string_view TField::Stored() const {
  if (IsNull()) return {};
  return query_->rows_->Cell(query_->current_, static_cast<size_t>(index_));
}

// --- TQuery ---

TQuery::TQuery() = default;
TQuery::~TQuery() = default;

bool TQuery::Active() const { return rows_ != nullptr; }

void TQuery::Close() {
  rows_.reset();
  fields_.clear();
  current_ = 0;
}

void TQuery::Open() {
  if (Active()) return;
  const std::string statement = StatementText();
  if (statement.empty()) throw DatabaseError("The query has no SQL statement");
  if (Trim(DatabaseName).empty()) throw DatabaseError("The query has no alias");

  auto rows = std::make_unique<Rows>();
  rows->Alias = DatabaseName;
  rows->Statement = statement;
  rows->StartStream(true);
  rows->Fields = rows->Stream->Fields();
  rows->Table = rows->Stream->TableName();
  rows->Columns = rows->Fields.size();
  rows->Keep(RecordsPerFetch);

  fields_ = rows->Fields;
  for (size_t i = 0; i < fields_.size(); ++i) {
    fields_[i].query_ = this;
    fields_[i].index_ = static_cast<int>(i);
  }
  rows_ = std::move(rows);
  current_ = 0;
}

std::string TQuery::StatementText() const {
  std::string statement;
  for (const std::string& line : SQL) statement += line + "\n";
  return Trim(statement);
}

bool TQuery::CanFetchMore() const { return Active() && rows_->Stream != nullptr; }

void TQuery::FetchMore(int records) {
  if (Active() && records > 0) rows_->Keep(static_cast<size_t>(records));
}

void TQuery::First() { current_ = 0; }

void TQuery::Next() {
  if (!Active() || current_ >= rows_->Count) return;
  ++current_;
  if (current_ == rows_->Count) rows_->Keep(RecordsPerFetch);  // so that Eof can tell
}

bool TQuery::Eof() const { return !Active() || current_ >= rows_->Count; }

int TQuery::RecordCount() const { return Active() ? static_cast<int>(rows_->Count) : 0; }

int TQuery::RecNo() const { return static_cast<int>(current_); }

std::string_view TQuery::StoredAt(int record, int field, bool& null) const {
  null = !Active() || record < 0 || static_cast<size_t>(record) >= rows_->Count || field < 0 ||
         static_cast<size_t>(field) >= rows_->Columns ||
         rows_->Null(static_cast<size_t>(record), static_cast<size_t>(field));
  return null ? std::string_view() : rows_->Cell(static_cast<size_t>(record), static_cast<size_t>(field));
}

const std::string& TQuery::TableName() const {
  static const std::string none;
  return Active() ? rows_->Table : none;
}

int TQuery::FieldCount() const { return static_cast<int>(fields_.size()); }

TField& TQuery::Field(int index) {
  if (!Active()) throw DatabaseError("The query is not open: its fields cannot be read");
  if (index < 0 || static_cast<size_t>(index) >= fields_.size())
    throw DatabaseError("The query has no field " + std::to_string(index));
  return fields_[static_cast<size_t>(index)];
}

TField& TQuery::FieldByName(const std::string& name) {
  if (TField* f = FindField(fields_, name)) return *f;  // "name" and "Name" are two columns
  throw DatabaseError("Field '" + name + "' not found");
}

}  // namespace platform
