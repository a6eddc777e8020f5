// PgConnection: the Connection of the PostgreSQL engine.
//
// Open looks the data-source name up (datasources.h) and attaches to the
// calling thread's pooled connection for that source (pg_database.h).
// Statements run as RunPgStatement runs them (pg_query.h); WriteRows
// writes with parameters inside one transaction, nested in the caller's
// when one is open, and reads new IDs back with RETURNING.
//
// Transactions belong to the shared connection; a connection that is
// closed or destroyed rolls back the levels it began and did not end.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/connection.h"
#include "engine/datasources.h"
#include "engine/own_levels.h"

namespace qv {

class PgDatabase;

class PgConnection : public Connection {
 public:
  PgConnection() = default;
  ~PgConnection() override;
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

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
  int SchemaVersion() override;
  void SetSchemaVersion(int version) override;
  void AdvanceCounter(const std::string& table) override;
  void CreateSchema() override;

 private:
  PgDatabase& Database() const;

  std::shared_ptr<PgDatabase> db_;
  OwnLevels own_levels_;
};

}  // namespace qv
