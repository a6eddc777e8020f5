// Page display: the action dispatch of ShowPage and the page body in its
// languages, with bulletin children and discussion commands.
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "book/book.h"
#include "book/book_internal.h"
#include "book/book_state.h"
#include "book/page_record.h"
#include "core/convert.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/current_page.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {
namespace book {
namespace {

// The edit help code of each page type (dbType 0 to 11).
constexpr const char* kEditHelpCodes[] = {"editNormal",
                                          "editNormalUserOwned",
                                          "editDiscussion",
                                          "editDiscussionReply",
                                          "editBulletin",
                                          "editBulletinMessage",
                                          "editQuiz",
                                          "editExercise",
                                          "editAssignment",
                                          "editClassDiscussion",
                                          "editSubmitAnonymous",
                                          "editCheckedAssignment"};

bool IsDiscussionType(int type) { return type == 2 || type == 3; }
constexpr int kBulletinType = 4;

std::string ReadHelpCode() {
  const Settings& s = TheSettings();
  const PageRecord& page = ThePage();
  if (s.TableName == "qvglossary") return "readGlossary";
  if (s.TableName == "qvmedia") return "readMedia";
  if (page.intPageType == 2) return "readDiscussion";
  if (page.intPageType == 3) return "readDiscussionReply";
  return "read";
}

std::string EditHelpCode() {
  const Settings& s = TheSettings();
  const PageRecord& page = ThePage();
  if (s.TableName == "qvglossary") return "editGlossary";
  if (s.TableName == "qvmedia") return "editMedia";
  const int type = page.intPageType;
  if (type < 0 || type >= static_cast<int>(std::size(kEditHelpCodes))) return "editNormal";
  return kEditHelpCodes[type];
}

// A stored flag that holds False (Null and a missing field do not).
bool FlagIsFalse(const Recordset& record, const std::string& name) {
  if (record.FieldIndex(name) < 0) return false;
  const Variant& value = record.Value(name);
  if (value.IsNull() || value.IsEmpty()) return false;
  try {
    return !ToBoolean(value);
  } catch (const TypeMismatch&) {
    return false;
  }
}

const std::string& ReadFormat(const std::string& language) {
  const Settings& s = TheSettings();
  return language == "e" ? s.FormatRead_e : s.FormatRead_n;
}

const std::string& ReadAllFormat(const std::string& language) {
  const Settings& s = TheSettings();
  return language == "e" ? s.FormatReadAll_e : s.FormatReadAll_n;
}

Recordset& CurrentPage() {
  const std::shared_ptr<Recordset>& rs = Tables().objRS;
  if (!rs) throw HostError("Book: no page is open");
  return *rs;
}

// The page text in one language: through the reading format when the book
// has one (its media were taken by FillFormat), else the content field.
void WriteLanguageBody(const std::string& language) {
  const Recordset& page = CurrentPage();
  const std::string& format = ReadFormat(language);
  if (!format.empty()) {
    ResponseWrite(ExpandPage(FillFormat(format, page, language), ""));
  } else {
    ResponseWrite(ExpandPage(FieldText(page, LanguageField("dbContent_", language)), language));
  }
}

// Notes on unfinished texts, then the text of each language, then the other
// language's content as stored.
void WriteLanguages(const Recordset& page) {
  const Settings& s = TheSettings();
  const PageRecord& current = ThePage();
  if (FlagIsFalse(page, LanguageField("dbFinished_", s.FirstLanguage))) {
    ResponseWrite(GetMsg("msgPageNotFinished", 1) + "<br>");
  }
  if (!s.SecondLanguage.empty() &&
      FlagIsFalse(page, LanguageField("dbFinished_", s.SecondLanguage))) {
    ResponseWrite(GetMsg("msgPageNotFinished", 2) + "<br>");
  }
  WriteLanguageBody(s.FirstLanguage);
  // Until the assignment module is built, an assignment page shows its
  // notice once and no language's text raw.
  if (IsAssignmentType(current.intPageType) && !IsBuilt(Module::kAssignments)) return;
  if (!s.SecondLanguage.empty()) {
    ResponseWrite("<p></p>");
    WriteLanguageBody(s.SecondLanguage);
  }
  if (!s.strOtherLanguage.empty()) {
    ResponseWrite("<p></p>" + FieldText(page, LanguageField("dbContent_", s.strOtherLanguage)));
  }
}

void WriteBulletinChild(const Recordset& child, const std::string& language) {
  const std::string& format = ReadAllFormat(language);
  ResponseWrite(ExpandPaths(format.empty() ? FieldText(child, LanguageField("dbContent_", language))
                                           : FillFormat(format, child, language)));
}

// Every child of a bulletin, whatever its finished or expiry state.
void ShowBulletinChildren() {
  const Settings& s = TheSettings();
  const PageRecord& page = ThePage();
  const TableAccess& tables = Tables();
  Recordset children;
  children.Open("Select * from " + std::string(CheckIdentifier(s.TableName)) +
                    " Where dbPID=" + SqlInteger(page.ID) + " order by dbOrder,id",
                tables.objConn);
  for (; !children.EOF_(); children.MoveNext()) {
    ResponseWrite("<br>");
    WriteBulletinChild(children, s.FirstLanguage);
    if (!s.SecondLanguage.empty()) {
      ResponseWrite("<br>");
      WriteBulletinChild(children, s.SecondLanguage);
    }
    if (!s.strOtherLanguage.empty()) {
      ResponseWrite("<p></p>" +
                    FieldText(children, LanguageField("dbContent_", s.strOtherLanguage)));
    }
  }
  children.Close();
}

// Every discussion command adds, edits or deletes a page. Only a visitor
// who is logged in takes part (DoAddPage asks the same of a reply).
void ShowDiscussionCommands() {
  if (!IsBuilt(Module::kPageEditing)) return;
  const PageRecord& page = ThePage();
  const Settings& s = TheSettings();
  ResponseWrite("<p align=\"center\">");
  if (CurrentUserID() != "anonymous") {
    WriteCommand("add&add=bottom&reply=y",
                 page.intPageType == 2 ? "menuPostDiscussion" : "menuJoinDiscussion");
    if (page.intPageLevel < s.PageLevelMin + s.ReplyLevel) {
      WriteCommand("add&add=below&reply=y", "menuReplyDiscussion");
    }
  }
  if (HasRight("author")) {
    WriteCommand("edit&reply=y", "menuCommentDiscussion");
    if (page.intPageChildren == 0) WriteCommand("delete", "MenuDelete");
  }
  ResponseWrite("</p>");
}

}  // namespace

void ShowPageBody() {
  Settings& s = TheSettings();
  PageRecord& current = ThePage();
  BookState& book_state = CurrentBook();
  if (!HasRight("read")) {
    ReportError("ErrorAuthNoRead", true);
    return;
  }
  book_state.blnShowContents = true;
  if (s.TableName == "qvlibrary") {
    ShowLibraryRecord();
    return;
  }
  const Recordset& page = CurrentPage();
  WriteLanguages(page);
  if (current.intPageType == kBulletinType) ShowBulletinChildren();
  if (RequestValue("qvAction") == "add") return;
  if (!IsDiscussionType(current.intPageType)) return;
  ResponseWrite("<p><font color=\"#FF00FF\">" +
                FieldText(page, LanguageField("dbRemark_", s.FirstLanguage)) + "</font></p>");
  if (RequestValue("reply").empty()) ShowDiscussionCommands();
}

namespace {

// The actions of the later modules, by module.
struct ModuleAction {
  std::string_view action;
  Module module;
};
constexpr ModuleAction kModuleActions[] = {
    {"edit", Module::kPageEditing},
    {"add", Module::kPageEditing},
    {"delete", Module::kPageEditing},
    {"cut", Module::kPageEditing},
    {"paste", Module::kPageEditing},
    {"move", Module::kPageEditing},
    {"rearrange", Module::kPageEditing},
    {"listglossary", Module::kGlossary},
    {"updateglossary", Module::kGlossary},
    {"listassignment", Module::kAssignments},
    {"checkassignment", Module::kAssignments},
    {"submitassignment", Module::kAssignments},
    {"submitanonymous", Module::kAssignments},
    {"submitcheckassignment", Module::kAssignments},
    {"submitquiz", Module::kAssignments},
    {"quiz", Module::kAssignments},
    {"submitnotes", Module::kAssignments},
    {"addmedia", Module::kFiles},
};

void ReportNotAvailable() { ReportError("ErrorNotAvailable", true); }

}  // namespace

bool ActionKnown(const std::string& action) {
  if (action.empty() || action == "show") return true;
  for (const ModuleAction& entry : kModuleActions) {
    if (entry.action == action) return true;
  }
  return false;
}

bool ActionAvailable(const std::string& action) {
  for (const ModuleAction& entry : kModuleActions) {
    if (entry.action == action) return IsBuilt(entry.module);
  }
  return true;
}

// Entries of later modules: each reports that it is not available until its
// module fills it in.

// Submissions: stores the posted answer of an assignment.
void SaveSubmission(bool) { ReportNotAvailable(); }
// Submissions: the list of submissions to an assignment.
void ListSubmissions() { ReportNotAvailable(); }
// Assignments: answer forms and marks in place of the assignment markup. The
// text of an assignment page holds its answers, so it is never shown raw.
std::string ExpandAssignment(const std::string& text, bool) {
  return IsAssignmentType(ThePage().intPageType) ? GetMsg("ErrorNotAvailable", 1) : text;
}

}  // namespace book

