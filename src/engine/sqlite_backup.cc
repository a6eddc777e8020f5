#include "engine/sqlite_backup.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include <sqlite3.h>

#include "data/connection.h"
#include "engine/datasources.h"
#include "engine/sqlite_handle.h"

namespace qv {
namespace {

constexpr int kBusyTimeoutMs = 10000;

struct BackupFinisher {
  void operator()(sqlite3_backup* b) const { sqlite3_backup_finish(b); }
};

void CopyInto(sqlite3* source, sqlite3* target) {
  std::unique_ptr<sqlite3_backup, BackupFinisher> backup(
      sqlite3_backup_init(target, "main", source, "main"));
  if (!backup) ThrowSqliteError(target);
  // All pages in one step: the copy is one read transaction of the source.
  int rc = sqlite3_backup_step(backup.get(), -1);
  while (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
    sqlite3_sleep(50);
    rc = sqlite3_backup_step(backup.get(), -1);
  }
  if (rc != SQLITE_DONE) {
    throw DatabaseError(std::string("Backup failed: ") + sqlite3_errstr(rc));
  }
  if (sqlite3_backup_finish(backup.release()) != SQLITE_OK) ThrowSqliteError(target);
}

}  // namespace

void BackupSqliteFile(const std::string& source, const std::string& target) {
  namespace fs = std::filesystem;
  if (fs::exists(target)) throw DatabaseError("Backup target exists already: " + target);
  if (!fs::exists(source)) throw DatabaseError("No database at " + source);
  const fs::path partial = fs::path(target).concat(".partial");
  std::error_code ignored;
  fs::remove(partial, ignored);
  try {
    SqliteDb from = OpenSqliteFile(source);
    sqlite3_busy_timeout(from.get(), kBusyTimeoutMs);
    {
      SqliteDb to = OpenSqliteFile(partial.string(), /*create=*/true);
      CopyInto(from.get(), to.get());
      // The copy stands alone: no write-ahead log beside it.
      ExecSqlite(to.get(), "PRAGMA journal_mode=DELETE");
    }
    fs::rename(partial, target);
  } catch (...) {
    fs::remove(partial, ignored);
    throw;
  }
}

void BackupDataSource(const std::string& name, const std::string& target) {
  const DataSource source = LookupDataSource(name);
  if (source.engine != "sqlite") {
    throw DatabaseError("Data source " + source.name + " is not SQLite (" + source.engine +
                        "): back it up with the engine's own tool");
  }
  BackupSqliteFile(source.path, target);
}

}  // namespace qv
