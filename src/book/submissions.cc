// Submissions: a student's posted answer form, a marker's posted marking
// form, and a reader's personal note on a page.
//
// Each save acts on a posted form only and checks its caller itself. A
// student writes only his own row of the current page (found by page and
// user, never by a posted id), only the answer, score and a status the form
// offered him; the marker writes the comment, mark and status of a row of
// this page. The posted form's own field list is never followed, so no
// other field can be written. The stamp guard of dbUpdate keeps a marking
// and a redo of the same row from overwriting each other unseen.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "book/answer_markup.h"
#include "book/assignments.h"
#include "book/book.h"
#include "book/book_internal.h"
#include "core/convert.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/field_array.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/current_page.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {
namespace book {
namespace {

constexpr int kLogAnswer = 4;
constexpr int kLogNotes = 5;
constexpr int kLogMarked = 6;

// A posted text for dbUpdate: " " stores an empty value.
Variant TextValue(const std::string& text) { return text.empty() ? Variant(" ") : Variant(text); }

std::string OwnRowClause() {
  return "where dbQID=" + SqlInteger(ThePage().ID) + " and dbUserID=" + SqlText(CurrentUserID());
}

int64_t PageID() { return WholeNumberOf(ThePage().ID).value_or(0); }

// Every posted item, in the form's order.
std::vector<std::pair<std::string, std::string>> PostedItems() {
  std::vector<std::pair<std::string, std::string>> items;
  Request& request = TheRequest();
  for (const std::string& key : request.FormKeys()) items.emplace_back(key, request.Form(key));
  return items;
}

// Points of the chosen answers: an item named "qvtm..." whose value ends
// in "=" and a number earns that number.
double Score(const std::vector<std::pair<std::string, std::string>>& items) {
  double score = 0;
  for (const auto& [name, value] : items) {
    if (ToLower(name).rfind("qvtm", 0) != 0) continue;
    const std::string points = answer::GetTagAttribute(value, "=", "");
    if (points.empty()) continue;
    if (const std::optional<double> n = ParseNumber(Trim(points))) score += *n;
  }
  return score;
}

// The posted status when it is one of allowed; the first of them when none
// was posted and blank_means_first.
std::optional<int> PostedStatus(const std::vector<int>& allowed, bool blank_means_first) {
  const std::string posted = Trim(PostedValue("dbStatus"));
  if (posted.empty()) {
    if (blank_means_first && !allowed.empty()) return allowed.front();
    return std::nullopt;
  }
  const std::optional<int64_t> n = WholeNumberOf(Variant(posted));
  if (!n) return std::nullopt;
  for (int status : allowed) {
    if (status == *n) return status;
  }
  return std::nullopt;
}

// dbUpdate and its log row; false when dbUpdate reported an error (a stamp
// conflict). The caller's RequestTransaction makes both one write.
bool UpdateAndLog(const std::string& where, const FieldArray& fields, bool appendable,
                  int log_code) {
  const std::string errors = Messages().strErrorMsg;
  SharedAspProc().dbUpdate(SubmissionTable(), where, fields.ToArray(), appendable, false);
  if (Messages().strErrorMsg != errors) return false;
  SharedAspProc().dbLog(log_code);
  return true;
}

// The student's answer form ("submitassignment", "submitanonymous").
void SaveAnswer(const std::vector<std::pair<std::string, std::string>>& items) {
  const PageRecord& page = ThePage();
  const bool anonymous = RequestValue("qvAction") == "submitanonymous";
  const int type = page.intPageType;
  const bool form_of_page =
      anonymous ? type == 10 : (type == 7 || type == 8 || type == 9 || type == 11);
  if (!form_of_page) {
    ReportError("ErrorInvalidValue", true);
    return;
  }
  if (!HasRight("read")) {
    ReportError("ErrorAuthNoRead", true);
    return;
  }
  if (!anonymous && CurrentUserID() == "anonymous") {
    ReportError("ErrorLoginToSubmit", true);
    return;
  }
  // The lock is read and the row written in one transaction, so that a
  // marking cannot come in between.
  RequestTransaction transaction;
  int current = -1;
  if (!anonymous) {
    const Variant rows = SharedAspProc().dbGetTable(SubmissionTable(), "dbStatus", OwnRowClause());
    if (rows.IsArray())
      current = static_cast<int>(WholeNumberOf(rows.AsArray()->at(0, 0)).value_or(0));
    // A contribution to a class discussion shows its form again: its
    // writer may change it.
    const bool contribution = type == 9 && current == 6;
    if (current > 1 && current < 8 && !contribution) {
      ReportError("ErrorAssignmentLocked", true);
      return;
    }
  }
  const std::optional<int> status = PostedStatus(OfferedStatuses(type, current >= 9), true);
  if (!status) {
    ReportError("ErrorInvalidValue", true);
    return;
  }
  FieldArray fields;
  fields.Add("dbQID", Variant(static_cast<long long>(PageID())));
  fields.Add("dbUserID", anonymous ? TextValue(TheRequest().ServerVariables("REMOTE_ADDR"))
                                   : Variant(CurrentUserID()));
  fields.Add("dbAnswer", answer::StoredAnswerString(items));
  fields.Add("dbSubmitDate", Now());
  fields.Add("dbBookID", page.lBookID);
  fields.Add("dbStatus", *status);
  fields.Add("dbScore", Score(items));
  if (UpdateAndLog(anonymous ? "where ID=-1" : OwnRowClause(), fields, true, kLogAnswer)) {
    transaction.Commit();
    Assignment().blnSubmissionSaved = true;
  }
}

// The marker's form ("submitcheckassignment") for the row named by qid.
void SaveMarking(const std::vector<std::pair<std::string, std::string>>& items) {
  if (!MayMark()) {
    ReportError("ErrorAuthNoMark", true);
    return;
  }
  const std::optional<int64_t> qid = WholeNumberOf(Variant(RequestValue("qid")));
  const std::string where = "where ID=" + std::to_string(qid.value_or(0));
  const Variant rows = SharedAspProc().dbGetTable(SubmissionTable(), "dbQID", where);
  if (!qid || !rows.IsArray() || WholeNumberOf(rows.AsArray()->at(0, 0)) != PageID()) {
    ReportError("ErrorAnswerNotFound", true);
    return;
  }
  const std::optional<int> status = PostedStatus(
      std::vector<int>(std::begin(kMarkingStatuses), std::end(kMarkingStatuses)), false);
  if (!status) {
    ReportError("ErrorInvalidValue", true);
    return;
  }
  FieldArray fields;
  fields.Add("dbComment", answer::StoredAnswerString(items));
  fields.Add("dbMark", TextValue(PostedValue("dbMark")));
  fields.Add("dbStatus", *status);
  RequestTransaction transaction;
  if (UpdateAndLog(where, fields, false, kLogMarked)) transaction.Commit();
}

}  // namespace

void SaveSubmission(bool blnSubmit) {
  if (!IsPostRequest()) return;  // a link never writes
  std::vector<std::pair<std::string, std::string>> items;
  try {
    items = PostedItems();
  } catch (const HostError&) {
    return;  // the body was read as an upload
  }
  if (blnSubmit) {
    SaveAnswer(items);
  } else {
    SaveMarking(items);
  }
}

void SaveNotes() {
  if (!IsPostRequest()) return;
  if (CurrentUserID() == "anonymous") {
    ReportError("ErrorLoginToSubmit", true);
    return;
  }
  if (!HasRight("read")) {
    ReportError("ErrorAuthNoRead", true);
    return;
  }
  FieldArray fields;
  fields.Add("dbQID", Variant(static_cast<long long>(PageID())));
  fields.Add("dbUserID", CurrentUserID());
  fields.Add("dbNotes", TextValue(PostedValue("dbNotes")));
  fields.Add("dbSubmitDate", Now());
  fields.Add("dbBookID", ThePage().lBookID);
  RequestTransaction transaction;
  if (UpdateAndLog(OwnRowClause(), fields, true, kLogNotes)) transaction.Commit();
}

}  // namespace book

