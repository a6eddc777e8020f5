// The PostgreSQL engine against a real throwaway cluster, and against the
// SQLite engine: the same statements must give the same fields and values.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include <toml++/toml.h>

#include "core/convert.h"
#include "data/connection.h"
#include "engine/datasources.h"
#include "engine/engines.h"
#include "engine/init_db.h"
#include "engine/migrations.h"
#include "engine/pg_database.h"
#include "engine/pg_query.h"
#include "engine/pg_schema.h"
#include "engine/sqlite_handle.h"
#include "pg_cluster.h"
#include "test_database.h"

namespace qv {
namespace {

using testing_support::TestCluster;

class PgEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TestCluster().Ready()) GTEST_SKIP() << "no PostgreSQL cluster";
    conninfo_ = TestCluster().NewDatabase();
    dir_ = testing_support::MakeScratchDir();
    toml::table config{{"datasource", toml::table{{"pg", toml::table{{"engine", "postgresql"},
                                                                     {"conninfo", conninfo_}}},
                                                  {"lite", toml::table{{"path", "lite.db"}}}}}};
    ConfigureDataSources(&config, dir_.string());
    OpenSqliteFile((dir_ / "lite.db").string(), /*create=*/true);
    RegisterEngines();
  }
  void TearDown() override {
    ConfigureDataSources(nullptr, "");
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  static std::unique_ptr<Connection> Open(const std::string& dsn) {
    std::unique_ptr<Connection> conn = NewConnection();
    conn->Open(dsn, "", "");
    return conn;
  }
  // Runs sql on both engines.
  static void Both(const std::string& sql) {
    Open("pg")->Query(sql);
    Open("lite")->Query(sql);
  }
  // Rows and fields of a query, as text, for comparing the two engines.
  static std::string Shape(const QueryResult& r) {
    std::string text;
    for (const FieldInfo& f : r.fields) {
      text += f.name + ":" + std::to_string(f.type) + ":" + std::to_string(f.defined_size) + " ";
    }
    for (const auto& row : r.rows) {
      text += "\n";
      for (const Variant& v : row) {
        text += (v.IsNull()      ? "null"
                 : v.IsBoolean() ? "bool"
                 : v.IsInteger() ? "int"
                 : v.IsDouble()  ? "double"
                 : v.IsDate()    ? "date"
                                 : "text");
        text += "=" + (v.IsNull() ? std::string() : ToStr(v)) + " | ";
      }
    }
    return text;
  }
  static void ExpectSame(const std::string& sql) {
    EXPECT_EQ(Shape(Open("pg")->Query(sql)), Shape(Open("lite")->Query(sql))) << sql;
  }
  static void CreateItems() {
    Both(
        "CREATE TABLE qvItem (ID counter, dbName text(40), dbMemo memo, dbFlag yesno DEFAULT "
        "false, dbWhen datetime, dbCount long, dbScore double, Stamp text(50))");
  }

  std::string conninfo_;
  std::filesystem::path dir_;
};

TEST_F(PgEngineTest, FieldsAndValuesReadAsOnSqlite) {
  CreateItems();
  for (const char* dsn : {"pg", "lite"}) {
    auto conn = Open(dsn);
    std::vector<int64_t> ids =
        conn->WriteRows("qvItem", {RowWrite{std::nullopt,
                                            {{"dbName", "Apple"},
                                             {"dbMemo", "long text"},
                                             {"dbFlag", true},
                                             {"dbWhen", "2026-03-04 05:06:07"},
                                             {"dbCount", 5000000000LL},
                                             {"dbScore", 2.5}}},
                                   RowWrite{std::nullopt, {{"dbName", "it's"}, {"dbFlag", "-1"}}}});
    EXPECT_EQ(ids, (std::vector<int64_t>{1, 2})) << dsn;
    conn->Query("INSERT INTO qvItem (dbName, dbWhen) VALUES ('now', Now())");
  }
  ExpectSame("SELECT * FROM qvItem WHERE dbName <> 'now' ORDER BY ID");
  ExpectSame(
      "SELECT dbName AS Title, count(*) AS Cnt, [dbFlag] FROM qvItem GROUP BY dbName, "
      "dbFlag ORDER BY Title");
  ExpectSame("SELECT ID, dbWhen >= Date() AS today FROM qvItem WHERE dbName = 'now'");
  ExpectSame("SELECT dbname AS DbName, dbcount + 1 AS [Next Count] FROM qvItem ORDER BY dbname");
  QueryResult now = Open("pg")->Query("SELECT dbWhen FROM qvItem WHERE dbName = 'now'");
  ASSERT_EQ(now.rows.size(), 1u);
  EXPECT_TRUE(now.rows[0][0].IsDate());
  EXPECT_EQ(now.table, "qvItem");
}

