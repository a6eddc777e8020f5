#include "engine/sqlite_connection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "core/convert.h"
#include "engine/sqlite_database.h"
#include "test_database.h"

namespace qv {
namespace {

using testing_support::TestDatabase;

class SqliteConnectionTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    CreateItemTable();
    conn_ = Connect();
  }

  int64_t Insert(std::vector<std::pair<std::string, Variant>> values) {
    return conn_->WriteRows("qvItem", {RowWrite{std::nullopt, std::move(values)}}).at(0);
  }
  int64_t Count(const std::string& where = "") {
    return conn_->Query("SELECT COUNT(*) FROM qvItem " + where).rows.at(0).at(0).AsInteger();
  }

  std::shared_ptr<Connection> conn_;
};

TEST_F(SqliteConnectionTest, FieldsCarryAdoTypesAndSizes) {
  QueryResult r = conn_->Query("SELECT * FROM qvItem");
  ASSERT_EQ(r.fields.size(), 8u);
  auto expect = [&](size_t i, const char* name, int type, int64_t size) {
    EXPECT_EQ(r.fields[i].name, name);
    EXPECT_EQ(r.fields[i].type, type) << name;
    EXPECT_EQ(r.fields[i].defined_size, size) << name;
  };
  expect(0, "ID", adInteger, 0);
  expect(1, "dbName", adVarChar, 255);
  expect(2, "dbMemo", adLongVarChar, 1073741823);
  expect(3, "dbFlag", adBoolean, 0);
  expect(4, "dbWhen", adDBTimeStamp, 0);
  expect(5, "dbCount", adInteger, 0);
  expect(6, "dbScore", adDouble, 0);
  // Expressions take their type from their values.
  r = conn_->Query("SELECT 1 AS n, 2.5 AS d, 'x' AS t");
  EXPECT_EQ(r.fields[0].type, adInteger);
  EXPECT_EQ(r.fields[1].type, adDouble);
  EXPECT_EQ(r.fields[2].type, adLongVarChar);
}

TEST_F(SqliteConnectionTest, ValuesRoundTripByColumnType) {
  Date when = MakeDate({2024, 3, 5, 14, 30, 0});
  int64_t id = Insert({{"dbName", "Ann"},
                       {"dbFlag", true},
                       {"dbWhen", when},
                       {"dbCount", Null},
                       {"dbScore", "2.5"},
                       {"dbMemo", ""}});
  int64_t id2 = Insert({{"dbFlag", -1}, {"dbWhen", "2024-03-06 08:00"}, {"dbCount", 7.0}});
  EXPECT_EQ(id2, id + 1);

  QueryResult r = conn_->Query("SELECT * FROM qvItem ORDER BY ID");
  const auto& first = r.rows.at(0);
  EXPECT_EQ(first[1], Variant("Ann"));
  EXPECT_EQ(first[2], Variant(""));  // text stays text, even empty
  EXPECT_EQ(first[3], Variant(true));
  EXPECT_EQ(first[4], Variant(when));
  EXPECT_TRUE(first[5].IsNull());
  EXPECT_EQ(first[6], Variant(2.5));
  const auto& second = r.rows.at(1);
  EXPECT_EQ(second[3], Variant(true));
  EXPECT_EQ(second[4], Variant(MakeDate({2024, 3, 6, 8, 0, 0})));
  EXPECT_EQ(second[5], Variant(7));
  EXPECT_TRUE(second[1].IsNull());

  // Storage form: Booleans 1/0, dates as sortable text.
  if (testing::OnPostgres()) return;
  QueryResult raw =
      conn_->Query("SELECT typeof(dbFlag) || ':' || dbFlag, dbWhen || '' FROM qvItem ORDER BY ID");
  EXPECT_EQ(raw.rows[1][0], Variant("integer:1"));
  EXPECT_EQ(raw.rows[0][1], Variant("2024-03-05 14:30:00"));
}

