// Database initialisation: a new SQLite file with the schema and seed data.
//
// CreateDatabaseIfMissing builds the database from the SQL files compiled
// into the program (embedded_sql.h): schema.sql, seed_system.sql,
// seed_messages.sql and seed_demo.sql, in that order, each statement
// through the dialect translator, all in one transaction, and stamps it
// with the latest schema version (migrations.h). The database is built in
// a temporary file beside the target and moved into place only when every
// statement ran, so a failed initialisation leaves any existing file as it
// was.
#pragma once

#include <string>
#include <string_view>

#include <sqlite3.h>

namespace qv {

// Returns false, doing nothing, when a file exists at path and force is
// false; otherwise creates the database (with force, replacing the file)
// and returns true. Creates missing parent folders. Throws DatabaseError
// naming the file and statement that failed.
bool CreateDatabaseIfMissing(const std::string& path, bool force = false);

// Writes the demo course's pictures into media_dir, the media folder of the
// demo's data source (its "qvTmMPath/"): each picture of the pictures book
// (table qvmedia, book 4) as that page's file, qvmedia/4/m00000N_name.svg,
// as the demo's pages refer to them. Files already there are replaced.
// Throws std::filesystem::filesystem_error when a folder or file cannot be
// written.
void WriteDemoMedia(const std::string& media_dir);

// Runs every statement of a script (sql_script.h) on db through the
// translator. Throws DatabaseError naming script_name and the statement.
void RunSqlScript(sqlite3* db, std::string_view script, std::string_view script_name);

}  // namespace qv
