#include <gtest/gtest.h>

#include "book/book.h"
#include "book/book_fixture.h"
#include "book/book_internal.h"
#include "book/book_state.h"
#include "core/encode.h"
#include "data/settings.h"
#include "session/current_page.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {
namespace {

using testing::BookRow;
using testing::BookTest;
using testing::PageRow;
using testing::Statements;

constexpr const char* kFullAuthorSet =
    "read,add,move,update,glossary,delete,upload,property,assignment,author";

// Book 7: top pages 74 (order 2), 76 and 73 (both order 1); 73 has the
// children 80 (order 2) and 81 (order 1). Page 90 has no book.
class OpenPageTest : public BookTest {
 protected:
  OpenPageTest() {
    AddBook({.id = 7, .owner = "teacher"});
    AddPage({.id = 74, .pid = -7, .book = 7, .order = 2, .title = "Third"});
    AddPage({.id = 76, .pid = -7, .book = 7, .order = 1, .title = "Second"});
    AddPage({.id = 73, .pid = -7, .book = 7, .order = 1, .type = 4, .children = 2, .group = 20});
    Exec("UPDATE qvbook SET dbOwnerID='teacher', dbTitle_e='First' WHERE ID=73");
    AddPage({.id = 80, .pid = 73, .book = 7, .level = 2, .order = 2, .title = "Child B"});
    AddPage({.id = 81, .pid = 73, .book = 7, .level = 2, .order = 1, .title = "Child A"});
    AddPage({.id = 90, .pid = 0, .book = 0, .title = "Loose"});
  }