namespace {

using namespace book;

void WriteStartMark() {
  const PageRecord& page = ThePage();
  const Settings& s = TheSettings();
  ResponseWrite("<qvTmStart qvType=\"" + std::to_string(page.intPageType) + "\" qvTome=\"" +
                std::to_string(page.lBookID) + "\" qvLevel=\"" + std::to_string(page.intPageLevel) +
                "\" qvMediaDir=\"" + s.pMediaDir + "\">");
}

void HideContentsAndBody() {
  CurrentBook().blnShowContents = false;
  CurrentBook().blnShowBody = false;
}

// The page was removed by the delete action: a link to its parent instead.
void WriteDeletedNote() {
  const Settings& s = TheSettings();
  const PageRecord& page = ThePage();
  ResponseWrite("<a href=\"" + s.ThisURL + "?id=" + std::to_string(page.lngPageParentID) + "\">");
  ResponseWrite("<br>" + GetMsg("msgPageDeleted", 1) + "<br>");
  ResponseWrite("</a>");
  HideContentsAndBody();
}

// An edit or add form in place of the page; a discussion reply shows the
// page being answered above it.
void ShowForm(const char* help_code, void (*show_form)()) {
  if (!RequestValue("reply").empty()) ShowPageBody();
  CurrentBook().strHelpCode = help_code;
  show_form();
  HideContentsAndBody();
}

// The edit form again after a save refused for a change made meanwhile:
// objRS holds what the caller posted.
void ShowEditFormAgain() {
  CurrentBook().blnShowContents = false;
  EditRecordForm();
}

// Runs the action of the request; returns whether the page tail (pending
// note, body, end mark) follows.
bool RunAction(const std::string& action, bool reader_only) {
  BookState& book_state = CurrentBook();
  const bool submitted = !RequestValue("submit").empty();
  if (action.empty()) {
    SharedAspProc().dbLog(2);
    book_state.strHelpCode = reader_only ? ReadHelpCode() : EditHelpCode();
  } else if (action == "submitassignment" || action == "submitanonymous") {
    SaveSubmission(true);
    book_state.strHelpCode = action;
  } else if (action == "listassignment" || action == "submitcheckassignment") {
    ListSubmissions();
    book_state.strHelpCode = "listassignment";
    HideContentsAndBody();
  } else if (action == "listglossary") {
    ListGlossaryForm();
    book_state.blnShowContents = false;
    book_state.strHelpCode = "listglossary";
  } else if (action == "edit") {
    if (book_state.blnShowFormAgain) {
      ShowForm("editpage", ShowEditFormAgain);
      return false;
    }
    if (submitted) return true;  // saved by UpdatePage: the page follows
    ShowForm("editpage", DoEditPage);
    return false;
  } else if (action == "add") {
    if (book_state.strNewTitle.empty() && submitted) return true;
    ShowForm("addpage", DoAddPage);
    return false;
  } else if (action == "paste") {
    // Only a paste to a place moved the page (cancel and other values do not).
    const std::string place = RequestValue("paste");
    if (place == "before" || place == "bottom") {
      ResponseWrite("<br>" + GetMsg("msgPagePasted", 1) + "<br>");
    }
  }
  return true;
}

}  // namespace

