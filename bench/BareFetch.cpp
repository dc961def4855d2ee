// The floor of an ODBC export: every value of a table fetched through the
// same driver as the export (columns bound as text, row arrays) and written
// to /dev/null, with nothing else done.
//   bench_bare_fetch ALIAS TABLE
#include <sql.h>
#include <sqlext.h>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_bare_fetch ALIAS TABLE\n");
    return 2;
  }
  SQLHENV env;
  SQLHDBC dbc;
  SQLHSTMT st;
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
  if (!SQL_SUCCEEDED(SQLConnect(dbc, reinterpret_cast<SQLCHAR*>(argv[1]), SQL_NTS, nullptr, 0, nullptr, 0))) return 1;
  SQLAllocHandle(SQL_HANDLE_STMT, dbc, &st);
  std::string sql = std::string("select * from ") + argv[2];
  if (!SQL_SUCCEEDED(SQLExecDirect(st, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS))) return 1;
  SQLSMALLINT columns = 0;
  SQLNumResultCols(st, &columns);
  constexpr SQLULEN Rows = 1024, Width = 256;
  std::vector<std::vector<char>> values(static_cast<size_t>(columns), std::vector<char>(Rows * Width));
  std::vector<std::vector<SQLLEN>> lengths(static_cast<size_t>(columns), std::vector<SQLLEN>(Rows));
  SQLULEN fetched = 0;
  SQLSetStmtAttr(st, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(Rows), 0);
  SQLSetStmtAttr(st, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
  for (SQLSMALLINT c = 0; c < columns; ++c)
    SQLBindCol(st, static_cast<SQLUSMALLINT>(c + 1), SQL_C_CHAR, values[c].data(), Width, lengths[c].data());
  FILE* null = std::fopen("/dev/null", "wb");
  std::string out;
  while (SQL_SUCCEEDED(SQLFetch(st))) {
    for (SQLULEN r = 0; r < fetched; ++r)
      for (SQLSMALLINT c = 0; c < columns; ++c)
        if (lengths[c][r] > 0) out.append(&values[c][r * Width], static_cast<size_t>(lengths[c][r]));
    std::fwrite(out.data(), 1, out.size(), null);
    out.clear();
  }
  std::fclose(null);
  SQLFreeHandle(SQL_HANDLE_STMT, st);
  SQLDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
  return 0;
}
