// A scratch folder with a data source "test" pointing at test.db in it,
// for the engine tests. The file exists (empty) when the fixture starts.
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

namespace qv::testing_support {

inline std::filesystem::path MakeScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qvtome-engine-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

class TestDatabase : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeScratchDir();
    toml::table config = toml::parse(R"(
      [datasource.test]
      path = "test.db"
      [datasource.missing]
      path = "no-such-file.db"
    )");
    ConfigureDataSources(&config, dir_.string());
    OpenSqliteFile(DatabasePath(), /*create=*/true);
  }
  void TearDown() override {
    ConfigureDataSources(nullptr, "");
    std::filesystem::remove_all(dir_);
  }

  std::string DatabasePath() const { return (dir_ / "test.db").string(); }

  std::shared_ptr<SqliteConnection> Connect() const {
    auto conn = std::make_shared<SqliteConnection>();
    conn->Open("test", "", "");
    return conn;
  }

  // qvItem with one column of every kind the engine distinguishes.
  void CreateItemTable() const {
    Connect()->Query(
        "CREATE TABLE qvItem (ID counter, dbName text(255), dbMemo memo, dbFlag yesno, "
        "dbWhen datetime, dbCount long, dbScore double, Stamp text(50))");
  }

  std::filesystem::path dir_;
};

}  // namespace qv::testing_support
