// End-to-end on the default site over a seeded database: every page wears
// the one frame of site/lib/frame.lua, administration links are for
// administrators, the language choice costs anonymous visitors no session,
// and the commands of modules not built yet are neither offered nor run.
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

constexpr const char* kNotAvailable = "This function is not available on this site yet.";

class SiteFrame : public testing::SiteSuite<SiteFrame> {
 public:
  static constexpr const char* kSiteName = "qvtome_site_frame";

 protected:
  // Everything the page, glossary, submission and file writes would change.
  static std::string Content() {
    std::string all = Query("SELECT count(*) FROM qvbook_");
    for (const char* table : {"qvbook", "qvglossary", "qvmedia"}) {
      all += "|" + testing::QueryJoined(
                       "SELECT ID, dbPID, dbOrder, dbTitle_e, dbContent_e, "
                       "dbDate FROM " +
                           std::string(table) + " ORDER BY ID",
                       ",", ";");
    }
    return all;
  }

  // The command menu of a book page.
  static std::string Menu(const std::string& page) {
    const size_t start = page.find("<div class=\"qvMenu\">");
    if (start == std::string::npos) return "";
    return page.substr(start, page.find("</div>", start) - start);
  }
};

TEST_F(SiteFrame, EveryPageWearsTheFrame) {
  for (const char* page :
       {"default.lp", "book.lp", "library.lp", "login.lp", "messages.lp", "msgedit.lp",
        "msgorder.lp", "diagnostics.lp", "bookadmin.lp", "libowner.lp", "password.lp"}) {
    SCOPED_TRACE(page);
    Reply r = Fetch(site_->port(), Get(std::string("/") + page));
    ASSERT_EQ(r.status, 200);
    const std::string& body = r.body;
    EXPECT_EQ(body.rfind("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n", 0), 0u) << body;
    EXPECT_TRUE(Has(body, "<meta name=\"viewport\""));
    EXPECT_TRUE(Has(body, "content=\"qvTome education system"));  // Init's banner
    EXPECT_TRUE(Has(body, "</head>\n<body>\n"));
    EXPECT_TRUE(Has(body, "<div class=\"qvHeader\">\n  <nav class=\"qvTopBar\">"));
    EXPECT_TRUE(Has(body, std::string("<a href=\"") + page + "?")) << body;
    EXPECT_TRUE(Has(body, "lang=n\">Nederlands</a>"));
    EXPECT_TRUE(Has(body, "<span class=\"qvLogin\"><a href=\"login.lp?lang=e\">Log in</a></span>"));
    EXPECT_EQ(Has(body, "mark_book.gif\" width=\"16\" height=\"16\" alt=\"\"> Home</a>"),
              std::string(page) != "default.lp");
    EXPECT_TRUE(Has(body, "<div class=\"qvFooter\">"));
    EXPECT_TRUE(body.ends_with("</div>\n</body>\n</html>\n"));
  }
  // The language links of a book page come back to the same page and table.
  Reply book = Fetch(site_->port(), Get("/book.lp?table=qvglossary&id=3&lang=ne"));
  EXPECT_TRUE(Has(book.body, "<a href=\"book.lp?table=qvglossary&amp;id=3&amp;lang=e\">"))
      << book.body;
  EXPECT_TRUE(Has(book.body, "&amp;lang=ne\">Beide talen</a>"));
  EXPECT_TRUE(book.body.starts_with("<!DOCTYPE html>\n<html lang=\"nl\">"));
  EXPECT_TRUE(Has(book.body, "<a href=\"default.lp?lang=ne\">"));
}

