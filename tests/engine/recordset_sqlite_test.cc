// Record sets over the engine under test: what page scripts do with them.
#include <gtest/gtest.h>

#include "core/convert.h"
#include "data/recordset.h"
#include "test_database.h"

namespace qv {
namespace {

using testing_support::TestDatabase;

class RecordsetSqliteTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    CreateItemTable();
    // Record sets get their connections as page scripts do.
    SetConnectionFactory(testing::NewEngineConnection);
    conn_ = NewConnection();
    conn_->Open("Test", "", "");
    for (int i = 1; i <= 3; ++i) {
      conn_->Query("INSERT INTO qvItem (dbName, dbCount, dbFlag) VALUES ('item" +
                   std::to_string(i) + "', " + std::to_string(i) + ", false)");
    }
  }

  Recordset OpenKeyset(const std::string& sql) {
    Recordset rs;
    rs.Open(sql, conn_, adOpenKeyset, adLockBatchOptimistic);
    return rs;
  }

  std::shared_ptr<Connection> conn_;
};

TEST_F(RecordsetSqliteTest, KeysetUpdateWritesEveryChangedRow) {
  Recordset rs = OpenKeyset("SELECT * FROM qvItem WHERE dbCount >= 2 ORDER BY ID");
  while (!rs.EOF_()) {
    rs.SetValue("dbName", "changed " + ToStr(rs.Value("dbCount")));
    rs.SetValue("dbFlag", Variant(-1));
    rs.MoveNext();
  }
  rs.UpdateBatch();
  QueryResult r = conn_->Query("SELECT dbName, dbFlag FROM qvItem ORDER BY ID");
  EXPECT_EQ(r.rows[0][0], Variant("item1"));
  EXPECT_EQ(r.rows[0][1], Variant(false));
  EXPECT_EQ(r.rows[1][0], Variant("changed 2"));
  EXPECT_EQ(r.rows[2][0], Variant("changed 3"));
  EXPECT_EQ(r.rows[2][1], Variant(true));
}

TEST_F(RecordsetSqliteTest, AddNewThenUpdateBatchReturnsTheNewId) {
  Recordset rs = OpenKeyset("SELECT * FROM qvItem WHERE ID=-1");
  EXPECT_TRUE(rs.EOF_());
  rs.AddNew();
  rs.SetValue("dbName", "fresh");
  rs.SetValue("dbWhen", MakeDate({2025, 1, 2, 3, 4, 5}));
  rs.SetValue("dbMemo", Null);
  rs.UpdateBatch();
  Variant id = rs.Value("ID");
  ASSERT_TRUE(id.IsInteger());
  EXPECT_EQ(id.AsInteger(), 4);

  Recordset check;
  check.Open("SELECT * FROM qvItem WHERE ID=" + ToStr(id), conn_);
  EXPECT_EQ(check.Value("dbName"), Variant("fresh"));
  EXPECT_EQ(check.Value("dbWhen"), Variant(MakeDate({2025, 1, 2, 3, 4, 5})));
  EXPECT_TRUE(check.Value("dbMemo").IsNull());
  EXPECT_TRUE(check.Value("dbScore").IsNull());
}

TEST_F(RecordsetSqliteTest, GetRowsIsIndexedFieldThenRow) {
  Recordset rs;
  rs.Open("SELECT dbName, dbCount FROM qvItem ORDER BY ID", conn_);
  auto rows = rs.GetRows();
  EXPECT_EQ(rows->UBound(1), 1);
  EXPECT_EQ(rows->UBound(2), 2);
  EXPECT_EQ(rows->at(0, 2), Variant("item3"));
  EXPECT_EQ(rows->at(1, 0), Variant(1));
  EXPECT_TRUE(rs.EOF_());
}

TEST_F(RecordsetSqliteTest, FieldObjectsReportTypeAndDefinedSize) {
  Recordset rs;
  rs.Open("SELECT * FROM qvItem", conn_);
  Field name = rs.FieldAt(1);
  EXPECT_EQ(name.Type, adVarChar);
  EXPECT_EQ(name.DefinedSize, 255);
  EXPECT_EQ(rs.Value("dbFlag"), Variant(false));
}

}  // namespace
}  // namespace qv
