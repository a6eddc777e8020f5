// Assignment pages as the default site runs them (Init, OpenPage,
// OpenBook, UpdatePage, ShowPage), one request at a time, each user in a
// session of his own: the answer form by mode, saves and status
// transitions, marking and review, the lists, anonymous forms, quiz
// branching, notes, and every refusal leaving the submissions unchanged.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "book/book.h"
#include "book_fixture.h"
#include "core/convert.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv::testing {
namespace {

using Form = std::vector<std::pair<std::string, std::string>>;

constexpr char kAssignment[] =
    "<form><qvTmTest>Q1 <input type=\"text\" name=\"q1\"><font color=\"#FF0000\">42</font>"
    "<input type=\"radio\" name=\"qvtm2\" value=\"a=1\" checked>A"
    "<input type=\"radio\" name=\"qvtm2\" value=\"b=0\">B"
    "<font color=\"#FF00FF\">Marker: <input type=\"text\" name=\"m1\"></font>"
    "<textarea name=\"essay\"></textarea><input type=\"submit\" value=\"Send\"></form>";

class AssignmentsTest : public BookTest {
 protected:
  struct Result {
    std::string redirect, output, errors;
    bool Has(const std::string& text) const { return output.find(text) != std::string::npos; }
  };

  AssignmentsTest() {
    AddBook({.id = 1, .owner = "teacher", .reader_users = "pupil, peer"});
    Insert("qvAuthUser", {{"dbUserID", "pupil"}, {"dbFullName_e", "Stu <Dent>"}});
    Insert("qvAuthUser", {{"dbUserID", "peer"}, {"dbFullName_e", "Other Pupil"}});
    Add(50, 8, kAssignment);
    Add(51, 7, kAssignment);
    Add(52, 9, kAssignment);
    Add(53, 10,
        "<form><input type=\"text\" name=\"q\"><input type=\"submit\" value=\"Go\"></form>");
    Add(54, 11, kAssignment);
    Add(55, 6,
        "<form><input type=\"radio\" name=\"planet\" value=\"p_mars\">Mars"
        "<input type=\"hidden\" name=\"p_mars\" value=\"qvTmGoto=12\">"
        "<input type=\"hidden\" name=\"otherwise\" value=\"qvTmGoto=13\">"
        "<input type=\"submit\" value=\"Go\"></form>");
    Add(56, 0, "plain");
  }

  void Add(int id, int type, const std::string& content) {
    AddPage({.id = id,
             .pid = -1,
             .book = 1,
             .order = id,
             .type = type,
             .owner = "teacher",
             .title = "T" + std::to_string(id),
             .content_e = content});
  }

  // One request of user ("" anonymous) in his own session.
  Result Run(const std::string& user, const std::string& query, const Form& form = {}) {
    host.session = sessions_[user];
    host.request = MemoryRequest();
    host.request.SetQueryString(query);
    host.request.SetServerVariable("SCRIPT_NAME", "/site/book.lp");
    host.request.SetServerVariable("REMOTE_ADDR", "10.0.0.7");
    for (const auto& [name, value] : form) host.request.AddForm(name, value);
    LogIn(user);
    Result result;
    try {
      SysVar().Init("qvtest");
      host.response.Clear();
      book_ = std::make_unique<Book>();
      book_->OpenPage("qvbook");
      book_->OpenBook();
      book_->UpdatePage();
      book_->ShowPage();
    } catch (const ResponseEnded&) {
      result.redirect = host.response.RedirectUrl();
    }
    result.output = Output();
    result.errors = Messages().strErrorMsg;
    sessions_[user] = host.session;
    return result;
  }

