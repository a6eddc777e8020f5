#include "engine/sqlite_write.h"

#include "core/convert.h"
#include "core/sql_literal.h"
#include "engine/sqlite_handle.h"
#include "engine/sqlite_values.h"

namespace qv {
namespace {

// The kind of each column of a table, read from the schema SQLite keeps in
// memory (no statement runs), once per column for the rows of one write.
class ColumnKinds {
 public:
  ColumnKinds(sqlite3* db, const std::string& table) : db_(db), table_(table) {
    if (sqlite3_table_column_metadata(db, nullptr, table.c_str(), nullptr, nullptr, nullptr,
                                      nullptr, nullptr, nullptr) != SQLITE_OK) {
      throw DatabaseError("No such table: " + table);
    }
  }
  ColumnKind Of(const std::string& field) {
    for (const auto& [name, kind] : known_) {
      if (name == field) return kind;
    }
    const char* declared = nullptr;
    if (sqlite3_table_column_metadata(db_, nullptr, table_.c_str(), field.c_str(), &declared,
                                      nullptr, nullptr, nullptr, nullptr) != SQLITE_OK) {
      throw DatabaseError("No such column: " + table_ + "." + field);
    }
    const ColumnKind kind = ClassifyDeclaredType(declared ? declared : "").kind;
    known_.emplace_back(field, kind);
    return kind;
  }

 private:
  sqlite3* db_;
  const std::string& table_;
  std::vector<std::pair<std::string, ColumnKind>> known_;
};

std::string QuotedName(std::string_view name) {
  try {
    return "\"" + std::string(CheckIdentifier(name)) + "\"";
  } catch (const SqlValueError& e) {
    throw DatabaseError(e.what());
  }
}

// A statement of the handle's cache, reset when the use ends.
class CachedStatement {
 public:
  CachedStatement(SqliteDatabase& database, const std::string& sql)
      : stmt_(database.Statement("W" + sql, [&] { return PrepareSqlite(database.get(), sql); })
                  .stmt.get()) {}
  // reset repeats the error of a failed step, which StepSqlite has already
  // thrown; clear_bindings cannot fail.
  ~CachedStatement() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
  CachedStatement(const CachedStatement&) = delete;
  CachedStatement& operator=(const CachedStatement&) = delete;
  sqlite3_stmt* get() const { return stmt_; }

 private:
  sqlite3_stmt* stmt_;
};

void BindValues(sqlite3_stmt* stmt, ColumnKinds& kinds, const std::string& table,
                const RowWrite& row) {
  int index = 1;
  for (const auto& [field, value] : row.values) {
    try {
      BindColumn(stmt, index++, value, kinds.Of(field));
    } catch (const TypeMismatch& e) {
      throw DatabaseError(std::string(e.what()) + " (field " + table + "." + field + ")");
    } catch (const DatabaseError& e) {
      throw DatabaseError(std::string(e.what()) + " (field " + table + "." + field + ")");
    }
  }
}

std::string InsertSql(const std::string& table, const RowWrite& row) {
  if (row.values.empty()) return "INSERT INTO " + QuotedName(table) + " DEFAULT VALUES";
  std::string names, marks;
  for (const auto& [field, value] : row.values) {
    names += (names.empty() ? "" : ", ") + QuotedName(field);
    marks += marks.empty() ? "?" : ", ?";
  }
  return "INSERT INTO " + QuotedName(table) + " (" + names + ") VALUES (" + marks + ")";
}

std::string UpdateSql(const std::string& table, const RowWrite& row) {
  std::string assignments;
  for (const auto& [field, value] : row.values) {
    assignments += (assignments.empty() ? "" : ", ") + QuotedName(field) + " = ?";
  }
  return "UPDATE " + QuotedName(table) + " SET " + assignments + " WHERE \"ID\" = ?";
}

int64_t InsertRow(SqliteDatabase& database, ColumnKinds& kinds, const std::string& table,
                  const RowWrite& row) {
  sqlite3* db = database.get();
  CachedStatement stmt(database, InsertSql(table, row));
  BindValues(stmt.get(), kinds, table, row);
  StepSqlite(db, stmt.get());
  return sqlite3_last_insert_rowid(db);
}

void UpdateRow(SqliteDatabase& database, ColumnKinds& kinds, const std::string& table,
               const RowWrite& row) {
  if (row.values.empty()) return;
  sqlite3* db = database.get();
  CachedStatement stmt(database, UpdateSql(table, row));
  BindValues(stmt.get(), kinds, table, row);
  int id_index = static_cast<int>(row.values.size()) + 1;
  CheckBind(id_index, sqlite3_bind_int64(stmt.get(), id_index, *row.id));
  StepSqlite(db, stmt.get());
  if (sqlite3_changes(db) == 0) {
    throw DatabaseError("Row ID=" + std::to_string(*row.id) + " of " + table + " no longer exists");
  }
}

}  // namespace

std::vector<int64_t> WriteRowsTo(SqliteDatabase& database, const std::string& table,
                                 const std::vector<RowWrite>& rows) {
  QuotedName(table);  // a plain name, or DatabaseError
  ColumnKinds kinds(database.get(), table);
  std::vector<int64_t> new_ids;
  for (const RowWrite& row : rows) {
    if (row.id) {
      UpdateRow(database, kinds, table, row);
    } else {
      new_ids.push_back(InsertRow(database, kinds, table, row));
    }
  }
  return new_ids;
}

}  // namespace qv
