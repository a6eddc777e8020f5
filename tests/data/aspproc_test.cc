#include "data/aspproc.h"

#include <gtest/gtest.h>

#include "data/settings.h"
#include "data/test_source.h"
#include "host/memory_host.h"
#include "session/sysvar.h"

namespace qv {
namespace {

using testing::Statements;

class AspProcTest : public ::testing::Test {
 protected:
  AspProcTest() {
    ResetRequestState();
    db.CreateMessages({});
    db.Exec("CREATE TABLE qvAuthBook (ID counter, dbTitle_e text(50), dbGroup int)");
    db.Exec("INSERT INTO qvAuthBook (dbTitle_e, dbGroup) VALUES ('Algebra', 10)");
    db.Exec("INSERT INTO qvAuthBook (dbTitle_e, dbGroup) VALUES ('Biology', 20)");
    SysVar().Init("qvtest");
    host.response.Clear();
    Statements().clear();
  }

  size_t Count(const std::string& table) { return db.Exec("SELECT ID FROM " + table).rows.size(); }

  testing::TestSource db;
  MemoryHost host;
  AspProc ap;
};

TEST_F(AspProcTest, DbOpenSharesTheRecordSetAndClosesIdempotently) {
  ap.dbClose();  // nothing open yet: nothing happens
  ap.dbOpen("qvAuthBook", "*", "");
  EXPECT_EQ(Statements(), std::vector<std::string>{"SELECT * FROM qvAuthBook "});
  EXPECT_EQ(ap.RecordSet(), Tables().objRS);
  EXPECT_EQ(ap.RecordSet()->Value("dbTitle_e"), Variant("Algebra"));
  ap.dbClose();
  ap.dbClose();
}

TEST_F(AspProcTest, UpdatableOpenWritesBackThroughTheSharedSet) {
  ap.dbOpen("qvAuthBook", "*", "WHERE dbGroup=20", true);
  ap.RecordSet()->SetValue("dbTitle_e", "Botany");
  ap.RecordSet()->UpdateBatch();
  ap.dbClose();
  EXPECT_EQ(db.Exec("SELECT dbTitle_e FROM qvAuthBook WHERE dbGroup=20").rows[0][0],
            Variant("Botany"));
}

TEST_F(AspProcTest, DbGetTableGivesNullOrFieldByRowArray) {
  const std::shared_ptr<Recordset> shared = Tables().objRS;
  EXPECT_TRUE(ap.dbGetTable("qvAuthBook", "dbTitle_e,dbGroup", "WHERE ID=-1").IsNull());
  Variant one = ap.dbGetTable("qvAuthBook", "dbTitle_e,dbGroup", "WHERE dbGroup=10");
  ASSERT_TRUE(one.IsArray());
  EXPECT_EQ(one.AsArray()->UBound(2), 0);
  EXPECT_EQ(one.AsArray()->at(1, 0), Variant(10));
  EXPECT_EQ(Tables().objRS, shared);  // the shared set is left alone
}

TEST_F(AspProcTest, CreateTableAddsCounterKeyAndIgnoresFailures) {
  ap.dbCreateTable("t", MakeArray({"a text(50)", "b int"}));
  EXPECT_EQ(Statements().back(), "CREATE TABLE t (ID counter, a text(50), b int)");
  db.Exec("INSERT INTO t (a, b) VALUES ('x', 1)");

  ap.dbCreateTable("t", MakeArray({"c int"}));  // exists: fails silently
  EXPECT_EQ(Count("t"), 1u);
  ap.dbCreateTable("t", MakeArray({"c int"}), true);
  EXPECT_EQ(Count("t"), 0u);
  EXPECT_EQ(db.Exec("SELECT * FROM t").fields.size(), 2u);

  ap.dbDeleteRecord("qvAuthBook", "WHERE dbGroup=10");
  EXPECT_EQ(Statements().back(), "DELETE * FROM qvAuthBook WHERE dbGroup=10");
  EXPECT_EQ(Count("qvAuthBook"), 1u);

  ap.dbDeleteTable("t");
  ap.dbDeleteTable("t");  // already gone: ignored
  EXPECT_THROW(db.Exec("SELECT * FROM t"), DatabaseError);
}

TEST_F(AspProcTest, TableNamesMustBePlainIdentifiers) {
  EXPECT_THROW(ap.dbOpen("qvAuthBook; DROP TABLE qvAuthBook", "*", ""), DatabaseError);
  EXPECT_THROW(ap.dbGetTable("qvAuthBook b, qvAuthUser", "*", ""), DatabaseError);
  EXPECT_THROW(ap.dbDeleteRecord("qvAuthBook --", ""), DatabaseError);
  ap.dbDeleteTable("qvAuthBook;");
  ap.dbCreateTable("x (y int); DROP TABLE qvAuthBook", MakeArray({}));
  EXPECT_TRUE(Statements().empty());
  EXPECT_EQ(Count("qvAuthBook"), 2u);
}

TEST_F(AspProcTest, DebugPrintTracesOnlyInDebugMode) {
  ap.dbGetTable("qvAuthBook", "*", "");
  EXPECT_EQ(host.response.Text(), "");
  TheSettings().IsDebug = true;
  ap.dbGetTable("qvAuthBook", "*", "WHERE dbTitle_e='<b>'");
  EXPECT_EQ(host.response.Text(),
            "<br>Get table: Table Name= [qvAuthBook]<br>Fields Name= [*]"
            "<br>Where clause= [WHERE dbTitle_e=&#39;&lt;b&gt;&#39;]");
  EXPECT_EQ(ap.dbEnCode("a<b"), "a&lt;b");
}

}  // namespace
}  // namespace qv
