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
  Browser admin = As("admin");
  Reply r = admin.Open("/help.lp?helpcode=read_qvbook_");
  EXPECT_EQ(r.status, 302);
  const std::string id = testing::QueryFirst(
      "SELECT ID FROM qvglossary WHERE dbBookID=1 AND dbKeyword_e='read_qvbook_'");
  EXPECT_TRUE(Has(r.Header("location"), "book.lp?table=qvglossary&id=" + id + "&qvAction=edit"));
  EXPECT_TRUE(Has(Open("/help.lp?helpcode=read_qvbook_").body, "administrators only"));
}

TEST_F(SiteGlossary, TeacherLinksTheTermsOfAPage) {
  Browser teacher = As("teacher");
  Reply form = teacher.Open("/book.lp?id=4&qvAction=listglossary");
  EXPECT_TRUE(Has(form.body, "name=\"Gcore\" value=\"9_65\" checked>core<br>"));
  EXPECT_TRUE(Has(form.body, "value=\"updateglossary\""));
  // Unchecking core and hydrogen removes their links; helium stays linked.
  Reply saved =
      teacher.Send("/book.lp?id=4", "qvAction=updateglossary&Ghelium=11_65&qvUpdateGlossary=x");
  EXPECT_EQ(saved.status, 200);
  const std::string content = testing::QueryFirst("SELECT dbContent_e FROM qvbook WHERE ID=4");
  EXPECT_TRUE(Has(content,
                  "Deep in its core the Sun fuses hydrogen into "
                  "<a href=\"javascript:qvTmGlossary(11)\">helium</a>."));
  // A student may not.
  Browser student = As("student");
  student.Send("/book.lp?id=4", "qvAction=updateglossary");
  EXPECT_EQ(testing::QueryFirst("SELECT dbContent_e FROM qvbook WHERE ID=4"), content);
}

}  // namespace
}  // namespace qv::http
