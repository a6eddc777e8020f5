#include "engine/init_db.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "data/connection.h"
#include "engine/dialect.h"
#include "engine/embedded_sql.h"
#include "engine/migrations.h"
#include "engine/sql_script.h"
#include "engine/sqlite_handle.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

void RemoveIfPresent(const fs::path& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
}

void BuildDatabase(const std::string& path) {
  SqliteDb db = OpenSqliteFile(path, /*create=*/true);
  ExecSqlite(db.get(), "BEGIN IMMEDIATE");
  for (const EmbeddedSqlFile& file : EmbeddedSqlFiles()) {
    RunSqlScript(db.get(), file.text, file.name);
  }
  // The scripts hold everything the migrations add.
  ExecSqlite(db.get(), "PRAGMA user_version = " + std::to_string(LatestSchemaVersion()));
  ExecSqlite(db.get(), "COMMIT");
}

// Moves the finished file over the target. The old file's write-ahead log
// and shared-memory index belong to the old data and must not be applied
// to the new file.
void MoveIntoPlace(const fs::path& built, const fs::path& target) {
  for (const char* suffix : {"-wal", "-shm", "-journal"}) {
    RemoveIfPresent(target.string() + suffix);
  }
  std::error_code error;
  fs::rename(built, target, error);
  if (error) {
    throw DatabaseError("Cannot create database " + target.string() + ": " + error.message());
  }
}

}  // namespace

void RunSqlScript(sqlite3* db, std::string_view script, std::string_view script_name) {
  int number = 0;
  for (const std::string& statement : SplitSqlScript(script)) {
    ++number;
    try {
      ExecSqlite(db, TranslateToSqlite(statement));
    } catch (const DatabaseError& e) {
      throw DatabaseError(std::string(script_name) + ", statement " + std::to_string(number) +
                          ": " + e.what());
    }
  }
}

bool CreateDatabaseIfMissing(const std::string& path, bool force) {
  fs::path target(path);
  std::error_code error;
  if (fs::exists(target, error) && !force) return false;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
  fs::path built = target.string() + ".init-" + std::to_string(::getpid());
  RemoveIfPresent(built);
  try {
    BuildDatabase(built.string());
  } catch (...) {
    RemoveIfPresent(built);
    RemoveIfPresent(built.string() + "-journal");
    throw;
  }
  MoveIntoPlace(built, target);
  return true;
}

}  // namespace qv
