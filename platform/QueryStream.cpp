#include "platform/QueryStream.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/KeysetPages.h"
#include "platform/OdbcHandles.h"
#include "platform/Signals.h"
#include "platform/TimestampCells.h"

namespace platform {

namespace {

constexpr size_t WidestBoundColumn = 4096;
constexpr size_t RowSetBytes = size_t{1} << 20;  // per row set
constexpr size_t MinRowSet = 64, MaxRowSet = 4096;
// A table read in pages (for a driver that keeps a whole result) is read a
// page of row sets of about this many bytes at a time, held in as many row
// sets, so that the driver runs the next page while they are used; or this
// many records at a time when its values are read one by one.
constexpr size_t PageBytes = size_t{8} << 20;
constexpr size_t UnboundPageRecords = 1024;

// One row set's buffers: each column's values and their lengths.
struct RowSet {
  std::vector<std::vector<char>> Values;
  std::vector<std::vector<SQLLEN>> Lengths;
  SQLULEN Rows = 0;
  bool Filled = false;  // fetched and not yet used up
  bool Last = false;    // no row set follows
  std::exception_ptr Error;
};

}  // namespace

struct QueryStream::State {
  odbc::Connection Connection;
  odbc::Statement Statement;
  std::vector<TField> Fields;
  std::vector<size_t> Widths;
  std::vector<bool> Binary;
  // How each column is fetched into its row set buffers: as text, as bytes,
  // or (through MariaDB's Connector/ODBC, which would otherwise format every
  // integer and date with sprintf while the export waits) an integer as a
  // 64-bit number and a date as a timestamp structure, written as text here.
  std::vector<SQLSMALLINT> Kinds;
  std::vector<odbc::TimestampLayout> Layouts;  // of the columns fetched as timestamps
  using TextRoom = odbc::TimestampText;        // room for a number or a date as text
  mutable std::vector<TextRoom> Written;       // the current record's numbers and dates as text
  std::string Table;
  bool Bound = true;
  size_t Rows = 1;  // per row set

  // The row sets (two, or a page's and one) and the thread that fills them
  // in turn.
  std::vector<RowSet> Sets = std::vector<RowSet>(2);
  std::mutex Lock;
  std::condition_variable Changed;
  bool Stopping = false;
  std::thread Fetcher;
  int Current = -1;  // the row set in use
  size_t Row = 0;    // within it
  size_t Number = 0;
  bool Ended = false;
  long long Empty = -1;  // a query without columns: the records still to give
  // A table read in pages by its key, for a driver that would keep it whole.
  std::optional<odbc::KeysetPages> Pages;

  // Unbound: the current record's values, read one at a time in field
  // order as they are asked for (a driver may take no other order); those
  // before ReadUpTo are read.
  std::vector<std::string> Values;
  std::vector<bool> Nulls;
  size_t ReadUpTo = 0;

  void ReadThrough(size_t field) {
    SQLHSTMT st = Statement.get();
    for (; ReadUpTo <= field && ReadUpTo < Fields.size(); ++ReadUpTo) {
      bool null = false;
      Values[ReadUpTo] = odbc::ColumnText(st, static_cast<SQLUSMALLINT>(ReadUpTo + 1), null,
                                          Binary[ReadUpTo] ? SQL_C_BINARY : SQL_C_CHAR);
      Nulls[ReadUpTo] = null;
    }
  }

  State(const std::string& alias) : Connection(alias), Statement(Connection) {}