TEST_F(SqliteConnectionTest, DesktopDialectKeepsItsMeaning) {
  Insert({{"dbName", "Past"}, {"dbWhen", MakeDate({2001, 1, 1, 0, 0, 0})}, {"dbFlag", true}});
  Insert({{"dbName", "Future"}, {"dbWhen", MakeDate({2999, 1, 1, 0, 0, 0})}, {"dbFlag", false}});
  Insert({{"dbName", "Never"}});
  EXPECT_EQ(Count("WHERE dbWhen=null"), 1);
  EXPECT_EQ(Count("WHERE dbWhen<>null"), 2);
  EXPECT_EQ(Count("WHERE (dbWhen>Now() or dbWhen=null)"), 2);
  EXPECT_EQ(Count("WHERE dbWhen < Date() + Time()"), 1);
  EXPECT_EQ(Count("WHERE dbFlag = true"), 1);
  EXPECT_EQ(Count("WHERE dbName = 'FUTURE'"), 1);  // text compares without case
  EXPECT_EQ(Count("WHERE len(dbName) = 4"), 1);
  conn_->Query("DELETE * FROM qvItem WHERE dbName = 'never'");
  EXPECT_EQ(Count(), 2);
  // A True written as -1 by hand still counts as true. PostgreSQL refuses a
  // number in SQL text for a yes/no column (parameters and forms write
  // Booleans on both engines).
  if (::qv::testing::OnPostgres()) return;
  conn_->Query("INSERT INTO qvItem (dbName, dbFlag) VALUES ('raw', -1)");
  EXPECT_EQ(Count("WHERE dbFlag = true"), 2);
  EXPECT_EQ(Count("WHERE dbFlag = false"), 1);
}

// Text compares, matches, groups and sorts without regard to the case of
// ASCII letters, on every engine alike: these rows give the same answers.
TEST_F(SqliteConnectionTest, TextIgnoresTheCaseOfAsciiLettersOnly) {
  for (const char* name :
       {"Apple", "apple pie", "APPLE", "Banana", "100%_sure", "Ete", "été", "ÉTÉ", "zebra"}) {
    Insert({{"dbName", name}, {"dbMemo", std::string(name) + " Note"}});
  }
  auto names = [&](const std::string& where) {
    std::string out;
    for (const auto& row : conn_->Query("SELECT dbName FROM qvItem " + where).rows) {
      out += ToStr(row[0]) + "|";
    }
    return out;
  };
  EXPECT_EQ(names("WHERE dbName = 'apple' ORDER BY ID"), "Apple|APPLE|");
  EXPECT_EQ(Count("WHERE dbName <> 'APPLE'"), 7);
  EXPECT_EQ(names("WHERE dbName IN ('APPLE PIE', 'Zebra') ORDER BY ID"), "apple pie|zebra|");
  EXPECT_EQ(names("WHERE dbName LIKE 'app%' ORDER BY ID"), "Apple|apple pie|APPLE|");
  EXPECT_EQ(names("WHERE dbName LIKE '%PIE' ORDER BY ID"), "apple pie|");
  EXPECT_EQ(names("WHERE dbName LIKE '100%' ORDER BY ID"), "100%_sure|");
  EXPECT_EQ(Count("WHERE dbMemo = 'BANANA NOTE'"), 1);
  EXPECT_EQ(Count("WHERE dbName > 'b' AND dbName < 'C'"), 1);  // Banana
  // Letters beyond ASCII keep their case.
  EXPECT_EQ(names("WHERE dbName = 'été' ORDER BY ID"), "été|");
  EXPECT_EQ(names("WHERE dbName = 'ETE' ORDER BY ID"), "Ete|");
  EXPECT_EQ(conn_->Query("SELECT COUNT(DISTINCT dbName) FROM qvItem").rows[0][0], Variant(8));
  EXPECT_EQ(names("WHERE dbName < 'c' ORDER BY dbName, ID"),
            "100%_sure|Apple|APPLE|apple pie|Banana|");
}

TEST_F(SqliteConnectionTest, ASecondStatementAndControlStatementsAreRefused) {
  Insert({{"dbName", "keep"}});
  EXPECT_THROW(conn_->Query("SELECT * FROM qvItem WHERE dbName='x'; DELETE FROM qvItem"),
               DatabaseError);
  EXPECT_EQ(Count(), 1);
  // Transactions go through the connection's own calls; no other files.
  EXPECT_THROW(conn_->Query("BEGIN"), DatabaseError);
  EXPECT_THROW(conn_->Query(" commit"), DatabaseError);
  EXPECT_THROW(conn_->Query("ATTACH DATABASE 'x.db' AS x"), DatabaseError);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "x.db"));
}

TEST_F(SqliteConnectionTest, FailuresNameTheSqliteMessageAndTheStatement) {
  try {
    conn_->Query("SELECT nosuchfield FROM qvItem");
    FAIL();
  } catch (const DatabaseError& e) {
    if (!testing::OnPostgres()) {
      EXPECT_NE(std::string(e.what()).find("no such column: nosuchfield"), std::string::npos)
          << e.what();
    }
    EXPECT_NE(std::string(e.what()).find("SELECT nosuchfield FROM qvItem"), std::string::npos);
  }
  EXPECT_THROW(testing::NewEngineConnection()->Query("SELECT 1"), DatabaseError);
}

