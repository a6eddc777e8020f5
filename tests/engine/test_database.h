// A scratch folder with a data source "test" in it, for the engine tests:
// an empty database of the engine under test (test_engine.h), on SQLite the
// file test.db in the folder, on PostgreSQL a database of the test cluster.
// A seeded fixture sets contents_ before SetUp.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <toml++/toml.h>

#include "engine/datasources.h"
#include "engine/sqlite_connection.h"
#include "engine/sqlite_handle.h"
#include "test_engine.h"

namespace qv::testing_support {

using testing::Contents;
using testing::OnPostgres;

inline std::filesystem::path MakeScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qvtome-engine-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

class TestDatabase : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeScratchDir();
    db_ = std::make_unique<testing::ScratchDatabase>(dir_, "test.db", contents_);
    toml::table config = toml::parse("[datasource.test]\n" + db_->Entry() + R"(
      [datasource.missing]
      path = "no-such-file.db"
    )");
    ConfigureDataSources(&config, dir_.string());
    if (!OnPostgres() && contents_ == Contents::kEmpty) {
      OpenSqliteFile(DatabasePath(), /*create=*/true);
    }
  }
  void TearDown() override {
    ConfigureDataSources(nullptr, "");
    db_.reset();
    std::filesystem::remove_all(dir_);
  }

  // The SQLite file (SQLite only).
  std::string DatabasePath() const { return (dir_ / "test.db").string(); }

  std::shared_ptr<Connection> Connect() const {
    std::shared_ptr<Connection> conn = testing::NewEngineConnection();
    conn->Open("test", "", "");
    return conn;
  }

  // qvItem with one column of every kind the engine distinguishes.
  void CreateItemTable() const {
    Connect()->Query(
        "CREATE TABLE qvItem (ID counter, dbName text(255), dbMemo memo, dbFlag yesno, "
        "dbWhen datetime, dbCount long, dbScore double, Stamp text(50))");
  }

  Contents contents_ = Contents::kEmpty;
  std::filesystem::path dir_;
  std::unique_ptr<testing::ScratchDatabase> db_;
};

}  // namespace qv::testing_support
