// SqliteConnection: the Connection of the embedded SQLite engine.
//
// Open looks the data-source name up (datasources.h) and attaches to the
// calling thread's pooled handle for that file (sqlite_database.h); the
// file must exist. Every statement goes through the dialect translator and
// runs alone. Query reads all rows before it returns; declared column types
// give each field its ADO type and defined size and each value its kind.
// Query with keys selects the table's ID along with the row (the query
// must read one table); WriteRows writes with bound parameters inside one
// transaction, nested in the caller's when one is open.
//
// Transactions belong to the shared handle; a connection that is closed or
// destroyed rolls back the levels it began and did not end.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/connection.h"
#include "engine/datasources.h"
#include "engine/own_levels.h"

namespace qv {

class SqliteDatabase;

class SqliteConnection : public Connection {
 public:
  SqliteConnection() = default;
  ~SqliteConnection() override;
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  void Open(const std::string& dsn, const std::string& user, const std::string& password) override;
  // Opens a source already looked up.
  void OpenSource(const DataSource& source);
  bool IsOpen() const override { return db_ != nullptr; }
  void Close() override;

  QueryResult Query(const std::string& sql, bool with_keys = false) override;
  std::vector<int64_t> WriteRows(const std::string& table,
                                 const std::vector<RowWrite>& rows) override;

  void BeginTransaction() override;
  void Commit() override;
  void Rollback() override;

  std::vector<std::string> TableNames() override;
  // The file's user_version.
  int SchemaVersion() override;
  void SetSchemaVersion(int version) override;
  // Nothing to do: a counter key's next value follows the largest ID.
  void AdvanceCounter(const std::string& /*table*/) override {}
  // schema.sql, as a new database file gets it.
  void CreateSchema() override;

 private:
  SqliteDatabase& Database() const;

  std::shared_ptr<SqliteDatabase> db_;
  OwnLevels own_levels_;
};

// Makes NewConnection() create SqliteConnection objects.
void RegisterSqliteEngine();

}  // namespace qv
