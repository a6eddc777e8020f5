// Navigation around the current page: the page link every list uses, the
// command menu, the top, up, refresh, next and previous links, the titles
// and the closing block.
#include <optional>
#include <string>

#include "book/book.h"
#include "book/book_internal.h"
#include "core/convert.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/shared_state.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {
namespace book {
namespace {

constexpr int kHeading = 255;
constexpr int kBulletinMessage = 5;

// The request names a page above 0 (not a book by -B, not empty, not text).
bool RequestNamesPage() {
  std::optional<int64_t> id = WholeNumberOf(RequestValue("id"));
  return id && *id > 0;
}

bool NavigationBlocked(const std::string& caller) {
  return !State().strErrorMsg.empty() || !CheckPageOpen(caller);
}

// The file part of ThisURL (after its last "/") is ParentFrameFile.
bool ScriptIsParentFrameFile() {
  const SharedState& s = State();
  const size_t slash = s.ThisURL.rfind('/');
  const std::string file = slash == std::string::npos ? s.ThisURL : s.ThisURL.substr(slash + 1);
  return file == s.ParentFrameFile;
}

// A field of the current page row: from objRS while it still holds that
// row, else read again by id. Null when no page is open.
Variant CurrentPageField(const std::string& field) {
  const SharedState& s = State();
  if (s.TableName.empty()) return Null;
  const auto& rs = s.objRS;
  if (rs && rs->IsOpen() && !rs->EOF_() && !rs->BOF() && EqualsNoCase(rs->Table(), s.TableName) &&
      rs->FieldIndex(field) >= 0 && NullToStr(rs->Value("ID")) == NullToStr(s.ID)) {
    return rs->Value(field);
  }
  std::optional<int64_t> id = WholeNumberOf(s.ID);
  if (!id || !s.objAspProc) return Null;
  Variant rows = s.objAspProc->dbGetTable(s.TableName, std::string(CheckIdentifier(field)),
                                          "where id=" + SqlInteger(Variant(*id)));
  return rows.IsArray() ? rows.AsArray()->at(0, 0) : Variant(Null);
}

std::string TitleText(const Variant& title) {
  const std::string text = NullToStr(title);
  return Trim(text).empty() ? "[Unknown]" : text;
}

// A link of GoUp and GoRefresh: a plain page link to target.
void WritePlainPageLink(int64_t target, const std::string& strTitle) {
  WriteLink(Variant(target), strTitle, true, 0, Null, false, 0, "");
}

void WriteAddCommands() {
  const SharedState& s = State();
  const bool add = HasRight("add");
  if (s.lngPageParentID != 0) {
    if (add || HasRight("append")) WriteCommand("add&add=bottom", "menuAddBottom");
    if (add || HasRight("insert")) WriteCommand("add&add=before", "menuAddBefore");
  }
  if (s.intPageLevel < s.PageLevelMax && s.intPageChildren == 0 && (add || HasRight("create"))) {
    WriteCommand("add&add=below", "menuAddBelow");
  }
}

void WriteMoveCommands() {
  const SharedState& s = State();
  WriteCommand("cut&cut=current", "menuCutCurrent");
  if (NullToStr(TheSession().Value(SessionKey("Cut_PasteTable"))) == s.TableName) {
    WriteCommand("paste&paste=cancel", "menuPasteCancel");
  }
  if (CanPaste()) {
    WriteCommand("paste&paste=bottom", "menuPasteBottom");
    WriteCommand("paste&paste=before", "menuPasteBefore");
  }
}

// Pages of types 1 and 5 may be edited by their owner; an anonymous visitor
// owns nothing.
bool OwnsEditablePage() {
  const SharedState& s = State();
  if (s.intPageType != 1 && s.intPageType != 5) return false;
  const std::string user = CurrentUserID();
  return !s.strPageOwnerID.empty() && user != "anonymous" && s.strPageOwnerID == user;
}

// Headings are no stops of next and previous, nor are the bulletin
// messages of others for a user without the author right.
bool CountsAsSibling(const Recordset& rs) {
  const Variant& type = rs.Value("dbType");
  const int64_t page_type = type.IsNull() ? 0 : ToInteger(type);
  if (page_type == kHeading) return false;
  return page_type != kBulletinMessage || HasRight("author") ||
         NullToStr(rs.Value("dbOwnerID")) == CurrentUserID();
}

}  // namespace

std::shared_ptr<Connection> PageConnection() {
  const auto& conn = State().objConn;
  if (conn && conn->IsOpen()) return conn;
  return OpenOwnConnection();
}

std::string ExpandLinkPlaceholders(const std::string& url) {
  const SharedState& s = State();
  std::string out =
      ReplaceAll(url, "<qvTm.TargetURL>", s.TargetFile.empty() ? s.ThisURL : s.TargetFile);
  out = ReplaceAll(out, "<qvTm.ThisURL>", s.ThisURL);
  return ReplaceAll(out, "<qvTm.TargetFrame>", s.TargetFrame);
}

std::string ParentFrameTarget() {
  return ScriptIsParentFrameFile() ? "\" target=\"_self\">" : "\" target=\"_parent\">";
}

bool NoEditRight() { return !HasRight("admin") && !HasRight("author") && !HasRight("editor"); }

// level is part of the link's description but chooses nothing here.
void WriteLink(const Variant& id, const Variant& text, bool hasChildren, int pageType,
               const Variant& urlLink, bool isEdit, int /*level*/, const std::string& params) {
  const SharedState& s = State();
  std::string shown = TitleText(text);
  // An empty address (as an edit form may store it) is no external link.
  if (!urlLink.IsNull() && !Trim(NullToStr(urlLink)).empty()) {
    ResponseWrite("<a href=\"" + ExpandLinkPlaceholders(NullToStr(urlLink)) + "\">" + shown +
                  "</a> ");
    if (!isEdit) return;
    shown = GetMsg("msgEditCommand", 1);
  }
  if (pageType == kHeading) {
    ResponseWrite(shown);
    if (!isEdit || NoEditRight()) return;
    shown = GetMsg("msgEditCommand", 1);
  }
  const std::string base = "?id=" + NullToStr(id) + s.TargetFileParam + params;
  if (!s.ParentFrameFile.empty() && hasChildren) {
    ResponseWrite("<a href=\"" + s.ParentFrameFile + base + ParentFrameTarget() + shown + "</a>");
  } else if (!s.TargetFile.empty()) {
    const std::string target = s.TargetFrame.empty() ? "_self" : s.TargetFrame;
    ResponseWrite("<a href=\"" + s.TargetFile + base + "\" target=\"" + target + "\">" + shown +
                  "</a>");
  } else {
    ResponseWrite("<a href=\"" + s.ThisURL + base + "\" target=\"_self\">" + shown + "</a>");
  }
}

// Entry of the page-operations module: whether the clipboard page may be
// pasted here. Nothing can be pasted until that module is built.
bool CanPaste() { return false; }

}  // namespace book

