#include <gtest/gtest.h>

#include <string>

#include "book/book.h"
#include "book/book_fixture.h"
#include "data/settings.h"
#include "session/messages.h"

namespace qv {
namespace {

using testing::BookTest;

// Registry of qvbook: 1 read by "readers"; 2 unfinished, edited by
// "student"; 3 a heading read by "readers"; 4 with no lists at all; 5 owned
// by "teacher" with an entry address; 7 read by "readers" but in qvlibrary.
class CourseListTest : public BookTest {
 protected:
  CourseListTest() {
    AddBook({.id = 1, .title = "Course A", .reader_groups = "readers", .order = 1});
    AddBook(
        {.id = 2, .title = "Course B", .editor_users = "student", .finished_e = false, .order = 2});
    AddBook(
        {.id = 3, .group = 255, .title = "Section", .reader_groups = "staff, readers", .order = 3});
    AddBook({.id = 4, .title = "Nobody's", .order = 4});
    AddBook({.id = 5, .owner = "teacher", .title = "Owned", .order = 5, .indent = 2});
    AddBook({.id = 7, .table = "qvlibrary", .title = "Library", .reader_groups = "readers"});
    Exec("UPDATE qvAuthBook SET dbBookURL='<qvTm.TargetURL>?course=5' WHERE ID=5");
    TheSettings().vImageDir = "img/";
  }

  static std::string Icon() {
    return "<img src=\"img/mark_book.gif\" vspace=\"2\" hspace=\"2\" border=\"0\">";
  }

  Book book;
};

TEST_F(CourseListTest, ReaderSeesFinishedBooksAndHeadingsOfHisGroups) {
  LogIn("student", "", "readers");
  book.ListCourses("QvBook");
  EXPECT_EQ(Output(), "<br>" + Icon() + "<a href=\"/site/book.lp?id=-1\">Course A</a> <br>Section");
  EXPECT_EQ(TheSettings().TableName, "qvbook");
}

TEST_F(CourseListTest, EditListShowsOnlyAuthoredOrEditedBooksWithTheirMarks) {
  LogIn("student", "", "readers");
  book.ListCourses("qvbook", true, "");
  EXPECT_EQ(Output(), "<br><img src=\"img/mark_unfinished1.gif\" alt=\"" +
                          GetMsg("msgPageNotFinished", 1) +
                          "\"><a href=\"/site/book.lp?id=-2\">Course B</a> ");
}

TEST_F(CourseListTest, AnonymousVisitorMatchesNoEmptyList) {
  LogIn("");
  book.ListCourses("qvbook");
  EXPECT_EQ(Take(), GetMsg("msgNoCourseAreAvailableForRead", 1));
  book.ListCourses("qvbook", true);
  EXPECT_EQ(Output(), GetMsg("msgNoCourseAreAvailableForEdit", 1));
}

TEST_F(CourseListTest, OwnerGetsTheEntryAddressIndented) {
  LogIn("teacher", "20");
  book.ListCourses("qvbook", true);
  EXPECT_EQ(Output(),
            "<br>&nbsp;&nbsp;" + Icon() + "<a href=\"/site/book.lp?course=5\">Owned</a> ");
}

TEST_F(CourseListTest, LinksGoThroughTheFrameFiles) {
  LogIn("student", "", "readers");
  TheSettings().ParentFrameFile = "frames.lp";
  TheSettings().TargetFileParam = "&x=1";
  book.ListCourses("qvlibrary");
  EXPECT_EQ(Take(),
            "<br>" + Icon() + "<a href=\"frames.lp?id=-7&x=1\" target=\"_parent\">Library</a> ");
  TheSettings().ParentFrameFile.clear();
  TheSettings().TargetFile = "content.lp";
  book.ListCourses("qvlibrary");
  EXPECT_EQ(Output(), "<br>" + Icon() + "<a href=\"content.lp?id=-7&x=1\">Library</a> ");
}

TEST_F(CourseListTest, BookTitleDescriptionAndRemarkComeFromOpenBook) {
  Exec("UPDATE qvAuthBook SET dbDescription_e='About A', dbRemark_e=Null WHERE ID=1");
  AddPage({.id = 100, .pid = -1, .book = 1, .title = "Start"});
  LogIn("student", "", "readers");
  book.BookTitle();
  EXPECT_EQ(Take(), "");
  Query("id=100");
  book.OpenPage("qvbook");
  book.OpenBook();
  book.BookTitle();
  book.BookDescription();
  book.BookRemark();
  EXPECT_EQ(Output(), "Course AAbout A");
}

TEST_F(CourseListTest, FirstBookOfATableSkipsHeadingsAndNeedsARegisteredPlainName) {
  Exec("UPDATE qvAuthBook SET dbOrder=0, dbGroup=255 WHERE ID=3");  // a heading first
  EXPECT_EQ(book.FirstBookID("QVBOOK"), 1);
  Exec("UPDATE qvAuthBook SET dbOrder=9 WHERE ID=1");
  EXPECT_EQ(book.FirstBookID("qvbook"), 2);
  EXPECT_EQ(book.FirstBookID("qvlibrary"), 7);
  EXPECT_EQ(Output(), "");
  for (const char* table : {"qvglossary", "qvAuthUser", "qvbook'--", "qvbook or 1=1", ""}) {
    EXPECT_EQ(book.FirstBookID(table), 0) << table;
  }
}

}  // namespace
}  // namespace qv
