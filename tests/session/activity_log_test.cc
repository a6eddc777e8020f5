#include <gtest/gtest.h>

#include "core/convert.h"
#include "data/aspproc.h"
#include "data/settings.h"
#include "data/test_source.h"
#include "host/memory_host.h"
#include "session/current_page.h"
#include "session/sysvar.h"

namespace qv {
namespace {

class ActivityLogTest : public ::testing::Test {
 protected:
  ActivityLogTest() {
    ResetRequestState();
    host.request.SetServerVariable("SCRIPT_NAME", "/course/book.lp");
    host.request.SetServerVariable("REMOTE_ADDR", "10.0.0.5");
    db.CreateMessages({});
    db.Exec(
        "CREATE TABLE qvAuthLog (ID counter, dbTableName text(50), dbRecordID long, dbAction "
        "short, dbPageName text(255), dbQueryString memo, dbFormString memo, dbTime double, "
        "dbUserID text(50), dbIP text(50), dbDate datetime)");
    SysVar().Init("qvtest");
  }

  std::vector<std::vector<Variant>> Rows(const std::string& fields) {
    return db.Exec("SELECT " + fields + " FROM qvAuthLog ORDER BY ID").rows;
  }

  testing::TestSource db;
  MemoryHost host;
  AspProc ap;
};

TEST_F(ActivityLogTest, LogLevelSelectsTheActions) {
  const std::vector<std::pair<std::string, std::vector<int64_t>>> levels = {
      {"0", {}}, {"1", {0, 1}}, {"2", {0, 1, 2}}, {"3", {0, 1, 8}}, {"4", {0, 1, 2, 8}}};
  for (const auto& [level, expected] : levels) {
    db.Exec("DELETE * FROM qvAuthLog");
    TheSettings().LogLevel = level;
    for (int action : {0, 1, 2, 8}) ap.dbLog(action);
    std::vector<int64_t> stored;
    for (const auto& row : Rows("dbAction")) stored.push_back(ToInteger(row[0]));
    EXPECT_EQ(stored, expected) << "LogLevel " << level;
  }
}

TEST_F(ActivityLogTest, SessionClockMeasuresSincePreviousActionOrLogin) {
  host.request.SetQueryString("id=12");
  TheSettings().TableName = "algebra";
  ThePage().ID = "12";
  ap.dbLog(2);
  // An anonymous reader's view stores nothing in the session (a session per
  // cookie-less view would fill the server's memory).
  EXPECT_EQ(NullToStr(host.session.Value("AuthTime1")), "");
  host.session.SetValue("AuthUserID1", "alice");
  ap.dbLog(2);
  const auto first =
      Rows("dbTableName, dbRecordID, dbPageName, dbQueryString, dbTime, dbUserID, dbIP");
  EXPECT_EQ(first[0], (std::vector<Variant>{"algebra", 12, "/course/book.lp", "id=12", Null,
                                            "anonymous", "10.0.0.5"}));
  EXPECT_EQ(first[1][4], Null);
  EXPECT_EQ(first[1][5], Variant("alice"));
  ASSERT_TRUE(host.session.Value("AuthTime1").IsDate());  // the first action starts the clock
  EXPECT_EQ(host.session.Value("AuthLogTime1"), host.session.Value("AuthTime1"));

  const double now = Now().serial;
  host.session.SetValue("AuthLogTime1", Date{now - 1.0});
  host.session.SetValue("AuthTime1", Date{now - 0.5});
  ap.dbLog(8);
  ap.dbLog(0);  // a logout: since login
  const auto rows = Rows("dbTime");
  EXPECT_NEAR(ToDouble(rows[2][0]), 0.5, 0.01);
  EXPECT_NEAR(ToDouble(rows[3][0]), 1.0, 0.01);
}

TEST_F(ActivityLogTest, FormTextIsKeptExceptForLoginsAndPasswords) {
  host.request.AddForm("dbTitle_e", "A & B");
  host.request.AddForm("dbNewPassword", "hunter2");
  ap.dbLog(8);
  ap.dbLog(1);
  const auto rows = Rows("dbFormString");
  EXPECT_EQ(rows[0][0], Variant("dbTitle_e=A+%26+B&dbNewPassword=***"));
  EXPECT_TRUE(rows[1][0].IsNull());
}

TEST_F(ActivityLogTest, LongFormAndQueryTextsAreCutOnACharacterWithAMark) {
  const std::string mark = "\xE2\x80\xA6[cut]";
  std::string accents;
  for (int i = 0; i < 3000; ++i) accents += "\xC3\xA9";  // e acute, two bytes
  host.request.SetQueryString("q=" + accents);
  host.request.AddForm("big", std::string(1 << 20, 'x'));
  ap.dbLog(2);
  host.request = MemoryRequest();
  host.request.SetQueryString("q=" + accents.substr(0, 4000));  // 4002 bytes: kept whole
  host.request.AddForm("small", "1");
  ap.dbLog(2);

  const auto rows = Rows("dbQueryString, dbFormString");
  const std::string query = ToStr(rows[0][0]);
  const std::string form = ToStr(rows[0][1]);
  EXPECT_LE(query.size(), 4096u);
  ASSERT_TRUE(query.ends_with(mark));
  // No character is cut in half: "q=" and whole two-byte characters.
  EXPECT_EQ((query.size() - mark.size()) % 2, 0u);
  EXPECT_EQ(query.substr(query.size() - mark.size() - 2, 2), "\xC3\xA9");
  EXPECT_LE(form.size(), 4096u);
  EXPECT_TRUE(form.starts_with("big=xxx"));
  EXPECT_TRUE(form.ends_with(mark));
  EXPECT_EQ(rows[1][0], Variant("q=" + accents.substr(0, 4000)));
  EXPECT_EQ(rows[1][1], Variant("small=1"));
}

TEST_F(ActivityLogTest, RequestReadAsUploadStoresNoRow) {
  host.request.SetBody("raw upload");
  host.request.BinaryRead(10);
  EXPECT_NO_THROW(ap.dbLog(15));
  EXPECT_TRUE(Rows("ID").empty());
}

TEST_F(ActivityLogTest, ARowIsWrittenBehindTheRequestWithTheValuesOfTheRequest) {
  host.request.SetQueryString("id=3");
  TheSettings().TableName = "qvbook";
  ThePage().ID = "3";
  ap.dbLog(2);
  const double logged_at = Now().serial;
  // The request's values stay, whatever this thread does next.
  host.request.SetQueryString("id=4");
  ThePage().ID = "4";
  const auto rows = Rows("dbRecordID, dbQueryString, dbDate");  // flushes the queue first
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], Variant(3));
  EXPECT_EQ(rows[0][1], Variant("id=3"));
  EXPECT_LE(ToDate(rows[0][2]).serial, logged_at + 1.0 / 86400);
}

TEST_F(ActivityLogTest, InsideATransactionTheRowGoesWithItsWrites) {
  {
    RequestTransaction transaction;
    ap.dbLog(8);
  }  // rolled back
  EXPECT_TRUE(Rows("ID").empty());
  {
    RequestTransaction transaction;
    ap.dbLog(8);
    transaction.Commit();
  }
  EXPECT_EQ(Rows("ID").size(), 1u);
  db.Exec("DROP TABLE qvAuthLog");  // a log that cannot be opened fails the transaction
  RequestTransaction transaction;
  EXPECT_THROW(ap.dbLog(8), DatabaseError);
}

}  // namespace
}  // namespace qv
