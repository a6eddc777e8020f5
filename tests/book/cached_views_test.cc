// Page views read the registry, the contents tree, users and code tables
// through the read cache: a change made any way is seen by the next view.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "book/course_tree.h"
#include "data/aspproc.h"
#include "data/read_cache.h"
#include "data/recordset.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {
namespace {

class CachedViewsTest : public testing::CourseTreeTest {
 protected:
  // A new request on this thread: page id as the reader "student", with
  // the contents tree and the navigation links.
  std::string View(const std::string& id, const std::string& minor = "readers") {
    Query("id=" + id);
    host.request.SetServerVariable("SCRIPT_NAME", "/site/book.lp");
    LogIn("student", "", minor);
    NewRequest();
    Book view;
    view.OpenPage("qvbook");
    view.OpenBook();
    view.ListContentsLevel(0, 0, false);
    view.GoNext("next");
    return Take();
  }
  void NewRequest() {
    ResetRequestState();
    SysVar().Init("qvtest");
    TheSettings().vImageDir = "img/";
    host.response.Clear();
    testing::Statements().clear();
  }
  // Runs sql in a session of its own, as another server or a raw SQL tool
  // would.
  static void InOtherProcess(const std::string& sql) {
    EXPECT_EQ(testing::RunElsewhere("qvtest", sql), "") << sql;
  }
  // A title written the way page saves write: an updatable record set.
  static void SaveTitle(int id, const std::string& title) {
    Recordset rs;
    rs.Open("SELECT * FROM qvbook WHERE ID=" + std::to_string(id), OpenOwnConnection(),
            adOpenKeyset, adLockBatchOptimistic);
    rs.SetValue("dbTitle_e", title);
    rs.UpdateBatch();
  }
};

TEST_F(CachedViewsTest, ASecondViewReadsOnlyTheCountersAndThePage) {
  const std::string first = View("11");
  EXPECT_NE(first.find("Beta"), std::string::npos) << first;
  const std::string second = View("11");
  EXPECT_EQ(second, first);
  EXPECT_EQ(SqlCount("qvAuthBook"), 0);
  EXPECT_EQ(SqlCount("dbPID"), 0);
  EXPECT_EQ(SqlCount("FROM qvbook"), 1) << "the page row itself";
}

TEST_F(CachedViewsTest, TheTreeShowsAChangeMadeThroughTheComponentAnotherProcessOrRawSql) {
  View("11");
  SaveTitle(13, "Beta by form");
  EXPECT_NE(View("11").find("Beta by form"), std::string::npos);
  InOtherProcess("UPDATE qvbook SET dbTitle_e = 'Beta elsewhere' WHERE ID = 13");
  EXPECT_NE(View("11").find("Beta elsewhere"), std::string::npos);
  Exec("UPDATE qvbook SET dbTitle_e = 'Beta raw' WHERE ID = 13");
  std::string view = View("11");
  EXPECT_NE(view.find("Beta raw"), std::string::npos);
  // A page finished later shows to readers; moved, it is next after Alpha.
  EXPECT_EQ(view.find("Draft"), std::string::npos);
  EXPECT_NE(view.find("?id=13&qvAction=show\">next"), std::string::npos) << view;
  InOtherProcess("UPDATE qvbook SET dbFinished_e = true WHERE ID = 14");
  view = View("11");
  EXPECT_NE(view.find("Draft"), std::string::npos);
  InOtherProcess("UPDATE qvbook SET dbOrder = 99 WHERE ID = 13");
  EXPECT_NE(View("11").find("?id=14&qvAction=show\">next"), std::string::npos);
}

TEST_F(CachedViewsTest, RightsChangesTakeEffectOnTheNextRequest) {
  EXPECT_NE(View("11").find("Beta"), std::string::npos);
  // The reader's group is taken off the book's readers by another process.
  InOtherProcess("UPDATE qvAuthBook SET dbReaderGroupID = 'staff' WHERE ID = 1");
  std::string view = View("11");
  EXPECT_EQ(view.find("Beta"), std::string::npos) << view;
  EXPECT_NE(Messages().strErrorMsg.find("ErrorAuthNoList"), std::string::npos);
  // Listed by name, raw SQL; then the listing taken away again.
  Exec("UPDATE qvAuthBook SET dbReaderUserID = 'student' WHERE ID = 1");
  EXPECT_NE(View("11").find("Beta"), std::string::npos);
  Exec("UPDATE qvAuthBook SET dbReaderUserID = 'nobody' WHERE ID = 1");
  EXPECT_EQ(View("11").find("Beta"), std::string::npos);
}

TEST_F(CachedViewsTest, UserNamesAndCodeTablesFollowTheirTables) {
  Exec(
      "INSERT INTO qvAuthUser (dbUserID, dbFullName_e, dbPositionTitle_e) VALUES ('ann', 'Ann', "
      "'Dr')");
  NewRequest();
  EXPECT_EQ(UserID2Name("ann", ""), "Dr Ann");
  InOtherProcess("UPDATE qvAuthUser SET dbFullName_e = 'Ann Lee' WHERE dbUserID = 'ann'");
  NewRequest();
  EXPECT_EQ(UserID2Name("ann", ""), "Dr Ann Lee");

  auto codes = [] {
    const Variant rows = CachedGetTable("qvCodeDefList", "dbName_e", "where dbType='dbBibType'");
    return rows.IsArray() ? rows.AsArray()->UBound(2) + 1 : 0;
  };
  const int64_t before = codes();
  InOtherProcess(
      "INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e) VALUES ('dbBibType', 'x', 'X')");
  NewRequest();
  EXPECT_EQ(codes(), before + 1);
}

}  // namespace
}  // namespace qv
