#include "engine/migrations.h"

#include "data/connection.h"
#include "engine/embedded_sql.h"
#include "engine/init_db.h"
#include "engine/sqlite_handle.h"

namespace qv {
namespace {

constexpr int kBusyTimeoutMs = 10000;

// The version at the start of a migration's file name ("0007_x.sql": 7),
// or 0 when it has none.
int VersionOfName(std::string_view name) {
  int version = 0;
  size_t i = 0;
  for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && version < 100000; ++i) {
    version = version * 10 + (name[i] - '0');
  }
  return i > 0 && i < name.size() && name[i] == '_' ? version : 0;
}

std::vector<Migration> ReadMigrations() {
  std::vector<Migration> migrations;
  for (const EmbeddedSqlFile& file : EmbeddedMigrationFiles()) {
    const int version = VersionOfName(file.name);
    if (version != static_cast<int>(migrations.size()) + 1) {
      throw DatabaseError("Migration " + std::string(file.name) + " should be numbered " +
                          std::to_string(migrations.size() + 1));
    }
    migrations.push_back({version, file.name, file.text});
  }
  return migrations;
}

}  // namespace

const std::vector<Migration>& SchemaMigrations() {
  static const std::vector<Migration> migrations = ReadMigrations();
  return migrations;
}

int LatestSchemaVersion() {
  const std::vector<Migration>& migrations = SchemaMigrations();
  return migrations.empty() ? 0 : migrations.back().version;
}

int SchemaVersion(sqlite3* db) {
  SqliteStatement stmt = PrepareSqlite(db, "PRAGMA user_version");
  StepSqlite(db, stmt.get());
  return sqlite3_column_int(stmt.get(), 0);
}

UpgradeResult ApplyMigrations(sqlite3* db, const std::vector<Migration>& migrations) {
  const int latest = migrations.empty() ? 0 : migrations.back().version;
  ExecSqlite(db, "BEGIN IMMEDIATE");
  try {
    UpgradeResult result{SchemaVersion(db), 0};
    result.to = result.from;
    if (result.from > latest) {
      throw DatabaseError("The database has schema version " + std::to_string(result.from) +
                          ", newer than this program's " + std::to_string(latest));
    }
    for (const Migration& migration : migrations) {
      if (migration.version <= result.from) continue;
      RunSqlScript(db, migration.script, "migration " + std::string(migration.name));
      result.to = migration.version;
    }
    if (result.Changed()) ExecSqlite(db, "PRAGMA user_version = " + std::to_string(result.to));
    ExecSqlite(db, "COMMIT");
    return result;
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

UpgradeResult UpgradeDatabase(const std::string& path) {
  SqliteDb db = OpenSqliteFile(path);
  sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
  try {
    return ApplyMigrations(db.get(), SchemaMigrations());
  } catch (const DatabaseError& e) {
    throw DatabaseError("Cannot upgrade database " + path + ": " + e.what());
  }
}

}  // namespace qv