  // The student's answer to page id with status and more fields.
  Result Answer(const std::string& user, int id, const std::string& status, Form more = {}) {
    Form form = {{"q1", "41"}, {"qvtm2", "a=1"}, {"essay", "line1\r\nline2"}};
    if (!status.empty()) form.emplace_back("dbStatus", status);
    form.insert(form.end(), more.begin(), more.end());
    form.emplace_back("qvAction", "submitassignment");
    return Run(user, "id=" + std::to_string(id), form);
  }
  Result Mark(int id, const std::string& qid, const std::string& status, Form more = {}) {
    Form form = {{"dbMark", "8"}, {"m1", "good"}, {"dbStatus", status}};
    form.insert(form.end(), more.begin(), more.end());
    return Run("teacher",
               "id=" + std::to_string(id) + "&qid=" + qid + "&qvAction=submitcheckassignment",
               form);
  }

  std::string Dump() {
    std::string out;
    for (const auto& row : Exec("SELECT * FROM qvbook_ ORDER BY ID").rows) {
      for (const Variant& v : row) out += (v.IsNull() ? "<null>" : ToStr(v)) + "|";
      out += "\n";
    }
    return out;
  }
  std::string Field(const std::string& field, const std::string& where) {
    const QueryResult rows = Exec("SELECT " + field + " FROM qvbook_ WHERE " + where);
    return rows.rows.empty() ? "<none>" : NullToStr(rows.rows[0][0]);
  }
  std::string RowOf(const std::string& user, int page) {
    return Field("ID", "dbUserID='" + user + "' AND dbQID=" + std::to_string(page));
  }
  std::string Logged() {
    std::string out;
    for (const auto& row :
         Exec("SELECT dbAction FROM qvAuthLog WHERE dbAction<>2 ORDER BY ID").rows) {
      out += ToStr(row[0]);
    }
    return out;
  }