// Commands of modules not built yet are left out (book_internal.h).
void Book::ListMenu() {
  const SharedState& s = State();
  if (!s.blnShowContents || !s.strErrorMsg.empty() || !book::CheckPageOpen("ListMenu")) return;
  using book::HasRight;
  using book::IsBuilt;
  using book::Module;
  using book::WriteCommand;
  const bool editing = IsBuilt(Module::kPageEditing);
  if (IsBuilt(Module::kGlossary) && HasRight("glossary")) {
    WriteCommand("listglossary", "MenuUpdateGlossary");
  }
  if (editing && (HasRight("update") || book::OwnsEditablePage())) {
    WriteCommand("edit", "menuEditCurrent");
  }
  if (editing) book::WriteAddCommands();
  if (editing && HasRight("move")) book::WriteMoveCommands();
  if (editing && NullToStr(s.ID) != s.strDefaultID && HasRight("delete") &&
      s.intPageChildren == 0) {
    WriteCommand("delete", "MenuDelete");
  }
  if (IsBuilt(Module::kFiles) && HasRight("upload")) {
    book::WriteMsgLink("URLUploadFiles", "MenuUploadFiles",
                       "?table=" + s.TableName + "&id=" + NullToStr(s.ID));
  }
  if (editing && HasRight("property")) WriteCommand("edit&edit=property", "MenuPageProperty");
  if (IsBuilt(Module::kAssignments) && HasRight("assignment") && s.intPageType >= 7 &&
      s.intPageType <= 11) {
    WriteCommand("listassignment", "MenuListAssignment");
  }
  if (HasRight("author")) {
    book::WriteMsgLink("URLBookManagement", "MenuBookManagement",
                       "?id=" + std::to_string(s.lBookID));
  }
}

void Book::GoTop(const std::string& strTitle) {
  if (!book::RequestNamesPage() || book::NavigationBlocked("GoTop")) return;
  const SharedState& s = State();
  const std::string first_page = "?id=-" + std::to_string(s.lBookID);
  if (!s.ParentFrameFile.empty()) {
    ResponseWrite("<a href=\"" + s.ParentFrameFile + first_page + book::ParentFrameTarget() +
                  strTitle + "</a>");
  } else {
    ResponseWrite("<a href=\"" + s.ThisURL + first_page + "\">" + strTitle + "</a>");
  }
}

void Book::GoUp(const std::string& strTitle) {
  if (!book::RequestNamesPage() || book::NavigationBlocked("GoUp")) return;
  const SharedState& s = State();
  if (s.lngOpenParentID < 1 || s.lngPageParentID <= 0) return;
  int64_t target = s.lngOpenParentID;
  if (blnNoSubPage) target = book::ParentOf(s.lngPageParentID).value_or(target);
  book::WritePlainPageLink(target, strTitle);
}

