#include "engine/sqlite_handle.h"

#include "data/connection.h"
#include "engine/sql_tokens.h"

namespace qv {

SqliteDb OpenSqliteFile(const std::string& path, bool create) {
  sqlite3* raw = nullptr;
  // Each handle is used by one thread only (the pool is per thread), so
  // SQLite's own per-call locking is not needed.
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
  SqliteDb db(raw);
  if (rc != SQLITE_OK) {
    std::string reason = raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc);
    throw DatabaseError("Cannot open database " + path + ": " + reason);
  }
  if (sqlite3_extended_result_codes(db.get(), 1) != SQLITE_OK) {
    throw DatabaseError("Cannot open database " + path + ": " + sqlite3_errmsg(db.get()));
  }
  return db;
}

SqliteStatement PrepareSqlite(sqlite3* db, std::string_view sql) {
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, &tail);
  SqliteStatement stmt(raw);
  if (rc != SQLITE_OK) ThrowSqliteError(db, sql);
  std::string_view rest(tail, sql.data() + sql.size() - tail);
  for (const SqlToken& t : TokenizeSql(rest)) {
    if (!t.IsBlank() && t.text != ";") throw DatabaseError("Only one statement per call");
  }
  if (!stmt) throw DatabaseError("Empty statement");
  return stmt;
}

void ExecSqlite(sqlite3* db, std::string_view sql) {
  SqliteStatement stmt = PrepareSqlite(db, sql);
  while (StepSqlite(db, stmt.get())) {
  }
}

bool StepSqlite(sqlite3* db, sqlite3_stmt* stmt) {
  int rc = sqlite3_step(stmt);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  ThrowSqliteError(db, sqlite3_sql(stmt) ? sqlite3_sql(stmt) : "");
}

void CheckBind(int index, int rc) {
  if (rc == SQLITE_OK) return;
  throw DatabaseError("Cannot bind parameter " + std::to_string(index) + ": " + sqlite3_errstr(rc));
}

void ThrowSqliteError(sqlite3* db, std::string_view sql) {
  std::string message = sqlite3_errmsg(db);
  if (!sql.empty()) message += " (SQL: " + std::string(sql) + ")";
  throw DatabaseError(message);
}

}  // namespace qv