  std::unique_ptr<Book> book_;
  std::map<std::string, MemorySession> sessions_;
};

// Mode 1: the answer form ------------------------------------------------------------

TEST_F(AssignmentsTest, AStudentWithoutSubmissionGetsTheFormWithoutTheKey) {
  const Result r = Run("pupil", "id=50");
  EXPECT_EQ(r.errors, "");
  EXPECT_FALSE(r.Has("42"));
  EXPECT_FALSE(r.Has("Marker"));
  EXPECT_FALSE(r.Has("name=\"m1\""));
  EXPECT_FALSE(r.Has("checked>A"));
  EXPECT_TRUE(r.Has("<form method=\"post\" action=\"/site/book.lp?id=50\">"));
  EXPECT_TRUE(r.Has("value=\"0\" checked>" + GetMsg("msgYouWantToJustSave", 1)));
  EXPECT_TRUE(r.Has("value=\"1\">" + GetMsg("msgYouWantToSubmit", 1)));
  EXPECT_TRUE(r.Has("value=\"submitassignment\"><input type=\"submit\""));
  EXPECT_EQ(book_->HelpCode(), "readSubmit");
  // Another page type shows its text as written.
  EXPECT_EQ(Run("pupil", "id=56").output, "plain");
}

// Saves, marking, review and redo ------------------------------------------------------

TEST_F(AssignmentsTest, AnAssignmentGoesThroughSubmissionMarkingReviewAndRedo) {
  // Saved, then submitted: the row is overwritten, the answer shown read-only.
  EXPECT_EQ(Answer("pupil", 50, "0").errors, "");
  const std::string row = RowOf("pupil", 50);
  Result r = Answer("pupil", 50, "1", {{"qvtm3", "x=0.5"}, {"peer", "y=7"}});
  EXPECT_EQ(r.errors, "");
  EXPECT_EQ(RowOf("pupil", 50), row);
  EXPECT_EQ(Field("dbStatus", "ID=" + row), "1");
  EXPECT_EQ(Field("dbScore", "ID=" + row), "1.5");
  EXPECT_TRUE(r.Has("<font color=\"#0000FF\">41</font>"));
  EXPECT_TRUE(r.Has("<font color=\"#0000FF\">line1<br>line2</font>"));
  EXPECT_TRUE(r.Has(GetMsg("msgAssignmentSubmitted", 1)));
  EXPECT_FALSE(r.Has("42"));  // show mode hides the key
  EXPECT_EQ(Run("pupil", "id=50").output.find("42"), std::string::npos);

  // The marking form: the key, the student's answer, the marker's fields.
  r = Run("teacher", "id=50&qid=" + row + "&qvAction=checkassignment");
  EXPECT_EQ(r.errors, "");
  EXPECT_TRUE(r.Has("<font color=\"#FF0000\">42</font>"));
  EXPECT_TRUE(r.Has("<input type=\"text\" name=\"m1\" value=\"\">"));
  EXPECT_TRUE(r.Has("value=\"submitcheckassignment\">"));
  EXPECT_TRUE(r.Has("action=\"/site/book.lp?id=50&amp;qid=" + row + "\""));
  EXPECT_TRUE(r.Has(GetMsg("dbScore", 1) + "1.5"));
  EXPECT_EQ(book_->HelpCode(), "checkassignment");
  const std::string answer = Field("dbAnswer", "ID=" + row);
  r = Mark(50, row, "3");
  EXPECT_EQ(r.errors, "");
  EXPECT_EQ(Field("dbAnswer", "ID=" + row), answer);  // the answer is untouched
  EXPECT_NE(Field("dbComment", "ID=" + row).find("&m1=good"), std::string::npos);
  EXPECT_EQ(Field("dbMark || '/' || dbStatus", "ID=" + row), "8/3");
  EXPECT_TRUE(r.Has("&qvAction=checkassignment\">pupil</a> [Stu &lt;Dent&gt;]"));

  // Locked for the student, who now reviews the marked work.
  const std::string before = Dump();
  EXPECT_EQ(Answer("pupil", 50, "1").errors, "ErrorAssignmentLocked");
  EXPECT_EQ(Dump(), before);
  r = Run("pupil", "id=50");
  EXPECT_TRUE(r.Has("<font color=\"#FF0000\">42</font>"));
  EXPECT_TRUE(r.Has("Marker: good"));
  EXPECT_TRUE(r.Has("<img src=\"RadioButtonOn.gif\"><img src=\"RadioButtonOn1.gif\">A"));
  EXPECT_TRUE(r.Has(GetMsg("dbMark", 1) + "8</font>"));
  EXPECT_EQ(book_->HelpCode(), "readReview");

  // A redo round: the form again, the marker's notes visible, statuses 10 and 11.
  EXPECT_EQ(Mark(50, row, "9").errors, "");
  r = Run("pupil", "id=50");
  EXPECT_TRUE(r.Has("Marker: good"));
  EXPECT_FALSE(r.Has("42"));
  EXPECT_TRUE(r.Has("value=\"10\" checked>"));
  EXPECT_TRUE(r.Has("<input type=\"text\" name=\"q1\" value=\"41\">"));
  EXPECT_EQ(Answer("pupil", 50, "1").errors, "ErrorInvalidValue");
  EXPECT_EQ(Answer("pupil", 50, "11").errors, "");
  EXPECT_EQ(Field("dbStatus", "ID=" + row), "11");
  EXPECT_EQ(Logged(), "44664");  // answers and markings; no refusal
}

TEST_F(AssignmentsTest, ExercisesReviewAtOnceAndPublicWorkIsListedForOthers) {
  Result r = Answer("pupil", 51, "5");
  EXPECT_TRUE(r.Has("<font color=\"#FF0000\">42</font>"));  // an exercise reviews itself
  const std::string shared = RowOf("pupil", 51);
  r = Run("peer", "id=51");
  EXPECT_EQ(r.output.find("Student " + shared), std::string::npos);  // mode 1: no list
  Answer("peer", 51, "0");
  EXPECT_EQ(Mark(51, RowOf("peer", 51), "4").errors, "");
  r = Run("peer", "id=51");
  EXPECT_TRUE(r.Has("<li>[<a href=\"/site/book.lp?id=51&qid=" + shared + "\">Student " + shared +
                    "</a>]</li>"));
  EXPECT_TRUE(r.Has("[<font color=\"#FF0000\">Student " + RowOf("peer", 51) + "</font>]"));
  // A public submission opens for any reader; a private one does not.
  r = Run("peer", "id=51&qid=" + shared);
  EXPECT_EQ(r.errors, "");
  EXPECT_TRUE(r.Has("<font color=\"#0000FF\">41</font>"));
  EXPECT_FALSE(r.Has(GetMsg("dbMark", 1)));  // the marks are the student's own
  Answer("pupil", 50, "1");
  r = Run("peer", "id=50&qid=" + RowOf("pupil", 50));
  EXPECT_EQ(r.errors, "ErrorNotAuthorizedToReView");
  EXPECT_FALSE(r.Has("41"));
}

TEST_F(AssignmentsTest, ClassDiscussionsAndCheckedAssignmentsListOtherContributions) {
  Answer("pupil", 52, "");
  EXPECT_EQ(Field("dbStatus", "ID=" + RowOf("pupil", 52)), "6");
  // Its writer gets his contribution back in the form and may change it.
  EXPECT_TRUE(Run("pupil", "id=52").Has("<input type=\"text\" name=\"q1\" value=\"41\">"));
  EXPECT_EQ(Answer("pupil", 52, "", {{"q1", "43"}}).errors, "");
  EXPECT_NE(Field("dbAnswer", "ID=" + RowOf("pupil", 52)).find("&q1=41, 43"), std::string::npos);
  const Result r = Run("peer", "id=52");
  EXPECT_TRUE(r.Has(GetMsg("msgReviewOtherDiscussion", 1) + "</p><ol><li>[<a href="));
  EXPECT_TRUE(r.Has("Stu &lt;Dent&gt;</a>]"));
  EXPECT_TRUE(r.Has("<input type=\"hidden\" name=\"dbStatus\" value=\"6\">"));
  // Type 11 without a submission of one's own: only the others' public work.
  Answer("pupil", 54, "");
  Mark(54, RowOf("pupil", 54), "4");
  const Result checked = Run("peer", "id=54");
  EXPECT_TRUE(checked.Has("Student " + RowOf("pupil", 54)));
  EXPECT_FALSE(checked.Has("<form"));
}

// Anonymous forms and quizzes ----------------------------------------------------------

TEST_F(AssignmentsTest, AnonymousSubmissionsAddARowEachAndThank) {
  const Form form = {{"q", "hello"}, {"dbStatus", "7"}, {"qvAction", "submitanonymous"}};
  const Result shown = Run("", "id=53");
  EXPECT_TRUE(
      shown.Has("<input type=\"hidden\" name=\"dbStatus\" value=\"7\"><input "
                "type=\"hidden\" name=\"qvAction\" value=\"submitanonymous\">"));
  EXPECT_EQ(Run("", "id=53", form).output, GetMsg("msgThankYouForSubmission", 1));
  Run("", "id=53", form);
  EXPECT_EQ(Field("count(*) || '/' || min(dbUserID) || '/' || max(dbStatus)", "dbQID=53"),
            "2/10.0.0.7/7");
  const Result listed = Run("teacher", "id=53&qvAction=listassignment");
  EXPECT_TRUE(listed.Has(">10.0.0.7</a> []&nbsp;</td>"));
  const Result seen =
      Run("teacher", "id=53&qvAction=checkassignment&qid=" + Field("min(ID)", "dbQID=53"));
  EXPECT_TRUE(seen.Has("<font color=\"#0000FF\">hello</font>"));
  EXPECT_EQ(book_->HelpCode(), "showanonymousassignment");
}

TEST_F(AssignmentsTest, QuizBranchingFollowsOnlyAddressesOfThisSite) {
  Result r = Run("pupil", "id=55");
  EXPECT_TRUE(r.Has("value=\"quiz\"><input type=\"submit\""));
  r = Run("pupil", "id=55",
          {{"planet", "p_mars"}, {"p_mars", "/site/book.lp?id=12"}, {"qvAction", "quiz"}});
  EXPECT_EQ(r.redirect, "/site/book.lp?id=12");
  r = Run("pupil", "id=55",
          {{"planet", ""}, {"otherwise", "qvTmGoto?id=13"}, {"qvAction", "quiz"}});
  EXPECT_EQ(r.redirect, "/site/book.lp?id=13");
  for (const char* target :
       {"http://elsewhere/", "//elsewhere/x", "javascript:alert(1)", "/x\r\nSet-Cookie: a=b"}) {
    r = Run("pupil", "id=55", {{"planet", "p"}, {"p", target}, {"qvAction", "quiz"}});
    EXPECT_EQ(r.redirect, "") << target;
  }
}

// Refusals -------------------------------------------------------------------------------

TEST_F(AssignmentsTest, EveryRefusalReportsItsKeyAndLeavesTheSubmissionsUnchanged) {
  Answer("pupil", 50, "1");
  Answer("peer", 51, "0");
  const std::string mine = RowOf("pupil", 50), others = RowOf("peer", 51);
  struct Case {
    std::string user, query;
    Form form;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"pupil", "id=50&qvAction=listassignment", {}, "ErrorAuthNoMark"},
      {"pupil", "id=50&qvAction=checkassignment", {}, "ErrorAuthNoMark"},
      {"pupil", "id=51&qvAction=checkassignment&qid=" + others, {}, "ErrorAuthNoMark"},
      {"pupil",
       "id=50&qvAction=submitcheckassignment&qid=" + mine,
       {{"dbStatus", "4"}, {"dbMark", "10"}},
       "ErrorAuthNoMark"},
      {"pupil",
       "id=50",
       {{"q1", "x"}, {"dbStatus", "4"}, {"qvAction", "submitassignment"}},
       "ErrorInvalidValue"},
      {"pupil", "id=56", {{"q1", "x"}, {"qvAction", "submitassignment"}}, "ErrorInvalidValue"},
      {"pupil", "id=50", {{"q", "x"}, {"qvAction", "submitanonymous"}}, "ErrorInvalidValue"},
      {"",
       "id=50",
       {{"q1", "x"}, {"dbStatus", "0"}, {"qvAction", "submitassignment"}},
       "ErrorLoginToSubmit"},
      {"", "id=50", {{"dbNotes", "x"}, {"qvAction", "submitnotes"}}, "ErrorLoginToSubmit"},
      {"peer", "id=50&qid=" + mine + "%20or%201=1", {}, "ErrorAnswerNotFound"},
      {"teacher",
       "id=50&qvAction=submitcheckassignment&qid=" + others,
       {{"dbStatus", "3"}, {"dbMark", "1"}},
       "ErrorAnswerNotFound"},
      {"teacher",
       "id=50&qvAction=submitcheckassignment&qid=" + mine,
       {{"dbStatus", "7"}, {"dbMark", "1"}},
       "ErrorInvalidValue"},
      // A link never writes.
      {"pupil", "id=50&qvAction=submitassignment&q1=x&dbStatus=0", {}, ""},
  };
  const std::string before = Dump();
  for (const Case& c : cases) {
    const Result r = Run(c.user, c.query, c.form);
    // The refusal comes first (the page shown after it may add its own).
    EXPECT_EQ(r.errors.substr(0, c.error.size()), c.error) << c.user << " " << c.query;
    if (c.error.empty()) {
      EXPECT_EQ(r.errors, "");
    }
    if (!c.error.empty()) {
      EXPECT_TRUE(r.Has(GetMsg(c.error, 1))) << c.query;
    }
    EXPECT_FALSE(r.Has("<table border")) << c.query;
    EXPECT_EQ(Dump(), before) << c.user << " " << c.query;
  }
  // A student's save writes only his answer and status, whatever the form names.
  Answer("pupil", 50, "0",
         {{"qvFLD_List", "dbMark,dbComment,dbNotes"}, {"dbMark", "10"}, {"dbComment", "x"}});
  EXPECT_EQ(Field("coalesce(dbMark, '') || '/' || coalesce(dbComment, '') || '/' || dbStatus",
                  "ID=" + mine),
            "/"
            "/0");
}