TEST_F(SiteFrame, AdministrationLinksAreForAdministratorsOnly) {
  const char* admin_pages[] = {"msgedit.lp?lang=", "msgorder.lp?lang=", "diagnostics.lp?lang=",
                               "users.lp?lang=", "groups.lp?lang="};
  const std::string anonymous = Fetch(site_->port(), Get("/default.lp")).body;
  Browser teacher(site_->port()), admin(site_->port());
  teacher.LogIn("/login.lp", "teacher", "teacher-2026");
  admin.LogIn("/login.lp", "admin", "qvtome-admin");
  const std::string for_teacher = teacher.Open("/default.lp").body;
  const std::string for_admin = admin.Open("/default.lp").body;
  for (const char* link : admin_pages) {
    EXPECT_FALSE(Has(anonymous, link)) << link;
    EXPECT_FALSE(Has(for_teacher, link)) << link;
    EXPECT_TRUE(Has(for_admin, link)) << link;
  }
  for (const std::string* page : {&anonymous, &for_teacher, &for_admin}) {
    EXPECT_TRUE(Has(*page, "<a href=\"messages.lp?lang=e\">"));
    EXPECT_TRUE(Has(*page, "<a href=\"login.lp?lang=e\">"));
  }
  // The login bar names whoever is logged in, on every page, leading to his
  // own account.
  EXPECT_TRUE(Has(admin.Open("/msgorder.lp").body,
                  "<span class=\"qvLogin\"><a href=\"account.lp?lang=e\">Administrator</a> |\n"
                  "      <a href=\"login.lp?logout=1"));
  EXPECT_TRUE(Has(teacher.Open("/book.lp?id=22").body,
                  "<span class=\"qvLogin\"><a href=\"account.lp?lang=e\">Tessa Teacher</a> |"));
}

TEST_F(SiteFrame, TheLanguageIsKeptOnlyWhenAVisitorChangesIt) {
  const size_t before = site_->sessions().size();
  for (const char* page : {"/default.lp?lang=e", "/book.lp?id=8&lang=e", "/login.lp?lang=zz"}) {
    Reply r = Fetch(site_->port(), Get(page));
    EXPECT_EQ(r.Header("set-cookie"), "") << page;
  }
  EXPECT_EQ(site_->sessions().size(), before);

  Browser visitor(site_->port());
  EXPECT_TRUE(Has(visitor.Open("/default.lp?lang=n").body, "De sterrenhemel ontdekken"));
  EXPECT_FALSE(visitor.cookie().empty());
  // Every page then keeps Dutch without being told; a book page may show both.
  EXPECT_TRUE(Has(visitor.Open("/messages.lp").body, "<h1>Systeemberichten</h1>"));
  EXPECT_TRUE(Has(visitor.Open("/book.lp?id=8&lang=ne").body, "De helft van de maan"));
  const std::string both = visitor.Open("/book.lp?id=8").body;
  EXPECT_TRUE(Has(both, "De helft van de maan"));
  EXPECT_TRUE(Has(both, "class=\"qvSecondTitle\""));
  EXPECT_TRUE(Has(visitor.Open("/login.lp").body, "<a href=\"login.lp?lang=n\">"));
}

TEST_F(SiteFrame, ModulesAreNoPages) {
  EXPECT_EQ(Fetch(site_->port(), Get("/lib/frame.lua")).status, 404);
  EXPECT_EQ(Fetch(site_->port(), Get("/lib/")).status, 404);
}

TEST_F(SiteFrame, TheMenuOffersTheMediaFilesAndTheMediaActionChangesNoPage) {
  Browser teacher = As("teacher");
  const std::string menu = Menu(teacher.Open("/book.lp?id=22").body);
  EXPECT_TRUE(Has(menu, "<a href=\"bookadmin.lp?id=2\">")) << menu;
  EXPECT_TRUE(Has(menu, "qvAction=edit")) << menu;                              // page editing
  EXPECT_TRUE(Has(menu, "qvAction=listglossary")) << menu;                      // the glossary
  EXPECT_TRUE(Has(menu, "<a href=\"upload.lp?table=qvbook&id=22\">")) << menu;  // media files
  EXPECT_FALSE(Has(menu, "listassignment"));  // not an assignment page

  const std::string leaf =
      Query("SELECT ID FROM qvbook WHERE dbCID = 0 AND dbPID > 0 ORDER BY ID DESC LIMIT 1");
  Reply shown = teacher.Open("/book.lp?id=" + leaf + "&qvAction=addmedia");
  EXPECT_EQ(shown.status, 200);
  EXPECT_FALSE(Has(shown.body, kNotAvailable)) << shown.body;
  // (The first view made the action's help entry.)
  const std::string before = Content();
  Reply posted = teacher.Send("/book.lp?id=" + leaf + "&qvAction=addmedia",
                              "dbTitle_e=Changed&dbContent_e=Changed&submit=Save&qvNewTitle=X");
  EXPECT_EQ(posted.status, 200);
  EXPECT_EQ(Content(), before);
}

}  // namespace
}  // namespace qv::http
