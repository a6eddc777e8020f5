// End-to-end: the default site's course list, book and library pages
// served by a real server on 127.0.0.1 over the seeded demo database, read
// by an anonymous visitor and by the teacher who owns the course.
#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>

#include "core/convert.h"
#include "engine/sqlite_connection.h"
#include "site_server.h"

namespace qv::http {
namespace {

using testing::Fetch;
using testing::Get;
using testing::Reply;

class BookPages : public testing::SiteSuite<BookPages> {
 public:
  static constexpr const char* kSiteName = "qv_book_pages";

 protected:
  static std::string Page(const std::string& path, const std::string& cookie = "") {
    Reply reply =
        Fetch(site_->port(), Get(path, cookie.empty() ? "" : "Cookie: " + cookie + "\r\n"));
    EXPECT_EQ(reply.status, 200) << path;
    return reply.body;
  }
  // The session cookie of a logged-in user.
  static std::string LogIn(const std::string& user) { return As(user).cookie(); }
};

// The demo content is a well-formed tree: child counts, levels and book ids
// agree, and every jump and picture it uses exists.
TEST_F(BookPages, DemoContentIsAConsistentTree) {
  std::unique_ptr<Connection> conn = ::qv::testing::NewEngineConnection();
  conn->Open("qvtome", "", "");
  auto count = [&](const std::string& sql) { return ToInteger(conn->Query(sql).rows.at(0).at(0)); };
  for (const std::string t : {"qvbook", "qvglossary", "qvlibrary", "qvmedia"}) {
    SCOPED_TRACE(t);
    EXPECT_EQ(count("SELECT COUNT(*) FROM " + t + " p WHERE dbCID <> (SELECT COUNT(*) FROM " + t +
                    " c WHERE c.dbPID = p.ID)"),
              0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM " + t + " c JOIN " + t +
                    " p ON c.dbPID = p.ID WHERE c.dbPageLevel <> p.dbPageLevel + 1 "
                    "or c.dbBookID <> p.dbBookID"),
              0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM " + t +
                    " WHERE dbPID < 0 and (dbPageLevel <> 1 or dbBookID <> -dbPID)"),
              0);
  }

  const std::regex markup(R"(qvTmGoto=(\d+)|<qvTm\.Media\( *(\d+) *\)>)");
  int jumps = 0, pictures = 0;
  for (const auto& row : conn->Query("SELECT dbContent_e, dbContent_n FROM qvbook").rows) {
    for (const Variant& text : row) {
      const std::string body = NullToStr(text);
      for (std::sregex_iterator m(body.begin(), body.end(), markup), end; m != end; ++m) {
        const bool jump = (*m)[1].matched;
        const std::string id = jump ? (*m)[1].str() : (*m)[2].str();
        EXPECT_EQ(count(std::string("SELECT COUNT(*) FROM ") + (jump ? "qvbook" : "qvmedia") +
                        " WHERE ID = " + id),
                  1)
            << m->str();
        ++(jump ? jumps : pictures);
      }
    }
  }
  EXPECT_GT(jumps, 5);
  EXPECT_GT(pictures, 10);
}

TEST_F(BookPages, EntryPageListsTheCoursesAndOffersLogin) {
  std::string page = Page("/default.lp");
  EXPECT_TRUE(Has(page, "Courses in astronomy")) << page;  // a heading row, unlinked
  EXPECT_FALSE(Has(page, ">Courses in astronomy</a>"));
  EXPECT_TRUE(Has(page, "<a href=\"book.lp?id=-2\">Discovering the night sky</a>")) << page;
  EXPECT_TRUE(Has(page, "<a href=\"library.lp?id=-3\">Course library</a>")) << page;
  EXPECT_TRUE(Has(page, "book.lp?id=-1&table=qvglossary")) << page;
  EXPECT_TRUE(Has(page, "href=\"login.lp?lang=e\""));
  EXPECT_TRUE(Has(page, "content=\"qvTome education system v1.10\">"));
  EXPECT_TRUE(Has(page, "User ID:"));
  EXPECT_FALSE(Has(page, "qvError"));
  EXPECT_TRUE(Has(Page("/default.lp?lang=n"), "De sterrenhemel ontdekken"));
  EXPECT_TRUE(Has(Page("/default.lp?lang=%22%3E"), "login.lp?lang=e\""));
}

