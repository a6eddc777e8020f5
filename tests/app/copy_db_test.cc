// qvtome copy-db between SQLite files: every table and row with its ID,
// tables pages made at run time, the schema version; refusals and failures
// leave the target as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <toml++/toml.h>

#include "app/operator.h"
#include "core/convert.h"
#include "data/connection.h"
#include "engine/datasources.h"
#include "engine/engines.h"
#include "engine/init_db.h"
#include "engine/migrations.h"
#include "engine/sqlite_connection.h"
#include "engine/sqlite_handle.h"
#include "engine/test_engine.h"

namespace qv::app {
namespace {

namespace fs = std::filesystem;

class CopyDbTest : public ::testing::Test {
 protected:
  CopyDbTest() {
    static int counter = 0;
    dir_ = fs::temp_directory_path() /
           ("qvtome-copydb-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    fs::create_directories(dir_);
    CreateDatabaseIfMissing((dir_ / "site.db").string());
    OpenSqliteFile((dir_ / "empty.db").string(), /*create=*/true);
    const toml::table config = toml::parse(
        "[datasource.site]\npath = \"site.db\"\n"
        "[datasource.empty]\npath = \"empty.db\"\n"
        "[datasource.alias]\npath = \"./site.db\"\n");
    ConfigureDataSources(&config, dir_.string());
    RegisterSqliteEngine();
  }
  ~CopyDbTest() override {
    ConfigureDataSources(nullptr, "");
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  int Copy(const std::string& from, const std::string& to, bool force = false) {
    out_.str("");
    err_.str("");
    return CopyDataSource(from, to, force, OperatorStreams{out_, err_});
  }
  static QueryResult Query(const std::string& dsn, const std::string& sql) {
    SqliteConnection conn;
    conn.Open(dsn, "", "");
    return conn.Query(sql);
  }
  static std::string Text(const std::string& dsn, const std::string& sql) {
    QueryResult r = Query(dsn, sql);
    return r.rows.empty() ? "<none>" : NullToStr(r.rows[0][0]);
  }
  static std::vector<std::string> Tables(const std::string& dsn) {
    SqliteConnection conn;
    conn.Open(dsn, "", "");
    return conn.TableNames();
  }
  static int Version(const std::string& dsn) {
    SqliteConnection conn;
    conn.Open(dsn, "", "");
    return conn.SchemaVersion();
  }
  // Every row of every table but the change counters, as text with kinds.
  static std::string Dump(const std::string& dsn) {
    std::string dump;
    for (const std::string& table : Tables(dsn)) {
      if (EqualsNoCase(table, "qvChangeCounter")) continue;
      dump += "[" + ToLower(table) + "]\n";
      for (const auto& row : Query(dsn, "SELECT * FROM " + table + " ORDER BY ID").rows) {
        for (const Variant& v : row) {
          dump += std::to_string(static_cast<int>(v.kind())) + ":" + NullToStr(v) + "|";
        }
        dump += "\n";
      }
    }
    return dump;
  }

  fs::path dir_;
  std::ostringstream out_, err_;
};

TEST_F(CopyDbTest, EveryTableAndRowArrivesWithItsIdsAndTheTargetWorksAsASite) {
  // Gaps in the IDs, a session, and a table a page made at run time.
  Query("site", "DELETE FROM qvbook WHERE ID IN (2, 3)");
  Query("site", "DELETE FROM qvAuthLog");
  Query("site",
        "CREATE TABLE qvNotes (ID counter, dbName text(40), dbFlag yesno, dbWhen datetime, "
        "dbScore double, dbCount long, dbBody memo)");
  Query("site",
        "INSERT INTO qvNotes (dbName, dbFlag, dbWhen, dbScore, dbCount, dbBody) VALUES "
        "('It''s', true, '2026-12-06 21:45:53', 0.1, -7, null)");
  Query("site", "INSERT INTO qvNotes (ID, dbName) VALUES (7000, 'far')");
  Query("site",
        "INSERT INTO qvSession (dbSessionID, dbTimeout, dbExpires) VALUES ('s1', 20, 2.0E9)");
  const std::string before = Dump("site");

  ASSERT_EQ(Copy("site", "empty"), 0) << err_.str();
  EXPECT_NE(out_.str().find("schema version " + std::to_string(LatestSchemaVersion())),
            std::string::npos)
      << out_.str();
  EXPECT_EQ(Dump("empty"), before);
  EXPECT_EQ(Dump("site"), before);
  EXPECT_EQ(Version("empty"), Version("site"));

  // New rows get IDs past the copied ones, in schema and run-time tables.
  Query("empty", "INSERT INTO qvNotes (dbName) VALUES ('next')");
  EXPECT_EQ(Text("empty", "SELECT max(ID) FROM qvNotes"), "7001");
  Query("empty", "INSERT INTO qvbook (dbTitle_e) VALUES ('next')");
  EXPECT_EQ(Text("empty", "SELECT ID FROM qvbook WHERE dbTitle_e = 'next'"),
            std::to_string(std::stoll(Text("site", "SELECT max(ID) FROM qvbook")) + 1));
  // The schema's indexes hold on the copy: a message key exists once.
  EXPECT_ANY_THROW(Query("empty", "INSERT INTO qvSystemMsg (dbName) VALUES ('SITEHOME')"));
  // The run-time table is counted as new tables are, so caches see its changes.
  const std::string counted = "SELECT dbCount FROM qvChangeCounter WHERE dbTable = 'qvnotes'";
  const std::string count = Text("empty", counted);
  ASSERT_NE(count, "<none>");
  Query("empty", "UPDATE qvNotes SET dbName = 'changed' WHERE ID = 7000");
  EXPECT_EQ(std::stoll(Text("empty", counted)), std::stoll(count) + 1);
}

// SQLite to PostgreSQL and back: the copy back holds the same rows with the
// same kinds, and the PostgreSQL copy works as a site's database.
TEST_F(CopyDbTest, ASiteMovesToPostgresqlAndBackUnchanged) {
  if (!::qv::testing::OnPostgres()) GTEST_SKIP() << "runs on the PostgreSQL cluster";
  ::qv::testing::ScratchDatabase pg(dir_, "pg", ::qv::testing::Contents::kEmpty);
  OpenSqliteFile((dir_ / "back.db").string(), /*create=*/true);
  const toml::table config = toml::parse(
      "[datasource.site]\npath = \"site.db\"\n"
      "[datasource.back]\npath = \"back.db\"\n"
      "[datasource.pg]\n" +
      pg.Entry());
  ConfigureDataSources(&config, dir_.string());
  RegisterEngines();
  Query("site",
        "CREATE TABLE qvNotes (ID counter, dbName text(40), dbFlag yesno, dbWhen datetime)");
  Query("site",
        "INSERT INTO qvNotes (ID, dbName, dbFlag, dbWhen) VALUES (7000, 'It''s', true, "
        "'2026-12-06 21:45:53')");
  const std::string before = Dump("site");

  ASSERT_EQ(Copy("site", "pg"), 0) << err_.str();
  ASSERT_EQ(Copy("pg", "back"), 0) << err_.str();
  EXPECT_EQ(Dump("back"), before);
  EXPECT_EQ(Version("back"), LatestSchemaVersion());

  std::unique_ptr<Connection> conn = NewConnection();
  conn->Open("pg", "", "");
  EXPECT_EQ(conn->SchemaVersion(), LatestSchemaVersion());
  std::vector<std::string> tables = conn->TableNames();
  EXPECT_EQ(tables, Tables("site"));
  // New rows get IDs past the copied ones; a non-empty target is refused.
  conn->Query("INSERT INTO qvNotes (dbName) VALUES ('next')");
  EXPECT_EQ(NullToStr(conn->Query("SELECT max(ID) FROM qvNotes").rows[0][0]), "7001");
  conn->Close();
  EXPECT_EQ(Copy("site", "pg"), 1);
  EXPECT_NE(err_.str().find("not empty"), std::string::npos) << err_.str();
}

TEST_F(CopyDbTest, ANonEmptyTargetIsReplacedOnlyWithForce) {
  ASSERT_EQ(Copy("site", "empty"), 0) << err_.str();
  Query("empty", "UPDATE qvSystemMsg SET dbMsg_e = 'target only' WHERE dbName = 'SiteHome'");
  Query("site", "UPDATE qvSystemMsg SET dbMsg_e = 'from the source' WHERE dbName = 'SiteHome'");
  const std::string target = Dump("empty");

  EXPECT_EQ(Copy("site", "empty"), 1);
  EXPECT_NE(err_.str().find("is not empty"), std::string::npos) << err_.str();
  EXPECT_NE(err_.str().find("--force"), std::string::npos);
  EXPECT_EQ(Dump("empty"), target);

  ASSERT_EQ(Copy("site", "empty", /*force=*/true), 0) << err_.str();
  EXPECT_EQ(Dump("empty"), Dump("site"));
  EXPECT_EQ(Text("empty", "SELECT dbMsg_e FROM qvSystemMsg WHERE dbName = 'SiteHome'"),
            "from the source");
}

TEST_F(CopyDbTest, RefusalsAndFailuresLeaveTheTargetAsItWas) {
  // One database under two names: a copy would destroy it.
  EXPECT_EQ(Copy("site", "alias", true), 1);
  EXPECT_NE(err_.str().find("same database"), std::string::npos) << err_.str();
  EXPECT_EQ(Copy("site", "site", true), 1);

  // A source of another schema version.
  Query("empty", "CREATE TABLE qvKeep (ID counter, dbName text(10))");
  Query("empty", "INSERT INTO qvKeep (dbName) VALUES ('kept')");
  const std::string target = Dump("empty");
  SqliteConnection source;
  source.Open("site", "", "");
  source.SetSchemaVersion(LatestSchemaVersion() - 1);
  EXPECT_EQ(Copy("site", "empty", true), 1);
  EXPECT_NE(err_.str().find("upgrade it first"), std::string::npos) << err_.str();
  source.SetSchemaVersion(LatestSchemaVersion());

  // A row the target's schema refuses (the source lost its unique index):
  // the copy fails as a whole, nothing of it is left.
  Query("site", "DROP INDEX qvSystemMsg_Name");
  Query("site", "INSERT INTO qvSystemMsg (dbName) VALUES ('SiteHome')");
  EXPECT_EQ(Copy("site", "empty", true), 1);
  EXPECT_NE(err_.str().find("is unchanged"), std::string::npos) << err_.str();
  EXPECT_EQ(Dump("empty"), target);
  EXPECT_EQ(Tables("empty"), std::vector<std::string>{"qvKeep"});
  EXPECT_EQ(Copy("nowhere", "empty", true), 1);
  EXPECT_NE(err_.str().find("nowhere"), std::string::npos) << err_.str();
}

}  // namespace
}  // namespace qv::app
