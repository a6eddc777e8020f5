#include "engine/sqlite_connection.h"

#include "engine/change_counters.h"
#include "engine/datasources.h"
#include "engine/dialect.h"
#include "engine/sqlite_database.h"
#include "engine/sqlite_handle.h"
#include "engine/sqlite_query.h"
#include "engine/sqlite_write.h"

namespace qv {

SqliteConnection::~SqliteConnection() { Close(); }

void SqliteConnection::Open(const std::string& dsn, const std::string& /*user*/,
                            const std::string& /*password*/) {
  OpenSource(LookupDataSource(dsn));
}

void SqliteConnection::OpenSource(const DataSource& source) {
  Close();
  if (source.engine != "sqlite") {
    throw DatabaseError("Data source " + source.name + " uses the " + source.engine +
                        " engine, not SQLite");
  }
  db_ = SqliteDatabase::ForThisThread(source.path);
}

void SqliteConnection::Close() {
  if (!db_) return;
  for (; own_levels_ > 0; --own_levels_) db_->Rollback();
  db_.reset();
}

SqliteDatabase& SqliteConnection::Database() const {
  if (!db_) throw DatabaseError("The connection is not open");
  return *db_;
}

namespace {

// The statement as SQLite runs it: translated, checked, and for a keyed
// query with the key column added.
SqliteStatement PrepareQuery(sqlite3* db, const std::string& sql, bool with_keys) {
  std::string translated = TranslateToSqlite(sql);
  CheckSingleStatement(translated);
  RequireOrdinaryStatement(translated);
  if (!with_keys) return PrepareSqlite(db, translated);
  std::string keyed = WithKeyColumn(translated);
  try {
    return PrepareSqlite(db, keyed);
  } catch (const DatabaseError& e) {
    PrepareSqlite(db, translated);  // the statement's own error comes first
    throw DatabaseError("Record set is not updatable: " + std::string(e.what()));
  }
}

// Resets a cached statement when its use ends, however it ends. The result
// of reset repeats the error of a failed step, which was already thrown.
class StatementUse {
 public:
  explicit StatementUse(sqlite3_stmt* stmt) : stmt_(stmt) {}
  ~StatementUse() { sqlite3_reset(stmt_); }
  StatementUse(const StatementUse&) = delete;
  StatementUse& operator=(const StatementUse&) = delete;

 private:
  sqlite3_stmt* stmt_;
};

}  // namespace

QueryResult SqliteConnection::Query(const std::string& sql, bool with_keys) {
  SqliteDatabase& database = Database();
  sqlite3* db = database.get();
  sqlite3_stmt* stmt = database.Statement((with_keys ? "K" : "Q") + sql,
                                          [&] { return PrepareQuery(db, sql, with_keys); });
  StatementUse use(stmt);
  auto write_lock = database.LockForStatement(stmt);
  if (sqlite3_stmt_readonly(stmt))
    return with_keys ? ReadKeyedRows(db, stmt) : ReadAllRows(db, stmt);
  NoteDatabaseWrite();
  QueryResult result = with_keys ? ReadKeyedRows(db, stmt) : ReadAllRows(db, stmt);
  KeepTablesCounted(db, sqlite3_sql(stmt));
  return result;
}

std::vector<int64_t> SqliteConnection::WriteRows(const std::string& table,
                                                 const std::vector<RowWrite>& rows) {
  SqliteDatabase& database = Database();
  NoteDatabaseWrite();
  int outer_depth = database.depth();
  database.Begin();
  try {
    std::vector<int64_t> new_ids = WriteRowsTo(database, table, rows);
    database.Commit();
    return new_ids;
  } catch (...) {
    if (database.depth() > outer_depth) database.Rollback();
    throw;
  }
}

void SqliteConnection::BeginTransaction() {
  Database().Begin();
  ++own_levels_;
}

void SqliteConnection::Commit() {
  SqliteDatabase& database = Database();
  int depth = database.depth();
  try {
    database.Commit();
  } catch (...) {
    // A level the database already rolled back is gone all the same.
    if (database.depth() < depth && own_levels_ > 0) --own_levels_;
    throw;
  }
  if (own_levels_ > 0) --own_levels_;
}

void SqliteConnection::Rollback() {
  Database().Rollback();
  if (own_levels_ > 0) --own_levels_;
}

void RegisterSqliteEngine() {
  SetConnectionFactory([] { return std::make_unique<SqliteConnection>(); });
}

}  // namespace qv