// Comparing, matching and sorting without case run on this engine as the
// "pg." variant of SqliteConnectionTest; a unique index does the same here.
TEST_F(PgEngineTest, AUniqueIndexRefusesAKeyThatDiffersOnlyInCase) {
  CreateItems();
  Both("INSERT INTO qvItem (dbName) VALUES ('a')");
  Both("INSERT INTO qvItem (dbName) VALUES ('b')");
  Both("CREATE UNIQUE INDEX qvItem_Name ON qvItem (Stamp)");
  Both("UPDATE qvItem SET Stamp = 'Key' WHERE ID = 1");
  EXPECT_THROW(Open("pg")->Query("UPDATE qvItem SET Stamp = 'KEY' WHERE ID = 2"), DatabaseError);
  EXPECT_THROW(Open("lite")->Query("UPDATE qvItem SET Stamp = 'KEY' WHERE ID = 2"), DatabaseError);
}

TEST_F(PgEngineTest, YesNoFieldsCompareAsOnSqlite) {
  CreateItems();
  Both("INSERT INTO qvItem (dbName, dbFlag) VALUES ('yes', true)");
  Both("INSERT INTO qvItem (dbName, dbFlag) VALUES ('no', false)");
  Both("INSERT INTO qvItem (dbName) VALUES ('default')");
  Both("INSERT INTO qvItem (dbName, dbFlag) VALUES ('null', Null)");
  for (const char* where :
       {"dbFlag = true", "dbFlag=false", "dbFlag <> true", "dbFlag <> 0", "dbFlag = 0",
        "dbFlag = -1", "dbFlag = 1", "dbFlag <> -1", "dbFlag", "NOT dbFlag", "dbFlag = null",
        "0 = dbFlag", "dbFlag = true and ID > 0"}) {
    ExpectSame(std::string("SELECT dbName, dbFlag FROM qvItem WHERE ") + where + " ORDER BY ID");
  }
  Both("UPDATE qvItem SET dbFlag = true WHERE dbFlag = false");
  ExpectSame("SELECT dbName, dbFlag FROM qvItem ORDER BY ID");
}

TEST_F(PgEngineTest, KeyedQueriesAndKeysGivenByTheStatement) {
  CreateItems();
  auto conn = Open("pg");
  conn->Query("INSERT INTO qvItem (ID, dbName) VALUES (41, 'given')");
  // The key sequence continues after the ID the statement gave.
  EXPECT_EQ(conn->WriteRows("qvItem", {RowWrite{std::nullopt, {{"dbName", "next"}}}}),
            std::vector<int64_t>{42});
  EXPECT_EQ(conn->Query("SELECT dbName FROM qvItem ORDER BY ID", true).key_ids,
            (std::vector<int64_t>{41, 42}));

  // A statement is prepared once per connection; reads are no writes.
  uint64_t epoch = WriteEpoch();
  for (int i = 0; i < 3; ++i) Open("pg")->Query("SELECT dbName FROM qvItem WHERE ID = 41");
  EXPECT_EQ(WriteEpoch(), epoch);
  QueryResult prepared =
      conn->Query("SELECT count(*) FROM pg_prepared_statements WHERE statement LIKE '%ID = 41'");
  EXPECT_EQ(prepared.rows[0][0].AsInteger(), 1);
  conn->Query("UPDATE qvItem SET dbCount = 1 WHERE ID = 41");
  EXPECT_GT(WriteEpoch(), epoch);
  EXPECT_THROW(conn->Query("SET search_path = nowhere"), DatabaseError);
  EXPECT_EQ(conn->Query("SELECT dbName FROM qvItem WHERE ID = 41").rows.size(), 1u);
}

TEST_F(PgEngineTest, OneConnectionOpensEachSourceWithItsEngine) {
  std::unique_ptr<Connection> conn = NewConnection();
  conn->Open("pg", "", "");
  conn->Query("CREATE TABLE qvOnlyHere (ID counter)");
  conn->BeginTransaction();
  conn->Open("lite", "", "");  // the open transaction of the first is rolled back
  EXPECT_THROW(conn->Query("SELECT ID FROM qvOnlyHere"), DatabaseError);
  conn->Open("pg", "", "");
  EXPECT_TRUE(conn->Query("SELECT ID FROM qvOnlyHere").rows.empty());
  EXPECT_THROW(conn->Open("nosuch", "", ""), DatabaseError);
  EXPECT_FALSE(conn->IsOpen());
}

