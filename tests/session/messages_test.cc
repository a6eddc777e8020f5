#include "session/messages.h"

#include <gtest/gtest.h>

#include "core/convert.h"
#include "data/test_source.h"
#include "host/memory_host.h"
#include "session/sysvar.h"

namespace qv {
namespace {

const char kBanner[] =
    "\r\n<meta name=\"generator\" content=\"qvTome education system v1.10\">\r\n";

class MessagesTest : public ::testing::Test {
 protected:
  MessagesTest() {
    ResetRequestState();
    host.request.SetServerVariable("SCRIPT_NAME", "/book.lp");
  }

  // Rows of qvSystemMsg as "dbName|dbMsg_e|dbMsg_n" in id order.
  std::vector<std::string> TableRows() {
    std::vector<std::string> rows;
    for (const auto& r :
         db.Exec("SELECT dbName, dbMsg_e, dbMsg_n FROM qvSystemMsg ORDER BY ID").rows) {
      rows.push_back(NullToStr(r[0]) + "|" + NullToStr(r[1]) + "|" + NullToStr(r[2]));
    }
    return rows;
  }

  testing::TestSource db;
  MemoryHost host;
  SysVar sv;
};

TEST_F(MessagesTest, StartupWritesBannerThenMaintenanceMessage) {
  db.CreateMessages({{"errorODBC", "Database too old", ""}});
  sv.SetMaintenanceMsg("Back at noon");
  sv.Init("qvtest");
  EXPECT_EQ(host.response.Text(), std::string(kBanner) + "Back at noon");
  EXPECT_EQ(Messages().strErrorMsg, "");
}

TEST_F(MessagesTest, MissingOrOldVersionReportsErrorOdbcAndGoesOn) {
  db.CreateMessages({{"errorODBC", "Database too old", ""}}, "");
  sv.SetMaintenanceMsg("M");
  sv.Init("qvtest");
  EXPECT_EQ(host.response.Text(), std::string(kBanner) + "Database too old" + "M");
  EXPECT_EQ(Messages().strErrorMsg, "errorODBC");

  db.Exec("DELETE FROM qvSystemMsg WHERE dbName='qvtome'");
  db.AddMessage("qvTome", "1.0", "", 0);
  host.response.Clear();
  sv.Init("qvtest");
  EXPECT_EQ(Messages().strErrorMsg, "errorODBC");
}

TEST_F(MessagesTest, UnreadableTableLeavesCacheEmpty) {
  sv.Init("qvtest");
  EXPECT_EQ(Messages().strErrorMsg, "errorODBC");
  EXPECT_EQ(host.response.Text(), kBanner);
  EXPECT_EQ(sv.GetSystemMsg("anything"), "");
}

// A message naming an .asp or .htm page redirects there; any other is shown.
TEST_F(MessagesTest, DataSourceThatCannotOpenEndsTheResponse) {
  for (const char* page : {"down.HTM", "maintenance.asp"}) {
    sv.SetODBCErrorMsg(page);
    EXPECT_THROW(sv.Init("nosuchsource"), ResponseEnded);
    EXPECT_EQ(host.response.RedirectUrl(), page);
    host.response.Clear();
  }
  sv.SetODBCErrorMsg("page.html");
  EXPECT_THROW(sv.Init("nosuchsource"), ResponseEnded);
  EXPECT_EQ(host.response.Text(), std::string(kBanner) + "page.html");
  EXPECT_TRUE(host.response.Ended());

  host.response.Clear();
  sv.SetODBCErrorMsg("");
  EXPECT_THROW(sv.Init("nosuchsource"), ResponseEnded);
  EXPECT_EQ(host.response.Text(),
            std::string(kBanner) + "Could not open database. Please setup ODBC for nosuchsource");
}

TEST_F(MessagesTest, LookupsFollowLanguagesAndIgnoreCase) {
  db.CreateMessages({{"btnsave", "Save", "Bewaar"}, {"pic", "<img src=qvTmIPath/a.gif>", ""}});
  sv.Init("qvtest");
  EXPECT_EQ(sv.GetSystemMsg("BtnSave"), "Save");
  EXPECT_EQ(sv.GetSystemMsg("btnsave_n", 0), "Bewaar");
  EXPECT_EQ(sv.GetSystemMsg("pic"), "<img src=a.gif>");
  sv.SetSecondLanguage("n");
  EXPECT_EQ(sv.GetSystemMsg("BTNSAVE", 2), "Bewaar");
  sv.SetSecondLanguage("c");
  EXPECT_EQ(sv.GetSystemMsg("btnsave", 2), "Save(2)");
}

TEST_F(MessagesTest, MissingKeysAddPlaceholderRows) {
  db.CreateMessages({});
  sv.Init("qvtest");
  EXPECT_EQ(sv.GetSystemMsg("NewKey"), "newkey_e");
  EXPECT_EQ(sv.GetSystemMsg("x", 2), "x_");
  EXPECT_EQ(sv.GetSystemMsg("plain", 0), "plain");
  EXPECT_EQ(TableRows(), (std::vector<std::string>{"qvTome|1.10|1.10", "newkey|newkey_e|newkey_n",
                                                   "x_|x_|x_", "plain|plain|plain"}));
  // Visible from the next Init on.
  sv.Init("qvtest");
  EXPECT_EQ(sv.GetSystemMsg("newkey", 1), "newkey_e");
  EXPECT_EQ(TableRows().size(), 4u);
}

TEST_F(MessagesTest, FirstColumnWinsAndSetSystemMsgChangesOnlyTheCache) {
  db.CreateMessages({{"dup", "first", ""}, {"dup", "second", ""}});
  sv.Init("qvtest");
  EXPECT_EQ(sv.GetSystemMsg("dup"), "first");
  sv.SetSystemMsg("DUP_E", "appended", false);
  EXPECT_EQ(sv.GetSystemMsg("dup"), "first");
  sv.SetSystemMsg("dup_e", "changed");
  EXPECT_EQ(sv.GetSystemMsg("dup"), "changed");
  sv.SetSystemMsg("x_e", "T");
  EXPECT_EQ(sv.GetSystemMsg("x"), "T");
  EXPECT_EQ(TableRows().size(), 3u);
  sv.Init("qvtest");
  EXPECT_EQ(sv.GetSystemMsg("dup"), "first");
}

TEST_F(MessagesTest, ReportErrorCollectsKeysAndWritesWhenShown) {
  db.CreateMessages({{"e1", "First failed.", ""}, {"e2", "Second failed.", ""}});
  sv.Init("qvtest");
  host.response.Clear();
  ReportError("e1", true);
  ReportError("e2", false);
  EXPECT_EQ(Messages().strErrorMsg, "e1, e2");
  EXPECT_EQ(host.response.Text(), "First failed.");
  Messages().blnShowError = false;
  ReportError("e1", true);
  EXPECT_EQ(host.response.Text(), "First failed.");
}

// The message table is read once and shared while its change counter stands
// still; a request's own SetSystemMsg never reaches the next request.
TEST_F(MessagesTest, SharedTableIsReusedUntilItsCounterMoves) {
  db.CreateMessages({{"greeting", "Hello", "Hallo"}});
  db.Exec("CREATE TABLE qvChangeCounter (ID counter, dbTable text(64), dbCount long)");
  db.Exec("INSERT INTO qvChangeCounter (dbTable, dbCount) VALUES ('qvsystemmsg', 7)");
  sv.Init("qvtest");
  EXPECT_EQ(sv.GetSystemMsg("greeting"), "Hello");
  sv.SetSystemMsg("greeting_e", "Changed in this request");
  EXPECT_EQ(sv.GetSystemMsg("greeting"), "Changed in this request");

  // Without a counter change the shared copy answers: proof it is reused.
  db.Exec("UPDATE qvSystemMsg SET dbMsg_e='Hi' WHERE dbName='greeting'");
  sv.Init("qvtest");
  EXPECT_EQ(sv.GetSystemMsg("greeting"), "Hello");

  db.Exec("UPDATE qvChangeCounter SET dbCount = dbCount + 1");
  sv.Init("qvtest");
  EXPECT_EQ(sv.GetSystemMsg("greeting"), "Hi");
  EXPECT_EQ(sv.GetSystemMsg("greeting", 2), "greeting_");  // no second language set
}

}  // namespace
}  // namespace qv