  void Fetch(RowSet& set) {
    SQLULEN fetched = 0;
    SQLHSTMT st = Statement.get();
    bool ok = odbc::Ok(SQLSetStmtAttr(st, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0));
    for (size_t c = 0; ok && c < Fields.size(); ++c)
      ok = odbc::Ok(SQLBindCol(st, static_cast<SQLUSMALLINT>(c + 1), Kinds[c], set.Values[c].data(),
                               static_cast<SQLLEN>(Widths[c]), set.Lengths[c].data()));
    if (!ok) throw DatabaseError("Cannot read the records: " + odbc::Diagnostic(SQL_HANDLE_STMT, st));
    for (size_t c = 0; c < Fields.size(); ++c)
      if (Kinds[c] == SQL_C_TYPE_TIMESTAMP) odbc::MarkTimestamps(Timestamps(set, c), Rows);
    SQLRETURN r = SQLFetch(st);
    if (r == SQL_NO_DATA && Pages && Pages->PageFull()) {
      Pages->RunNextPage(Statement);
      r = SQLFetch(st);
    }
    if (r == SQL_NO_DATA) {
      set.Rows = 0;
      set.Last = true;
      return;
    }
    if (!odbc::Ok(r)) throw DatabaseError("Cannot read the records: " + odbc::Diagnostic(SQL_HANDLE_STMT, st));
    set.Rows = fetched;
    set.Last = fetched < Rows;
    for (size_t c = 0; c < Fields.size(); ++c)
      if (Kinds[c] == SQL_C_TYPE_TIMESTAMP) odbc::KeepZeroDates(Timestamps(set, c), set.Lengths[c].data(), fetched);
    if (Pages && fetched > 0) {
      // A short row set ends a page; a full page may have another after it.
      Pages->Read(fetched, KeyOf(set, fetched - 1));
      set.Last = fetched < Rows && !Pages->PageFull();
    }
  }

  // The key of a record of a row set, as fetched (as text).
  std::vector<std::string_view> KeyOf(const RowSet& set, SQLULEN row) {
    std::vector<std::string_view> key;
    KeyWritten.resize(Fields.size());
    for (size_t c : Pages->KeyFields()) key.push_back(TextOf(set, row, c, KeyWritten[c]));
    return key;
  }
  std::vector<TextRoom> KeyWritten;  // the fetching thread's

  static SQL_TIMESTAMP_STRUCT* Timestamps(RowSet& set, size_t c) {
    return reinterpret_cast<SQL_TIMESTAMP_STRUCT*>(set.Values[c].data());
  }

  // A value of a row set as text: a number or a date fetched as such
  // written into `room`.
  std::string_view TextOf(const RowSet& set, SQLULEN row, size_t c, TextRoom& room) const {
    const char* cell = set.Values[c].data() + row * Widths[c];
    if (Kinds[c] == SQL_C_TYPE_TIMESTAMP) {
      SQL_TIMESTAMP_STRUCT value;
      std::memcpy(&value, cell, sizeof value);
      return odbc::WriteTimestamp(value, Layouts[c], room);
    }
    if (Kinds[c] != SQL_C_SBIGINT && Kinds[c] != SQL_C_UBIGINT)
      return std::string_view(cell, static_cast<size_t>(set.Lengths[c][row]));
    std::to_chars_result written{};
    if (Kinds[c] == SQL_C_SBIGINT) {
      long long value = 0;
      std::memcpy(&value, cell, sizeof value);
      written = std::to_chars(room.data(), room.data() + room.size(), value);
    } else {
      unsigned long long value = 0;
      std::memcpy(&value, cell, sizeof value);
      written = std::to_chars(room.data(), room.data() + room.size(), value);
    }
    return std::string_view(room.data(), static_cast<size_t>(written.ptr - room.data()));
  }

  // The fetching thread: fills the row sets in turn, each once it is free.
  void FetchAll() {
    RefuseEndingSignals();
    for (size_t k = 0;; k = (k + 1) % Sets.size()) {
      RowSet& set = Sets[k];
      {
        std::unique_lock<std::mutex> hold(Lock);
        Changed.wait(hold, [&] { return Stopping || !set.Filled; });
        if (Stopping) return;
      }
      bool last = false;
      try {
        Fetch(set);
        last = set.Last;
      } catch (...) {
        set.Error = std::current_exception();
        last = true;
      }
      {
        std::lock_guard<std::mutex> hold(Lock);
        set.Filled = true;
      }
      Changed.notify_all();
      if (last) return;
    }
  }

