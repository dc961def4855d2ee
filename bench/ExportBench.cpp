// tidewell export of an 8-column table (integer, two strings, date,
// date-time, boolean, small integer, real) through the SQLite ODBC driver
// (a streaming data source: StepAPI=1), against, in the same run, the
// sqlite3 shell writing the same rows as CSV and a bare ODBC fetch of the
// same rows through the same driver (bound columns, row arrays, the values
// written to /dev/null). At 1,000,000 and 4,000,000 rows it prints the times
// and tidewell's peak memory; then the peak memory at 4,000,000 rows against
// that at 1,000,000, the time against sqlite3 -csv, and last the time against
// the bare fetch (both at 4,000,000 rows). At 1,000,000 rows the data
// export dialog exports the table too (alias and table chosen, Open, Start
// Export, on Qt's offscreen platform), and its peak memory is printed
// against the command line's.
//
// Then the same from PostgreSQL through psqlODBC and from MariaDB through
// its Connector/ODBC (servers of the bench's own, each part skipped where
// its server is not installed), a 7-column table of 500,000 and 2,000,000
// rows, the data source as users write it (driver, server, port, database,
// user): the export against a bare fetch through the same driver with its
// streaming on (the floor) and the server's own client (psql's \copy,
// mariadb --batch), and the export's peak memory at both sizes.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/MariaDbServer.h"
#include "tests/PostgresServer.h"

namespace fs = std::filesystem;