// Written also while an error is pending: after a failed action the link is
// the way back to the page as first opened. Nothing without an open page.
void Book::GoRefresh(const std::string& strTitle) {
  const SharedState& s = State();
  std::optional<int64_t> target = s.lngOpenID;
  if (book::RequestValue("qvAction") == "add") target = WholeNumberOf(s.ID);
  if (!target || *target <= 0) return;
  book::WritePlainPageLink(*target, strTitle);
}

void Book::WalkSiblings() {
  const SharedState& s = State();
  if (book::NavigationBlocked("Navigation")) return;
  if (!book::HasRight("read")) {
    ReportError("ErrorAuthNoRead", true);
    return;
  }
  RequireTableName(s.TableName);
  std::string sql = "Select ID, dbType, dbOwnerID From " + s.TableName +
                    " Where dbPID=" + SqlInteger(Variant(s.lngPageParentID));
  if (IsReaderOnly()) sql += book::ReaderFilter();
  Recordset rs;
  rs.Open(sql + " order by dbOrder,id", book::PageConnection());
  const std::string current = NullToStr(s.ID);
  int32_t total = 0, prev = 0, next = 0;
  int state = -1;
  for (; !rs.EOF_(); rs.MoveNext()) {
    if (!book::CountsAsSibling(rs)) continue;
    const int32_t id = static_cast<int32_t>(ToInteger(rs.Value("ID")));
    ++total;
    if (NullToStr(rs.Value("ID")) == current) {
      varPageNo = total;
      state = 0;
    }
    if (state == -1) {
      prev = id;
    } else if (state == 0) {
      state = 1;
    } else if (state == 1) {
      next = id;
      state = 2;
    }
  }
  varPageNoTotal = total;
  // A page missing from its own sibling list (hidden from this reader) has
  // no neighbours; 0 marks the walk as done.
  lngPrevID = state == -1 ? 0 : prev;
  lngNextID = next;
}

void Book::GoNext(const std::string& strTitle) {
  if (!State().strErrorMsg.empty()) return;
  if (lngNextID == -1) WalkSiblings();
  if (lngNextID > 0) {
    ResponseWrite("<a href=\"" + State().ThisURL + "?id=" + std::to_string(lngNextID) +
                  "&qvAction=show\">" + strTitle + "</a>");
  }
}

void Book::GoPrevious(const std::string& strTitle) {
  if (!State().strErrorMsg.empty()) return;
  if (lngNextID == -1) WalkSiblings();
  if (lngPrevID > 0 && std::to_string(lngPrevID) != NullToStr(State().ID)) {
    ResponseWrite("<a href=\"" + State().ThisURL + "?id=" + std::to_string(lngPrevID) +
                  "&qvAction=show\">" + strTitle + "</a>");
  }
}

void Book::PageTitle(int16_t language) {
  const SharedState& s = State();
  if (language == 1) {
    const Variant title = book::CurrentPageField("dbTitle_" + s.FirstLanguage);
    if (!s.TableName.empty()) ResponseWrite(book::TitleText(title));
    return;
  }
  if (!s.SecondLanguage.empty()) {
    ResponseWrite(NullToStr(book::CurrentPageField("dbTitle_" + s.SecondLanguage)));
  }
  if (!s.strOtherLanguage.empty()) {
    ResponseWrite(NullToStr(book::CurrentPageField("dbTitle_" + s.strOtherLanguage)));
  }
}

void Book::ParentTitle() {
  const SharedState& s = State();
  if (s.lngPageParentID <= 0) return;
  RequireTableName(s.TableName);
  const std::string field(CheckIdentifier("dbTitle_" + s.FirstLanguage));
  std::shared_ptr<Connection> conn = OpenOwnConnection();
  Recordset rs;
  rs.Open("SELECT " + field + " FROM " + s.TableName +
              " Where id=" + SqlInteger(Variant(s.lngPageParentID)),
          conn);
  if (!rs.EOF_()) ResponseWrite(book::TitleText(rs.Value(field)));
  rs.Close();
  conn->Close();
}

void Book::ClosePage(bool strFoot) {
  const SharedState& s = State();
  if (strFoot) {
    ResponseWrite("<br>" + GetMsg("msgPageFoot", 1) + "<br>");
    if (!s.SecondLanguage.empty()) ResponseWrite("<br>" + GetMsg("msgPageFoot", 2) + "<br>");
  }
  if (s.objAspProc) s.objAspProc->dbClose();
  book::WriteGlossaryScript();
  if (book::IsDownloadForm()) ResponseWrite("<qvTomeErr=\"" + s.strErrorMsg + "\">");
}

}  // namespace qv