  std::string_view BoundText(int field) const {
    const size_t c = static_cast<size_t>(field);
    return TextOf(Sets[Current], Row, c, Written[c]);
  }
};

QueryStream::QueryStream(const std::string& alias, const std::string& statement, bool bound)
    : state_(std::make_unique<State>(alias)) {
  State& s = *state_;
  SQLHSTMT st = s.Statement.get();
  std::string text = statement;
  s.Pages = odbc::KeysetPages::For(s.Connection, statement);
  if (s.Pages) text = s.Pages->FirstPage();
  // Whether integers and dates are fetched as values (see Kinds); dates
  // only once the driver shows they write back as its text, asked before
  // the statement runs, the connection being free.
  const bool values = odbc::IsMariaDbDriver(s.Connection.Handle());
  const bool timestamps = values && odbc::TimestampsReadBack(s.Connection);
  // One pass forward: no driver need keep what was read (a driver that
  // cannot say so keeps its default, which is this).
  (void)SQLSetStmtAttr(st, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_FORWARD_ONLY), 0);
  s.Statement.Check(SQLExecDirect(st, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS), "Cannot open the query");
  SQLSMALLINT columns = 0;
  s.Statement.Check(SQLNumResultCols(st, &columns), "Cannot describe the query");
  s.Bound = bound && columns > 0;
  size_t rowBytes = 0;
  for (SQLUSMALLINT c = 1; c <= columns; ++c) {
    const odbc::ColumnInfo info = odbc::DescribeColumn(st, c);
    TField f;
    f.FieldName = info.Name;
    f.DataType = info.DataType;
    f.Binary = info.Binary;
    f.Money = info.Money;
    f.Size = f.DataType == ftString || f.DataType == ftWideString ? static_cast<int>(info.Size) : 0;
    s.Fields.push_back(f);
    s.Binary.push_back(info.Binary);
    // A column of unknown or great width is read value by value.
    if (info.Size == 0 || info.Size > WidestBoundColumn) s.Bound = false;
    s.Widths.push_back(std::min<size_t>(std::max<size_t>(info.Size, 32), WidestBoundColumn) + 1);
    s.Kinds.push_back(info.Binary ? SQL_C_BINARY : SQL_C_CHAR);
    if (values && odbc::IsIntegerType(f.DataType) && !info.Money) {
      SQLLEN unsignedColumn = SQL_FALSE;
      (void)SQLColAttribute(st, c, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &unsignedColumn);
      s.Kinds.back() = unsignedColumn == SQL_TRUE ? SQL_C_UBIGINT : SQL_C_SBIGINT;
      s.Widths.back() = sizeof(long long);
    }
    s.Layouts.push_back(odbc::LayoutOf(info));
    if (timestamps && (f.DataType == ftDate || f.DataType == ftDateTime) && !info.Money) {
      s.Kinds.back() = SQL_C_TYPE_TIMESTAMP;
      s.Widths.back() = sizeof(SQL_TIMESTAMP_STRUCT);
    }
    rowBytes += s.Widths.back() + sizeof(SQLLEN);
    if (s.Table.empty()) {
      char base[256] = {0};
      SQLSMALLINT length = 0;
      if (odbc::Ok(SQLColAttribute(st, c, SQL_DESC_BASE_TABLE_NAME, base, sizeof base, &length, nullptr)))
        s.Table = base;
    }
  }
  s.Rows = std::clamp(RowSetBytes / std::max<size_t>(rowBytes, 1), MinRowSet, MaxRowSet);
  // A row set that divides the driver's cache of rows (psqlODBC's Fetch:
  // 16384, or a round number a user writes) ends where the cache does, and
  // psqlODBC then maps a new cache for each: a page fault every few rows,
  // half as fast again. A size prime to 10 divides no such number.
  while (s.Rows % 2 == 0 || s.Rows % 5 == 0) --s.Rows;
  const size_t setsInPage = std::clamp<size_t>(PageBytes / std::max<size_t>(s.Rows * rowBytes, 1), 1, 64);
  if (s.Pages && !s.Pages->Place(s.Fields, s.Bound ? setsInPage * s.Rows : UnboundPageRecords)) {
    // Without its key among the fields the table cannot be paged: as it is.
    s.Pages.reset();
    text = statement;
    s.Statement.Check(SQLFreeStmt(st, SQL_CLOSE), "Cannot open the query");
    s.Statement.Check(SQLExecDirect(st, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS), "Cannot open the query");
  }
  odbc::ReadCatalogueFlags(s.Connection, s.Table, s.Fields);
  s.Values.resize(s.Fields.size());
  s.Nulls.resize(s.Fields.size());
  s.Written.resize(s.Fields.size());
  if (columns == 0) {
    // Records without values, which some drivers will not fetch: as many as
    // the table has.
    s.Empty = odbc::CountRecords(s.Connection, statement);
    return;
  }
  if (!s.Bound) return;

