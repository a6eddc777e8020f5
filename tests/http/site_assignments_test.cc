// The default site's assignments on a real server over the demo course:
// the student redoes the assignment the teacher sent back, the teacher
// marks it from the menu's submission list, the student reviews it; the
// quiz branches to a page of this site; notes and the class discussion.
#include <gtest/gtest.h>

#include <string>

#include "site_server.h"

namespace qv::http {
namespace {

using testing::Browser;
using testing::Reply;

class SiteAssignments : public testing::SiteSuite<SiteAssignments> {
 public:
  static constexpr const char* kSiteName = "qvtome_site_assignments";

 protected:
  static std::string Row(const std::string& page) {
    return Query("SELECT ID FROM qvbook_ WHERE dbUserID = 'student' AND dbQID = " + page);
  }
};

TEST_F(SiteAssignments, TheStudentAnswersTheTeacherMarksTheStudentReviews) {
  Browser student = As("student");
  Browser teacher = As("teacher");
  const std::string row = Row("40");

  // Sent back to be done again: the teacher's remarks show, the key does not.
  std::string page = student.Open("/book.lp?id=40").body;
  EXPECT_TRUE(Has(page, "Which craters, and how did their shadows look?")) << page;
  EXPECT_FALSE(Has(page, "shadows of the crater walls are longest"));
  EXPECT_TRUE(Has(page, "name=\"dbStatus\" value=\"10\" checked>"));
  EXPECT_TRUE(Has(page, "<form method=\"post\" action=\"/book.lp?id=40\">"));
  Reply sent = student.Send("/book.lp?id=40",
                            "date=16+September&qvtmPhase=first%3D1&report=Copernicus+cast+a+long"
                            "+shadow+%3Cb%3Ewest%3C%2Fb%3E.&dbStatus=11&qvAction=submitassignment");
  EXPECT_EQ(sent.status, 200);
  EXPECT_TRUE(Has(sent.body, "Your work has been saved.")) << sent.body;
  EXPECT_EQ(
      Query("SELECT dbStatus || '/' || CAST(dbScore AS INTEGER) FROM qvbook_ WHERE ID = " + row),
      "11/1");

  // The teacher finds it through the menu, opens the marking form and marks it.
  page = teacher.Open("/book.lp?id=40").body;
  EXPECT_TRUE(Has(page, "/book.lp?id=40&qvAction=listassignment")) << page;
  page = teacher.Open("/book.lp?id=40&qvAction=listassignment").body;
  EXPECT_TRUE(Has(page, "?id=40&qid=" + row +
                            "&qvAction=checkassignment\">student</a> [Sam "
                            "Student]"))
      << page;
  page = teacher.Open("/book.lp?id=40&qid=" + row + "&qvAction=checkassignment").body;
  EXPECT_TRUE(Has(page, "shadows of the crater walls are longest"));
  EXPECT_TRUE(Has(page, "Copernicus cast a long shadow &lt;b&gt;west&lt;/b&gt;."));
  EXPECT_TRUE(Has(page, "value=\"submitcheckassignment\">"));
  Reply marked = teacher.Send("/book.lp?id=40&qid=" + row,
                              "remarks=Well+observed.&dbMark=8&dbStatus=3"
                              "&qvAction=submitcheckassignment");
  EXPECT_TRUE(Has(marked.body, "8&nbsp;</td>")) << marked.body;
  EXPECT_EQ(Query("SELECT dbStatus || '/' || dbMark FROM qvbook_ WHERE ID = " + row), "3/8");

  // The student reviews his work next to the key; he can no longer change it.
  page = student.Open("/book.lp?id=40").body;
  EXPECT_TRUE(Has(page, "shadows of the crater walls are longest"));
  EXPECT_TRUE(Has(page, "Well observed."));
  EXPECT_TRUE(Has(page, "Mark: 8"));
  EXPECT_TRUE(Has(page,
                  "<img src=\"images/RadioButtonOn.gif\"><img "
                  "src=\"images/RadioButtonOn1.gif\">"))
      << page;
  EXPECT_FALSE(Has(page, "<textarea name=\"report\""));
  student.Send("/book.lp?id=40", "report=changed&qvAction=submitassignment");
  EXPECT_EQ(Query("SELECT dbStatus FROM qvbook_ WHERE ID = " + row), "3");
  // Another reader may not open it; the images of the review are there.
  EXPECT_TRUE(Has(Browser(site_->port()).Open("/book.lp?id=40&qid=" + row).body,
                  "This submission is not public."));
  EXPECT_EQ(Browser(site_->port()).Open("/images/RadioButtonOn1.gif").status, 200);
}

TEST_F(SiteAssignments, TheQuizBranchesToPagesOfThisSiteOnly) {
  Browser student = As("student");
  const std::string quiz = student.Open("/book.lp?id=38").body;
  EXPECT_TRUE(Has(quiz, "name=\"jupiter\" value=\"/book.lp?id=20\"")) << quiz;
  Reply right = student.Send("/book.lp?id=38",
                             "planet=jupiter&jupiter=%2Fbook.lp%3Fid%3D20&otherwise=%2Fbook.lp%3Fid"
                             "%3D24&qvAction=quiz");
  EXPECT_EQ(right.status, 302);
  EXPECT_EQ(right.Header("location"), "/book.lp?id=20");
  Reply wrong = student.Send("/book.lp?id=38",
                             "planet=mars&jupiter=%2Fbook.lp%3Fid%3D20&otherwise=%2Fbook.lp%3Fid"
                             "%3D24&qvAction=quiz");
  EXPECT_EQ(wrong.Header("location"), "/book.lp?id=24");
  Reply away =
      student.Send("/book.lp?id=38", "planet=x&x=https%3A%2F%2Felsewhere.example%2F&qvAction=quiz");
  EXPECT_EQ(away.status, 200);
  EXPECT_EQ(away.Header("location"), "");
}

TEST_F(SiteAssignments, ClassDiscussionsShowPublicWorkAndNotesStayPrivate) {
  Browser teacher = As("teacher");
  const std::string page = teacher.Open("/book.lp?id=41").body;
  EXPECT_TRUE(Has(page, "Contributions of the other participants:")) << page;
  EXPECT_TRUE(Has(page, "&qid=" + Row("41") + "\">Mr Sam Student</a>]"));
  EXPECT_TRUE(Has(teacher.Open("/book.lp?id=41&qid=" + Row("41")).body,
                  "The rings of Saturn, because I have only seen them in pictures."));

  Browser student = As("student");
  EXPECT_TRUE(Has(student.Open("/book.lp?id=1").body, "Bring binoculars to the first lesson."));
  EXPECT_FALSE(Has(teacher.Open("/book.lp?id=1").body, "Bring binoculars"));
  student.Send("/book.lp?id=26", "dbNotes=Look+for+Orion.&qvAction=submitnotes");
  EXPECT_TRUE(Has(student.Open("/book.lp?id=26").body, "Look for Orion."));
  EXPECT_FALSE(Has(Browser(site_->port()).Open("/book.lp?id=26").body, "name=\"dbNotes\""));
}

}  // namespace
}  // namespace qv::http
