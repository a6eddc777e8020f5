// Navigation around the current page: the page link every list uses, the
// command menu, the top, up, refresh, next and previous links, the titles
// and the closing block.
#include <optional>
#include <string>

#include "book/book.h"
#include "book/book_internal.h"
#include "book/book_state.h"
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

constexpr int kHeading = 255;
constexpr int kBulletinMessage = 5;

// The request names a page above 0 (not a book by -B, not empty, not text).
bool RequestNamesPage() {
  std::optional<int64_t> id = WholeNumberOf(RequestValue("id"));
  return id && *id > 0;
}

bool NavigationBlocked(const std::string& caller) {
  return !Messages().strErrorMsg.empty() || !CheckPageOpen(caller);
}

// The file part of ThisURL (after its last "/") is ParentFrameFile.
bool ScriptIsParentFrameFile() {
  const Settings& s = TheSettings();
  const size_t slash = s.ThisURL.rfind('/');
  const std::string file = slash == std::string::npos ? s.ThisURL : s.ThisURL.substr(slash + 1);
  return file == s.ParentFrameFile;
}

}  // namespace

Variant CurrentPageField(const std::string& field) {
  const Settings& s = TheSettings();
  const TableAccess& tables = Tables();
  const PageRecord& page = ThePage();
  if (s.TableName.empty()) return Null;
  const auto& rs = tables.objRS;
  if (rs && rs->IsOpen() && !rs->EOF_() && !rs->BOF() && EqualsNoCase(rs->Table(), s.TableName) &&
      rs->FieldIndex(field) >= 0 && NullToStr(rs->Value("ID")) == NullToStr(page.ID)) {
    return rs->Value(field);
  }
  std::optional<int64_t> id = WholeNumberOf(page.ID);
  if (!id || !tables.objAspProc) return Null;
  Variant rows = tables.objAspProc->dbGetTable(s.TableName, std::string(CheckIdentifier(field)),
                                               "where id=" + SqlInteger(Variant(*id)));
  return rows.IsArray() ? rows.AsArray()->at(0, 0) : Variant(Null);
}

namespace {

std::string TitleText(const Variant& title) {
  const std::string text = NullToStr(title);
  return Trim(text).empty() ? "[Unknown]" : text;
}

// A link of GoUp and GoRefresh: a plain page link to target.
void WritePlainPageLink(int64_t target, const std::string& strTitle) {
  WriteLink(Variant(target), strTitle, true, 0, Null, false, 0, "");
}

void WriteAddCommands() {
  const PageRecord& page = ThePage();
  const Settings& s = TheSettings();
  const bool add = HasRight("add");
  if (page.lngPageParentID != 0) {
    if (add || HasRight("append")) WriteCommand("add&add=bottom", "menuAddBottom");
    if (add || HasRight("insert")) WriteCommand("add&add=before", "menuAddBefore");
  }
  if (page.intPageLevel < s.PageLevelMax && page.intPageChildren == 0 &&
      (add || HasRight("create"))) {
    WriteCommand("add&add=below", "menuAddBelow");
  }
}

void WriteMoveCommands() {
  const Settings& s = TheSettings();
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
  const PageRecord& page = ThePage();
  if (page.intPageType != 1 && page.intPageType != 5) return false;
  const std::string user = CurrentUserID();
  return !page.strPageOwnerID.empty() && user != "anonymous" && page.strPageOwnerID == user;
}

// Headings are no stops of next and previous, nor are the bulletin
// messages of others for a user without the author right.
bool CountsAsSibling(const ListedPage& page) {
  if (page.type == kHeading) return false;
  return page.type != kBulletinMessage || HasRight("author") ||
         NullToStr(page.owner) == CurrentUserID();
}

}  // namespace

std::shared_ptr<Connection> PageConnection() {
  const auto& conn = Tables().objConn;
  if (conn && conn->IsOpen()) return conn;
  return OpenOwnConnection();
}

std::string ExpandLinkPlaceholders(const std::string& url) {
  const Settings& s = TheSettings();
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
  const Settings& s = TheSettings();
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

}  // namespace book

// Commands of modules not built yet are left out (book_internal.h).
void Book::ListMenu() {
  const PageRecord& page = ThePage();
  const BookState& book_state = CurrentBook();
  const MessageState& messages = Messages();
  const Settings& s = TheSettings();
  if (!book_state.blnShowContents || !messages.strErrorMsg.empty() ||
      !book::CheckPageOpen("ListMenu")) {
    return;
  }
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
  if (editing && NullToStr(page.ID) != book_state.strDefaultID && HasRight("delete") &&
      page.intPageChildren == 0) {
    WriteCommand("delete", "MenuDelete");
  }
  if (IsBuilt(Module::kFiles) && HasRight("upload")) {
    book::WriteMsgLink("URLUploadFiles", "MenuUploadFiles",
                       "?table=" + s.TableName + "&id=" + NullToStr(page.ID));
  }
  if (editing && HasRight("property")) WriteCommand("edit&edit=property", "MenuPageProperty");
  if (IsBuilt(Module::kAssignments) && HasRight("assignment") && page.intPageType >= 7 &&
      page.intPageType <= 11) {
    WriteCommand("listassignment", "MenuListAssignment");
  }
  if (HasRight("author")) {
    book::WriteMsgLink("URLBookManagement", "MenuBookManagement",
                       "?id=" + std::to_string(page.lBookID));
  }
}

