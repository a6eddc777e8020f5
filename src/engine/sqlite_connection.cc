#include "engine/sqlite_connection.h"

#include "engine/change_counters.h"
#include "engine/datasources.h"
#include "engine/dialect.h"
#include "engine/embedded_sql.h"
#include "engine/init_db.h"
#include "engine/migrations.h"
#include "engine/sqlite_database.h"
#include "engine/sqlite_handle.h"
#include "engine/sqlite_query.h"
#include "engine/sqlite_write.h"

namespace qv {

SqliteConnection::~SqliteConnection() { Close(); }

void SqliteConnection::Open(const std::string& dsn, const std::string& /*user*/,
                            const std::string& /*password*/) {
  Close();
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
  own_levels_.RollbackAll(*db_);
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
  SqliteDatabase::Prepared& prepared = database.Statement(
      (with_keys ? "K" : "Q") + sql, [&] { return PrepareQuery(db, sql, with_keys); });
  sqlite3_stmt* stmt = prepared.stmt.get();
  ColumnShape& shape = prepared.shape;
  StatementUse use(stmt);
  auto write_lock = database.LockForStatement(stmt);
  if (sqlite3_stmt_readonly(stmt)) {
    return with_keys ? ReadKeyedRows(db, stmt, shape) : ReadAllRows(db, stmt, shape);
  }
  NoteDatabaseWrite();
  QueryResult result = with_keys ? ReadKeyedRows(db, stmt, shape) : ReadAllRows(db, stmt, shape);
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

void SqliteConnection::BeginTransaction() { own_levels_.Begin(Database()); }

void SqliteConnection::Commit() { own_levels_.Commit(Database()); }

void SqliteConnection::Rollback() { own_levels_.Rollback(Database()); }

std::vector<std::string> SqliteConnection::TableNames() {
  sqlite3* db = Database().get();
  SqliteStatement stmt = PrepareSqlite(db,
                                       "SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                       "name NOT LIKE 'sqlite!_%' ESCAPE '!' ORDER BY name");
  std::vector<std::string> names;
  while (StepSqlite(db, stmt.get())) {
    names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0)));
  }
  return names;
}

int SqliteConnection::SchemaVersion() { return ::qv::SchemaVersion(Database().get()); }

void SqliteConnection::SetSchemaVersion(int version) {
  SqliteDatabase& database = Database();
  NoteDatabaseWrite();
  ExecSqlite(database.get(), "PRAGMA user_version = " + std::to_string(version));
}

void SqliteConnection::CreateSchema() {
  SqliteDatabase& database = Database();
  NoteDatabaseWrite();
  for (const EmbeddedSqlFile& file : EmbeddedSqlFiles()) {
    if (file.name == "schema.sql") return RunSqlScript(database.get(), file.text, file.name);
  }
  throw DatabaseError("The schema is not compiled in");
}

void RegisterSqliteEngine() {
  SetConnectionFactory([] { return std::make_unique<SqliteConnection>(); });
}

}  // namespace qv