// A value SQLite will not bind is an error naming the field, not a NULL
// written in its place.
TEST_F(SqliteConnectionTest, ValueSqliteRefusesToBindFailsTheWrite) {
  QV_SKIP_ON_POSTGRES("sets a limit on the SQLite handle");
  sqlite3_limit(SqliteDatabase::ForThisThread(DatabasePath())->get(), SQLITE_LIMIT_LENGTH, 100);
  try {
    Insert({{"dbName", "Ann"}, {"dbMemo", std::string(200, 'x')}});
    FAIL();
  } catch (const DatabaseError& e) {
    EXPECT_STREQ(e.what(), "Cannot bind parameter 2: string or blob too big (field qvItem.dbMemo)");
  }
  EXPECT_EQ(Count(), 0);
}

// When an inner level cannot be undone, the outer level refuses to commit
// what it wrote, and rolling the outer level back clears the handle.
TEST_F(SqliteConnectionTest, FailedInnerRollbackBlocksTheOuterCommit) {
  QV_SKIP_ON_POSTGRES("releases a savepoint behind the engine's back on the SQLite handle");
  auto other = Connect();
  conn_->BeginTransaction();
  Insert({{"dbName", "outer"}});
  other->BeginTransaction();
  Insert({{"dbName", "inner"}});
  ExecSqlite(SqliteDatabase::ForThisThread(DatabasePath())->get(), "RELEASE qv_level_1");
  other->Rollback();
  try {
    conn_->Commit();
    FAIL();
  } catch (const DatabaseError& e) {
    EXPECT_STREQ(e.what(),
                 "The transaction could not be rolled back: no such savepoint: qv_level_1");
  }
  conn_->Rollback();
  EXPECT_EQ(Count(), 0);
  Insert({{"dbName", "after"}});
  EXPECT_EQ(Count(), 1);
}

TEST_F(SqliteConnectionTest, OpenRefusesUnknownSourcesAndMissingFiles) {
  QV_SKIP_ON_POSTGRES("missing and damaged SQLite files");
  SqliteConnection conn;
  EXPECT_THROW(conn.Open("nowhere", "", ""), DatabaseError);
  EXPECT_THROW(conn.Open("missing", "", ""), DatabaseError);
  EXPECT_FALSE(conn.IsOpen());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "no-such-file.db"));  // never created

  std::filesystem::path junk = dir_ / "junk.db";
  { std::ofstream(junk) << std::string(4096, 'x'); }
  toml::table config = toml::parse("[datasource.junk]\npath = \"junk.db\"\n");
  ConfigureDataSources(&config, dir_.string());
  EXPECT_THROW(conn.Open("junk", "", ""), DatabaseError);
}

TEST_F(SqliteConnectionTest, KeyedQueriesNameTheTableAndEachRowsId) {
  int64_t a = Insert({{"dbName", "a"}});
  int64_t b = Insert({{"dbName", "b"}});
  QueryResult r = conn_->Query("SELECT dbName FROM qvItem ORDER BY ID", true);
  EXPECT_EQ(r.table, "qvItem");
  ASSERT_EQ(r.fields.size(), 1u);
  EXPECT_EQ(r.fields[0].name, "dbName");
  EXPECT_EQ(r.key_ids, (std::vector<int64_t>{a, b}));
  EXPECT_EQ(r.rows[1][0], Variant("b"));

  conn_->Query("CREATE TABLE qvOther (ID counter, dbItem long)");
  const char* not_updatable[] = {
      "SELECT * FROM qvItem, qvOther",
      "SELECT qvOther.dbItem, qvItem.dbName FROM qvItem JOIN qvOther ON qvOther.ID = qvItem.ID",
      "SELECT DISTINCT dbName FROM qvItem", "SELECT 1"};
  for (const char* sql : not_updatable) {
    try {
      conn_->Query(sql, true);
      ADD_FAILURE() << sql;
    } catch (const DatabaseError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Record set is not updatable: ", 0), 0u) << e.what();
    }
  }
}

