// The schema on PostgreSQL: what the engine installs in a database, a new
// database's schema and seed data, schema versions and change counters.
//
// Every connection first makes sure the database has the engine's support
// objects (in one transaction, once per database): the citext extension
// (text that compares without regard to case), the trigger function that
// advances change counters, and the operators that compare yes/no columns
// with numbers as SQLite compares its stored 1/0 (b = 0, b <> 0, b = -1
// give SQLite's results).
//
// The schema version is the one row of qvSchemaVersion (PostgreSQL has no
// user_version). Schema, seed data and migrations are the same desktop
// scripts as on SQLite, run through the PostgreSQL translation; the
// change-counting triggers they write in SQLite's syntax become the
// table's counter trigger (migrations.h has the rule for migrations).
#pragma once

#include <string>
#include <vector>

#include "engine/migrations.h"
#include "engine/pg_database.h"

namespace qv {

// Installs the support objects when the database lacks them.
void InstallPostgresSupport(PgDatabase& db);

// After a table was made (made) or dropped: its counter row, advanced,
// and for a table made its trigger. Does nothing for a database without
// qvChangeCounter.
void CountPgTable(PgDatabase& db, const std::string& table, bool made);
// The statement trigger that advances table's change counter.
void CreatePgCounterTrigger(PgDatabase& db, const std::string& table);

// Builds the schema and seed data in the database of conninfo and stamps
// it with the latest version, in one transaction. Returns false, doing
// nothing, when the database already holds the schema and force is false;
// with force every table and view of the schema is dropped first.
bool CreatePostgresDatabaseIfMissing(const std::string& conninfo, bool force = false);

// The schema version the database carries (0 without qvSchemaVersion).
int PostgresSchemaVersion(PgDatabase& db);
// Stamps the version, making qvSchemaVersion when the database lacks it.
void SetPostgresSchemaVersion(PgDatabase& db, int version);

// The tables of the connection's schema as the schema spells them, sorted
// by name, without qvSchemaVersion (the engine's own).
std::vector<std::string> PostgresTableNames(PgDatabase& db);
// Runs schema.sql (tables, indexes, change counters; no seed rows) on the
// open transaction; the version is not stamped.
void CreatePostgresSchema(PgDatabase& db);

// As ApplyMigrations (migrations.h), on PostgreSQL.
UpgradeResult ApplyPostgresMigrations(PgDatabase& db, const std::vector<Migration>& migrations);
// ApplyPostgresMigrations with SchemaMigrations() on the database of conninfo.
UpgradeResult UpgradePostgresDatabase(const std::string& conninfo);

}  // namespace qv
