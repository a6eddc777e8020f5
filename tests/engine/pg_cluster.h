// A throwaway PostgreSQL cluster for the engine's tests: initdb into a
// temporary folder as the postgres system user, listening on a unix socket
// in that folder only, stopped and removed at the end. When
// QVTOME_TEST_PG_HOST names the socket folder of a cluster started for the
// test run (scripts/pg-cluster.sh), that one is used instead. Tests connect
// as role qvtome, which may create databases but is no superuser, as a
// site's role would be; each test gets a database of its own.
#pragma once

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace qv::testing_support {

class PgCluster {
 public:
  static constexpr const char* kBin = "/usr/lib/postgresql/15/bin";

  PgCluster() {
    if (const char* dir = std::getenv("QVTOME_TEST_PG_HOST"); dir != nullptr && *dir != '\0') {
      socket_dir_ = dir;
      return;
    }
    if (!std::filesystem::exists(std::string(kBin) + "/initdb")) return;
    std::string pattern = "/tmp/qvtome-pg-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) return;
    own_dir_ = pattern;
    socket_dir_ = own_dir_;
    Run("chown postgres " + own_dir_ + " && chmod 700 " + own_dir_);
    if (!AsPostgres(std::string(kBin) + "/initdb -D " + own_dir_ +
                    "/data -U postgres --no-locale -E UTF8 -A trust >" + own_dir_ +
                    "/initdb.log 2>&1") ||
        !Start() || !Admin("postgres", "postgres", "CREATE ROLE qvtome LOGIN CREATEDB") ||
        !Admin("postgres", "postgres", "CREATE DATABASE qvtome OWNER qvtome")) {
      socket_dir_.clear();
    }
  }
  ~PgCluster() {
    if (own_dir_.empty()) return;
    AsPostgres(std::string(kBin) + "/pg_ctl -D " + own_dir_ +
               "/data -m immediate -w stop >/dev/null 2>&1");
    std::filesystem::remove_all(own_dir_);
  }
  PgCluster(const PgCluster&) = delete;
  PgCluster& operator=(const PgCluster&) = delete;

  bool Ready() const { return !socket_dir_.empty(); }
  bool CanRestart() const { return !own_dir_.empty(); }

  // A new empty database; returns its connection string.
  // options follow CREATE DATABASE NAME (a locale, for instance).
  std::string NewDatabase(const std::string& options = "") {
    std::string name = "qv_test_" + std::to_string(::getpid()) + "_" + std::to_string(++count_);
    if (!Admin("qvtome", "qvtome", "CREATE DATABASE " + name + options)) {
      throw std::runtime_error("CREATE DATABASE " + name + " failed");
    }
    return ConnInfo(name, "qvtome");
  }

  std::string ConnInfo(const std::string& db, const std::string& user) const {
    return "host=" + socket_dir_ + " dbname=" + db + " user=" + user;
  }

  // Restarts the server: every open connection is cut.
  bool Restart() {
    return AsPostgres(std::string(kBin) + "/pg_ctl -D " + own_dir_ +
                      "/data -m fast -w stop >/dev/null 2>&1") &&
           Start();
  }

 private:
  bool Admin(const std::string& db, const std::string& user, const std::string& sql) const {
    PGconn* conn = PQconnectdb(ConnInfo(db, user).c_str());
    PGresult* r = PQexec(conn, sql.c_str());
    bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
    PQfinish(conn);
    return ok;
  }
  static bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }
  static bool AsPostgres(const std::string& command) {
    return Run("runuser -u postgres -- sh -c '" + command + "'");
  }
  bool Start() {
    return AsPostgres(std::string(kBin) + "/pg_ctl -D " + own_dir_ + "/data -w -l " + own_dir_ +
                      "/server.log -o \"-c listen_addresses= "
                      "-c unix_socket_directories=" +
                      own_dir_ + " -c fsync=off\" start >/dev/null");
  }

  std::string own_dir_;
  std::string socket_dir_;
  int count_ = 0;
};

// The cluster of the test process, started by the first test that asks.
inline PgCluster& TestCluster() {
  static PgCluster cluster;
  return cluster;
}

}  // namespace qv::testing_support