TEST_F(AssignmentsTest, AMarkingAndARedoCannotOverwriteEachOther) {
  Answer("pupil", 50, "1");
  const std::string row = RowOf("pupil", 50);
  Mark(50, row, "9");
  Run("teacher", "id=50&qid=" + row + "&qvAction=checkassignment");  // the marker opens it
  Run("pupil", "id=50");                                             // the student too
  EXPECT_EQ(Answer("pupil", 50, "11").errors, "");
  const std::string before = Dump();
  const Result r = Mark(50, row, "3");
  EXPECT_EQ(r.errors, "ErrorHasBeenChanged");
  EXPECT_EQ(Dump(), before);
}

// Output is data -----------------------------------------------------------------------

TEST_F(AssignmentsTest, AnswersAreEncodedInTheMarkingAndReviewPages) {
  Answer("pupil", 50, "1", {{"q1", "<script>x</script>"}});
  const std::string row = RowOf("pupil", 50);
  Result r = Run("teacher", "id=50&qid=" + row + "&qvAction=checkassignment");
  EXPECT_FALSE(r.Has("<script>"));
  EXPECT_TRUE(r.Has("&lt;script&gt;x&lt;/script&gt;"));
  Mark(50, row, "4", {{"dbMark", "<b>9</b>"}, {"m1", "\"><script>"}});
  r = Run("teacher", "id=50&qvAction=listassignment");
  EXPECT_TRUE(r.Has("&lt;b&gt;9&lt;/b&gt;&nbsp;</td>"));
  r = Run("peer", "id=50&qid=" + row);
  EXPECT_FALSE(r.Has("<script>"));
  EXPECT_FALSE(r.Has("<b>9"));
}

