#pragma once
// A PostgreSQL server in a temporary folder, for the tests and the
// benchmarks that read from a real server through psqlODBC: initdb and
// pg_ctl, loopback only, as an unprivileged user when run as root. POSIX.
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

inline std::string FileText(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

class PostgresServer {
 public:
  // The data source [PG] as a user writes it: driver, server, port,
  // database and user, nothing else.
  static constexpr const char* DefaultDataSource = "";
  // `extra`: more lines for [PG] ("UseDeclareFetch=1\n"...).
  explicit PostgresServer(const std::string& extra) {
    const std::string bin = Output("ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1");
    bin_ = bin.substr(0, bin.find('\n'));
    if (bin_.empty() || !std::filesystem::exists(bin_ + "/initdb")) {
      why_ = "needs the PostgreSQL server (package postgresql)";
      return;
    }
    if (Output("odbcinst -q -d -n 'PostgreSQL Unicode' 2>/dev/null").empty()) {
      why_ = "needs psqlODBC (package odbc-postgresql)";
      return;
    }
    char pattern[] = "/tmp/tidewell-pg-XXXXXX";
    folder_ = ::mkdtemp(pattern);
    // The server refuses to run as root: it runs as nobody there.
    asUser_ = ::geteuid() == 0 ? "runuser -u nobody -- " : "";
    if (::geteuid() == 0) (void)!std::system(("chown nobody '" + folder_ + "'").c_str());
    port_ = std::to_string(20000 + ::getpid() % 20000);
    const std::string log = folder_ + "/server.log";  // written by the server's user
    if (std::system((asUser_ + bin_ + "/initdb -D '" + folder_ + "/data' -U postgres -A trust --no-sync >'" + folder_ +
                     "/initdb.log' 2>&1")
                        .c_str()) != 0 ||
        std::system((asUser_ + bin_ + "/pg_ctl -D '" + folder_ + "/data' -l '" + log + "' -w -o \"-p " + port_ +
                     " -k '" + folder_ + "' -c listen_addresses=127.0.0.1 -c fsync=off\" start >/dev/null 2>&1")
                        .c_str()) != 0) {
      why_ = "the server did not start: " + FileText(folder_ + "/initdb.log") + FileText(log);
      return;
    }
    started_ = true;
    std::ofstream(folder_ + "/odbc.ini") << "[PG]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=" << port_
                                         << "\nDatabase=postgres\nUsername=postgres\n"
                                         << extra;
  }
  ~PostgresServer() {
    if (started_)
      (void)!std::system(
          (asUser_ + bin_ + "/pg_ctl -D '" + folder_ + "/data' -m immediate stop >/dev/null 2>&1").c_str());
    if (!folder_.empty()) std::filesystem::remove_all(folder_);
  }
  const std::string& Unavailable() const { return why_; }
  // Runs SQL with psql; its output, unaligned, fields split by "|".
  std::string Psql(const std::string& sql) const {
    std::ofstream(folder_ + "/input.sql") << sql;
    return Output("psql -X -q -At -F'|' -h 127.0.0.1 -p " + port_ + " -U postgres -d postgres -f '" + folder_ +
                  "/input.sql' 2>&1");
  }
  std::string OdbcIni() const { return folder_ + "/odbc.ini"; }
  const std::string& Port() const { return port_; }

 private:
  std::string bin_, folder_, port_, asUser_, why_;
  bool started_ = false;
};
