// RAII owners of the SQLite C handles, and the checked calls on them.
//
// SqliteDb owns one sqlite3 connection, SqliteStatement one prepared
// statement. Every failing call throws DatabaseError carrying SQLite's own
// message (and the SQL text where there is one).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <sqlite3.h>

namespace qv {

// Neither release can fail in a way left to handle: close_v2 waits for the
// last statement before it closes, and finalize repeats the error of a
// failed step, which StepSqlite has thrown already.
struct SqliteDbCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct SqliteStatementFinalizer {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};

using SqliteDb = std::unique_ptr<sqlite3, SqliteDbCloser>;
using SqliteStatement = std::unique_ptr<sqlite3_stmt, SqliteStatementFinalizer>;

// Opens an existing database file for reading and writing (never creates
// one); with create, makes the file when it is missing.
SqliteDb OpenSqliteFile(const std::string& path, bool create = false);

// Prepares exactly one statement. Throws DatabaseError naming the SQL for
// bad SQL, and "Only one statement per call" when text follows it.
SqliteStatement PrepareSqlite(sqlite3* db, std::string_view sql);

// Runs a statement without reading its rows (DDL, PRAGMA, BEGIN ...).
void ExecSqlite(sqlite3* db, std::string_view sql);

// Steps once; true for a row, false when done. Throws DatabaseError.
bool StepSqlite(sqlite3* db, sqlite3_stmt* stmt);

// Checks rc, the result of a sqlite3_bind_* call for parameter index.
// Throws DatabaseError ("Cannot bind parameter 2: string or blob too big")
// when the value was not bound.
void CheckBind(int index, int rc);

// "message (SQL: sql)" as the text of a DatabaseError.
[[noreturn]] void ThrowSqliteError(sqlite3* db, std::string_view sql = {});

}  // namespace qv