  Book book;
};

TEST_F(OpenPageTest, NegativeDefaultIdOpensTheBooksFirstTopPage) {
  book.OpenPage("QvBook", "-7");
  const BookState& book_state = CurrentBook();
  const Settings& s = TheSettings();
  const PageRecord& page = ThePage();
  EXPECT_EQ(s.TableName, "qvbook");
  EXPECT_EQ(book.ID(), Variant(73));
  EXPECT_EQ(book_state.lngOpenID, 73);
  EXPECT_EQ(book_state.lngOpenParentID, -7);
  EXPECT_EQ(page.intPageGroup, 20);
  EXPECT_EQ(book.GetBookID(), 7);
  EXPECT_EQ(book.GetPageOwnerID(), "teacher");
  EXPECT_TRUE(book.hasSubPage());
  EXPECT_FALSE(book.HasError());
}

TEST_F(OpenPageTest, RequestIdWinsOverTheDefault) {
  Query("id=80");
  book.OpenPage("qvbook", "-7");
  EXPECT_EQ(book.ID(), Variant(80));
  EXPECT_EQ(CurrentBook().lngOpenParentID, 73);
  EXPECT_EQ(book.GetPageLevel(), 2);
  EXPECT_FALSE(book.hasSubPage());
}

TEST_F(OpenPageTest, MissingPagesReportAndKeepThePreviousPage) {
  book.OpenPage("qvbook", "80");
  Query("id=0");
  book.OpenPage("qvbook");
  EXPECT_EQ(book.GetErrorMsg(), "ErrorNoPage");
  EXPECT_TRUE(Shows("This page does not exist</span>  [0]"));
  EXPECT_EQ(ThePage().lngPageParentID, 73);
  EXPECT_EQ(CurrentBook().lngOpenID, 80);

  Query("id=-8");
  book.OpenPage("qvbook");
  EXPECT_EQ(book.GetErrorMsg(), "ErrorNoPage, ErrorBookNotFound");
}

TEST_F(OpenPageTest, AnIdThatIsNoWholeNumberNeverReachesSql) {
  for (const char* id : {"1 or 1=1", "<b>x", "7.5", "99999999999"}) {
    Messages().strErrorMsg.clear();
    host.response.Clear();
    Statements().clear();
    Query(std::string("id=") + UrlEncode(id));
    book.OpenPage("qvbook");
    EXPECT_EQ(book.GetErrorMsg(), "ErrorNoPage") << id;
    EXPECT_EQ(SqlCount("qvbook"), 0) << id;
  }
  EXPECT_TRUE(Shows(" [99999999999]"));
  Query("id=%3Cb%3Ex");
  book.OpenPage("qvbook");
  EXPECT_TRUE(Shows(" [&lt;b&gt;x]"));
}

TEST_F(OpenPageTest, ReOpenPageTakesTheIdLiterally) {
  book.OpenPage("qvbook", "80");
  Statements().clear();
  host.response.Clear();
  book.ReOpenPage("-7");
  // A negative id is still reported as a book, without the " [id]" note.
  EXPECT_EQ(book.GetErrorMsg(), "ErrorBookNotFound");
  EXPECT_EQ(Output().find(" [-7]"), std::string::npos);
  ASSERT_FALSE(Statements().empty());
  EXPECT_NE(Statements().back().find("Where id=-7"), std::string::npos);
  Messages().strErrorMsg.clear();
  book.ReOpenPage("76");
  EXPECT_EQ(book.ID(), Variant(76));
  EXPECT_EQ(CurrentBook().lngOpenID, 80);  // the page as first opened stays
}

TEST_F(OpenPageTest, ReOpenSubPageDescendsOnlyOnAPlainViewOfASection) {
  Query("id=73");
  book.OpenPage("qvbook");
  book.ReOpenSubPage();
  EXPECT_EQ(book.ID(), Variant(81));
  EXPECT_EQ(CurrentBook().lngOpenID, 73);
  EXPECT_FALSE(book.NoSubPage());

  Book with_action;
  Query("id=73&qvAction=edit");
  with_action.OpenPage("qvbook");
  with_action.ReOpenSubPage();
  EXPECT_EQ(with_action.ID(), Variant(73));

  Book by_default;  // no "id" in the request: the default page is shown as is
  Query("");
  by_default.OpenPage("qvbook", "73");
  by_default.ReOpenSubPage();
  EXPECT_EQ(by_default.ID(), Variant(73));
  EXPECT_FALSE(by_default.NoSubPage());

  Book emptied;  // a section whose children are gone is shown itself
  Exec("DELETE * FROM qvbook WHERE dbPID=73");
  Query("id=73");
  emptied.OpenPage("qvbook");
  emptied.ReOpenSubPage();
  EXPECT_EQ(emptied.ID(), Variant(73));
  EXPECT_TRUE(emptied.NoSubPage());
}

TEST_F(OpenPageTest, PageNotOpenIsReportedWithTheCallersName) {
  book.OpenBook();
  EXPECT_EQ(book.GetErrorMsg(), "ErrorPageNotOpen");
  EXPECT_TRUE(Shows("No page has been opened for</span> OpenBook"));

  host.response.Clear();
  Messages().strErrorMsg.clear();
  TheSettings().TableName = "qvbook";
  CurrentBook().blnPageDeleted = true;
  EXPECT_FALSE(book::CheckPageOpen("ShowPage"));
  EXPECT_EQ(Output(), "");
  EXPECT_FALSE(book.HasError());
}

TEST_F(OpenPageTest, ScriptsOpenAPageAndReadItsProperties) {
  LogIn("teacher");
  const std::string out = RunScript(
      "qvTome.SysVar():Init('qvtest')\n"
      "local b = qvTome.Book()\n"
      "b:OpenPage('qvbook', '-7') b:ReOpenSubPage() b:OpenBook()\n"
      "Response.Write('[' .. b.ID .. '|' .. b.GetBookID .. '|' .. tostring(b.HasError) .. '|'\n"
      "  .. tostring(b.IsAuthor) .. '|' .. tostring(b.isreaderonly) .. '|' .. "
      "b.thePage('dbTitle_e')\n"
      "  .. '|' .. b.GetPageNo .. ']')\n"
      "b:ReOpenPage(3) Response.Write(b.GetErrorMsg)");
  EXPECT_NE(out.find("[73|7|false|true|false|First|]"), std::string::npos) << out;
  EXPECT_NE(out.find("ErrorNoPage"), std::string::npos);
}

// Rights: page 11 of book 1 (page level 30) and the registry row varied per
// test.
class RightsTest : public BookTest {
 protected:
  void Page(int group) { AddPage({.id = 11, .pid = -1, .book = 1, .group = group}); }

