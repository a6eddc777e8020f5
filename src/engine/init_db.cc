#include "engine/init_db.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>
#include <utility>

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

void WriteDemoMedia(const std::string& media_dir) {
  // The page of the pictures book that holds each picture.
  static const std::pair<std::string_view, int> kPages[] = {
      {"telescope.svg", 1}, {"sun.svg", 2},     {"moon.svg", 3},
      {"mars.svg", 4},      {"jupiter.svg", 5}, {"saturn.svg", 6}};
  const fs::path folder = fs::path(media_dir) / "qvmedia" / "4";
  fs::create_directories(folder);
  for (const EmbeddedSqlFile& file : EmbeddedDemoMediaFiles()) {
    for (const auto& [name, page] : kPages) {
      if (file.name != name) continue;
      const std::string digits = std::to_string(page);
      const fs::path target =
          folder / ("m" + std::string(6 - digits.size(), '0') + digits + "_" + std::string(name));
      std::ofstream out(target, std::ios::binary | std::ios::trunc);
      out << file.text;
      if (!out.flush()) {
        throw fs::filesystem_error("cannot write", target,
                                   std::make_error_code(std::errc::io_error));
      }
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