void Book::ShowPage() {
  BookState& book_state = CurrentBook();
  MessageState& messages = Messages();
  KeptSettings& kept = Kept();
  const bool download = book::IsDownloadForm();
  if (download) WriteStartMark();
  const std::string action = book::RequestValue("qvAction");
  const bool available = book::ActionAvailable(action);
  if (action == "delete" && available) {
    book::DeletePage();
    if (book_state.blnPageDeleted) {
      WriteDeletedNote();
      return;
    }
  }
  // A save refused for a change made meanwhile shows its form again after
  // its error.
  const bool form_again = book_state.blnShowFormAgain && action == "edit";
  if ((!messages.strErrorMsg.empty() && !form_again) || !book::CheckPageOpen("ShowPage") ||
      blnPageShown) {
    return;
  }
  blnPageShown = true;
  book_state.strHelpCode = "read";
  if (!available) {
    ReportError("ErrorNotAvailable", true);
    return;
  }
  if (!book::PostedValue("BibOwner").empty()) book::UpdateBibOwner();
  ResponseWrite(kept.MaintenanceMsg);
  if (!RunAction(action, IsReaderOnly())) return;
  ResponseWrite(book_state.strPendingMsg);
  if (book_state.blnShowBody) book::ShowPageBody();
  if (download) ResponseWrite("<qvTmEnd>");
}

}  // namespace qv
