// tidewell export of an 8-column table (integer, two strings, date,
// date-time, boolean, small integer, real) through the SQLite ODBC driver
// (a streaming data source: StepAPI=1), against, in the same run, the
// sqlite3 shell writing the same rows as CSV and a bare ODBC fetch of the
// same rows through the same driver (bound columns, row arrays, the values
// written to /dev/null). At 1,000,000 and 4,000,000 rows it prints the times
// and tidewell's peak memory; then the peak memory at 4,000,000 rows against
// that at 1,000,000, the time against sqlite3 -csv, and last the time against
// the bare fetch (both at 4,000,000 rows).
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
#include <string>

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

}  // namespace

int main() {
  const fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
  const fs::path tidewell = bin / "tidewell";
  char pattern[] = "/tmp/tidewell-bench-XXXXXX";
  const fs::path dir = ::mkdtemp(pattern);
  double csvRatio = 0, bareRatio = 0;
  long peak[2] = {0, 0};
  int size = 0;
  for (int rows : {1000000, 4000000}) {
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
    fs::remove(db);
    fs::remove(xml);
  }
  fs::remove_all(dir);
  std::printf("memory 4M/1M=%.3f (peak %.1f MB at 4,000,000 rows)\n", static_cast<double>(peak[1]) / peak[0],
              peak[1] / 1024.0);
  std::printf("ratio to sqlite3 -csv=%.3f\n", csvRatio);
  std::printf("ratio=%.3f\n", bareRatio);
}