namespace {

struct Run {
  double Seconds = 0;
  long PeakKb = 0;
};

// Runs a shell command line and measures its wall time and peak memory.
Run Measure(const std::string& command) {
  auto start = std::chrono::steady_clock::now();
  pid_t pid = ::fork();
  if (pid == 0) {
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  ::wait4(pid, &status, 0, &usage);
  Run run;
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.PeakKb = usage.ru_maxrss;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
  return run;
}

// The best of two runs, as the machine is noisy.
Run Best(const std::string& command) {
  Run a = Measure(command), b = Measure(command);
  return {std::min(a.Seconds, b.Seconds), std::min(a.PeakKb, b.PeakKb)};
}

// The best of three runs of each command, taken in turn, so that a slow
// spell of the machine falls on all of them alike.
std::vector<Run> BestInTurn(const std::vector<std::string>& commands) {
  std::vector<Run> best(commands.size(), Run{1e9, 0});
  for (int round = 0; round < 3; ++round)
    for (size_t i = 0; i < commands.size(); ++i) {
      const Run run = Measure(commands[i]);
      best[i].Seconds = std::min(best[i].Seconds, run.Seconds);
      best[i].PeakKb = best[i].PeakKb == 0 ? run.PeakKb : std::min(best[i].PeakKb, run.PeakKb);
    }
  return best;
}

}  // namespace

// A server's part; its ratios, for the last lines.
struct ServerFigures {
  double TimeToFloor = 0, TimeToCopy = 0, Memory = 0, PeakMb = 0;
  bool Ran = false;
};

// What a server's part needs: the data source files (the data source as
// users write it, and FLOOR with the driver's streaming on for the bare
// fetch), a table of `rows` made on the server, and the server's own client
// writing the table to a file.
struct ServerSetup {
  const char* Name;
  std::string OdbcIni, Alias;
  std::function<void(int rows)> MakeTable;
  const char* CopyName;
  std::function<std::string(const std::string& file)> Copy;
};

ServerFigures ServerPart(const ServerSetup& setup, const fs::path& bin) {
  ServerFigures figures;
  const std::string odbc = "ODBCINI='" + setup.OdbcIni + "' ";
  const fs::path folder = fs::path(setup.OdbcIni).parent_path();
  long peak[2] = {0, 0};
  int size = 0;
  for (int rows : {500000, 2000000}) {
    setup.MakeTable(rows);
    const std::string xml = (folder / "trk.xml").string();
    const std::vector<Run> runs = BestInTurn({odbc + "'" + (bin / "bench_bare_fetch").string() + "' FLOOR trk",
                                              setup.Copy((folder / "trk.csv").string()),
                                              odbc + "'" + (bin / "tidewell").string() + "' export --alias " +
                                                  setup.Alias + " --table trk --output '" + xml + "'"});
    const Run floor = runs[0], copy = runs[1], ours = runs[2];
    figures.TimeToFloor = ours.Seconds / floor.Seconds;
    figures.TimeToCopy = ours.Seconds / copy.Seconds;
    peak[size++] = ours.PeakKb;
    std::printf(
        "%s, %d rows: bare fetch %.2f s, %s %.2f s, tidewell export %.2f s (%.2f x fetch, %.2f x %s); peak "
        "memory %.1f MB\n",
        setup.Name, rows, floor.Seconds, setup.CopyName, copy.Seconds, ours.Seconds, figures.TimeToFloor,
        figures.TimeToCopy, setup.CopyName, ours.PeakKb / 1024.0);
    fs::remove(xml);
    fs::remove(folder / "trk.csv");
  }
  figures.Memory = static_cast<double>(peak[1]) / peak[0];
  figures.PeakMb = peak[1] / 1024.0;
  figures.Ran = true;
  return figures;
}

// The servers' table: seven typical columns (an integer key, two strings, a
// date, a date-time, a boolean, a small integer), its rows made by the
// server.
ServerFigures PostgresPart(const fs::path& bin) {
  PostgresServer server(PostgresServer::DefaultDataSource);
  if (!server.Unavailable().empty()) {
    std::printf("postgresql: skipped (%s)\n", server.Unavailable().c_str());
    return {};
  }
  std::ofstream(server.OdbcIni(), std::ios::app)
      << "\n[FLOOR]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=" << server.Port()
      << "\nDatabase=postgres\nUsername=postgres\nUseDeclareFetch=1\nFetch=1000\n";
  const ServerSetup setup{
      "postgresql",
      server.OdbcIni(),
      "PG",
      [&](int rows) {
        server.Psql(
            "set client_min_messages = warning; drop table if exists trk;"
            "create table trk(id integer primary key, name varchar(40) not null, city varchar(30), added date,"
            " changed timestamp, active boolean, qty smallint);"
            "insert into trk select i, 'Name number ' || i, 'City ' || (i % 97), date '2006-01-01' + (i % 3000),"
            " timestamp '2006-01-01 08:00:00' + (i * 37 % 100000000) * interval '1 second', i % 2 = 0, i % 300"
            " from generate_series(1, " +
            std::to_string(rows) + ") i; vacuum analyze trk;");
      },
      "psql \\copy",
      [&](const std::string& file) {
        return "psql -X -q -h 127.0.0.1 -p " + server.Port() + " -U postgres -d postgres -c \"\\copy trk to '" + file +
               "' csv\"";
      }};
  const ServerFigures figures = ServerPart(setup, bin);
  // A narrow table, whose row sets are as large as they go: one that
  // divided the driver's cache would make it map a new cache each time.
  server.Psql(
      "drop table trk; create table narrow(id integer primary key, v integer);"
      "insert into narrow select i, i % 1000 from generate_series(1, 2000000) i; vacuum analyze narrow;");
  const std::string odbc = "ODBCINI='" + server.OdbcIni() + "' ";
  const std::string xml = (fs::path(server.OdbcIni()).parent_path() / "narrow.xml").string();
  const std::vector<Run> runs = BestInTurn(
      {odbc + "'" + (bin / "bench_bare_fetch").string() + "' FLOOR narrow",
       odbc + "'" + (bin / "tidewell").string() + "' export --alias PG --table narrow --output '" + xml + "'"});
  std::printf(
      "postgresql, 2000000 narrow rows (two integers): bare fetch %.2f s, tidewell export %.2f s (%.2f x fetch)\n",
      runs[0].Seconds, runs[1].Seconds, runs[1].Seconds / runs[0].Seconds);
  fs::remove(xml);
  return figures;
}

ServerFigures MariaDbPart(const fs::path& bin) {
  MariaDbServer server;
  if (!server.Unavailable().empty()) {
    std::printf("mariadb: skipped (%s)\n", server.Unavailable().c_str());
    return {};
  }
  const std::string ini = FileText(server.OdbcIni());
  std::ofstream(server.OdbcIni(), std::ios::app)
      << "\n[FLOOR]\n"
      << ini.substr(ini.find("Driver=")) << "OPTION=1048576\nFORWARDONLY=1\n";
  const ServerSetup setup{
      "mariadb",
      server.OdbcIni(),
      "MDB",
      [&](int rows) {
        server.Sql(
            "drop table if exists trk;"
            "create table trk(id integer primary key, name varchar(40) not null, city varchar(30), added date,"
            " changed datetime, active boolean, qty smallint);"
            "insert into trk select seq, concat('Name number ', seq), concat('City ', seq % 97),"
            " date '2006-01-01' + interval (seq % 3000) day,"
            " timestamp '2006-01-01 08:00:00' + interval (seq * 37 % 100000000) second, seq % 2 = 0, seq % 300"
            " from seq_1_to_" +
            std::to_string(rows) + ";");
      },
      "mariadb --batch",
      [&](const std::string& file) {
        return "mariadb --no-defaults -S '" + server.Socket() +
               "' -u root bench --batch --quick -e 'select * from trk' >'" + file + "'";
      }};
  return ServerPart(setup, bin);
}

// Every part by default; `bench_export sqlite postgresql` runs those only.
int main(int argc, char** argv) {
  auto part = [&](const char* name) {
    if (argc < 2) return true;
    for (int i = 1; i < argc; ++i)
      if (std::string(argv[i]) == name) return true;
    return false;
  };
  const fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
  const fs::path tidewell = bin / "tidewell";
  char pattern[] = "/tmp/tidewell-bench-XXXXXX";
  const fs::path dir = ::mkdtemp(pattern);
  double csvRatio = 0, bareRatio = 0;
  long peak[2] = {0, 0};
  Run dialog;
  const fs::path dialogBench = bin / "bench_dialog_export";
  int size = 0;
  for (int rows : {1000000, 4000000}) {
    if (!part("sqlite")) break;
    const std::string db = (dir / ("t" + std::to_string(rows) + ".sqlite")).string();
    Measure("sqlite3 '" + db +
            "' \"create table trk(id integer primary key, name varchar(40) not null, city varchar(30), added date,"
            " changed datetime, active boolean, qty smallint, price real);"
            " with recursive n(i) as (select 1 union all select i+1 from n where i < " +
            std::to_string(rows) +
            ")"
            " insert into trk select i, 'Name number ' || i, 'City ' || (i % 97),"
            " date('2006-01-01', '+' || (i % 3000) || ' days'),"
            " datetime('2006-01-01 08:00:00', '+' || (i*37 % 100000000) || ' seconds'), i % 2, i % 300, i * 0.25"
            " from n;\"");
    std::ofstream(dir / "odbc.ini") << "[BENCH]\nDriver=SQLite3\nDatabase=" << db << "\nStepAPI=1\n";
    const std::string odbc = "ODBCINI='" + (dir / "odbc.ini").string() + "' ";
    const std::string xml = (dir / "trk.xml").string();
    const Run shell = Best("sqlite3 -csv '" + db + "' 'select * from trk' > '" + (dir / "trk.csv").string() + "'");
    const Run bare = Best(odbc + "'" + (bin / "bench_bare_fetch").string() + "' BENCH trk");
    const Run ours = Best(odbc + "'" + tidewell.string() + "' export --alias BENCH --table trk --output '" + xml + "'");
    const double xmlMb = static_cast<double>(fs::file_size(xml)) / (1024 * 1024);
    csvRatio = ours.Seconds / shell.Seconds;
    bareRatio = ours.Seconds / bare.Seconds;
    peak[size++] = ours.PeakKb;
    std::printf(
        "%d rows: sqlite3 -csv %.2f s, bare ODBC fetch %.2f s, tidewell export %.2f s (%.2f x csv, %.2f x "
        "fetch); peak memory %.1f MB for %.0f MB of XML\n",
        rows, shell.Seconds, bare.Seconds, ours.Seconds, csvRatio, bareRatio, ours.PeakKb / 1024.0, xmlMb);
    if (rows == 1000000 && fs::exists(dialogBench)) {
      const std::string same = (dir / "same.xml").string();
      dialog = Best(odbc + "QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR='" + dir.string() + "' '" + dialogBench.string() +
                    "' BENCH trk '" + same + "'");
      if (FileText(same) != FileText(xml)) {
        std::fprintf(stderr, "the dialog's file differs from the command line's\n");
        return 1;
      }
      fs::remove(same);
      std::printf("the dialog, %d rows: %.2f s, peak memory %.1f MB (the command line's %.1f MB)\n", rows,
                  dialog.Seconds, dialog.PeakKb / 1024.0, ours.PeakKb / 1024.0);
    }
    fs::remove(db);
    fs::remove(xml);
  }
  fs::remove_all(dir);
  const std::pair<const char*, ServerFigures> servers[] = {
      {"postgresql", part("postgresql") ? PostgresPart(bin) : ServerFigures{}},
      {"mariadb", part("mariadb") ? MariaDbPart(bin) : ServerFigures{}}};
  for (const auto& [name, figures] : servers)
    if (figures.Ran)
      std::printf(
          "%s: time to the bare fetch=%.3f, to its own client=%.3f; memory 2M/500K=%.3f (peak %.1f MB at "
          "2,000,000 rows)\n",
          name, figures.TimeToFloor, figures.TimeToCopy, figures.Memory, figures.PeakMb);
  if (dialog.PeakKb > 0)
    std::printf("the dialog's peak memory at 1,000,000 rows=%.1f MB (target under 100)\n", dialog.PeakKb / 1024.0);
  if (peak[1] == 0) return 0;
  std::printf("memory 4M/1M=%.3f (peak %.1f MB at 4,000,000 rows)\n", static_cast<double>(peak[1]) / peak[0],
              peak[1] / 1024.0);
  std::printf("ratio to sqlite3 -csv=%.3f\n", csvRatio);
  std::printf("ratio=%.3f\n", bareRatio);
}