// Notes --------------------------------------------------------------------------------

TEST_F(AssignmentsTest, NotesAreKeptPerUserAndPage) {
  EXPECT_EQ(
      Run("pupil", "id=56", {{"dbNotes", "<i>remember</i>"}, {"qvAction", "submitnotes"}}).errors,
      "");
  EXPECT_EQ(Logged(), "5");
  Run("pupil", "id=56");
  host.response.Clear();
  book_->Notes("Your notes:");
  EXPECT_EQ(Output().rfind("<font color=\"#0000FF\">&lt;i&gt;remember&lt;/i&gt;</font><p>Your "
                           "notes:<form method=\"POST\" action=\"/site/book.lp?id=56\">",
                           0),
            0u);
  EXPECT_NE(Output().find("cols=\"50\">&lt;i&gt;remember&lt;/i&gt;</textarea>"), std::string::npos);
  // After an action only the note; another user and a visitor see none.
  Run("pupil", "id=56&qvAction=submitnotes");
  host.response.Clear();
  book_->Notes("Your notes:");
  EXPECT_EQ(Output(), "<font color=\"#0000FF\">&lt;i&gt;remember&lt;/i&gt;</font><p>");
  Run("peer", "id=56");
  EXPECT_EQ(
      RunScript("local b = qvTome.Book(); b:OpenPage('qvbook'); b:Notes('N')").find("remember"),
      std::string::npos);
  LogIn("");
  EXPECT_EQ(RunScript("local b = qvTome.Book(); b:OpenPage('qvbook'); b:Notes('N')"), "");
}

}  // namespace
}  // namespace qv::testing