TEST_F(PgEngineTest, AColumnAnotherServerAddsIsReadAndWritten) {
  CreateItems();
  auto conn = Open("pg");
  conn->WriteRows("qvItem", {RowWrite{std::nullopt, {{"dbName", "a"}}}});
  QueryResult before = conn->Query("SELECT * FROM qvItem");
  // Another server's connection adds a column.
  PgDatabase other(conninfo_);
  RunPgStatement(other, "ALTER TABLE qvItem ADD COLUMN dbExtraNote text(30)", false);
  conn->WriteRows("qvItem", {RowWrite{1, {{"dbExtraNote", "seen"}}}});
  QueryResult after = conn->Query("SELECT * FROM qvItem");
  ASSERT_EQ(after.fields.size(), before.fields.size() + 1);
  EXPECT_EQ(after.fields.back().name, "dbExtraNote");
  EXPECT_EQ(after.fields.back().defined_size, 30);
  EXPECT_EQ(ToStr(after.rows[0].back()), "seen");
}

// All-or-nothing batches and nested levels run on this engine as the
// "pg." variants of SqliteConnectionTest; what is PostgreSQL's own: a failed
// statement inside a transaction leaves it usable, as on SQLite.
TEST_F(PgEngineTest, AFailedStatementLeavesTheTransactionUsable) {
  CreateItems();
  auto conn = Open("pg");
  conn->WriteRows("qvItem", {RowWrite{std::nullopt, {{"dbName", "kept"}}}});
  conn->BeginTransaction();
  conn->WriteRows("qvItem", {RowWrite{std::nullopt, {{"dbName", "outer"}}}});
  EXPECT_THROW(conn->Query("SELECT nosuchcolumn FROM qvItem"), DatabaseError);
  conn->BeginTransaction();
  conn->Query("DELETE * FROM qvItem");
  conn->Rollback();
  conn->Commit();
  EXPECT_EQ(conn->Query("SELECT ID FROM qvItem").rows.size(), 2u);
}

TEST_F(PgEngineTest, TablesMadeAtRunTimeAreCountedByTriggers) {
  ASSERT_TRUE(CreatePostgresDatabaseIfMissing(conninfo_));
  auto conn = Open("pg");
  auto count = [&](const std::string& table) {
    QueryResult r =
        conn->Query("SELECT dbCount FROM qvChangeCounter WHERE dbTable = '" + table + "'");
    return r.rows.empty() ? int64_t{-1} : r.rows[0][0].AsInteger();
  };
  int64_t messages = count("qvsystemmsg");
  conn->Query("UPDATE qvSystemMsg SET dbOrder = dbOrder WHERE dbName = 'dbFinished'");
  EXPECT_GT(count("qvsystemmsg"), messages);

  conn->Query("CREATE TABLE qvBook7 (ID counter, dbTitle_e text(100))");
  int64_t made = count("qvbook7");
  ASSERT_GE(made, 0);
  conn->WriteRows("qvBook7", {RowWrite{std::nullopt, {{"dbTitle_e", "x"}}}});
  EXPECT_GT(count("qvbook7"), made);
  int64_t written = count("qvbook7");
  conn->Query("DROP TABLE qvBook7");
  EXPECT_GT(count("qvbook7"), written);
}

