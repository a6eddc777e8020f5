// End-to-end on the default site: the glossary window, glossary links in
// the demo course, and the help of a book page.
#include <gtest/gtest.h>

#include <string>

#include "site_server.h"

namespace qv::http {
namespace {

using testing::Browser;
using testing::Fetch;
using testing::Get;
using testing::Reply;

class SiteGlossary : public testing::SiteSuite<SiteGlossary> {
 public:
  static constexpr const char* kSiteName = "qvtome_site_glossary";

 protected:
  static Reply Open(const std::string& path) { return Fetch(site_->port(), Get(path)); }
  static bool Has(const std::string& text, const std::string& part) {
    return testing::Has(text, part);
  }
};

TEST_F(SiteGlossary, WindowShowsTermDefinitionAndRedirect) {
  Reply r = Open("/glossary.lp?glossary_id=2&lang=en");
  ASSERT_EQ(r.status, 200);
  EXPECT_TRUE(Has(r.body, "eclipse"));
  EXPECT_TRUE(Has(r.body, "verduistering"));
  EXPECT_TRUE(Has(r.body, "<a href=\"/glossary.lp?glossary_id=3\">solar eclipse</a>"));

  r = Open("/glossary.lp?glossary_id=14");
  EXPECT_TRUE(Has(r.body, "Redirected from"));
  EXPECT_TRUE(Has(r.body, "<em>phases of the Moon</em>"));
  EXPECT_TRUE(Has(r.body, "The lit part of the Moon"));

  r = Open("/glossary.lp?glossary_id=3%20or%201=1");
  EXPECT_EQ(r.status, 200);
  EXPECT_TRUE(Has(r.body, "The glossary entry was not found."));
  EXPECT_TRUE(Has(Open("/glossary.lp").body, "read all terms"));
}

TEST_F(SiteGlossary, CoursePagesLinkTermsAndShowTheirHelp) {
  Reply r = Open("/book.lp?id=4");
  ASSERT_EQ(r.status, 200);
  EXPECT_TRUE(Has(r.body, "<a href=\"javascript:qvTmGlossary(10)\">hydrogen</a>"));
  EXPECT_TRUE(Has(r.body, "function qvTmGlossary(id)"));
  EXPECT_TRUE(Has(r.body, "<summary>Help</summary>"));
  EXPECT_TRUE(Has(Open("/book.lp?id=4").body, "Help on read_qvbook_"));

  // The glossary is a book of its own.
  r = Open("/book.lp?table=qvglossary");
  EXPECT_EQ(r.status, 200);
  EXPECT_TRUE(Has(r.body, "white dwarf"));
}

TEST_F(SiteGlossary, HelpEditLinkLeadsAdministratorsToTheEntry) {
  Open("/book.lp?id=5");  // makes the entry of read_qvbook_
  Browser admin(site_->port());
  admin.LogIn("/login.lp", "admin", "qvtome-admin");
  Reply r = admin.Open("/help.lp?helpcode=read_qvbook_");
  EXPECT_EQ(r.status, 302);
  const std::string id = testing::QueryFirst(
      "SELECT ID FROM qvglossary WHERE dbBookID=1 AND dbKeyword_e='read_qvbook_'");
  EXPECT_TRUE(Has(r.Header("location"), "book.lp?table=qvglossary&id=" + id + "&qvAction=edit"));
  EXPECT_TRUE(Has(Open("/help.lp?helpcode=read_qvbook_").body, "administrators only"));
}

}  // namespace
}  // namespace qv::http