  if (s.Pages) s.Sets.resize(setsInPage + 1);
  for (RowSet& set : s.Sets) {
    for (size_t c = 0; c < s.Fields.size(); ++c) {
      set.Values.emplace_back(s.Widths[c] * s.Rows);
      set.Lengths.emplace_back(s.Rows);
    }
  }
  s.Statement.Check(SQLSetStmtAttr(st, SQL_ATTR_ROW_BIND_TYPE, SQL_BIND_BY_COLUMN, 0), "Cannot read the records");
  s.Statement.Check(SQLSetStmtAttr(st, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(s.Rows), 0),
                    "Cannot read the records");
  s.Fetcher = std::thread([&s] { s.FetchAll(); });
}

QueryStream::~QueryStream() {
  State& s = *state_;
  if (s.Fetcher.joinable()) {
    {
      std::lock_guard<std::mutex> hold(s.Lock);
      s.Stopping = true;
    }
    s.Changed.notify_all();
    s.Fetcher.join();
  }
}

const std::vector<TField>& QueryStream::Fields() const { return state_->Fields; }

bool QueryStream::Next() {
  State& s = *state_;
  if (s.Ended) return false;
  if (s.Empty >= 0) {
    if (s.Empty == 0) return !(s.Ended = true);
    --s.Empty;
    ++s.Number;
    return true;
  }
  if (!s.Bound) {
    SQLHSTMT st = s.Statement.get();
    if (s.Pages && s.Number > 0) {  // the key of the record read, before the next
      std::vector<std::string_view> key;
      for (size_t c : s.Pages->KeyFields()) {
        s.ReadThrough(c);
        key.emplace_back(s.Values[c]);
      }
      s.Pages->Read(1, key);
    }
    SQLRETURN r = SQLFetch(st);
    if (r == SQL_NO_DATA && s.Pages && s.Pages->PageFull()) {
      s.Pages->RunNextPage(s.Statement);
      r = SQLFetch(st);
    }
    if (r == SQL_NO_DATA) return !(s.Ended = true);
    if (!odbc::Ok(r)) throw DatabaseError("Cannot read the records: " + odbc::Diagnostic(SQL_HANDLE_STMT, st));
    s.ReadUpTo = 0;
    ++s.Number;
    return true;
  }
  if (s.Current >= 0 && s.Row + 1 < s.Sets[s.Current].Rows) {
    ++s.Row;
  } else {
    // This row set is used up: hand it back and take the next.
    const int next = s.Current < 0 ? 0 : (s.Current + 1) % static_cast<int>(s.Sets.size());
    std::unique_lock<std::mutex> hold(s.Lock);
    if (s.Current >= 0) {
      const bool last = s.Sets[s.Current].Last;
      s.Sets[s.Current].Filled = false;
      s.Changed.notify_all();
      if (last) return !(s.Ended = true);
    }
    s.Changed.wait(hold, [&] { return s.Sets[next].Filled; });
    s.Current = next;
    s.Row = 0;
    RowSet& set = s.Sets[next];
    if (set.Error) {
      s.Ended = true;
      std::rethrow_exception(set.Error);
    }
    if (set.Rows == 0) return !(s.Ended = true);
  }
  ++s.Number;
  // A value cut to its buffer cannot be written: the caller reads again unbound.
  const RowSet& set = s.Sets[s.Current];
  for (size_t c = 0; c < s.Fields.size(); ++c) {
    const SQLLEN length = set.Lengths[c][s.Row];
    if (length == SQL_NULL_DATA || (s.Kinds[c] != SQL_C_CHAR && s.Kinds[c] != SQL_C_BINARY)) continue;
    if (length < 0 || static_cast<size_t>(length) + (s.Binary[c] ? 0 : 1) > s.Widths[c])
      throw WiderThanBound("Field '" + s.Fields[c].FieldName + "' holds a value wider than its column");
  }
  return true;
}

