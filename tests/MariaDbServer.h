#pragma once
// A MariaDB server in a temporary folder, for the benchmarks that read from
// a real server through MariaDB's Connector/ODBC: mariadb-install-db and
// mariadbd, loopback only, as the mysql user when run as root. POSIX.
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/PostgresServer.h"  // Output, FileText

class MariaDbServer {
 public:
  // The data source [MDB] as a user writes it: driver, server, port,
  // database and user.
  MariaDbServer() {
    if (Output("command -v mariadbd mariadb-install-db").empty()) {
      why_ = "needs the MariaDB server (package mariadb-server)";
      return;
    }
    if (Output("odbcinst -q -d -n 'MariaDB Unicode' 2>/dev/null").empty()) {
      why_ = "needs MariaDB's Connector/ODBC (package odbc-mariadb)";
      return;
    }
    char pattern[] = "/tmp/tidewell-mdb-XXXXXX";
    folder_ = ::mkdtemp(pattern);
    const std::string user = ::geteuid() != 0 ? "" : Output("id -u mysql >/dev/null 2>&1 && echo mysql || echo nobody");
    asUser_ = user.empty() ? "" : "runuser -u " + user.substr(0, user.find('\n')) + " -- ";
    if (!user.empty()) (void)!std::system(("chown " + user.substr(0, user.find('\n')) + " '" + folder_ + "'").c_str());
    port_ = std::to_string(20000 + (::getpid() + 7919) % 20000);
    if (std::system((asUser_ + "mariadb-install-db --no-defaults --datadir='" + folder_ +
                     "/data' --auth-root-authentication-method=normal --skip-test-db >'" + folder_ +
                     "/install.log' 2>&1")
                        .c_str()) != 0) {
      why_ = "the server could not be made: " + FileText(folder_ + "/install.log");
      return;
    }
    server_ = ::fork();
    if (server_ == 0) {
      const std::string command =
          "exec " + asUser_ + "mariadbd --no-defaults --datadir='" + folder_ + "/data' --socket='" + folder_ +
          "/sock' --port=" + port_ +
          " --bind-address=127.0.0.1 --skip-grant-tables --innodb-flush-log-at-trx-commit=0 >'" + folder_ +
          "/server.log' 2>&1";
      ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    for (int i = 0; i < 100 && !std::filesystem::exists(folder_ + "/sock"); ++i) ::usleep(100 * 1000);
    if (Sql("create database bench;") != "") {
      why_ = "the server did not start: " + FileText(folder_ + "/server.log");
      return;
    }
    std::ofstream(folder_ + "/odbc.ini") << "[MDB]\nDriver=MariaDB Unicode\nServer=127.0.0.1\nPort=" << port_
                                         << "\nDatabase=bench\nUser=root\n";
  }
  ~MariaDbServer() {
    if (server_ > 0) {
      ::kill(server_, SIGTERM);
      ::waitpid(server_, nullptr, 0);
    }
    if (!folder_.empty()) std::filesystem::remove_all(folder_);
  }
  const std::string& Unavailable() const { return why_; }
  // Runs SQL in the database bench with the mariadb client; its output.
  std::string Sql(const std::string& sql) const {
    std::ofstream(folder_ + "/input.sql") << sql;
    return Output("mariadb --no-defaults -S '" + folder_ + "/sock' -u root " +
                  (sql.rfind("create database", 0) == 0 ? "" : "bench ") + "<'" + folder_ + "/input.sql' 2>&1");
  }
  std::string OdbcIni() const { return folder_ + "/odbc.ini"; }
  std::string Socket() const { return folder_ + "/sock"; }

 private:
  std::string folder_, port_, asUser_, why_;
  pid_t server_ = -1;
};
