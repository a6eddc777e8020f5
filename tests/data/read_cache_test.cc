#include "data/read_cache.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "core/convert.h"
#include "data/aspproc.h"
#include "data/settings.h"
#include "data/test_source.h"

namespace qv {
namespace {

constexpr const char* kCodes =
    "SELECT dbName_e FROM qvCodeDefList WHERE dbType='colour' ORDER BY ID";

class ReadCacheTest : public ::testing::Test {
 protected:
  ReadCacheTest() {
    ClearReadCache();
    // Tables made once the counter table exists are counted from then on.
    db.Exec("CREATE TABLE qvChangeCounter (ID counter, dbTable text(64), dbCount long)");
    db.Exec("CREATE TABLE qvCodeDefList (ID counter, dbType text(50), dbName_e text(50))");
    db.Exec("INSERT INTO qvCodeDefList (dbType, dbName_e) VALUES ('colour', 'red')");
    NewRequest();
  }
  ~ReadCacheTest() override { SetReadCacheLimit(size_t{32} << 20); }

  static void NewRequest() {
    ResetRequestState();
    TheSettings().DSNName = "qvtest";
  }
  // The colours the cache gives, and whether the table was read for them.
  std::string Colours(bool* read = nullptr) {
    const std::ptrdiff_t before =
        std::count(testing::Statements().begin(), testing::Statements().end(), kCodes);
    std::string names;
    const std::shared_ptr<const QueryResult> rows = CachedRows(kCodes, {"qvCodeDefList"});
    for (const auto& row : rows->rows) names += NullToStr(row[0]) + " ";
    if (read) {
      *read =
          std::count(testing::Statements().begin(), testing::Statements().end(), kCodes) > before;
    }
    return names;
  }
  // Runs sql in a session of its own, as another server or a raw SQL tool
  // would.
  static void InOtherProcess(const std::string& sql) {
    EXPECT_EQ(testing::RunElsewhere("qvtest", sql), "") << sql;
  }

  testing::TestSource db;
};

TEST_F(ReadCacheTest, ARepeatedReadComesFromTheCacheUntilTheTableChangesAnyWay) {
  bool read = false;
  EXPECT_EQ(Colours(&read), "red ");
  EXPECT_TRUE(read);
  NewRequest();
  EXPECT_EQ(Colours(&read), "red ");
  EXPECT_FALSE(read);

  // Another process (raw SQL on the file): the next request sees it.
  InOtherProcess("INSERT INTO qvCodeDefList (dbType, dbName_e) VALUES ('colour', 'green')");
  NewRequest();
  EXPECT_EQ(Colours(&read), "red green ");
  EXPECT_TRUE(read);
  // Another connection of this process, an update and a delete.
  db.Exec("UPDATE qvCodeDefList SET dbName_e = 'blue' WHERE dbName_e = 'red'");
  NewRequest();
  EXPECT_EQ(Colours(), "blue green ");
  db.Exec("DELETE * FROM qvCodeDefList WHERE dbName_e = 'green'");
  NewRequest();
  EXPECT_EQ(Colours(), "blue ");
}

TEST_F(ReadCacheTest, ARequestSeesItsOwnWritesAndATransactionIsNeverCached) {
  EXPECT_EQ(Colours(), "red ");
  std::shared_ptr<Connection> conn = OpenOwnConnection();
  conn->WriteRows("qvCodeDefList", {{std::nullopt, {{"dbType", "colour"}, {"dbName_e", "pink"}}}});
  EXPECT_EQ(Colours(), "red pink ");  // the same request
  {
    RequestTransaction transaction;
    transaction.Handle()->Query(
        "UPDATE qvCodeDefList SET dbName_e = 'grey' WHERE dbName_e = 'pink'");
    bool read = false;
    EXPECT_EQ(Colours(&read), "red grey ");
    EXPECT_TRUE(read);
  }  // rolled back
  NewRequest();
  EXPECT_EQ(Colours(), "red pink ");
}

TEST_F(ReadCacheTest, TablesMadeOrDroppedLaterAreCountedAndUncountedTablesAreAlwaysRead) {
  db.Exec("CREATE TABLE qvnewbook (ID counter, dbPID long, dbTitle_e text(50))");
  db.Exec("INSERT INTO qvnewbook (dbPID, dbTitle_e) VALUES (-1, 'One')");
  const std::string sql = "SELECT dbTitle_e FROM qvnewbook";
  auto titles = [&] { return NullToStr(CachedRows(sql, {"qvnewbook"})->rows.at(0).at(0)); };
  EXPECT_EQ(titles(), "One");
  InOtherProcess("UPDATE qvnewbook SET dbTitle_e = 'Two'");
  NewRequest();
  EXPECT_EQ(titles(), "Two");
  // Dropped and made again with other rows, from this process.
  db.Exec("DROP TABLE qvnewbook");
  db.Exec("CREATE TABLE qvnewbook (ID counter, dbPID long, dbTitle_e text(50))");
  db.Exec("INSERT INTO qvnewbook (dbPID, dbTitle_e) VALUES (-1, 'Three')");
  NewRequest();
  EXPECT_EQ(titles(), "Three");

  // A table without a counter row is read every time.
  db.Exec("DELETE * FROM qvChangeCounter WHERE dbTable = 'qvnewbook'");
  NewRequest();
  const size_t before = testing::Statements().size();
  titles();
  titles();
  EXPECT_EQ(std::count(testing::Statements().begin() + static_cast<std::ptrdiff_t>(before),
                       testing::Statements().end(), sql),
            2);
}

TEST_F(ReadCacheTest, MemoryStaysWithinTheLimitDroppingTheLeastRecentlyUsed) {
  SetReadCacheLimit(64 * 1024);
  for (int i = 0; i < 400; ++i) {
    CachedRows("SELECT dbName_e, " + std::to_string(i) + " FROM qvCodeDefList", {"qvCodeDefList"});
    bool read = false;
    Colours(&read);  // kept in use, so never the one dropped
    if (i > 0) {
      EXPECT_FALSE(read) << i;
    }
  }
  const ReadCacheStats stats = GetReadCacheStats();
  EXPECT_LE(stats.bytes, 64u * 1024);
  EXPECT_LT(stats.entries, 400u);
  EXPECT_GT(stats.entries, 10u);
}

}  // namespace
}  // namespace qv
