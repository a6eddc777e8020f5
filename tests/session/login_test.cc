#include <gtest/gtest.h>

#include "core/convert.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/settings.h"
#include "data/test_source.h"
#include "host/context.h"
#include "host/memory_host.h"
#include "session/identity.h"
#include "session/login_throttle.h"
#include "session/sysvar.h"

namespace qv {
namespace {

using testing::Statements;

// A later request on the same thread, standing in for the fixture's.
struct NextRequest {
  NextRequest() : saved(Host().host) { Host().host = host.Objects(); }
  ~NextRequest() { Host().host = saved; }
  HostObjects saved;
  MemoryHost host;
};

class LoginTest : public ::testing::Test {
 protected:
  LoginTest() {
    ResetRequestState();
    db.CreateMessages({{"LoginMsg", "Please log in", ""},
                       {"LoginFails", "Login failed", ""},
                       {"LoginLANFails", "Unknown network user", ""}});
    db.Exec(
        "CREATE TABLE qvAuthUser (ID counter, dbUserID text(50), dbPassword text(100), "
        "dbPasswordType short, dbExpiredDate datetime, dbLANUserID text(100), "
        "dbMajorGroup text(50), dbMinorGroups text(255), dbFullName_e text(100), "
        "dbFullName_n text(100))");
    db.Exec(
        "CREATE TABLE qvAuthLog (ID counter, dbTableName text(50), dbRecordID long, "
        "dbAction short, dbPageName text(255), dbQueryString memo, dbFormString memo, "
        "dbTime double, dbUserID text(50), dbIP text(50), dbDate datetime)");
    const std::string s = SqlText(EncodePassword("secret"));
    for (const std::string& row :
         {"'alice', " + s + ", 0, Null, 'alice.l', '20', '30, 31', 'Alice', 'Aleid'",
          std::string("'nopass', Null, 0, Null, '', '', '', '', ''"),
          "'old', " + s + ", 0, '2000-01-01 00:00:00', 'old.l', '', '', '', ''",
          "'lanonly', " + s + ", -1, '2999-01-01 00:00:00', 'lanonly.l', '', '', '', ''",
          "'disabled', " + s + ", -2, Null, 'disabled.l', '', '', '', ''"}) {
      db.Exec(
          "INSERT INTO qvAuthUser (dbUserID, dbPassword, dbPasswordType, dbExpiredDate, "
          "dbLANUserID, dbMajorGroup, dbMinorGroups, dbFullName_e, dbFullName_n) VALUES (" +
          row + ")");
    }
    SysVar().Init("qvtest");
    host.response.Clear();
    Statements().clear();
    SharedLoginThrottle().Configure({});
  }
  ~LoginTest() override {
    SharedLoginThrottle().Configure({});
    SharedLoginThrottle().SetClock(nullptr);
  }

  static void Post(MemoryHost& to, const std::string& user, const std::string& password) {
    to.request.AddForm("qvTomeLogin", "true");
    to.request.AddForm("qvTomeUserID", user);
    to.request.AddForm("qvTomePassword", password);
  }
  std::string Key(const std::string& name) { return NullToStr(host.session.Value(name + "1")); }
  bool Shows(const std::string& text) {
    return host.response.Text().find(text) != std::string::npos;
  }

