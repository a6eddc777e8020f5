// The operator's commands: user accounts from the command line, and the
// online backup of a site database that another connection is writing.
#include "app/operator.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <toml++/toml.h>

#include "core/convert.h"
#include "data/connection.h"
#include "engine/datasources.h"
#include "engine/init_db.h"
#include "engine/sqlite_backup.h"
#include "engine/sqlite_connection.h"
#include "engine/sqlite_handle.h"
#include "session/identity.h"

namespace qv::app {
namespace {

class OperatorTest : public ::testing::Test {
 protected:
  OperatorTest() {
    static int counter = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("qvtome-operator-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(dir_);
    CreateDatabaseIfMissing((dir_ / "site.db").string());
    const toml::table config = toml::parse(
        "[datasource.site]\npath = \"site.db\"\n"
        "[datasource.big]\nengine = \"postgresql\"\nconninfo = \"dbname=big\"\n");
    ConfigureDataSources(&config, dir_.string());
    RegisterSqliteEngine();
  }
  ~OperatorTest() override {
    ConfigureDataSources(nullptr, "");
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  // Runs a command; its status, with what it wrote kept in out_ and err_.
  template <class Command>
  int Do(Command command) {
    out_.str("");
    err_.str("");
    return command(OperatorStreams{out_, err_});
  }

  static QueryResult Query(const std::string& sql) {
    SqliteConnection conn;
    conn.Open("site", "", "");
    QueryResult r = conn.Query(sql);
    conn.Close();
    return r;
  }
  std::string Text(const std::string& sql) {
    QueryResult r = Query(sql);
    return r.rows.empty() ? "<none>" : NullToStr(r.rows[0][0]);
  }

  std::filesystem::path dir_;
  std::ostringstream out_, err_;
};

TEST_F(OperatorTest, AnOperatorAddsAnAccountSetsItsPasswordAndMakesItAnAdministrator) {
  EXPECT_EQ(Do([](auto io) { return AddUserAccount("site", "keeper", "first-pw", io); }), 0);
  EXPECT_EQ(Text("SELECT dbPassword FROM qvAuthUser WHERE dbUserID = 'keeper'"),
            EncodePassword("first-pw"));
  EXPECT_EQ(Do([](auto io) { return SetUserPassword("site", "keeper", "second", io); }), 0);
  EXPECT_EQ(Text("SELECT dbPassword FROM qvAuthUser WHERE dbUserID = 'keeper'"),
            EncodePassword("second"));
  EXPECT_EQ(Do([](auto io) { return SetUserGroup("site", "keeper", "99", io); }), 0);
  EXPECT_EQ(Text("SELECT dbMajorGroup FROM qvAuthUser WHERE dbUserID = 'keeper'"), "99");

  EXPECT_EQ(Do([](auto io) { return ListUserAccounts("site", io); }), 0);
  EXPECT_NE(out_.str().find("keeper\t99\t\t0\t\t\n"), std::string::npos) << out_.str();
}

TEST_F(OperatorTest, RefusedCommandsSayWhyAndChangeNothing) {
  ASSERT_EQ(Do([](auto io) { return AddUserAccount("site", "keeper", "pw", io); }), 0);
  const std::string users = Text("SELECT count(*) || max(dbPassword) FROM qvAuthUser");
  const std::string group = Text("SELECT dbMajorGroup FROM qvAuthUser WHERE dbUserID = 'keeper'");
  struct Case {
    const char* what;
    std::function<int(OperatorStreams)> command;
    const char* says;
  };
  const std::string long_password(27, 'x');
  const std::vector<Case> cases = {
      {"taken id", [](auto io) { return AddUserAccount("site", "KEEPER", "pw", io); },
       "exists already"},
      {"blank in id", [](auto io) { return AddUserAccount("site", "a b", "pw", io); }, "user id"},
      {"anonymous", [](auto io) { return AddUserAccount("site", "anonymous", "pw", io); },
       "user id"},
      {"empty password", [](auto io) { return AddUserAccount("site", "new", "", io); }, "password"},
      {"long password",
       [&](auto io) { return SetUserPassword("site", "keeper", long_password, io); }, "password"},
      {"unknown user", [](auto io) { return SetUserPassword("site", "nobody", "pw", io); },
       "no user"},
      {"quote in id", [](auto io) { return SetUserPassword("site", "x' or '1'='1", "pw", io); },
       "no user"},
      {"unknown group", [](auto io) { return SetUserGroup("site", "keeper", "12345", io); },
       "no group"},
      {"unknown source", [](auto io) { return ListUserAccounts("nowhere", io); }, "nowhere"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Do(c.command), 1) << c.what;
    EXPECT_NE(err_.str().find(c.says), std::string::npos) << c.what << ": " << err_.str();
    EXPECT_EQ(Text("SELECT count(*) || max(dbPassword) FROM qvAuthUser"), users) << c.what;
  }
  EXPECT_EQ(Text("SELECT dbMajorGroup FROM qvAuthUser WHERE dbUserID = 'keeper'"), group);
}

TEST_F(OperatorTest, ABackupTakenWhileAnotherConnectionWritesIsConsistent) {
  Query("CREATE TABLE qvBatch (ID counter, dbBatch long, dbRow long)");
  std::atomic<bool> stop{false};
  std::atomic<int> batches{0};
  // Writes batches of ten rows, each batch one transaction.
  std::thread writer([&] {
    SqliteConnection conn;
    conn.Open("site", "", "");
    for (int batch = 0; !stop; ++batch) {
      conn.BeginTransaction();
      for (int row = 0; row < 10; ++row) {
        conn.Query("INSERT INTO qvBatch (dbBatch, dbRow) VALUES (" + std::to_string(batch) + ", " +
                   std::to_string(row) + ")");
      }
      conn.Commit();
      ++batches;
    }
    conn.Close();
  });
  while (batches < 3) std::this_thread::yield();
  const std::string copy = (dir_ / "copy.db").string();
  const int status = Do([&](auto io) { return BackupSite("site", copy, io); });
  stop = true;
  writer.join();
  ASSERT_EQ(status, 0) << err_.str();

  SqliteDb db = OpenSqliteFile(copy);
  SqliteStatement check = PrepareSqlite(db.get(), "PRAGMA integrity_check");
  ASSERT_TRUE(StepSqlite(db.get(), check.get()));
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0)), "ok");
  SqliteStatement rows =
      PrepareSqlite(db.get(), "SELECT count(*), count(DISTINCT dbBatch) FROM qvBatch");
  ASSERT_TRUE(StepSqlite(db.get(), rows.get()));
  const int count = sqlite3_column_int(rows.get(), 0);
  EXPECT_GE(count, 30);
  EXPECT_EQ(count, 10 * sqlite3_column_int(rows.get(), 1));  // whole batches only
  SqliteStatement users = PrepareSqlite(db.get(), "SELECT count(*) FROM qvSystemMsg");
  ASSERT_TRUE(StepSqlite(db.get(), users.get()));
  EXPECT_GT(sqlite3_column_int(users.get(), 0), 100);

  // A backup never overwrites, and only SQLite sources are copied.
  EXPECT_EQ(Do([&](auto io) { return BackupSite("site", copy, io); }), 1);
  EXPECT_NE(err_.str().find("exists already"), std::string::npos);
  EXPECT_EQ(Do([&](auto io) { return BackupSite("big", (dir_ / "big.db").string(), io); }), 1);
  EXPECT_NE(err_.str().find("not SQLite"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "big.db"));
}

}  // namespace
}  // namespace qv::app
