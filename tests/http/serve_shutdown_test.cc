// The qvtome command as a real process: page views logged behind the
// request all reach the database when the server is stopped by a signal.
#include <fcntl.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <toml++/toml.h>

#include "core/convert.h"
#include "engine/datasources.h"
#include "engine/test_engine.h"
#include "serve_process.h"
#include "test_client.h"

namespace qv::http::testing {
namespace {

namespace fs = std::filesystem;
using ::qv::testing::Contents;
using ::qv::testing::NewEngineConnection;
using ::qv::testing::OnPostgres;
using ::qv::testing::ScratchDatabase;

const char* const kLoggedViews =
    "SELECT dbQueryString FROM qvAuthLog WHERE dbPageName = '/book.lp' AND dbAction = 2 ORDER BY "
    "ID";

std::vector<std::string> LoggedQueries(const fs::path& db_path) {
  std::vector<std::string> queries;
  if (OnPostgres()) {  // the data source the configuration in the data folder names
    const toml::table config = toml::parse_file((db_path.parent_path() / "qvtome.toml").string());
    ConfigureDataSources(&config, db_path.parent_path().string());
    std::unique_ptr<Connection> conn = NewEngineConnection();
    conn->Open("qvtome", "", "");
    for (const auto& row : conn->Query(kLoggedViews).rows) queries.push_back(NullToStr(row.at(0)));
    return queries;
  }
  sqlite3* db = nullptr;
  sqlite3_open(db_path.c_str(), &db);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, kLoggedViews, -1, &stmt, nullptr);
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(stmt, 0);
    queries.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return queries;
}

class ServeShutdown : public ::testing::TestWithParam<int> {};

TEST_P(ServeShutdown, EveryViewIsLoggedInOrderWhenTheServerStops) {
  const fs::path data = fs::temp_directory_path() / ("qvtome-serve-" + std::to_string(::getpid()) +
                                                     "-" + std::to_string(GetParam()));
  fs::remove_all(data);
  // On PostgreSQL the server finds its database in the data folder's
  // configuration; on SQLite it creates qvtome.db there.
  std::optional<ScratchDatabase> db;
  if (OnPostgres()) {
    fs::create_directories(data);
    db.emplace(data, "qvtome.db", Contents::kSeeded);
    std::ofstream(data / "qvtome.toml") << "[datasource.qvtome]\n" << db->Entry();
  }
  std::vector<std::string> expected;
  {
    ServeProcess server(data);
    ASSERT_NE(server.port(), 0) << "the server did not start";
    for (int i = 0; i < 60; ++i) {
      const std::string query = "id=8&view=" + std::to_string(i);
      ASSERT_EQ(Fetch(server.port(), Get("/book.lp?" + query)).status, 200);
      expected.push_back(query);
    }
    const int status = server.Stop(GetParam());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  EXPECT_EQ(LoggedQueries(data / "qvtome.db"), expected);
  fs::remove_all(data);
}

INSTANTIATE_TEST_SUITE_P(Signals, ServeShutdown, ::testing::Values(SIGTERM, SIGINT));

}  // namespace
}  // namespace qv::http::testing
