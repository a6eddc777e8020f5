#include "engine/change_counters.h"

#include <cctype>
#include <string>

#include "core/convert.h"
#include "engine/sqlite_handle.h"

namespace qv {
namespace {

// Skips blanks, then takes the next word ([A-Za-z0-9_]+); "" when none.
std::string NextWord(std::string_view sql, size_t& pos) {
  while (pos < sql.size() && std::isspace(static_cast<unsigned char>(sql[pos]))) ++pos;
  std::string word;
  while (pos < sql.size() &&
         (std::isalnum(static_cast<unsigned char>(sql[pos])) || sql[pos] == '_')) {
    word += sql[pos++];
  }
  return word;
}

bool HasCounterTable(sqlite3* db) {
  SqliteStatement stmt = PrepareSqlite(
      db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name='qvChangeCounter'");
  return StepSqlite(db, stmt.get());
}

// The table's counter row (made with a random start, so a table made anew
// never repeats a count of an earlier one), advanced by one; for a table
// made, its triggers. name is a plain word, so it stands in the text as it is.
void CountTable(sqlite3* db, bool made, const std::string& name) {
  const std::string table = ToLower(name);
  ExecSqlite(db, "INSERT INTO qvChangeCounter (dbTable, dbCount) SELECT '" + table +
                     "', abs(random() % 1000000000000) WHERE NOT EXISTS (SELECT 1 FROM "
                     "qvChangeCounter WHERE dbTable = '" +
                     table + "')");
  ExecSqlite(db,
             "UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = '" + table + "'");
  if (!made) return;
  for (const char* event : {"INSERT", "UPDATE", "DELETE"}) {
    ExecSqlite(db, "CREATE TRIGGER IF NOT EXISTS \"" + name + "_counted_" + ToLower(event) +
                       "\" AFTER " + event + " ON \"" + name +
                       "\" BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE "
                       "dbTable = '" +
                       table + "'; END");
  }
}

}  // namespace

void KeepTablesCounted(sqlite3* db, std::string_view sql) {
  size_t pos = 0;
  const std::string verb = ToUpper(NextWord(sql, pos));
  if (verb != "CREATE" && verb != "DROP") return;
  if (ToUpper(NextWord(sql, pos)) != "TABLE") return;
  std::string name = NextWord(sql, pos);
  if (ToUpper(name) == "IF") {
    if (verb == "CREATE") NextWord(sql, pos);  // NOT
    NextWord(sql, pos);                        // EXISTS
    name = NextWord(sql, pos);
  }
  const std::string table = ToLower(name);
  if (table.empty() || table == "qvchangecounter" || table.starts_with("sqlite_")) return;
  if (!HasCounterTable(db)) return;
  // One savepoint: the table is counted completely or not at all.
  ExecSqlite(db, "SAVEPOINT qv_counted");
  try {
    CountTable(db, verb == "CREATE", name);
    ExecSqlite(db, "RELEASE qv_counted");
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK TO qv_counted; RELEASE qv_counted", nullptr, nullptr, nullptr);
    throw;
  }
}

}  // namespace qv
