// End-to-end: the default site served by a real server on 127.0.0.1 over a
// seeded SQLite database; browsers log in with a session cookie and edit
// system messages through the message editor.
#include <gtest/gtest.h>

#include <string>

#include "engine/sqlite_connection.h"
#include "session/identity.h"
#include "site_server.h"

namespace qv::http {
namespace {

using testing::Browser;
using testing::Reply;

class SiteEndToEnd : public testing::SiteSuite<SiteEndToEnd> {
 public:
  static constexpr const char* kSiteName = "qvtome_site_e2e";

 protected:
  static void SetUpTestSuite() {
    SiteSuite::SetUpTestSuite();
    Query(
        "INSERT INTO qvAuthUser (dbUserID, dbPassword, dbPasswordType, dbMajorGroup,"
        " dbFullName_e, dbFullName_n) VALUES ('editor', '" +
        EncodePassword("second-pass") + "', 0, '99', 'Second Editor', 'Tweede Redacteur')");
  }

  static std::string IdOf(const std::string& key) {
    return Query("SELECT ID FROM qvSystemMsg WHERE dbName = '" + key + "'");
  }

  // The editor form's fields as a browser posts them.
  static std::string EditForm(const std::string& key, const std::string& english) {
    return "qvEditMsg=1&qvFLD_List=dbName&dbName=" + key +
           "&qvFLD_List=dbMsg_e&dbMsg_e=" + english +
           "&qvFLD_List=dbMsg_n&dbMsg_n=Tekst&qvSave=Save";
  }
};

TEST_F(SiteEndToEnd, AdministratorLogsInEditsAMessageAndLogsOut) {
  Browser browser(site_->port());
  const std::string id = IdOf("SiteMsgAll");
  const std::string page = "/msgedit.lp?id=" + id;

  Reply anonymous = browser.Open(page);
  EXPECT_EQ(anonymous.status, 200);
  EXPECT_TRUE(Has(anonymous.body, "for administrators only"));
  EXPECT_TRUE(Has(anonymous.body, "name=\"qvTomeLoginForm\""));

  EXPECT_TRUE(Has(browser.LogIn("/login.lp", "admin", "wrong").body, "Login failed"));
  const std::string before = browser.cookie();
  Reply login = browser.LogIn("/login.lp", "admin", "qvtome-admin");
  EXPECT_TRUE(Has(login.body, "You are logged in as")) << login.body;
  EXPECT_TRUE(Has(login.body, "<b>Administrator</b>"));
  EXPECT_TRUE(browser.cookie().starts_with("QVSESSION="));
  EXPECT_NE(browser.cookie(), before);  // a login gets a new session id

  Reply form = browser.Open(page);
  EXPECT_TRUE(Has(form.body, "<input type=\"hidden\" name=\"qvFLD_List\" value=\"dbMsg_e\">"));
  EXPECT_TRUE(Has(form.body,
                  "<textarea name=\"dbMsg_e\" rows=\"6\" cols=\"70\" WRAP=\"virtual\">"
                  "All messages</textarea>"));
  Reply saved = browser.Send(page, EditForm("SiteMsgAll", "Every+message+%3Cb%3E"));
  EXPECT_TRUE(Has(saved.body, "Your changes have been saved")) << saved.body;
  EXPECT_TRUE(Has(saved.body, ">Every message &lt;b&gt;</textarea>"));
  EXPECT_EQ(Query("SELECT dbMsg_e FROM qvSystemMsg WHERE ID=" + id), "Every message <b>");
  EXPECT_TRUE(Query("SELECT Stamp FROM qvSystemMsg WHERE ID=" + id).starts_with("admin,"));

  EXPECT_TRUE(Has(browser.Open("/login.lp?logout=1").body, "You have been logged out"));
  Reply after = browser.Send(page, EditForm("SiteMsgAll", "Too+late"));
  EXPECT_TRUE(Has(after.body, "for administrators only"));
  EXPECT_EQ(Query("SELECT dbMsg_e FROM qvSystemMsg WHERE ID=" + id), "Every message <b>");
}

TEST_F(SiteEndToEnd, SecondBrowserCannotOverwriteAChangeItDidNotSee) {
  Browser first(site_->port()), second(site_->port());
  const std::string id = IdOf("SiteShow");
  const std::string page = "/msgedit.lp?id=" + id;
  first.LogIn("/login.lp", "admin", "qvtome-admin");
  // Logging in through the editor's own form comes back to the editor.
  Reply login = second.LogIn(page, "editor", "second-pass");
  EXPECT_EQ(login.status, 302);
  EXPECT_EQ(login.Header("location"), page);

  EXPECT_TRUE(Has(first.Open(page).body, "name=\"dbMsg_e\""));
  EXPECT_TRUE(Has(second.Open(page).body, "name=\"dbMsg_e\""));
  EXPECT_TRUE(Has(first.Send(page, EditForm("SiteShow", "First")).body, "have been saved"));

  Reply refused = second.Send(page, EditForm("SiteShow", "Second"));
  EXPECT_TRUE(Has(refused.body, "changed in the meantime by</span>  Administrator"))
      << refused.body;
  EXPECT_TRUE(Has(refused.body, "<td>Second</td>"));  // the refused text is shown, not lost
  EXPECT_EQ(Query("SELECT dbMsg_e FROM qvSystemMsg WHERE ID=" + id), "First");

  // Having seen the first change, the second browser may save over it.
  second.Open(page);
  EXPECT_TRUE(Has(second.Send(page, EditForm("SiteShow", "Second")).body, "have been saved"));
  EXPECT_EQ(Query("SELECT dbMsg_e FROM qvSystemMsg WHERE ID=" + id), "Second");
  EXPECT_TRUE(Query("SELECT Stamp FROM qvSystemMsg WHERE ID=" + id).starts_with("editor,"));
}

}  // namespace
}  // namespace qv::http
