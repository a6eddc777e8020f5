// Assignments: answer forms in place of an assignment page's markup, the
// status choices, the submission lists, and quiz branching.
//
// A submission is one row of the book's submission table (the book table's
// name and "_") per page and user. Who sees what: a student his own row,
// and the rows of others only once they are public (status 4 to 6); the
// marker (the book's "assignment" right) every row of the page, in the
// marking form.
#include <optional>
#include <string>

#include "book/answer_markup.h"
#include "book/assignments.h"
#include "book/book_internal.h"
#include "book/book_state.h"
#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/current_page.h"
#include "session/identity.h"
#include "session/messages.h"
#include "session/sysvar.h"

namespace qv::book {
namespace {

constexpr int kQuizType = 6;
constexpr int kExerciseType = 7;
constexpr int kAssignmentType = 8;
constexpr int kClassDiscussionType = 9;
constexpr int kAnonymousType = 10;
constexpr int kCheckedAssignmentType = 11;

constexpr const char* kStatusKeys[] = {
    "optNotFinished",     "optSubmitted",           "optLocked",
    "optCheckPrivate",    "optCheckPublic",         "optSharedExercise",
    "optClassDiscussion", "optAnonymousSubmission", "",
    "optCheckRedo",       "optNotFinishedRedo",     "optSubmittedRedo"};

std::string Radio(int value, bool checked, const std::string& key) {
  return "    <input type=\"radio\" name=\"dbStatus\" value=\"" + std::to_string(value) + "\"" +
         (checked ? " checked" : "") + ">" + GetMsg(key, 1);
}

std::string ScoreLine(const AssignState& st, const std::string& pink) {
  if (st.strScore == "0" || st.strScore.empty()) return "";
  return "<br><font color=\"" + HtmlEncode(pink) + "\">" + GetMsg("dbScore", 1) +
         HtmlEncode(st.strScore) + "</font><br>";
}

// The caller's own row of the current page: its where clause.
std::string OwnRowClause() {
  return "where dbQID=" + SqlInteger(ThePage().ID) + " and dbUserID=" + SqlText(CurrentUserID());
}

std::string FormUrl(const std::string& qid) {
  std::string url = TheSettings().ThisURL + "?id=" + NullToStr(ThePage().ID);
  if (!qid.empty()) url += "&qid=" + qid;
  return url;
}

answer::AnswerRenderer MakeRenderer(const std::string& qid) {
  AssignState& st = Assignment();
  answer::RenderContext ctx;
  ctx.mode = st.intAssignMode;
  ctx.page_type = ThePage().intPageType;
  ctx.redo = st.blnRedo;
  ctx.answer = st.strAnswer;
  ctx.comment = st.strComment;
  ctx.colours = st.colours;
  ctx.form_url = FormUrl(qid);
  ctx.image_dir = TheSettings().vImageDir;
  ctx.status_block = [](bool choice) { return StatusBlock(choice); };
  return answer::AnswerRenderer(std::move(ctx));
}

// The submission row's fields, as dbGetTable gives them.
struct Submission {
  std::string answer, comment, mark, score, user;
  int status = 0;
  int64_t id = 0, page = 0;
};

std::optional<Submission> LoadSubmission(const std::string& clause) {
  const Variant rows = SharedAspProc().dbGetTable(
      SubmissionTable(), "dbAnswer,dbComment,dbStatus,dbMark,dbQID,dbUserID,id,Stamp,dbScore",
      clause);
  if (!rows.IsArray()) return std::nullopt;
  const Array& a = *rows.AsArray();
  Submission s;
  s.answer = NullToStr(a.at(0, 0));
  s.comment = NullToStr(a.at(1, 0));
  s.status = static_cast<int>(WholeNumberOf(a.at(2, 0)).value_or(0));
  s.mark = NullToStr(a.at(3, 0));
  s.page = WholeNumberOf(a.at(4, 0)).value_or(0);
  s.user = NullToStr(a.at(5, 0));
  s.id = WholeNumberOf(a.at(6, 0)).value_or(0);
  s.score = a.at(8, 0).IsNull() ? "0" : ToStr(a.at(8, 0));
  // The stamp the save of this form is checked against.
  if (!a.at(7, 0).IsNull()) {
    TheSession().SetValue(StampKey(SubmissionTable(), std::to_string(s.id)), ToStr(a.at(7, 0)));
  }
  return s;
}

// The form mode of a submission outside the marking form; status is the
// stored one, lowered by 10 in a redo round.
int ReadingMode(int status, bool has_qid, const std::string& action, int type) {
  int mode = status < 2 ? answer::kAnswerForm : status == 2 ? answer::kShow : answer::kReview;
  if (status == 6) mode = has_qid ? answer::kReview : answer::kAnswerForm;
  if (action == "submitassignment") mode = type == kExerciseType ? answer::kReview : answer::kShow;
  return mode;
}

void SetReadHelpCode(int mode) {
  std::string& code = CurrentBook().strHelpCode;
  if (code != "read") return;
  if (mode == answer::kAnswerForm) code = "readSubmit";
  if (mode == answer::kShow) code = "readShow";
  if (mode == answer::kReview) code = "readReview";
}

// A request's qid as a whole number's text; nullopt when it is none.
std::optional<std::string> WholeQid(const std::string& qid) {
  const std::optional<int64_t> n = WholeNumberOf(Variant(qid));
  if (!n) return std::nullopt;
  return std::to_string(*n);
}

// Relative addresses of this site only: no scheme, no "//", no line break.
bool IsSiteAddress(const std::string& url) {
  if (url.empty() || url.find_first_of("\r\n\\") != std::string::npos) return false;
  if (url.rfind("//", 0) == 0) return false;
  const size_t path_end = url.find_first_of("/?#");
  return url.substr(0, path_end).find(':') == std::string::npos;
}

void QuizRedirect() {
  Request& request = TheRequest();
  const std::string action = request.Item("qvAction");
  // The first action posted names it (a form may carry the author's
  // "quiz" and the button's).
  if (action.substr(0, action.find(", ")) != "quiz") return;
  if (request.ServerVariables("REQUEST_METHOD") != "POST") return;
  const std::string& this_url = TheSettings().ThisURL;
  // The target of the posted item name, when it is an address of this site.
  auto target_of = [&](const std::string& name) -> std::string {
    if (name.empty()) return "";
    const std::string target = ReplaceAll(request.Form(name), "qvTmGoto", this_url);
    return IsSiteAddress(target) ? target : "";
  };
  std::string target;
  try {
    for (const std::string& key : request.FormKeys()) {
      target = target_of(ReplaceAll(request.Form(key), ", ", "_"));
      if (!target.empty()) break;
    }
    if (target.empty()) target = target_of("otherwise");
  } catch (const HostError&) {
    return;  // the body was read as an upload
  }
  if (!target.empty()) TheResponse().Redirect(target);
}

const bool kQuizRedirectRegistered = (SetQuizRedirectHook(&QuizRedirect), true);

}  // namespace

AssignState& Assignment() {
  (void)kQuizRedirectRegistered;
  return RequestPart<AssignState>();
}

std::string SubmissionTable() { return TheSettings().TableName + "_"; }

bool MayMark() { return HasRight("assignment"); }

std::string StatusName(int status) {
  if (status >= 0 && status < static_cast<int>(std::size(kStatusKeys))) {
    return kStatusKeys[status][0] == '\0' ? "" : GetMsg(kStatusKeys[status], 1);
  }
  return std::to_string(status);
}

std::vector<int> OfferedStatuses(int page_type, bool redo) {
  switch (page_type) {
    case kExerciseType:
      return {0, 5};
    case kAssignmentType:
      return redo ? std::vector<int>{10, 11} : std::vector<int>{0, 1};
    case kClassDiscussionType:
      return {6};
    case kAnonymousType:
      return {7};
    case kCheckedAssignmentType:
      return {0};
    default:
      return {};
  }
}

std::string StatusBlock(bool blnChoice) {
  AssignState& st = Assignment();
  if (st.blnStatusShown) return "";
  st.blnStatusShown = true;
  const int type = ThePage().intPageType;
  std::string out;
  switch (st.intAssignMode) {
    case answer::kAnswerForm:
      if (type == kExerciseType) {
        out = blnChoice ? "<p>" + Radio(0, true, "msgYouWantToJustSave") + "<br>" +
                              Radio(5, false, "msgYouWantToShareYourExercise") + "</p>"
                        : "<input type=\"hidden\" name=\"dbStatus\" value=\"0\">";
      } else if (type == kAssignmentType) {
        const int base = st.blnRedo ? 10 : 0;
        out = blnChoice ? "<p>" + Radio(base, true, "msgYouWantToJustSave") + "<br>" +
                              Radio(base + 1, false, "msgYouWantToSubmit") + "</p>"
                        : "<input type=\"hidden\" name=\"dbStatus\" value=\"" +
                              std::to_string(base) + "\">";
      } else if (type == kClassDiscussionType) {
        out = "<input type=\"hidden\" name=\"dbStatus\" value=\"6\">";
      } else if (type == kAnonymousType) {
        out = "<input type=\"hidden\" name=\"dbStatus\" value=\"7\">";
      }
      break;
    case answer::kCheck:
      out = ScoreLine(st, st.colours.pink) + GetMsg("dbMark", 1) +
            " <input type=\"text\" name=\"dbMark\" value=\"" + HtmlEncode(st.strMark) +
            "\" size=\"5\"><br>";
      for (int status : kMarkingStatuses) {
        out += Radio(status, status == 3, kStatusKeys[status]) + "<br>";
      }
      out += "</p>";
      break;
    case answer::kReview:
      if (RequestValue("qid").empty()) {
        out = ScoreLine(st, st.colours.pink);
        if (!st.strMark.empty()) {
          out += "<br><font color=\"" + HtmlEncode(st.colours.pink) + "\">" + GetMsg("dbMark", 1) +
                 HtmlEncode(st.strMark) + "</font><br>";
        }
      }
      break;
    default:
      break;
  }
  if (RequestValue("qvAction") == "submitassignment" && st.blnSubmissionSaved) {
    out += "<br> <font color=\"" + HtmlEncode(st.colours.red) + "\">" +
           GetMsg("msgAssignmentSubmitted", 1) + "</font>";
  }
  return out;
}

std::string ExpandAssignment(std::string text, bool blnCheck) {
  AssignState& st = Assignment();
  st.intAssignMode = answer::kAnswerForm;
  const int type = ThePage().intPageType;
  if (!IsAssignmentType(type)) return text;
  const std::string action = RequestValue("qvAction");
  st.colours = answer::ReadTestColours(text);
  if (type == kQuizType || (type == kAnonymousType && action != "checkassignment")) {
    if (action == "submitanonymous") return GetMsg("msgThankYouForSubmission", 1);
    st.blnStatusShown = false;
    return MakeRenderer("").PrepareQuizForm(text);
  }
  const std::string raw_qid = RequestValue("qid");
  st.blnStatusShown = false;
  st.blnRedo = false;
  // The marking form and other users' work in it are the marker's.
  if (blnCheck && !MayMark()) {
    ReportError("ErrorAuthNoMark", true);
    return "";
  }
  std::optional<std::string> qid;
  if (!raw_qid.empty()) {
    qid = WholeQid(raw_qid);
    if (!qid) {
      ReportError("ErrorAnswerNotFound", true);
      return "";
    }
  }
  // An anonymous visitor has no work of his own: one row would be shared
  // by every visitor.
  std::optional<Submission> row;
  if (qid) {
    row = LoadSubmission("where ID=" + *qid);
  } else if (CurrentUserID() != "anonymous") {
    row = LoadSubmission(OwnRowClause());
  }
  int status = 0;
  if (row) {
    st.strAnswer = row->answer;
    st.strComment = row->comment;
    st.strMark = row->mark;
    st.strScore = row->score;
    st.lngShownID = row->id;
    status = row->status;
    if (row->page != WholeNumberOf(ThePage().ID).value_or(-1)) {
      ReportError("ErrorAnswerNotFound", true);
      return "";
    }
  } else {
    if (type == kCheckedAssignmentType) {
      ListOtherSubmissions();
      return "";
    }
    st.strAnswer.clear();
    st.strComment.clear();
    st.strMark.clear();
    st.strScore = "0";
    st.lngShownID = 0;
  }
  st.strStatus = std::to_string(status);
  if (blnCheck) {
    st.intAssignMode = answer::kCheck;
    CurrentBook().strHelpCode = "checkassignment";
    if (type == kAnonymousType) {
      st.intAssignMode = answer::kShow;
      CurrentBook().strHelpCode = "showanonymousassignment";
    }
  } else {
    if (status > 8) {
      status -= 10;
      st.blnRedo = true;
    }
    if (qid && status < 4) {
      ReportError("ErrorNotAuthorizedToReView", true);
      return "";
    }
    st.intAssignMode = ReadingMode(status, qid.has_value(), action, type);
  }
  SetReadHelpCode(st.intAssignMode);
  if (!row && st.intAssignMode != answer::kAnswerForm) {
    ReportError("ErrorNoSubmissionYet", true);
    return "";
  }
  std::string expanded = text;
  if (st.intAssignMode == answer::kAnswerForm || st.intAssignMode == answer::kShow) {
    expanded = answer::HideAnswerKey(expanded, st.colours, st.blnRedo);
  }
  expanded = MakeRenderer(qid.value_or("")).ExpandAnswerTags(expanded);
  ListOtherSubmissions();
  return expanded;
}

void ListOtherSubmissions() {
  const AssignState& st = Assignment();
  const int type = ThePage().intPageType;
  if (st.intAssignMode != answer::kReview && type != kClassDiscussionType &&
      type != kCheckedAssignmentType) {
    return;
  }
  const Variant rows =
      SharedAspProc().dbGetTable(SubmissionTable(), "ID,dbUserID",
                                 "where dbQID=" + SqlInteger(ThePage().ID) +
                                     " and (dbStatus=4 or dbStatus=5 or dbStatus=6) order by ID");
  if (!rows.IsArray()) return;
  const Array& a = *rows.AsArray();
  const Settings& s = TheSettings();
  std::string out =
      GetMsg(type == kClassDiscussionType ? "msgReviewOtherDiscussion" : "msgReviewOtherAssign",
             1) +
      "</p><ol>";
  for (size_t i = 0; i < a.Size(2); ++i) {
    const int64_t id = WholeNumberOf(a.at(0, i)).value_or(0);
    const std::string label = type == kClassDiscussionType
                                  ? HtmlEncode(UserID2Name(NullToStr(a.at(1, i)), ""))
                                  : "Student " + std::to_string(id);
    out += "<li>";
    if (id == st.lngShownID) {
      out += "[<font color=\"" + HtmlEncode(st.colours.red) + "\">" + label + "</font>]";
    } else {
      out += "[<a href=\"" + s.ThisURL + "?id=" + NullToStr(ThePage().ID) +
             "&qid=" + std::to_string(id) + "\">" + label + "</a>]";
    }
    out += "</li>";
  }
  ResponseWrite(out + "</ol>");
}

void ListSubmissions() {
  if (!MayMark()) {
    ReportError("ErrorAuthNoMark", true);
    return;
  }
  const Settings& s = TheSettings();
  const PageRecord& page = ThePage();
  const std::string table(CheckIdentifier(SubmissionTable()));
  const bool anonymous = page.intPageType == kAnonymousType;
  const std::string name_field(CheckIdentifier("dbFullName_" + s.FirstLanguage));
  // Every submission of the page, also of a user no longer registered.
  const std::string sql =
      anonymous ? "select * from " + table + " Where dbQID=" + SqlInteger(page.ID) +
                      " Order by dbSubmitDate"
                : "SELECT " + table + ".*, qvAuthUserList." + name_field + " FROM " + table +
                      " LEFT JOIN qvAuthUserList ON " + table +
                      ".dbUserID = qvAuthUserList.dbUserID  Where dbQID=" + SqlInteger(page.ID) +
                      " Order by dbSubmitDate";
  Recordset rs;
  rs.Open(sql, PageConnection());
  auto header = [](const char* width, const char* key) {
    return std::string("    <td width=\"") + width + "\" align=\"center\"><strong>" +
           GetMsg(key, 1) + "</strong></td>";
  };
  ResponseWrite("<table border=\"1\" width=\"100%\">");
  ResponseWrite("  <tr>");
  ResponseWrite(header("50%", "dbFullName"));
  ResponseWrite(header("25%", "dbStatus"));
  ResponseWrite(header("25%", "dbMark"));
  ResponseWrite("  </tr>");
  for (; !rs.EOF_(); rs.MoveNext()) {
    const int status = static_cast<int>(WholeNumberOf(rs.Value("dbStatus")).value_or(0));
    ResponseWrite("  <tr>");
    ResponseWrite("    <td width=\"50%\">");
    ResponseWrite("<a href=\"" + s.ThisURL + "?id=" + NullToStr(page.ID) +
                  "&qid=" + std::to_string(WholeNumberOf(rs.Value("ID")).value_or(0)) +
                  "&qvAction=checkassignment" + "\">");
    ResponseWrite(HtmlEncode(NullToStr(rs.Value("dbUserID"))));
    ResponseWrite("</a> [");
    if (!anonymous) ResponseWrite(HtmlEncode(NullToStr(rs.Value(name_field))));
    ResponseWrite("]&nbsp;</td>");
    ResponseWrite("    <td width=\"25%\">" + StatusName(status) + "&nbsp;</td>");
    ResponseWrite("    <td width=\"25%\">" + HtmlEncode(NullToStr(rs.Value("dbMark"))) +
                  "&nbsp;</td>");
    ResponseWrite("  </tr>");
  }
  ResponseWrite("</table>");
  rs.Close();
}

}  // namespace qv::book