  testing::TestSource db;
  MemoryHost host;
  AspProc ap;
};

TEST_F(LoginTest, FormLoginStartsTheSessionAndLogoutClearsIt) {
  Post(host, "alice", "secret");
  SysVar sv;
  sv.Login();
  const char* keys[] = {"Authorized",     "AuthUserID",     "AuthMajorGroupID", "AuthMinorGroupIDs",
                        "AuthFullName_n", "AuthFullName_e", "AuthLogTime",      "AuthTime"};
  const std::vector<std::string> values = {"Authorized", "alice", "20", "30, 31", "Aleid", "Alice"};
  for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(Key(keys[i]), values[i]) << keys[i];
  EXPECT_TRUE(host.session.Value("AuthLogTime1").IsDate());
  EXPECT_EQ(host.session.Timeout(), 180);
  EXPECT_EQ(host.session.RenewCount(), 1);
  EXPECT_EQ(host.response.Text(), "");

  sv.Login();  // already logged in: nothing happens
  EXPECT_EQ(host.session.RenewCount(), 1);
  sv.Logout();
  for (const char* key : keys) EXPECT_EQ(Key(key), "") << key;
  EXPECT_FALSE(sv.hasLogin());
  EXPECT_EQ(host.session.RenewCount(), 2);  // the id the login used ends with it

  // Login and logout rows, both as alice; the posted password is not logged.
  const QueryResult log =
      db.Exec("SELECT dbAction, dbFormString, dbUserID FROM qvAuthLog ORDER BY ID");
  ASSERT_EQ(log.rows.size(), 2u);
  EXPECT_EQ(log.rows[0], (std::vector<Variant>{1, Null, "alice"}));
  EXPECT_EQ(log.rows[1][0], Variant(0));
  EXPECT_EQ(log.rows[1][2], Variant("alice"));
}

TEST_F(LoginTest, RefusedAttemptsAllFailTheSameWay) {
  const std::vector<std::pair<std::string, std::string>> attempts = {
      {"alice", "wrong"},  {"alice", ""},         {"nobody", "secret"},
      {"old", "secret"},   {"lanonly", "secret"}, {"disabled", "secret"},
      {"nopass", "typed"}, {"x' or '1'='1", ""},  {"alice' --", "x' or '1'='1"}};
  for (const auto& [user, password] : attempts) {
    SCOPED_TRACE(user + " / " + password);
    NextRequest next;
    Post(next.host, user, password);
    AspProc proc;
    proc.dbLogin(true);  // SubmitOnly: never a form
    EXPECT_FALSE(proc.hasLogin());
    EXPECT_EQ(proc.LoginMsg(), "Login failed");
    EXPECT_EQ(next.host.response.Text(), "");
  }
}

// Past the throttle's limit even the right password fails like a wrong one,
// without a look at the user table, and the refusal is logged at the level
// that logs logins. A request counts once, however often the page asks.
TEST_F(LoginTest, ThrottledAttemptFailsUncheckedAndIsLogged) {
  LoginThrottle::TimePoint now{};
  SharedLoginThrottle().Configure({.max_failures = 3, .lock = std::chrono::minutes(1)});
  SharedLoginThrottle().SetClock([&now] { return now; });
  TheSettings().LogLevel = "1";
  auto attempt = [](const std::string& password) {
    NextRequest next;
    next.host.request.SetServerVariable("REMOTE_ADDR", "10.0.0.7");
    Post(next.host, "alice", password);
    AspProc proc;
    proc.dbLogin(true);  // takes the form, as a page does before
    proc.dbLogin();      // writing it: one attempt
    return proc.hasLogin() ? std::string("in") : proc.LoginMsg();
  };
  for (int i = 0; i < 3; ++i) ASSERT_EQ(attempt("wrong"), "Login failed");
  Statements().clear();
  EXPECT_EQ(attempt("secret"), "Login failed");
  for (const std::string& sql : Statements()) EXPECT_EQ(sql.find("qvAuthUser"), std::string::npos);

  const QueryResult log = db.Exec("SELECT dbAction, dbFormString, dbUserID, dbIP FROM qvAuthLog");
  ASSERT_EQ(log.rows.size(), 1u);
  EXPECT_EQ(log.rows[0][0], Variant(kLogLoginThrottled));
  EXPECT_EQ(log.rows[0][1], Variant("qvTomeLogin=true&qvTomeUserID=alice&qvTomePassword=***"));
  EXPECT_EQ(log.rows[0][2], Variant("anonymous"));
  EXPECT_EQ(log.rows[0][3], Variant("10.0.0.7"));

  now += std::chrono::minutes(1);
  EXPECT_EQ(attempt("secret"), "in");
}

TEST_F(LoginTest, NullPasswordNeedsAnEmptyField) {
  Post(host, "nopass", "");
  ap.dbLogin();
  EXPECT_NE(Statements().front().find(" and dbPassword=Null and "), std::string::npos);
  EXPECT_EQ(Key("AuthUserID"), "nopass");
}

TEST_F(LoginTest, OtherCaseIsSkippedAndTheFormReturnsWithoutFailure) {
  Post(host, "ALICE", "secret");
  ap.dbLogin();
  EXPECT_FALSE(ap.hasLogin());
  EXPECT_EQ(ap.LoginMsg(), "");
  EXPECT_TRUE(Shows("Please log in"));
  EXPECT_FALSE(Shows("Login failed"));
}

TEST_F(LoginTest, PasswordInAnotherCaseDoesNotLogIn) {
  Post(host, "alice", "SECRET");  // the database compares without regard to case
  ap.dbLogin(true);
  EXPECT_FALSE(ap.hasLogin());
  EXPECT_EQ(Key("AuthUserID"), "");
}

TEST_F(LoginTest, OnlyAPostedFormLogsIn) {
  Post(host, "alice", "secret");
  host.request.SetServerVariable("REQUEST_METHOD", "GET");  // a body on a GET
  ap.dbLogin(true);
  EXPECT_FALSE(ap.hasLogin());
  EXPECT_EQ(ap.LoginMsg(), "");
}

TEST_F(LoginTest, FormEchoesRequestValuesEncoded) {
  db.Exec("DELETE * FROM qvSystemMsg WHERE dbName <> 'qvTome'");  // labels show as their keys
  host.request.SetQueryString("a=1&qvTomeUserID=%3Cb%3E%22x%22");
  SysVar().Init("qvtest");
  host.response.Clear();
  ap.dbLogin();
  EXPECT_EQ(host.response.Text(),
            "<form action=\"?a=1&amp;qvTomeUserID=%3Cb%3E%22x%22\" method=\"POST\" "
            "name=\"qvTomeLoginForm\">loginmsg_e<input type=\"hidden\" name=\"qvTomeLogin\" "
            "value=\"true\">loginuserid_e <input type=\"text\" size=\"10\" name=\"qvTomeUserID\" "
            "length=\"10\" maxlength=\"20\" value=\"&lt;b&gt;&quot;x&quot;\"><br>loginpassword_e "
            "<input type=\"password\" size=\"10\" name=\"qvTomePassword\" maxlength=\"16\"><br>"
            "<br><input type=\"submit\" name=\"Submitlogin\" value=\"loginsubmitbutton_e\"> "
            "<input type=\"button\" name=\"Cancel\" value=\"logincancelbutton_e\" "
            "onclick=\"history.back()\"></form>");
}

TEST_F(LoginTest, NetworkLoginDropsTheDomain) {
  host.request.SetServerVariable("AUTH_USER", "CAMPUS\\lanonly.l");
  ap.dbLogin();
  EXPECT_EQ(Key("AuthUserID"), "lanonly");
  EXPECT_EQ(host.session.RenewCount(), 1);

  for (const std::string name : {"stranger", "disabled.l", "x' or '1'='1"}) {
    NextRequest next;
    next.host.request.SetServerVariable("AUTH_USER", name);
    AspProc proc;
    proc.dbLogin();
    EXPECT_FALSE(proc.hasLogin()) << name;
    EXPECT_NE(next.host.response.Text().find("Unknown network user"), std::string::npos);
  }
}

// A form row skipped by the exact check leaves the network step its turn; a
// refused form login ends the attempt before it.
TEST_F(LoginTest, FormStepComesBeforeTheNetworkStep) {
  Post(host, "ALICE", "secret");
  host.request.SetServerVariable("AUTH_USER", "CAMPUS\\lanonly.l");
  ap.dbLogin();
  EXPECT_EQ(Key("AuthUserID"), "lanonly");

  NextRequest next;
  Post(next.host, "alice", "wrong");
  next.host.request.SetServerVariable("AUTH_USER", "alice.l");
  AspProc proc;
  proc.dbLogin(true);
  EXPECT_FALSE(proc.hasLogin());
  EXPECT_EQ(proc.LoginMsg(), "Login failed");
}

TEST_F(LoginTest, NetworkOnlySiteAnswers401AndPostingAgentIsNoLogin) {
  Identity().LANLoginOnly = true;
  EXPECT_THROW(ap.dbLogin(), ResponseEnded);
  EXPECT_EQ(host.response.Status(), "401 Unauthorized");
  EXPECT_EQ(host.response.Text(), "");

  NextRequest next;
  next.host.request.SetServerVariable("HTTP_USER_AGENT", "Microsoft Posting Acceptor");
  ap.dbLogin();  // skipped: no 401 for the posting agent
  EXPECT_FALSE(ap.hasLogin());
}

}  // namespace
}  // namespace qv
