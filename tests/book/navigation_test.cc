#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book/course_tree.h"
#include "data/aspproc.h"
#include "data/settings.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {
namespace {

using testing::Statements;

class NavigationTest : public testing::CourseTreeTest {
 protected:
  bool Lacks(const std::string& text) const { return !Shows(text); }
  std::string NextAndPrevious() {
    host.response.Clear();
    book.GoNext("Next");
    book.GoPrevious("Prev");
    return Output();
  }
};

// Sibling walk ---------------------------------------------------------------

TEST_F(NavigationTest, ReaderWalkSkipsHeadingsAndHiddenPages) {
  OpenAsReader("11");
  EXPECT_EQ(book.GetPageNo(), Variant(""));  // before the walk
  EXPECT_EQ(NextAndPrevious(), "<a href=\"/site/book.lp?id=13&qvAction=show\">Next</a>");
  EXPECT_EQ(book.GetPageNo(), Variant(1));
  Book last;
  OpenAsReader("13");
  last.GoNext("Next");
  last.GoPrevious("Prev");
  EXPECT_EQ(Output(), "<a href=\"/site/book.lp?id=11&qvAction=show\">Prev</a>");
  EXPECT_EQ(last.GetPageNo(), Variant(2));
  EXPECT_EQ(last.GetPageNoTotal(), Variant(2));
}

TEST_F(NavigationTest, EditorWalkCountsUnfinishedAndExpiredPages) {
  OpenAsTeacher("13");
  EXPECT_EQ(NextAndPrevious(),
            "<a href=\"/site/book.lp?id=14&qvAction=show\">Next</a>"
            "<a href=\"/site/book.lp?id=11&qvAction=show\">Prev</a>");
  EXPECT_EQ(book.GetPageNoTotal(), Variant(4));
}

TEST_F(NavigationTest, BulletinMessagesOfOthersAreSkippedForNonAuthors) {
  Open("31", "student", "readers");
  EXPECT_EQ(NextAndPrevious(), "<a href=\"/site/book.lp?id=33&qvAction=show\">Next</a>");
  EXPECT_EQ(book.GetPageNoTotal(), Variant(2));
  Book teachers;
  Open("31", "teacher");
  teachers.GoNext("Next");
  EXPECT_EQ(Output(), "<a href=\"/site/book.lp?id=32&qvAction=show\">Next</a>");
}

TEST_F(NavigationTest, TheWalkRunsOncePerObject) {
  OpenAsReader("13");  // no next page
  Statements().clear();
  book.GoNext("Next");
  book.GoPrevious("Prev");
  book.GoNext("Next");
  EXPECT_EQ(SqlCount("Where dbPID=10"), 1);
}

TEST_F(NavigationTest, WalkWithoutReadRightReportsIt) {
  Exec("UPDATE qvbook SET dbGroup=60 WHERE ID=11");
  Open("11", "someone");  // no list, page above the anonymous level
  book.GoNext("Next");
  EXPECT_EQ(book.GetErrorMsg(), "ErrorAuthNoRead");
  EXPECT_TRUE(Shows(GetMsg("ErrorAuthNoRead", 1)));
}

// Command menu -----------------------------------------------------------------

TEST_F(NavigationTest, AuthorMenuOffersPageEditingByPlaceAndTheMediaFiles) {
  // Page 11 (level 2) is on the clipboard.
  host.session.SetValue(SessionKey("Cut_PasteID"), "11");
  host.session.SetValue(SessionKey("Cut_PasteTable"), "qvbook");
  host.session.SetValue(SessionKey("Cut_PasteBID"), 1);
  host.session.SetValue(SessionKey("Cut_PastePLevel"), 2);
  Exec("UPDATE qvbook SET dbType=8 WHERE ID=11");
  struct Case {
    const char* page;
    std::vector<const char*> shown, absent;
  };
  const Case cases[] = {
      // A section: no page below it, no delete; the clipboard page may come here.
      {"13",
       {"qvAction=edit\"", "qvAction=listglossary", "add=bottom", "add=before", "cut=current",
        "paste=cancel", "paste=bottom", "paste=before", "edit=property", "bookadmin.lp?id=1",
        "<a href=\"upload.lp?table=qvbook&id=13\">"},
       {"add=below", "qvAction=delete"}},
      // The clipboard page itself, a leaf: a page below it, delete, no paste.
      // An assignment page also lists its submissions.
      {"11",
       {"add=below", "qvAction=delete", "paste=cancel", "qvAction=listassignment"},
       {"paste=bottom", "paste=before"}},
      // Level 3 is PageLevelMax: nothing below it; another level than the clipboard's.
      {"16", {"qvAction=delete", "cut=current"}, {"add=below", "paste=before", "listassignment"}},
  };
  for (const Case& c : cases) {
    OpenAsTeacher(c.page);
    book.ListMenu();
    for (const char* text : c.shown) EXPECT_TRUE(Shows(text)) << c.page << " " << text;
    for (const char* text : c.absent) EXPECT_TRUE(Lacks(text)) << c.page << " " << text;
  }
}

TEST_F(NavigationTest, EditorsGetTheCommandsOfTheirRightsAndOwnersTheirEdit) {
  Exec("UPDATE qvAuthBook SET dbEditorUserID='ed', dbEditType='append,update' WHERE ID=1");
  Open("11", "ed");
  book.ListMenu();
  EXPECT_EQ(Output(), "<a href=\"/site/book.lp?id=11&qvAction=edit\">" +
                          GetMsg("menuEditCurrent", 1) +
                          "</a><a href=\"/site/book.lp?id=11&qvAction=add&add=bottom\">" +
                          GetMsg("menuAddBottom", 1) + "</a>");
  OpenAsReader("11");
  book.ListMenu();
  EXPECT_EQ(Output(), "");
  Open("31", "student", "readers");  // the owner of a bulletin message
  book.ListMenu();
  EXPECT_EQ(Output(), "<a href=\"/site/book.lp?id=31&qvAction=edit\">" +
                          GetMsg("menuEditCurrent", 1) + "</a>");
}

// Top, up, refresh -----------------------------------------------------------------

TEST_F(NavigationTest, TopUpAndRefreshLinks) {
  OpenAsReader("16");
  book.GoTop("Top");
  book.GoUp("Up");
  book.GoRefresh("Again");
  EXPECT_EQ(Output(),
            "<a href=\"/site/book.lp?id=-1\">Top</a>"
            "<a href=\"/site/book.lp?id=13\" target=\"_self\">Up</a>"
            "<a href=\"/site/book.lp?id=16\" target=\"_self\">Again</a>");
}

TEST_F(NavigationTest, UpFromAPageShownItselfGoesToTheGrandparent) {
  OpenAsReader("16");
  book.ReOpenSubPage();  // a leaf: shown itself
  ASSERT_TRUE(book.NoSubPage());
  book.GoUp("Up");
  EXPECT_EQ(Output(), "<a href=\"/site/book.lp?id=10\" target=\"_self\">Up</a>");
}

TEST_F(NavigationTest, UpAndRefreshReturnToThePageAsFirstOpened) {
  OpenAsReader("13");
  book.ReOpenSubPage();  // descends to 16
  ASSERT_EQ(book.ID(), Variant(16));
  book.GoUp("Up");
  book.GoRefresh("Again");
  EXPECT_EQ(Output(),
            "<a href=\"/site/book.lp?id=10\" target=\"_self\">Up</a>"
            "<a href=\"/site/book.lp?id=13\" target=\"_self\">Again</a>");
}

TEST_F(NavigationTest, RefreshLeadsBackAfterAFailedActionButNeedsAnOpenPage) {
  book.GoRefresh("Again");  // nothing opened yet
  EXPECT_EQ(Output(), "");
  EXPECT_EQ(book.GetErrorMsg(), "");
  OpenAsReader("16");
  ReportError("ErrorAuthNoList", false);
  book.GoUp("Up");
  book.GoRefresh("Again");
  EXPECT_EQ(Output(), "<a href=\"/site/book.lp?id=16\" target=\"_self\">Again</a>");
}

TEST_F(NavigationTest, NoTopOrUpForBookRequestsAndTopPages) {
  Open("-1", "student", "readers");  // the book's first page: 10
  book.GoTop("Top");
  book.GoUp("Up");
  EXPECT_EQ(Output(), "");
  OpenAsReader("10");
  book.GoUp("Up");
  EXPECT_EQ(Output(), "");
}

// Titles and closing -------------------------------------------------------------

TEST_F(NavigationTest, PageAndParentTitles) {
  TheSettings().SecondLanguage = "n";
  OpenAsReader("11");
  book.PageTitle();
  book.PageTitle(2);
  book.ParentTitle();
  EXPECT_EQ(Output(), "AlphaAlpha (n)Intro");
  Exec("UPDATE qvbook SET dbTitle_e='  ' WHERE ID=10");
  OpenAsReader("10");
  book.PageTitle();
  book.ParentTitle();  // a top page has no parent
  EXPECT_EQ(Output(), "[Unknown]");
}

TEST_F(NavigationTest, ClosePageWritesFootScriptsAndClosesTheConnection) {
  TheSettings().SecondLanguage = "n";
  OpenAsReader("11");
  book.ClosePage();
  EXPECT_EQ(
      Output().rfind(
          "<br>" + GetMsg("msgPageFoot", 1) + "<br><br>" + GetMsg("msgPageFoot", 2) + "<br>", 0),
      0u);
  EXPECT_TRUE(Shows("function qvTmGlossary(id)"));
  EXPECT_FALSE(Tables().objConn->IsOpen());
  host.response.Clear();
  book.PageTitle();  // the page is read again once objRS is closed
  EXPECT_EQ(Output(), "Alpha");
}

TEST_F(NavigationTest, ClosePageInDownloadFormEndsWithTheErrors) {
  Open("11", "student", "readers", "&qvDnLd=qvTm");
  book.ClosePage(false);
  EXPECT_EQ(Output().find("<br>"), std::string::npos);
  EXPECT_EQ(Output().substr(Output().size() - 14), "<qvTomeErr=\"\">");
}

// Script binding ---------------------------------------------------------------------

TEST_F(NavigationTest, PageScriptsCallTheMembersWithTheirDefaults) {
  Query("id=13");
  LogIn("student", "", "readers");
  RunScript(
      "local b = qvTome.Book()\n"
      "b:OpenPage('qvbook') b:OpenBook()\n"
      "Response.Write('[')\n"
      "b:PageTitle() b:ParentTitle() b:GoPrevious('P') b:GoNext('N')\n"
      "Response.Write('|' .. b.GetPageNo .. '/' .. b.GetPageNoTotal .. '|')\n"
      "b:ListCourses('qvbook', false, '')\n"
      "Response.Write('{' .. b:FirstBookID('QvBook') .. b:FirstBookID('nope') .. '}')\n"
      "b:ClosePage(false)\n");
  EXPECT_EQ(Output().find("[BetaIntro<a href=\"/site/book.lp?id=11&qvAction=show\">P</a>|2/2|"), 0u)
      << Output();
  EXPECT_TRUE(Shows(">A book</a> "));
  EXPECT_TRUE(Shows("{10}"));
  EXPECT_TRUE(Shows("function qvGlossary(id)"));
}

}  // namespace
}  // namespace qv
