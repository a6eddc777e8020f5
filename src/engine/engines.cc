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
    Close();
    engine_.reset();
    DataSource source = LookupDataSource(dsn);
    if (source.engine == "postgresql") {
      auto pg = std::make_unique<PgConnection>();
      pg->OpenSource(source);
      engine_ = std::move(pg);
      return;
    }
    (void)user;
    (void)password;
    engine_.reset();
    sqlite_.OpenSource(source);
  }
  bool IsOpen() const override { return Engine().IsOpen(); }
  void Close() override {
    if (engine_) engine_->Close();
    sqlite_.Close();
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

  std::vector<std::string> TableNames() override { return Current().TableNames(); }
  int SchemaVersion() override { return Current().SchemaVersion(); }
  void SetSchemaVersion(int version) override { Current().SetSchemaVersion(version); }
  void AdvanceCounter(const std::string& table) override { Current().AdvanceCounter(table); }
  void CreateSchema() override { Current().CreateSchema(); }

 private:
  const Connection& Engine() const {
    return engine_ ? *engine_ : static_cast<const Connection&>(sqlite_);
  }
  Connection& Current() { return engine_ ? *engine_ : sqlite_; }

  // The SQLite connection lives inside, so the common case costs no
  // allocation beyond the object itself.
  SqliteConnection sqlite_;
  std::unique_ptr<Connection> engine_;  // the PostgreSQL connection, when open on one
};

}  // namespace

void RegisterEngines() {
  SetConnectionFactory([] { return std::make_unique<EngineConnection>(); });
}

}  // namespace qv
