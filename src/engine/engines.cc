#include "engine/engines.h"

#include <memory>

#include "engine/datasources.h"
#include "engine/pg_connection.h"
#include "engine/sqlite_connection.h"

namespace qv {
namespace {

// Opens with the data source's engine and passes every call on to it.
class EngineConnection : public Connection {
 public:
  void Open(const std::string& dsn, const std::string& user, const std::string& password) override {
    DataSource source = LookupDataSource(dsn);
    if (source.engine == "postgresql") {
      auto pg = std::make_unique<PgConnection>();
      pg->OpenSource(source);
      engine_ = std::move(pg);
      return;
    }
    (void)user;
    (void)password;
    if (!sqlite_) sqlite_ = std::make_unique<SqliteConnection>();
    engine_.reset();
    sqlite_->OpenSource(source);
  }
  bool IsOpen() const override { return Engine() != nullptr && Engine()->IsOpen(); }
  void Close() override {
    if (engine_) engine_->Close();
    if (sqlite_) sqlite_->Close();
  }
  QueryResult Query(const std::string& sql, bool with_keys) override {
    return Current().Query(sql, with_keys);
  }
  std::vector<int64_t> WriteRows(const std::string& table,
                                 const std::vector<RowWrite>& rows) override {
    return Current().WriteRows(table, rows);
  }
  void BeginTransaction() override { Current().BeginTransaction(); }
  void Commit() override { Current().Commit(); }
  void Rollback() override { Current().Rollback(); }

 private:
  Connection* Engine() const { return engine_ ? engine_.get() : sqlite_.get(); }
  Connection& Current() const {
    Connection* engine = Engine();
    if (engine == nullptr) throw DatabaseError("The connection is not open");
    return *engine;
  }

  std::unique_ptr<SqliteConnection> sqlite_;
  std::unique_ptr<Connection> engine_;  // the PostgreSQL connection, when open on one
};

}  // namespace

void RegisterEngines() {
  SetConnectionFactory([] { return std::make_unique<EngineConnection>(); });
}

}  // namespace qv