bool QueryStream::IsNull(int field) const {
  State& s = *state_;
  if (!s.Bound) {
    s.ReadThrough(static_cast<size_t>(field));
    return s.Nulls[static_cast<size_t>(field)];
  }
  return s.Sets[s.Current].Lengths[static_cast<size_t>(field)][s.Row] == SQL_NULL_DATA;
}

std::string_view QueryStream::Stored(int field) const {
  State& s = *state_;
  const size_t f = static_cast<size_t>(field);
  if (!s.Bound) {
    s.ReadThrough(f);
    return s.Nulls[f] ? std::string_view() : std::string_view(s.Values[f]);
  }
  return s.Sets[s.Current].Lengths[f][s.Row] == SQL_NULL_DATA ? std::string_view() : s.BoundText(field);
}

bool QueryStream::CanReadInPieces(int field) const {
  const State& s = *state_;
  const size_t f = static_cast<size_t>(field);
  // A key's value is kept for the next page: never handed on in pieces.
  if (s.Pages) {
    const std::vector<size_t>& keys = s.Pages->KeyFields();
    if (std::find(keys.begin(), keys.end(), f) != keys.end()) return false;
  }
  return !s.Bound && s.Empty < 0 && f < s.Fields.size() && s.ReadUpTo == f;
}

bool QueryStream::ReadInPieces(int field, const std::function<void(std::string_view)>& take, bool& null) {
  State& s = *state_;
  const size_t f = static_cast<size_t>(field);
  if (!CanReadInPieces(field)) return false;
  constexpr size_t Piece = size_t{4} << 20;
  null = !odbc::ColumnPieces(s.Statement.get(), static_cast<SQLUSMALLINT>(f + 1),
                             s.Binary[f] ? SQL_C_BINARY : SQL_C_CHAR, Piece, take);
  s.Values[f].clear();  // handed on, not kept
  s.Nulls[f] = null;
  ++s.ReadUpTo;
  return true;
}

const std::string& QueryStream::TableName() const { return state_->Table; }

std::string QueryStream::HowRead() const {
  const State& s = *state_;
  std::string how = s.Bound
                        ? "in row sets of " + std::to_string(s.Rows) + " records, the next fetched while one is used"
                        : "value by value";
  if (s.Pages) {
    std::string key;
    for (const std::string& name : s.Pages->KeyNames()) key += (key.empty() ? "" : ", ") + name;
    how += "; in pages by the key (" + key + ")";
  }
  // Values read one by one are read as text.
  const bool numbers = s.Bound && std::any_of(s.Kinds.begin(), s.Kinds.end(),
                                              [](SQLSMALLINT k) { return k == SQL_C_SBIGINT || k == SQL_C_UBIGINT; });
  const bool dates = s.Bound && std::find(s.Kinds.begin(), s.Kinds.end(), SQL_C_TYPE_TIMESTAMP) != s.Kinds.end();
  if (numbers) how += dates ? "; integers fetched as numbers and dates as timestamps" : "; integers fetched as numbers";
  else if (dates) how += "; dates fetched as timestamps";
  return how;
}

size_t QueryStream::RecordNumber() const { return state_->Number; }

}  // namespace platform
