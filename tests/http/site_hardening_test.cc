// End-to-end on the default site over a seeded database: anonymous
// readers cost no session, and a logged-in administrator's browser cannot
// be made to write from another site.
#include <gtest/gtest.h>

#include <string>

#include "engine/sqlite_connection.h"
#include "site_server.h"

namespace qv::http {
namespace {

using testing::Browser;
using testing::Fetch;
using testing::Get;
using testing::Post;
using testing::Reply;

class SiteHardening : public testing::SiteSuite<SiteHardening> {
 public:
  static constexpr const char* kSiteName = "qvtome_site_hardening";
};

TEST_F(SiteHardening, AnonymousViewsCreateNoSession) {
  const size_t before = site_->sessions().size();
  for (int i = 0; i < 30; ++i) {
    for (const char* page : {"/book.lp?id=8", "/default.lp", "/login.lp"}) {
      Reply r = Fetch(site_->port(), Get(page));
      ASSERT_EQ(r.status, 200) << page;
      EXPECT_EQ(r.Header("set-cookie"), "") << page;
    }
  }
  EXPECT_EQ(site_->sessions().size(), before);
  // The views are still logged, as anonymous.
  EXPECT_EQ(Query("SELECT dbUserID FROM qvAuthLog WHERE dbPageName = '/book.lp' ORDER BY ID DESC"),
            "anonymous");
}

TEST_F(SiteHardening, CrossSiteWritesAreRefusedWhileSameSiteOnesSave) {
  Browser admin = As("admin");
  const std::string cookie = "Cookie: " + admin.cookie() + "\r\n";
  const std::string id = Query("SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteMsgAll'");
  const std::string page = "/msgedit.lp?id=" + id;
  admin.Open(page);  // the form: its stamp is remembered for the save
  auto save = [&](const std::string& text, const std::string& headers) {
    return Fetch(
        site_->port(),
        Post(page, "application/x-www-form-urlencoded",
             "qvEditMsg=1&qvFLD_List=dbName&dbName=SiteMsgAll&qvFLD_List=dbMsg_e&dbMsg_e=" + text +
                 "&qvFLD_List=dbMsg_n&dbMsg_n=Tekst&qvSave=Save",
             cookie + headers));
  };
  const std::string original = Query("SELECT dbMsg_e FROM qvSystemMsg WHERE ID=" + id);
  for (const char* foreign :
       {"Origin: http://evil.invalid\r\n", "Sec-Fetch-Site: cross-site\r\n"}) {
    Reply refused = save("%3Cscript%3Ealert(1)%3C/script%3E", foreign);
    EXPECT_EQ(refused.status, 403);
    EXPECT_EQ(Query("SELECT dbMsg_e FROM qvSystemMsg WHERE ID=" + id), original);
  }
  EXPECT_TRUE(Has(save("Same+origin", "Sec-Fetch-Site: same-origin\r\n").body, "have been saved"));
  EXPECT_EQ(Query("SELECT dbMsg_e FROM qvSystemMsg WHERE ID=" + id), "Same origin");
  admin.Open(page);
  EXPECT_TRUE(Has(save("Own+origin", "Origin: http://localhost\r\n").body, "have been saved"));
  EXPECT_EQ(Query("SELECT dbMsg_e FROM qvSystemMsg WHERE ID=" + id), "Own origin");

  // A writing link followed from another site runs nothing.
  const std::string leaf =
      Query("SELECT ID FROM qvbook WHERE dbCID = 0 AND dbPID > 0 ORDER BY ID DESC LIMIT 1");
  Reply delete_link = Fetch(site_->port(), Get("/book.lp?id=" + leaf + "&qvAction=delete",
                                               cookie + "Sec-Fetch-Site: cross-site\r\n"));
  EXPECT_EQ(delete_link.status, 403);
  EXPECT_EQ(Query("SELECT COUNT(*) FROM qvbook WHERE ID=" + leaf), "1");

  // Nor does a login posted from another site.
  Reply login =
      Fetch(site_->port(), Post("/login.lp", "application/x-www-form-urlencoded",
                                "qvTomeLogin=true&qvTomeUserID=admin&qvTomePassword=qvtome-admin",
                                "Origin: http://evil.invalid\r\n"));
  EXPECT_EQ(login.status, 403);
  EXPECT_EQ(login.Header("set-cookie"), "");
}

TEST_F(SiteHardening, PageEditsAndDeletesFromAnotherSiteAreRefusedWhileSameSiteOnesWork) {
  Browser teacher = As("teacher");
  const std::string cookie = "Cookie: " + teacher.cookie() + "\r\n";
  const std::string title = "SELECT dbTitle_e FROM qvbook WHERE ID=12";
  auto edit = [&](const std::string& text, const std::string& headers) {
    return Fetch(site_->port(),
                 Post("/book.lp?id=12", "application/x-www-form-urlencoded",
                      "qvAction=edit&qvFLD_List=dbTitle_e&dbTitle_e=" + text + "&submit=Save",
                      cookie + headers));
  };
  auto remove = [&](const std::string& headers) {
    return Fetch(site_->port(), Get("/book.lp?id=24&qvAction=delete", cookie + headers));
  };
  const std::string original = Query(title);
  for (const char* foreign :
       {"Origin: http://evil.invalid\r\n", "Sec-Fetch-Site: cross-site\r\n"}) {
    EXPECT_EQ(edit("Forged", foreign).status, 403);
    EXPECT_EQ(Query(title), original);
    EXPECT_EQ(remove(foreign).status, 403);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM qvbook WHERE ID=24"), "1");
  }
  EXPECT_EQ(edit("Same+site", "Sec-Fetch-Site: same-origin\r\n").status, 200);
  EXPECT_EQ(Query(title), "Same site");
  EXPECT_EQ(edit("Own+origin", "Origin: http://localhost\r\n").status, 200);
  EXPECT_EQ(Query(title), "Own origin");
  Reply removed = remove("Sec-Fetch-Site: same-origin\r\n");
  EXPECT_EQ(removed.status, 200);
  EXPECT_TRUE(Has(removed.body, "The page has been deleted.")) << removed.body;
  EXPECT_EQ(Query("SELECT COUNT(*) FROM qvbook WHERE ID=24"), "0");
}

}  // namespace
}  // namespace qv::http