TEST_F(BookPages, ReaderAndTeacherSeeDifferentTreesAndMenus) {
  // Page 22 sits among Jupiter, Saturn and the unfinished "Dwarf planets".
  std::string reader = Page("/book.lp?id=22");
  EXPECT_TRUE(Has(reader, "Discovering the night sky")) << reader;
  EXPECT_TRUE(Has(reader, "Uranus and Neptune"));
  EXPECT_TRUE(Has(reader, "?id=21&qvAction=show\">&larr; Previous</a>")) << reader;
  EXPECT_FALSE(Has(reader, "Next &rarr;</a>"));  // the unfinished page is not counted
  EXPECT_TRUE(Has(reader, "Saturn</a>"));        // the open branch of the tree
  EXPECT_FALSE(Has(reader, "Dwarf planets"));
  EXPECT_FALSE(Has(reader, "mark_unfinished1.gif"));
  EXPECT_FALSE(Has(reader, "class=\"qvMenu\""));
  EXPECT_FALSE(Has(reader, "qvAction=edit"));
  EXPECT_FALSE(Has(reader, "qvError")) << reader;

  const std::string teacher = LogIn("teacher");
  ASSERT_EQ(teacher.rfind("QVSESSION=", 0), 0u) << teacher;
  std::string editor = Page("/book.lp?id=22", teacher);
  EXPECT_TRUE(Has(editor, "Tessa Teacher"));
  EXPECT_TRUE(Has(editor, "Dwarf planets")) << editor;
  EXPECT_TRUE(Has(editor, "mark_unfinished1.gif"));
  EXPECT_TRUE(Has(editor, "?id=23&qvAction=show\">Next &rarr;</a>")) << editor;
  EXPECT_TRUE(Has(editor, "class=\"qvMenu\""));
  EXPECT_TRUE(Has(editor, "<a href=\"bookadmin.lp?id=2\">")) << editor;
  EXPECT_TRUE(Has(editor, "qvAction=edit"));
  EXPECT_TRUE(Has(editor, "qvAction=cut&cut=current"));
  EXPECT_FALSE(Has(editor, "qvError"));

  // An expired page: hidden from the reader, marked for the teacher.
  EXPECT_FALSE(Has(Page("/book.lp?id=27"), "Observing evening"));
  std::string marked = Page("/book.lp?id=27", teacher);
  EXPECT_TRUE(Has(marked, "Observing evening")) << marked;
  EXPECT_TRUE(Has(marked, "mark_expired.gif"));
}

TEST_F(BookPages, PageBodyExpandsMarkupInBothLanguages) {
  std::string page = Page("/book.lp?id=8&lang=en");
  EXPECT_TRUE(Has(page, "<img src=\"/media/qvtome/qvmedia/4/m000003_moon.svg\"")) << page;
  EXPECT_FALSE(Has(page, "qvTm.Media"));
  EXPECT_FALSE(Has(page, "qvTmIPath"));
  EXPECT_TRUE(Has(page, "De helft van de maan"));  // the second language follows
  EXPECT_TRUE(Has(Page("/book.lp?id=6"), "href=\"/book.lp?id=10\""));
  EXPECT_TRUE(Has(Page("/book.lp"), "Welcome to <b>Discovering the night sky</b>"));
  // A section opens its first page; the bulletin shows its messages.
  EXPECT_TRUE(Has(Page("/book.lp?id=2"), "The Sun is an ordinary star"));
  std::string board = Page("/book.lp?id=30");
  EXPECT_TRUE(Has(board, "Observing evening moved")) << board;
  EXPECT_TRUE(Has(board, "Question about the homework"));
  std::string discussion = Page("/book.lp?id=34");  // the topic, not its first reply
  EXPECT_TRUE(Has(discussion, "Since 2006 Pluto counts as a dwarf planet")) << discussion;
  EXPECT_FALSE(Has(discussion, "qvAction=add"));  // anonymous visitors read only
  EXPECT_TRUE(
      Has(Page("/book.lp?id=34", LogIn("student")), "?id=34&qvAction=add&add=below&reply=y"));
}

TEST_F(BookPages, TheLibraryShowsHoldingsAndTheirFormToLibraryGroups) {
  std::string reader = Page("/library.lp?id=2");
  EXPECT_TRUE(Has(reader, "A walk through the night sky")) << reader;
  EXPECT_TRUE(Has(reader, "AST 520.1"));
  EXPECT_FALSE(Has(reader, "name=\"BibOwner\""));
  std::string manager = Page("/library.lp?id=2", LogIn("teacher"));
  EXPECT_TRUE(Has(manager, "name=\"BibOwner\"")) << manager;
  EXPECT_TRUE(Has(Page("/library.lp"), "The changing face of the Moon"));  // the section lists
}

TEST_F(BookPages, BadTablesAndIdsAreRefusedWithoutEchoingThem) {
  EXPECT_TRUE(Has(Page("/book.lp?table=qvAuthUser"), "no registered book table"));
  EXPECT_TRUE(Has(Page("/book.lp?table=qvbook%27--"), "no registered book table"));
  std::string page = Page("/book.lp?id=%3Cscript%3Ex");
  EXPECT_TRUE(Has(page, "This page does not exist")) << page;
  EXPECT_FALSE(Has(page, "<script>x"));
}

}  // namespace
}  // namespace qv::http
