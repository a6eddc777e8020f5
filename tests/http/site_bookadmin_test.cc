// The default site on a real server: the book administration pages and the
// holder of a library copy. Administrators reach every book and create and
// delete books; a teacher sees the books he owns; a student none. A book
// is deleted only by a posted form from this site.
#include <gtest/gtest.h>

#include <string>

#include "core/encode.h"
#include "site_server.h"

namespace qv::http {
namespace {

using testing::Browser;
using testing::Reply;

class SiteBookAdmin : public testing::SiteSuite<SiteBookAdmin> {
 public:
  static constexpr const char* kSiteName = "qvtome_site_bookadmin";
};

TEST_F(SiteBookAdmin, TheEntryPageLinksAdministratorsAndOwnersToTheBookPages) {
  const std::string link = "<a href=\"bookadmin.lp?lang=e\">Book administration</a>";
  EXPECT_TRUE(Has(Admin().Open("/default.lp").body, link));
  EXPECT_TRUE(Has(Teacher().Open("/default.lp").body, link));
  EXPECT_FALSE(Has(Student().Open("/default.lp").body, "bookadmin.lp"));
  EXPECT_FALSE(Has(Browser(site_->port()).Open("/default.lp").body, "bookadmin.lp"));
}

TEST_F(SiteBookAdmin, AnAdministratorListsTablesAndBooksAndEditsASection) {
  Browser admin = Admin();
  const std::string tables = admin.Open("/bookadmin.lp").body;
  for (const char* table : {"qvbook", "qvglossary", "qvlibrary", "qvmedia"}) {
    EXPECT_TRUE(Has(tables, "?tablename=" + std::string(table) + "\">")) << table;
  }
  EXPECT_TRUE(Has(tables, "bookadmin.lp?id=-1&amp;lang=e"));
  const std::string books = admin.Open("/bookadmin.lp?tablename=qvbook").body;
  EXPECT_TRUE(Has(books, "<a href=\"/bookadmin.lp?id=2\">ASTRO1</a>")) << books;
  EXPECT_TRUE(Has(books, "[<b>Discovering the night sky</b>] by teacher [0]"));

  const std::string form = admin.Open("/bookadmin.lp?id=2&qvAction=format").body;
  EXPECT_TRUE(Has(form, "<form method=\"POST\" action=\"/bookadmin.lp?id=2&amp;qvAction=format\">"))
      << form;
  EXPECT_TRUE(Has(form, "name=\"dbFormatRead_e\""));
  EXPECT_FALSE(Has(form, "name=\"dbBookCode\""));
  EXPECT_TRUE(Has(form, "book.lp?id=-2&amp;lang=e"));  // the book itself
  const Reply saved = admin.Send("/bookadmin.lp?id=2&qvAction=format",
                                 "submitbook=Save&dbFormatRead_e=%3Cp%3EF%3C%2Fp%3E"
                                 "&dbFormatReadAll_e=A&dbFormatReadDiscussion_e=D"
                                 "&qvFLD_List=dbBookCode&dbBookCode=CHANGED");
  EXPECT_TRUE(Has(saved.body, "The changes have been saved.")) << saved.body;
  EXPECT_EQ(Query("SELECT dbFormatRead_e || dbFormatReadAll_e || dbBookCode FROM qvAuthBook "
                  "WHERE ID=2"),
            "<p>F</p>AASTRO1");
}

TEST_F(SiteBookAdmin, ANewBookOpensOnItsFirstPageAndIsDeletedOnlyByAPostFromThisSite) {
  Browser admin = Admin();
  EXPECT_TRUE(Has(admin.Open("/bookadmin.lp?id=-1").body, "<select name=\"dbTableName\""));
  const Reply added = admin.Send(
      "/bookadmin.lp?id=-1",
      "submitbook=Save&dbTitle_e=Comets&dbBookCode=COMETS&dbTableName=qvbook&dbOwnerID=teacher"
      "&dbGroup=0&dbIndent=0&dbPageLevelMin=1&dbPageLevelMax=3&dbOrder=7&dbFinished_e=-1"
      "&dbGlossaryBooks=1&dbBookURL=&dbDescription_e=&dbRemark_e=");
  EXPECT_TRUE(Has(added.body, "The record has been added.")) << added.body;
  const std::string id = Query("SELECT ID FROM qvAuthBook WHERE dbBookCode='COMETS'");
  ASSERT_FALSE(id.empty());
  EXPECT_EQ(Query("SELECT dbTitle_e || dbOrder FROM qvbook WHERE dbPID=-" + id), "Comets1");
  EXPECT_TRUE(Has(admin.Open("/book.lp?id=-" + id).body, "Comets"));

  // A link, a cross-site post and a post without the confirmation keep it.
  const std::string asked = admin.Open("/bookadmin.lp?id=" + id + "&qvAction=delete").body;
  EXPECT_TRUE(Has(asked, "name=\"qvDeleteBook\"")) << asked;
  const Reply foreign = testing::Fetch(
      site_->port(),
      testing::Post("/bookadmin.lp?id=" + id + "&qvAction=delete",
                    "application/x-www-form-urlencoded", "qvDeleteBook=y",
                    "Cookie: " + admin.cookie() + "\r\nOrigin: http://evil.invalid\r\n"));
  EXPECT_EQ(foreign.status, 403);
  admin.Send("/bookadmin.lp?id=" + id + "&qvAction=delete", "x=1");
  EXPECT_EQ(Query("SELECT count(*) FROM qvbook WHERE dbBookID=" + id), "1");

  const Reply deleted = admin.Send("/bookadmin.lp?id=" + id + "&qvAction=delete", "qvDeleteBook=y");
  EXPECT_TRUE(Has(deleted.body, "The book and all its pages have been deleted."));
  EXPECT_EQ(Query("SELECT count(*) FROM qvbook WHERE dbBookID=" + id), "0");
  EXPECT_EQ(Query("SELECT count(*) FROM qvAuthBook WHERE ID=" + id), "0");
  EXPECT_EQ(Query("SELECT count(*) FROM qvAuthBook WHERE ID=2"), "1");
}

TEST_F(SiteBookAdmin, OwnersSeeTheirOwnBooksAndOthersNone) {
  Browser teacher = Teacher();
  const std::string tables = teacher.Open("/bookadmin.lp").body;
  EXPECT_TRUE(Has(tables, "?tablename=qvbook\">"));
  EXPECT_FALSE(Has(tables, "?tablename=qvlibrary\">"));  // owned by admin
  EXPECT_FALSE(Has(tables, "id=-1"));
  EXPECT_TRUE(Has(teacher.Open("/bookadmin.lp?id=2").body, "name=\"submitbook\""));
  EXPECT_TRUE(Has(teacher.Open("/bookadmin.lp?id=3").body, "You are not allowed to see this."));

  Browser student = Student();
  EXPECT_TRUE(Has(student.Open("/bookadmin.lp?id=2").body, "You are not allowed to see this."));
  student.Send("/bookadmin.lp?id=2", "submitbook=Save&dbTitle_e=Mine&dbBookCode=MINE");
  EXPECT_EQ(Query("SELECT dbBookCode FROM qvAuthBook WHERE ID=2"), "ASTRO1");
  EXPECT_TRUE(Has(Browser(site_->port()).Open("/bookadmin.lp").body, "name=\"qvTomeLoginForm\""));
}

TEST_F(SiteBookAdmin, TheHolderOfACopyIsShownToSignedInReaders) {
  const std::string path = "/libowner.lp?bid=2&callno=AST+520.1&userid=teacher";
  const std::string anonymous = Browser(site_->port()).Open(path).body;
  EXPECT_TRUE(Has(anonymous, "Please log in"));
  EXPECT_FALSE(Has(anonymous, "teacher@localhost"));

  Browser student = Student();
  const std::string holder = student.Open(path).body;
  EXPECT_TRUE(Has(holder, "Ms Tessa Teacher")) << holder;
  EXPECT_TRUE(Has(holder, "<a href=\"mailto:teacher@localhost\">teacher@localhost</a>"));
  EXPECT_TRUE(Has(holder, "AST 520.1"));
  // The copy without a call number, as the library page links it.
  EXPECT_TRUE(
      Has(student.Open("/libowner.lp?bid=2&callno=&userid=teacher").body, "teacher@localhost"));
  // No copy of that holder: nobody's address.
  for (const char* other : {"/libowner.lp?bid=2&callno=AST+520.1&userid=admin",
                            "/libowner.lp?bid=2+or+1%3D1&callno=&userid=teacher",
                            "/libowner.lp?bid=2&callno=x%27+or+%271%27%3D%271&userid=teacher"}) {
    const std::string body = student.Open(other).body;
    EXPECT_TRUE(Has(body, "There is no such copy")) << other;
    EXPECT_FALSE(Has(body, "@localhost")) << other;
  }
  // The library page's link leads here.
  EXPECT_TRUE(Has(student.Open("/library.lp?id=2").body,
                  "libowner.lp?bid=2&callno=AST+520.1&userid=teacher"));
}

}  // namespace
}  // namespace qv::http
