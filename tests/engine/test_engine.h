// The engine the database tests run on, and a database of a test's own on it.
//
// With QVTOME_TEST_ENGINE=postgresql the tests run on the throw-away cluster
// of scripts/pg-cluster.sh (ctest starts it for the "postgresql" variants of
// the tests; QVTOME_TEST_PG_HOST names another one's socket folder);
// otherwise on SQLite files in the test's temporary folder, as always.
//
// ScratchDatabase gives a test a database of its own, empty or with the full
// schema and seed data, and the keys of the [datasource.NAME] table that
// reaches it. On PostgreSQL it is a database of the cluster named after the
// process, dropped again at the end; the seeded ones are copies of one
// template database that the first test to need it builds.
#pragma once

#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "data/connection.h"
#include "engine/datasources.h"
#include "engine/init_db.h"
#include "engine/pg_connection.h"
#include "engine/pg_schema.h"
#include "engine/sqlite_connection.h"

namespace qv::testing {

inline bool OnPostgres() {
  const char* engine = std::getenv("QVTOME_TEST_ENGINE");
  return engine != nullptr && std::string_view(engine) == "postgresql";
}

// Ends the current test as skipped on PostgreSQL, giving the reason.
#define QV_SKIP_ON_POSTGRES(reason) \
  if (::qv::testing::OnPostgres()) GTEST_SKIP() << "SQLite only: " << reason

// The cluster's socket folder: QVTOME_TEST_PG_HOST, else the folder ctest
// starts the build's cluster in.
inline std::string PgHost() {
  const char* host = std::getenv("QVTOME_TEST_PG_HOST");
  if (host != nullptr && *host != '\0') return host;
#ifdef QV_TEST_PG_DIR
  return QV_TEST_PG_DIR;
#else
  throw std::runtime_error("QVTOME_TEST_ENGINE=postgresql needs QVTOME_TEST_PG_HOST");
#endif
}

// A libpq connection string value, quoted.
inline std::string ConninfoValue(const std::string& value) {
  std::string quoted = "'";
  for (char c : value) {
    if (c == '\'' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "'";
}

// How the tests reach one database of the cluster.
inline std::string PgConninfo(const std::string& database) {
  return "host=" + ConninfoValue(PgHost()) + " user=qvtome dbname=" + ConninfoValue(database);
}

// A TOML basic string holding text.
inline std::string TomlString(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// A session with the cluster's own "qvtome" database, for creating and
// dropping the tests' databases.
class PgAdmin {
 public:
  PgAdmin() : conn_(PQconnectdb(PgConninfo("qvtome").c_str())) {
    if (PQstatus(conn_) != CONNECTION_OK) {
      const std::string message = PQerrorMessage(conn_);
      PQfinish(conn_);
      throw std::runtime_error("Cannot reach the test cluster: " + message);
    }
    Run("SET client_min_messages = warning");  // no notice for each DROP ... IF EXISTS
  }
  ~PgAdmin() { PQfinish(conn_); }
  PgAdmin(const PgAdmin&) = delete;
  PgAdmin& operator=(const PgAdmin&) = delete;

  // Runs sql; returns the first value of its first row ("" when none).
  std::string Run(const std::string& sql) {
    PGresult* result = PQexec(conn_, sql.c_str());
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
      const std::string message = PQresultErrorMessage(result);
      PQclear(result);
      throw std::runtime_error(message + " in: " + sql);
    }
    std::string first;
    if (PQntuples(result) > 0 && PQnfields(result) > 0) first = PQgetvalue(result, 0, 0);
    PQclear(result);
    return first;
  }

  // Drops a database, ending the sessions still connected to it (pooled
  // connections of the test's own threads).
  void Drop(const std::string& name) { Run("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)"); }

 private:
  PGconn* conn_;
};

enum class Contents { kEmpty, kSeeded };

class ScratchDatabase {
 public:
  // An SQLite database is file_name in dir; dir must exist.
  ScratchDatabase(const std::filesystem::path& dir, const std::string& file_name,
                  Contents contents) {
    static int counter = 0;
    ++counter;
    if (!OnPostgres()) {
      path_ = (dir / file_name).string();
      if (contents == Contents::kEmpty) {
        std::ofstream(path_).close();  // an empty file is an empty database
      } else {
        std::filesystem::copy_file(SqliteTemplate(), path_,
                                   std::filesystem::copy_options::overwrite_existing);
      }
      return;
    }
    // A process that ended without dropping its databases may have had this
    // process's number; what it left is no one's any more.
    name_ = "qvt_" + std::to_string(::getpid()) + "_" + std::to_string(counter);
    PgAdmin admin;
    admin.Drop(name_);
    if (contents == Contents::kEmpty) {
      admin.Run("CREATE DATABASE " + name_ + " TEMPLATE template0");
    } else {
      admin.Run("CREATE DATABASE " + name_ + " TEMPLATE " + PgTemplate(admin));
    }
  }
  ~ScratchDatabase() {
    if (name_.empty()) return;
    try {
      PgAdmin().Drop(name_);
    } catch (const std::exception& e) {
      ADD_FAILURE() << "Cannot drop " << name_ << ": " << e.what();
    }
  }
  ScratchDatabase(const ScratchDatabase&) = delete;
  ScratchDatabase& operator=(const ScratchDatabase&) = delete;

  // The keys of a [datasource.NAME] table that reaches this database.
  std::string Entry() const {
    if (name_.empty()) return "path = " + TomlString(path_) + "\n";
    return "engine = \"postgresql\"\nconninfo = " + TomlString(PgConninfo(name_)) + "\n";
  }
  // The SQLite file ("" on PostgreSQL).
  const std::string& path() const { return path_; }

 private:
  // The seeded SQLite database every seeded one of this process copies.
  static const std::string& SqliteTemplate() {
    static const std::string path = [] {
      static const std::string p = (std::filesystem::temp_directory_path() /
                                    ("qvtome-seeded-" + std::to_string(::getpid()) + ".db"))
                                       .string();
      CreateDatabaseIfMissing(p, /*force=*/true);
      std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove(p, ignored);
      });
      return p;
    }();
    return path;
  }

  // The cluster's seeded template database, built by the first process that
  // needs it while the others wait.
  static std::string PgTemplate(PgAdmin& admin) {
    const std::string name = "qvt_seeded";
    admin.Run("SELECT pg_advisory_lock(1746)");
    try {
      if (admin.Run("SELECT count(*) FROM pg_database WHERE datname = '" + name + "'") == "0") {
        const std::string building = "qvt_seeding_" + std::to_string(::getpid());
        admin.Drop(building);
        admin.Run("CREATE DATABASE " + building + " TEMPLATE template0");
        SeedPg(PgConninfo(building));
        // The seeding connections may still be pooled on this thread.
        admin.Run("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '" +
                  building + "' AND pid <> pg_backend_pid()");
        admin.Run("ALTER DATABASE " + building + " RENAME TO " + name);
      }
    } catch (...) {
      admin.Run("SELECT pg_advisory_unlock(1746)");
      throw;
    }
    admin.Run("SELECT pg_advisory_unlock(1746)");
    return name;
  }

  // Creates the schema and seed data in the database conninfo reaches.
  static void SeedPg(const std::string& conninfo) {
    CreatePostgresDatabaseIfMissing(conninfo, /*force=*/true);
  }

  std::string path_;
  std::string name_;
};

// Runs sql as it is, without translation, in a session of its own on the
// data source, as another server or a raw SQL tool would: on SQLite in a
// process of its own. Returns "" or the error.
inline std::string RunElsewhere(const std::string& source, const std::string& sql) {
  const DataSource where = LookupDataSource(source);
  if (where.engine == "postgresql") {
    PGconn* conn = PQconnectdb(where.conninfo.c_str());
    std::string error;
    if (PQstatus(conn) != CONNECTION_OK) {
      error = PQerrorMessage(conn);
    } else {
      PGresult* result = PQexec(conn, sql.c_str());
      const ExecStatusType status = PQresultStatus(result);
      if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        error = PQresultErrorMessage(result);
      }
      PQclear(result);
    }
    PQfinish(conn);
    return error;
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    sqlite3* handle = nullptr;
    const bool ok = sqlite3_open(where.path.c_str(), &handle) == SQLITE_OK &&
                    sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(handle);
    ::_exit(ok ? 0 : 1);
  }
  int status = -1;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : "failed";
}

// A new, unopened connection of the engine under test.
inline std::unique_ptr<Connection> NewEngineConnection() {
  if (OnPostgres()) return std::make_unique<PgConnection>();
  return std::make_unique<SqliteConnection>();
}

}  // namespace qv::testing