TEST_F(SqliteConnectionTest, WriteRowsIsAllOrNothing) {
  int64_t id = Insert({{"dbName", "old"}});
  std::vector<RowWrite> rows = {RowWrite{id, {{"dbName", "new"}}},
                                RowWrite{std::nullopt, {{"dbName", "x"}}},
                                RowWrite{std::nullopt, {{"dbNoSuchField", "y"}}}};
  EXPECT_THROW(conn_->WriteRows("qvItem", rows), DatabaseError);
  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(conn_->Query("SELECT dbName FROM qvItem").rows[0][0], Variant("old"));

  EXPECT_THROW(conn_->WriteRows("qvItem", {RowWrite{id, {{"dbCount", "many"}}}}), DatabaseError);
  EXPECT_THROW(conn_->WriteRows("qvItem", {RowWrite{id + 100, {{"dbName", "gone"}}}}),
               DatabaseError);
  EXPECT_THROW(conn_->WriteRows("qvItem; DROP TABLE qvItem", {RowWrite{}}), DatabaseError);
  EXPECT_THROW(conn_->WriteRows("qvNoTable", {RowWrite{}}), DatabaseError);
  EXPECT_EQ(Count(), 1);
}

// Statements are prepared once per handle; a change of the table's shape
// still reaches a repeated statement.
TEST_F(SqliteConnectionTest, RepeatedStatementsFollowSchemaChanges) {
  Insert({{"dbName", "a"}});
  const std::string sql = "SELECT * FROM qvItem";
  size_t fields = conn_->Query(sql).fields.size();
  conn_->Query("ALTER TABLE qvItem ADD COLUMN dbExtra text(10)");
  EXPECT_EQ(conn_->Query(sql).fields.size(), fields + 1);
  Insert({{"dbName", "b"}, {"dbExtra", "x"}});
  EXPECT_EQ(conn_->Query(sql).rows.size(), 2u);
}

TEST_F(SqliteConnectionTest, NestedTransactionsShareTheThreadsHandle) {
  auto other = Connect();  // same thread, same file: same transaction
  conn_->BeginTransaction();
  Insert({{"dbName", "outer"}});
  other->BeginTransaction();
  other->WriteRows("qvItem", {RowWrite{std::nullopt, {{"dbName", "inner"}}}});
  other->Rollback();
  conn_->Commit();
  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(Count("WHERE dbName='outer'"), 1);

  conn_->BeginTransaction();
  Insert({{"dbName", "dropped"}});
  conn_->Close();  // an unfinished transaction does not survive its connection
  conn_ = Connect();
  EXPECT_EQ(Count("WHERE dbName='dropped'"), 0);
  Insert({{"dbName", "after"}});
  EXPECT_EQ(Count(), 2);
}

// A file put in place of the open one: while a connection of the thread
// holds the old handle, new connections share it (and its transaction);
// the first one after it opens the new file.
TEST_F(SqliteConnectionTest, AReplacedFileIsOpenedOnceTheOldHandleIsFree) {
  QV_SKIP_ON_POSTGRES("replacing an SQLite file");
  const sqlite3* old_handle = SqliteDatabase::ForThisThread(DatabasePath())->get();
  const std::filesystem::path fresh = dir_ / "fresh.db";
  OpenSqliteFile(fresh.string(), /*create=*/true);
  std::filesystem::rename(fresh, DatabasePath());
  EXPECT_EQ(SqliteDatabase::ForThisThread(DatabasePath())->get(), old_handle);
  conn_->Close();
  EXPECT_NE(SqliteDatabase::ForThisThread(DatabasePath())->get(), old_handle);
}

TEST_F(SqliteConnectionTest, TwoThreadsWriteTheSameFileConcurrently) {
  constexpr int kRowsPerThread = 40;
  auto writer = [this](const char* name, bool* ok) {
    try {
      auto conn = Connect();
      for (int i = 0; i < kRowsPerThread; ++i) {
        conn->BeginTransaction();
        conn->Query("SELECT COUNT(*) FROM qvItem WHERE dbName='" + std::string(name) + "'");
        conn->WriteRows("qvItem", {RowWrite{std::nullopt, {{"dbName", name}, {"dbCount", i}}}});
        conn->Commit();
      }
      *ok = true;
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
    }
  };
  bool ok_a = false, ok_b = false;
  std::thread a(writer, "a", &ok_a);
  std::thread b(writer, "b", &ok_b);
  a.join();
  b.join();
  EXPECT_TRUE(ok_a);
  EXPECT_TRUE(ok_b);
  EXPECT_EQ(Count(), 2 * kRowsPerThread);
}

}  // namespace
}  // namespace qv
