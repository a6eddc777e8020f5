// A throw-away SQLite data source for the host and data tests, and a record
// of every statement the component sends.
//
// TestSource configures the data source "qvtest" as a fresh, empty database
// of the engine under test (engine/test_engine.h), with its own temporary
// folder, and removes both again. Every connection made
// through NewConnection() is wrapped so that the SQL texts it runs can be
// read back from Statements().
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <toml++/toml.h>

#include "data/connection.h"
#include "data/queued_writes.h"
#include "data/settings.h"
#include "engine/datasources.h"
#include "engine/test_engine.h"

namespace qv {

// Every part of the request's state as new, also the settings SysVar.Init
// keeps: a test starts as a fresh thread would.
inline void ResetRequestState() {
  BeginRequestState();
  Kept() = KeptSettings{};
}

}  // namespace qv

namespace qv::testing {

inline std::vector<std::string>& Statements() {
  static std::vector<std::string> statements;
  return statements;
}

// Delegates to the engine's connection, recording each statement.
class RecordingConnection : public Connection {
 public:
  explicit RecordingConnection(std::unique_ptr<Connection> inner) : inner_(std::move(inner)) {}
  void Open(const std::string& dsn, const std::string& user, const std::string& password) override {
    inner_->Open(dsn, user, password);
  }
  bool IsOpen() const override { return inner_->IsOpen(); }
  void Close() override { inner_->Close(); }
  QueryResult Query(const std::string& sql, bool with_keys) override {
    Statements().push_back(sql);
    return inner_->Query(sql, with_keys);
  }
  std::vector<int64_t> WriteRows(const std::string& table,
                                 const std::vector<RowWrite>& rows) override {
    return inner_->WriteRows(table, rows);
  }
  void BeginTransaction() override { inner_->BeginTransaction(); }
  void Commit() override { inner_->Commit(); }
  void Rollback() override { inner_->Rollback(); }

 private:
  std::unique_ptr<Connection> inner_;
};

class TestSource {
 public:
  TestSource() : dir_(MakeDir()), db_(dir_, "qvtest.db", Contents::kEmpty) {
    const toml::table config = toml::parse("[datasource.qvtest]\n" + db_.Entry());
    ConfigureDataSources(&config, dir_.string());
    SetConnectionFactory(
        [] { return std::make_unique<RecordingConnection>(NewEngineConnection()); });
    Statements().clear();
  }
  ~TestSource() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  TestSource(const TestSource&) = delete;
  TestSource& operator=(const TestSource&) = delete;

  // Runs one statement on a connection of its own.
  // Log rows queued before it are written first.
  QueryResult Exec(const std::string& sql) {
    FlushQueuedWrites();
    std::unique_ptr<Connection> conn = NewConnection();
    conn->Open("qvtest", "", "");
    QueryResult result = conn->Query(sql);
    conn->Close();
    return result;
  }

  // A message table with the version row and the given extra rows of
  // (dbName, dbMsg_e, dbMsg_n); rows load in the order given.
  void CreateMessages(const std::vector<std::vector<std::string>>& rows,
                      const std::string& version = "1.10") {
    Exec(
        "CREATE TABLE qvSystemMsg (ID counter, dbName text(50), dbMsg_e memo, "
        "dbMsg_n memo, dbOrder int)");
    int order = 0;
    if (!version.empty()) AddMessage("qvTome", version, version, order++);
    for (const auto& r : rows) AddMessage(r[0], r[1], r[2], order++);
  }

  void AddMessage(const std::string& name, const std::string& e, const std::string& n, int order) {
    Exec("INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('" + name + "', '" +
         e + "', '" + n + "', " + std::to_string(order) + ")");
  }

 private:
  static std::filesystem::path MakeDir() {
    static int counter = 0;
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("qvtome-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(dir);
    return dir;
  }

  std::filesystem::path dir_;
  ScratchDatabase db_;
};

}  // namespace qv::testing
