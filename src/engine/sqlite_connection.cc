#include "engine/sqlite_connection.h"

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
  Close();
  DataSource source = LookupDataSource(dsn);
  if (source.engine != "sqlite") {
    throw DatabaseError("Data source " + dsn + " uses the " + source.engine +
                        " engine, which this server does not run");
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

QueryResult SqliteConnection::Query(const std::string& sql, bool with_keys) {
  sqlite3* db = Database().get();
  std::string translated = TranslateToSqlite(sql);
  CheckSingleStatement(translated);
  RequireOrdinaryStatement(translated);
  if (!with_keys) {
    SqliteStatement stmt = PrepareSqlite(db, translated);
    return ReadAllRows(db, stmt.get());
  }
  std::string keyed = WithKeyColumn(translated);
  SqliteStatement stmt;
  try {
    stmt = PrepareSqlite(db, keyed);
  } catch (const DatabaseError& e) {
    PrepareSqlite(db, translated);  // the statement's own error comes first
    throw DatabaseError("Record set is not updatable: " + std::string(e.what()));
  }
  return ReadKeyedRows(db, stmt.get());
}

std::vector<int64_t> SqliteConnection::WriteRows(const std::string& table,
                                                 const std::vector<RowWrite>& rows) {
  SqliteDatabase& database = Database();
  int outer_depth = database.depth();
  database.Begin();
  try {
    std::vector<int64_t> new_ids = WriteRowsTo(database.get(), table, rows);
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