  // The rights of user (major, minor groups) on page 11.
  std::string RightsOf(const std::string& user, const std::string& major = "",
                       const std::string& minor = "") {
    LogIn(user, major, minor);
    Messages().strErrorMsg.clear();
    Query("id=11");
    Book book;
    book.OpenPage("qvbook");
    book.OpenBook();
    return TheSettings().BookAuthorization;
  }
};

TEST_F(RightsTest, OwnerAndAuthorsGetTheAuthorRights) {
  Page(30);
  AddBook({.id = 1, .owner = "owner", .author_users = "a1, a2", .reader_users = "owner"});
  EXPECT_EQ(RightsOf("owner"), kFullAuthorSet);  // owner first, though listed as reader
  EXPECT_EQ(RightsOf("a2"), kFullAuthorSet);
  Book book;
  EXPECT_TRUE(book.IsAuthor());
  EXPECT_FALSE(book.IsReaderOnly());

  Exec("UPDATE qvAuthBook SET dbAuthType='update,add' WHERE ID=1");
  EXPECT_EQ(RightsOf("a1"), "read,author,update,add");
}

TEST_F(RightsTest, ListsNeedTheBlankAfterTheComma) {
  Page(90);
  AddBook({.id = 1, .editor_users = "u1,u2", .reader_users = "r1, r2", .edit_type = "update"});
  EXPECT_EQ(RightsOf("u1"), "read,editor,update");
  EXPECT_EQ(RightsOf("u2"), "");
  EXPECT_EQ(RightsOf("r2"), "read");
  EXPECT_EQ(RightsOf("r"), "");  // a prefix of a member is no member
  Book book;
  EXPECT_TRUE(book.IsReaderOnly());
}

TEST_F(RightsTest, GroupsMatchByMajorGroupAndWholeMinorGroups) {
  Page(90);
  AddBook({.id = 1, .editor_groups = "30, 40", .reader_groups = "lib_owner, 7"});
  EXPECT_EQ(RightsOf("x", "40"), "read,editor,");
  EXPECT_EQ(RightsOf("x", "3"), "");
  EXPECT_EQ(RightsOf("x", "10", "5, 30"), "read,editor,");
  EXPECT_EQ(RightsOf("x", "10", "3, lib_"), "");
  EXPECT_EQ(RightsOf("x", "10", "lib_owner"), "read");
}

TEST_F(RightsTest, PageLevelAgainstMajorGroupThenAnonymousLevel) {
  Page(60);
  AddBook({.id = 1});
  EXPECT_EQ(RightsOf("x", "40"), "");
  EXPECT_EQ(RightsOf("x", "60"), "readpage");
  EXPECT_EQ(RightsOf("x", "teachers"), "");
  Exec("UPDATE qvbook SET dbGroup=30 WHERE ID=11");
  EXPECT_EQ(RightsOf(""), "readpage");  // anonymous, within AnonymousAccessLevel 50
  EXPECT_EQ(RightsOf("x", "10"), "readpage");
  Identity().AnonymousAccessLevel = 20;
  EXPECT_EQ(RightsOf("x", "10"), "");
}

TEST_F(RightsTest, EmptyIdsAndEmptyListsMatchNobody) {
  Page(90);
  AddBook({.id = 1});
  Exec("UPDATE qvAuthBook SET dbAuthorGroupID='', dbEditorUserID=' ' WHERE ID=1");
  EXPECT_EQ(RightsOf(""), "");  // anonymous: major group ""
  EXPECT_EQ(RightsOf("x", "", ","), "");
  Exec("UPDATE qvAuthBook SET dbAuthorGroupID=Null WHERE ID=1");
  EXPECT_EQ(RightsOf(""), "");
  EXPECT_FALSE(book::ListHasMember("", "a"));
  EXPECT_FALSE(book::ListHasMember("a, , b", ""));
  EXPECT_TRUE(book::ListHasMember("a, , b", "b"));
}

TEST_F(RightsTest, AdministratorsGroupIsAdminEverywhere) {
  Page(90);
  AddBook({.id = 1});
  EXPECT_EQ(RightsOf("root", "99"), "readpageread,admin");  // page level 90 is within 99
  Book book;
  EXPECT_TRUE(book.IsAdmin());
  EXPECT_FALSE(book.IsReaderOnly());
  Exec("UPDATE qvAuthBook SET dbReaderUserID='root' WHERE ID=1");
  EXPECT_EQ(RightsOf("root", "99"), "readread,admin");
}

TEST_F(RightsTest, PagesWithoutBookAreReadableAndMissingBooksReported) {
  AddPage({.id = 11, .pid = 0, .book = 0, .group = 200});
  EXPECT_EQ(RightsOf("x"), "read");
  Exec("UPDATE qvbook SET dbBookID=5 WHERE ID=11");
  TheSettings().BookAuthorization = "kept";
  LogIn("x");
  Query("id=11");
  Book book;
  book.OpenPage("qvbook");
  book.OpenBook();
  EXPECT_EQ(book.GetErrorMsg(), "ErrorNoBook");
  EXPECT_EQ(TheSettings().BookAuthorization, "kept");
}

TEST_F(RightsTest, OpenBookLoadsTheRegistrySettings) {
  AddPage({.id = 11, .pid = -1, .book = 1, .type = 2});
  AddBook({.id = 1, .group = 40, .title = "Algebra"});
  Exec(
      "UPDATE qvAuthBook SET dbPageLevelMax=5, dbFormatRead_e='plain', "
      "dbFormatReadDiscussion_e='talk' WHERE ID=1");
  TheSettings().FormatRead_n = "from the page script";
  RightsOf("x");
  const Settings& s = TheSettings();
  const BookState& book_state = CurrentBook();
  const PageRecord& current = ThePage();
  EXPECT_EQ(book_state.varBookTitle, Variant("Algebra"));
  EXPECT_EQ(current.intPageGroup, 40);
  EXPECT_EQ(s.PageLevelMax, 5);
  EXPECT_EQ(s.FormatRead_e, "talk");  // a discussion page takes the discussion format
  EXPECT_EQ(s.FormatRead_n, "");
}

}  // namespace
}  // namespace qv