TEST_F(PgEngineTest, InitDbBuildsTheSchemaOnceAndMigrationsApplyInOneTransaction) {
  ASSERT_TRUE(CreatePostgresDatabaseIfMissing(conninfo_));
  EXPECT_FALSE(CreatePostgresDatabaseIfMissing(conninfo_));
  EXPECT_FALSE(UpgradePostgresDatabase(conninfo_).Changed());

  // The seed data reads as it does from a new SQLite database.
  std::filesystem::path lite = dir_ / "lite.db";
  std::filesystem::remove(lite);
  ASSERT_TRUE(CreateDatabaseIfMissing(lite.string()));
  for (const char* table : {"qvAuthBook", "qvAuthUser", "qvAuthGroup", "qvbook", "qvglossary",
                            "qvlibrary", "qvmedia", "qvCodeDefList", "qvSystemMsg"}) {
    ExpectSame(std::string("SELECT * FROM ") + table + " ORDER BY ID");
  }
  ExpectSame("SELECT * FROM qvAuthUserList ORDER BY ID");
  ExpectSame("SELECT * FROM qvglossaryBook");
  ExpectSame("SELECT dbName, dbMsg_e FROM qvSystemMsg WHERE dbName LIKE 'msg%' ORDER BY dbName");
  ExpectSame("SELECT dbGroupID FROM qvAuthGroup WHERE dbMajorOnly=true ORDER BY dbGroupID desc");
  // Text against a bare number compares with the number's text.
  ExpectSame("SELECT dbUserID FROM qvAuthUserList WHERE dbGroupID=80 ORDER BY ID");
  ExpectSame(
      "SELECT dbGroupID FROM qvAuthGroup WHERE 99 <> dbGroupID AND dbGroupID > 5 ORDER BY ID");

  PgDatabase db(conninfo_);
  const int latest = LatestSchemaVersion();
  EXPECT_EQ(PostgresSchemaVersion(db), latest);
  std::vector<Migration> next = SchemaMigrations();
  next.push_back(
      {latest + 1, "next.sql",
       "CREATE TABLE qvNew (ID counter, dbName text(20));\n"
       "INSERT INTO qvChangeCounter (dbTable, dbCount) SELECT 'qvnew', 1 WHERE NOT EXISTS "
       "(SELECT ID FROM qvChangeCounter WHERE dbTable = 'qvnew');\n"
       "CREATE TRIGGER qvNew_counted_insert AFTER INSERT ON qvNew BEGIN UPDATE "
       "qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvnew'; END;\n"});
  std::vector<Migration> failing = next;
  failing.push_back({latest + 2, "bad.sql",
                     "INSERT INTO qvNew (dbName) VALUES ('a');\n"
                     "INSERT INTO qvNoSuchTable VALUES (1);\n"});
  EXPECT_THROW(ApplyPostgresMigrations(db, failing), DatabaseError);
  EXPECT_EQ(PostgresSchemaVersion(db), latest);
  EXPECT_FALSE(db.TableOid("qvnew"));

  UpgradeResult upgrade = ApplyPostgresMigrations(db, next);
  EXPECT_EQ(upgrade.from, latest);
  EXPECT_EQ(upgrade.to, latest + 1);
  EXPECT_TRUE(db.TableOid("qvnew"));

  // A trigger in SQLite's syntax that is no counter is refused.
  std::vector<Migration> other = next;
  other.push_back({latest + 2, "trigger.sql",
                   "CREATE TRIGGER t AFTER INSERT ON qvNew BEGIN DELETE FROM qvNew; END;\n"});
  EXPECT_THROW(ApplyPostgresMigrations(db, other), DatabaseError);
}

// In any character classification but C, accented letters would fold too.
TEST_F(PgEngineTest, InitDbRefusesADatabaseThatFoldsMoreThanAsciiLetters) {
  const std::string other =
      TestCluster().NewDatabase(" TEMPLATE template0 LC_CTYPE 'C.UTF-8' LC_COLLATE 'C.UTF-8'");
  try {
    CreatePostgresDatabaseIfMissing(other);
    ADD_FAILURE() << "a C.UTF-8 database was accepted";
  } catch (const DatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("--locale=C"), std::string::npos) << e.what();
  }
  PgDatabase db(other);
  EXPECT_EQ(PostgresSchemaVersion(db), 0);  // nothing was made
}

TEST_F(PgEngineTest, ALostConnectionFailsOneRequestAndIsOpenedAgain) {
  if (!TestCluster().CanRestart()) GTEST_SKIP() << "the cluster is not this process's";
  CreateItems();
  auto before = Open("pg");
  before->Query("INSERT INTO qvItem (dbName) VALUES ('before')");
  before.reset();
  ASSERT_TRUE(TestCluster().Restart());
  // The pooled connection was cut: the first statement fails ...
  auto first = Open("pg");
  EXPECT_THROW(first->Query("SELECT dbName FROM qvItem"), DatabaseError);
  first.reset();
  // ... and the next connection is a new one.
  QueryResult rows = Open("pg")->Query("SELECT dbName FROM qvItem");
  ASSERT_EQ(rows.rows.size(), 1u);
  EXPECT_EQ(rows.fields[0].name, "dbName");
}

}  // namespace
}  // namespace qv
