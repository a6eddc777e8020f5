// Schema migrations: numbered changes that bring a database made by an
// earlier version of the program to the schema and seed data of this one.
//
// The schema version is kept in the database file (SQLite's user_version;
// 0 for a database made before versions were kept). A new database is
// built with the current schema and seed data and stamped with the latest
// version (init_db.h). UpgradeDatabase applies, in order, every migration
// above the file's version and stamps the file, all in one transaction:
// either every migration applies or the file stays as it was. Migration N
// is the compiled-in script schema/migrations/NNNN_*.sql, run through the
// dialect translator like the schema.
//
// PostgreSQL (pg_schema.h) keeps the version in the one row of
// qvSchemaVersion and runs the same scripts through its translation, also
// in one transaction. A migration is written once, in the desktop dialect,
// for both engines. A new PostgreSQL database is built with the current
// schema directly, so migrations run there only for changes made after it
// was built. SQLite's trigger syntax does not run on PostgreSQL: a
// change-counting trigger (NAME_counted_EVENT AFTER EVENT ON table BEGIN
// UPDATE qvChangeCounter ... END) becomes that table's counter trigger
// there; any other trigger is refused, failing the upgrade, so a change
// that needs one must be made by the engine's code for each engine, as
// change counting is.
#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct Migration {
  int version = 0;  // 1, 2, ... in order
  std::string_view name;
  std::string_view script;
};

// The compiled-in migrations, by version. Throws DatabaseError when their
// file names are not numbered 1, 2, ... without gaps.
const std::vector<Migration>& SchemaMigrations();
// The version of this program's schema: that of its last migration.
int LatestSchemaVersion();

// The version a database file carries.
int SchemaVersion(sqlite3* db);

struct UpgradeResult {
  int from = 0;
  int to = 0;
  bool Changed() const { return from != to; }
};

// Applies every migration of `migrations` above db's version, in order,
// and stamps db with the last one's version, in one BEGIN IMMEDIATE
// transaction. Throws DatabaseError, leaving db as it was, when a script
// fails (naming the migration and statement) or when db carries a version
// above the last migration (made by a newer program).
UpgradeResult ApplyMigrations(sqlite3* db, const std::vector<Migration>& migrations);

// ApplyMigrations with SchemaMigrations() on the database file at path
// (which must exist), waiting up to 10 s for other writers.
UpgradeResult UpgradeDatabase(const std::string& path);

}  // namespace qv