void Book::Notes(const std::string& NoteMsg) {
  if (!Messages().strErrorMsg.empty() || !book::CheckPageOpen("Notes")) return;
  // A note is kept per user: a visitor who is not logged in has none.
  if (CurrentUserID() == "anonymous") return;
  const Variant rows =
      SharedAspProc().dbGetTable(book::SubmissionTable(), "dbNotes", book::OwnRowClause());
  const std::string note = rows.IsArray() ? NullToStr(rows.AsArray()->at(0, 0)) : "";
  if (!note.empty()) {
    ResponseWrite("<font color=\"#0000FF\">" + answer::FormatAnswerText(note, false) +
                  "</font><p>");
  }
  if (!book::RequestValue("qvAction").empty()) return;
  ResponseWrite(NoteMsg);
  ResponseWrite("<form method=\"POST\" action=\"" + TheSettings().ThisURL +
                "?id=" + NullToStr(ThePage().ID) + "\">");
  ResponseWrite("  <input type=\"hidden\" name=\"qvAction\" value=\"submitnotes\">");
  ResponseWrite("  <p><textarea rows=\"4\" name=\"dbNotes\" cols=\"50\">");
  ResponseWrite(answer::FormatAnswerText(note, true));
  ResponseWrite("</textarea></p>");
  ResponseWrite("  <p><input type=\"submit\" value=\"" + GetMsg("ButtonSubmit", 1) +
                "\" name=\"B1\">");
  ResponseWrite("  <input type=\"reset\" value=\"" + GetMsg("ButtonReset", 1) +
                "\" name=\"B2\"></p>");
  ResponseWrite("</form>");
}

}  // namespace qv
