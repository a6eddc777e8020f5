// The default site on a real server: the user and group pages of an
// administrator, a user's own account page, and the delete that only a
// posted same-site request performs.
#include <gtest/gtest.h>

#include <string>

#include "core/encode.h"
#include "session/identity.h"
#include "site_server.h"

namespace qv::http {
namespace {

using testing::Browser;
using testing::Reply;

class SiteUsers : public testing::SiteSuite<SiteUsers> {
 public:
  static constexpr const char* kSiteName = "qvtome_site_users";

 protected:
  // The fields of a new user's form as the page posts them.
  static std::string NewUserForm(const std::string& id) {
    return "qvFLD_List=dbUserID&qvFLD_List=dbFullName_e&qvFLD_List=dbMajorGroup&"
           "qvFLD_List=dbeMail&dbUserID=" +
           UrlEncode(id) + "&dbFullName_e=Nina+New&dbMajorGroup=" +
           Query("SELECT dbMajorGroup FROM qvAuthUser WHERE dbUserID = 'student'") +
           "&dbeMail=nina%40example.org&dbPassword1=nina-pw&dbPassword2=nina-pw&submituser=Save";
  }
};

TEST_F(SiteUsers, AnAdministratorFindsTheUserPagesFromTheEntryPage) {
  Browser admin = Admin();
  const std::string entry = admin.Open("/default.lp").body;
  EXPECT_TRUE(Has(entry, "href=\"users.lp?lang=e\""));
  EXPECT_TRUE(Has(entry, "href=\"groups.lp?lang=e\""));
  EXPECT_TRUE(Has(entry, "href=\"account.lp?lang=e\""));

  const std::string groups = admin.Open("/groups.lp").body;
  EXPECT_TRUE(Has(groups, "<a href=\"users.lp?GroupID=99\" target=\"_self\">")) << groups;
  const std::string users = admin.Open("/users.lp").body;
  EXPECT_TRUE(Has(users, "/users.lp?id=teacher&amp;GroupID=")) << users;
  const std::string form = admin.Open("/users.lp?id=student").body;
  EXPECT_TRUE(Has(form, "name=\"dbMajorGroup\""));
  EXPECT_TRUE(Has(form, "name=\"qvUserForm\""));

  // Others see neither the links nor the pages.
  Browser student = Student();
  const std::string seen = student.Open("/default.lp").body;
  EXPECT_FALSE(Has(seen, "users.lp"));
  EXPECT_TRUE(Has(seen, "account.lp"));
  const std::string refused = student.Open("/users.lp?id=teacher").body;
  EXPECT_TRUE(Has(refused, "administrators only"));
  EXPECT_FALSE(Has(refused, "dbMajorGroup"));
  EXPECT_FALSE(Has(Browser(site_->port()).Open("/default.lp").body, "account.lp"));
}

TEST_F(SiteUsers, ANewUserLogsInAndKeepsHisOwnRecord) {
  Browser admin = Admin();
  Reply added = admin.Send("/users.lp?id=-1&GroupID=", NewUserForm("nina"));
  EXPECT_TRUE(Has(added.body, "The record has been added.")) << added.body;
  EXPECT_EQ(Query("SELECT dbPassword FROM qvAuthUser WHERE dbUserID = 'nina'"),
            EncodePassword("nina-pw"));

  const std::string admin_name =
      Query("SELECT dbFullName_e FROM qvAuthUser WHERE dbUserID = 'admin'");
  Browser nina = As("nina", "nina-pw");
  Reply account = nina.Open("/account.lp");
  EXPECT_EQ(account.status, 302);
  const std::string form = nina.Open("/account.lp?id=nina").body;
  EXPECT_TRUE(Has(form, "Nina New"));
  EXPECT_TRUE(Has(form, "name=\"dbPasswordOld\""));
  EXPECT_FALSE(Has(form, "dbMajorGroup"));

  const std::string own =
      "qvFLD_List=dbFullName_e&qvFLD_List=dbeMail&dbFullName_e=Nina+Changed&"
      "dbeMail=n%40example.org&submituser=Save&dbPasswordOld=";
  // Each refusal of the user form is UsersTest's; here the page's own wiring.
  Reply saved = nina.Send("/account.lp?id=admin",
                          own + "nina-pw&dbPassword1=changed-pw&dbPassword2=changed-pw");
  EXPECT_TRUE(Has(saved.body, "The changes have been saved.")) << saved.body;
  EXPECT_EQ(Query("SELECT dbFullName_e FROM qvAuthUser WHERE dbUserID = 'nina'"), "Nina Changed");
  EXPECT_EQ(Query("SELECT dbFullName_e FROM qvAuthUser WHERE dbUserID = 'admin'"), admin_name);
  EXPECT_TRUE(Has(As("nina", "changed-pw").Open("/login.lp").body, "Nina Changed"));
}

TEST_F(SiteUsers, OnlyASameSitePostDeletesAUser) {
  Browser admin = Admin();
  admin.Send("/users.lp?id=-1&GroupID=", NewUserForm("gone"));
  ASSERT_EQ(Query("SELECT count(*) FROM qvAuthUser WHERE dbUserID = 'gone'"), "1");
  const std::string path = "/users.lp?id=gone&GroupID=&qvAction=delete";
  // A link or an embedded image is a GET: it shows the form.
  EXPECT_TRUE(Has(admin.Open(path).body, "name=\"qvUserForm\""));
  // A post from another site is refused by the host.
  Reply foreign = testing::Fetch(
      site_->port(),
      testing::Post(path, "application/x-www-form-urlencoded", "x=1",
                    "Cookie: " + admin.cookie() + "\r\nOrigin: http://evil.invalid\r\n"));
  EXPECT_EQ(foreign.status, 403);
  EXPECT_EQ(Query("SELECT count(*) FROM qvAuthUser WHERE dbUserID = 'gone'"), "1");
  Reply deleted = admin.Send(path, "x=1");
  EXPECT_TRUE(Has(deleted.body, "The user has been deleted."));
  EXPECT_EQ(Query("SELECT count(*) FROM qvAuthUser WHERE dbUserID = 'gone'"), "0");
}

TEST_F(SiteUsers, LoginAndLogoutEachGiveTheBrowserANewSessionID) {
  Browser browser(site_->port());
  browser.Open("/default.lp?lang=n");  // a language choice starts a session
  const std::string before = browser.cookie();
  ASSERT_FALSE(before.empty());
  browser.LogIn("/login.lp", "student", "student-2026");
  const std::string logged_in = browser.cookie();
  EXPECT_NE(logged_in, before);
  browser.Open("/login.lp?logout=1");
  EXPECT_NE(browser.cookie(), logged_in);
  EXPECT_FALSE(Has(browser.Open("/default.lp").body, "account.lp"));
}

}  // namespace
}  // namespace qv::http