void Book::GoTop(const std::string& strTitle) {
  if (!book::RequestNamesPage() || book::NavigationBlocked("GoTop")) return;
  const Settings& s = TheSettings();
  const PageRecord& page = ThePage();
  const std::string first_page = "?id=-" + std::to_string(page.lBookID);
  if (!s.ParentFrameFile.empty()) {
    ResponseWrite("<a href=\"" + s.ParentFrameFile + first_page + book::ParentFrameTarget() +
                  strTitle + "</a>");
  } else {
    ResponseWrite("<a href=\"" + s.ThisURL + first_page + "\">" + strTitle + "</a>");
  }
}

void Book::GoUp(const std::string& strTitle) {
  if (!book::RequestNamesPage() || book::NavigationBlocked("GoUp")) return;
  const BookState& book_state = CurrentBook();
  const PageRecord& page = ThePage();
  if (book_state.lngOpenParentID < 1 || page.lngPageParentID <= 0) return;
  int64_t target = book_state.lngOpenParentID;
  if (blnNoSubPage) target = book::ParentOf(page.lngPageParentID).value_or(target);
  book::WritePlainPageLink(target, strTitle);
}

// Written also while an error is pending: after a failed action the link is
// the way back to the page as first opened. Nothing without an open page.
void Book::GoRefresh(const std::string& strTitle) {
  const BookState& book_state = CurrentBook();
  const PageRecord& page = ThePage();
  std::optional<int64_t> target = book_state.lngOpenID;
  if (book::RequestValue("qvAction") == "add") target = WholeNumberOf(page.ID);
  if (!target || *target <= 0) return;
  book::WritePlainPageLink(*target, strTitle);
}

void Book::WalkSiblings() {
  const PageRecord& current_page = ThePage();
  if (book::NavigationBlocked("Navigation")) return;
  if (!book::HasRight("read")) {
    ReportError("ErrorAuthNoRead", true);
    return;
  }
  const std::string current = NullToStr(current_page.ID);
  int32_t total = 0, prev = 0, next = 0;
  int state = -1;
  for (const book::ListedPage& page :
       book::ReadChildren(current_page.lngPageParentID, !IsReaderOnly())) {
    if (!book::CountsAsSibling(page)) continue;
    const int32_t id = static_cast<int32_t>(ToInteger(page.id));
    ++total;
    if (NullToStr(page.id) == current) {
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
  if (!Messages().strErrorMsg.empty()) return;
  if (lngNextID == -1) WalkSiblings();
  if (lngNextID > 0) {
    ResponseWrite("<a href=\"" + TheSettings().ThisURL + "?id=" + std::to_string(lngNextID) +
                  "&qvAction=show\">" + strTitle + "</a>");
  }
}

void Book::GoPrevious(const std::string& strTitle) {
  if (!Messages().strErrorMsg.empty()) return;
  if (lngNextID == -1) WalkSiblings();
  if (lngPrevID > 0 && std::to_string(lngPrevID) != NullToStr(ThePage().ID)) {
    ResponseWrite("<a href=\"" + TheSettings().ThisURL + "?id=" + std::to_string(lngPrevID) +
                  "&qvAction=show\">" + strTitle + "</a>");
  }
}

void Book::PageTitle(int16_t language) {
  const Settings& s = TheSettings();
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
  const Settings& s = TheSettings();
  const PageRecord& page = ThePage();
  if (page.lngPageParentID <= 0) return;
  RequireTableName(s.TableName);
  const std::string field(CheckIdentifier("dbTitle_" + s.FirstLanguage));
  std::shared_ptr<Connection> conn = OpenOwnConnection();
  Recordset rs;
  rs.Open("SELECT " + field + " FROM " + s.TableName +
              " Where id=" + SqlInteger(Variant(page.lngPageParentID)),
          conn);
  if (!rs.EOF_()) ResponseWrite(book::TitleText(rs.Value(field)));
  rs.Close();
  conn->Close();
}

void Book::ClosePage(bool strFoot) {
  const TableAccess& tables = Tables();
  const Settings& s = TheSettings();
  const MessageState& messages = Messages();
  if (strFoot) {
    ResponseWrite("<br>" + GetMsg("msgPageFoot", 1) + "<br>");
    if (!s.SecondLanguage.empty()) ResponseWrite("<br>" + GetMsg("msgPageFoot", 2) + "<br>");
  }
  if (tables.objAspProc) tables.objAspProc->dbClose();
  book::WriteGlossaryScript();
  if (book::IsDownloadForm()) ResponseWrite("<qvTomeErr=\"" + messages.strErrorMsg + "\">");
}

}  // namespace qv
