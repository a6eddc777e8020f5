// The writes of page editing: save and add, cut and paste, renumbering,
// delete.
//
// Every write checks the caller's right itself and writes nothing when
// refused. A save writes only the fields the caller's forms show (as the
// posted "qvFLD_List" names them) and the fields the server computes: the
// date, the user, the expiry from the posted days and, for a new page, its
// place, book, group, owner and type, never the posted hidden fields. Tree
// changes (an add with its parent's mark and blank children, a paste with
// the old parent's mark and the renumbering, a delete with its parent's
// mark and its log row) commit as one RequestTransaction. The tree fields
// (dbPID, dbOrder, dbCID) are written without a new Stamp: moving a page
// does not change what its edit form shows.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "book/book.h"
#include "book/book_internal.h"
#include "book/book_state.h"
#include "book/page_record.h"
#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "core/variant.h"
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

constexpr int kOrderBottom = 9999;
constexpr int kOrderBelow = 1000;
constexpr int kReplyType = 3;
// The escape character of the duplicate-title LIKE pattern.
constexpr char kLikeEscape = '\\';

const std::string& Table() { return TheSettings().TableName; }

std::string PageIdText() { return SqlInteger(ThePage().ID); }

bool ListHas(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& n) { return EqualsNoCase(n, name); });
}

void AddOnce(std::vector<std::string>& names, const std::string& name) {
  if (!ListHas(names, name)) names.push_back(name);
}

// The caller owns the current page; an anonymous visitor owns nothing.
bool CallerOwnsPage() {
  const std::string& owner = ThePage().strPageOwnerID;
  const std::string user = CurrentUserID();
  return !owner.empty() && user != "anonymous" && owner == user;
}

bool IsDiscussion(int type) { return type == 2 || type == 3; }

// The discussion command of this add value is one ShowPage shows this
// reader under the current page: a logged-in reader of a discussion page.
bool ReplyOffered(const std::string& add) {
  const PageRecord& page = ThePage();
  const Settings& s = TheSettings();
  if (!HasRight("read") || !IsDiscussion(page.intPageType)) return false;
  if (CurrentUserID() == "anonymous") return false;
  if (add == "bottom") return true;
  return add == "below" && page.intPageLevel < s.PageLevelMin + s.ReplyLevel;
}

// An ordinary add: the "add" right or the one right of its place, where
// the menu offers that place.
bool OrdinaryAddAllowed(const std::string& add) {
  const PageRecord& page = ThePage();
  const bool all = HasRight("add");
  if (add == "bottom") return page.lngPageParentID != 0 && (all || HasRight("append"));
  if (add == "before") return page.lngPageParentID != 0 && (all || HasRight("insert"));
  if (add == "below") {
    return page.intPageLevel < TheSettings().PageLevelMax && (all || HasRight("create"));
  }
  return all;  // an unknown place is refused by the save
}

bool IsReplyRequest() { return RequestValue("reply") == "y"; }

// Where a new page goes: its parent, order and level.
struct Placement {
  int32_t parent = 0;
  int order = 0;
  int level = 0;
};

std::optional<Placement> PlacementOf(const std::string& add) {
  const PageRecord& page = ThePage();
  if (add == "before") {
    return Placement{page.lngPageParentID, page.intPageOrder - 1, page.intPageLevel};
  }
  if (add == "bottom") return Placement{page.lngPageParentID, kOrderBottom, page.intPageLevel};
  if (add == "below") {
    return Placement{static_cast<int32_t>(ToInteger(page.ID)), kOrderBelow, page.intPageLevel + 1};
  }
  return std::nullopt;
}

// The forms this caller may be shown for the request's action; for an edit
// all three variants unless only the author right of a discussion comment
// admitted him.
std::vector<FormVariant> CallerForms(bool adding, bool comment_only) {
  const bool reply = IsReplyRequest();
  if (adding) return {{"add", false, reply}};
  if (comment_only) return {{"edit", false, true}};
  return {{"edit", false, false}, {"edit", true, false}, {"edit", false, true}};
}

bool AnyListNames(const std::vector<FormVariant>& forms, const std::string& item) {
  for (const FormVariant& form : forms) {
    for (const std::string& name : SplitList(FieldListOf(form))) {
      if (EqualsNoCase(name, item)) return true;
    }
  }
  return false;
}

// The fields of the posted "qvFLD_List" that the forms show, each once.
std::vector<std::string> PostedFormColumns(const std::vector<FormVariant>& forms) {
  std::vector<std::string> allowed;
  for (const FormVariant& form : forms) {
    for (const std::string& column : EditFormColumns(form)) AddOnce(allowed, column);
  }
  std::vector<std::string> columns;
  for (const std::string& name : SplitList(PostedValue("qvFLD_List"))) {
    for (const std::string& column : allowed) {
      if (EqualsNoCase(column, name)) AddOnce(columns, column);
    }
  }
  return columns;
}

// The expiry from the posted days: "0" clears it, a whole number of days
// sets it that many days from now. False (and "ErrorInvalidValue") for
// anything else.
bool AddExpiry(FieldArray& fields) {
  const std::string days = Trim(PostedValue("dbExpiredDate"));
  if (days.empty()) return true;
  if (days == "0") {
    fields.Add("dbExpiredDate", " ");
    return true;
  }
  const std::optional<int64_t> count = WholeNumberOf(Variant(days));
  if (!count || *count < -100000 || *count > 100000) {
    ReportError("ErrorInvalidValue", true);
    return false;
  }
  fields.Add("dbExpiredDate", Date{Now().serial + static_cast<double>(*count)});
  return true;
}

// A posted book must be a registered book of this table.
bool PostedBookIsValid() {
  const std::optional<int64_t> id = WholeNumberOf(Variant(Trim(PostedValue("dbBookID"))));
  if (!id || *id < std::numeric_limits<int32_t>::min() ||
      *id > std::numeric_limits<int32_t>::max()) {
    return false;
  }
  const Variant found = SharedAspProc().dbGetTable(
      "qvAuthBook", "ID",
      "where ID=" + SqlInteger(Variant(*id)) + " and dbTableName=" + SqlText(Table()));
  return found.IsArray();
}

// The owner of a new page: the caller for a reply or in a book of no
// (or the placeholder) owner, else the book's owner.
std::string NewPageOwner(bool reply) {
  const std::string& book_owner = CurrentBook().strBookOwnerID;
  if (reply || book_owner.empty() || book_owner == "administrator") return CurrentUserID();
  return book_owner;
}

// The title up to its fifth blank, at most 29 characters, with the LIKE
// metacharacters and the escape character escaped.
std::string TitlePattern(const std::string& title) {
  size_t end = 0;
  int blanks = 0, chars = 0;
  for (; end < title.size(); ++end) {
    const bool starts_char = (static_cast<unsigned char>(title[end]) & 0xC0) != 0x80;
    if (!starts_char) continue;
    if (chars == 29 || (title[end] == ' ' && ++blanks == 5)) break;
    ++chars;
  }
  std::string pattern;
  for (char c : title.substr(0, end)) {
    if (c == '%' || c == '_' || c == kLikeEscape) pattern += kLikeEscape;
    pattern += c;
  }
  return pattern + "%";
}

// The duplicate dialogue of the library: when records with a similar
// title exist, strPendingMsg lists them with a link that confirms the new
// title, and the page is not saved. Returns whether any was found.
bool OfferDuplicates(const std::string& title) {
  const Settings& s = TheSettings();
  BookState& book_state = CurrentBook();
  const std::string field =
      std::string(CheckIdentifier(LanguageField("dbTitle_", s.FirstLanguage)));
  Recordset rs;
  rs.Open("SELECT * FROM " + std::string(CheckIdentifier(Table())) + " where " + field + " like " +
              SqlText(TitlePattern(title)) + " ESCAPE " + SqlText(std::string(1, kLikeEscape)),
          OpenOwnConnection());
  if (rs.EOF_()) return false;
  std::string msg =
      "<p>" + GetMsg("msgDuplicateTitleFound", 1) + "<p>" + "<p>" +
      GetMsg("msgAddDuplicateTitle", 1) + "<br>" + "<a href=\"" + HtmlEncode(s.ThisURLFull) +
      "&qvAction=" + HtmlEncode(RequestValue("qvAction")) +
      "&add=" + HtmlEncode(RequestValue("add")) + "&qvNewTitle=" + UrlEncode(title) + "\">" +
      HtmlEncode(title) + "</a> " + "</p>" + GetMsg("msgListOfDuplicatePages", 1) + "<br>";
  const std::string suffix = s.FirstLanguage;
  for (; !rs.EOF_(); rs.MoveNext()) {
    msg += "<p>" + FieldText(rs, "dbAuthor_" + suffix) + " (" + FieldText(rs, "dbYear") +
           "): <a href=\"" + s.ThisURL + "?id=" + NullToStr(rs.Value("ID")) + "\">" +
           FieldText(rs, field) + "</a> " + FieldText(rs, "dbSource_" + suffix) + "</p>";
  }
  rs.Close();
  book_state.strPendingMsg = msg;
  book_state.strNewTitle.clear();
  return true;
}

// Another page of this book (any page, when adding) has the title.
bool TitleTaken(const std::string& title, bool adding) {
  const std::string field(CheckIdentifier(LanguageField("dbTitle_", TheSettings().FirstLanguage)));
  const Variant found =
      SharedAspProc().dbGetTable(Table(), "ID",
                                 "where dbBookID=" + SqlInteger(Variant(ThePage().lBookID)) +
                                     " and " + field + "=" + SqlText(title));
  if (!found.IsArray()) return false;
  const Array& rows = *found.AsArray();
  for (size_t i = 0; i < rows.Size(2); ++i) {
    if (adding || NullToStr(rows.at(0, i)) != NullToStr(ThePage().ID)) return true;
  }
  return false;
}

// The title checks of the book: empty titles and titles already used.
bool TitleAccepted(const std::string& title, bool adding) {
  const Settings& s = TheSettings();
  if (s.NoEmptyTitle && Trim(title).empty()) {
    ReportError("ErrorEmptyTitle", true);
    return false;
  }
  if (s.NoDuplicateTitle && TitleTaken(title, adding)) {
    ReportError("ErrorDuplicateTitle", true);
    return false;
  }
  return true;
}

// Sets dbCID of page id to mark, without a new Stamp.
void SetChildMark(int32_t id, int mark) {
  Recordset rs;
  rs.Open("SELECT * FROM " + std::string(CheckIdentifier(Table())) +
              " Where ID=" + SqlInteger(Variant(id)),
          OpenOwnConnection(), adOpenKeyset, adLockBatchOptimistic);
  if (rs.EOF_()) return;
  rs.SetValue("dbCID", mark);
  rs.UpdateBatch();
}

// Numbers the children of parent 1, 3, 5, ... in their order (dbOrder,
// then id). Glossary and library entries keep their numbers.
void RenumberChildren(int32_t parent) {
  if (Table() == "qvglossary" || Table() == "qvlibrary") return;
  Recordset rs;
  rs.Open("SELECT * FROM " + std::string(CheckIdentifier(Table())) +
              " Where dbPID=" + SqlInteger(Variant(parent)) + " order by dbOrder,id",
          OpenOwnConnection(), adOpenKeyset, adLockBatchOptimistic);
  int order = 1;
  for (; !rs.EOF_(); rs.MoveNext(), order += 2) {
    const Variant& current = rs.Value("dbOrder");
    if (current.IsNull() || ToInteger(current) != order) rs.SetValue("dbOrder", order);
  }
  rs.UpdateBatch();
}

// The page has child rows, whatever its dbCID says.
bool HasChildRows(int32_t id) {
  return SharedAspProc()
      .dbGetTable(Table(), "ID", "where dbPID=" + SqlInteger(Variant(id)))
      .IsArray();
}

// Keeps the posted values of the form's fields in objRS (nothing is
// written), so the form shown again holds what the caller typed.
void KeepPostedValues(const std::vector<std::string>& columns) {
  const std::shared_ptr<Recordset>& rs = Tables().objRS;
  if (!rs || !rs->IsOpen() || rs->EOF_() || rs->BOF()) return;
  for (const std::string& column : columns) {
    if (rs->FieldIndex(column) >= 0) rs->SetValue(column, PostedValue(column));
  }
}

// Clipboard session values (each name followed by AuthSiteID).
std::string Clipboard(const char* name) {
  const Variant value = TheSession().Value(SessionKey(name));
  return value.IsArray() || value.IsObject() ? std::string() : NullToStr(value);
}

void ClearClipboard() {
  TheSession().SetValue(SessionKey("Cut_PasteID"), "");
  TheSession().SetValue(SessionKey("Cut_PasteTable"), "");
}

// Renumbering after an add or a paste is for those who may change the
// tree, and for the owner of the page (a reader's new reply).
bool MayRearrange() {
  for (const char* right : {"add", "append", "insert", "create", "move"}) {
    if (HasRight(right)) return true;
  }
  return CallerOwnsPage();
}

// The save of an edited page; on a stamp conflict the posted values stay
// in objRS for the form shown again.
void SaveEdit(const std::vector<std::string>& columns, FieldArray& fields) {
  for (const std::string& column : columns) fields.Add(column, "");
  std::string& errors = Messages().strErrorMsg;
  const size_t reported = errors.size();
  const int32_t result =
      SharedAspProc().dbUpdate(Table(), "where id=" + PageIdText(), fields.ToArray(), false, false);
  if (result == -1) {
    ReportError("ErrorNoPage", true);
    return;
  }
  if (errors.find("ErrorHasBeenChanged", reported) != std::string::npos) {
    KeepPostedValues(columns);
    CurrentBook().blnShowFormAgain = true;
    return;
  }
  SharedAspProc().dbLog(8);
}

// The save of a new page: it, its parent's mark and the blank pages below a
// new section in one transaction; then the browser goes to the new page,
// whose siblings the next request renumbers.
void SaveNew(const std::vector<std::string>& columns, FieldArray& fields, const std::string& add,
             const Placement& place, bool reply) {
  const Settings& s = TheSettings();
  PageRecord& page = ThePage();
  fields.Add("dbPID", place.parent);
  fields.Add("dbOrder", place.order);
  fields.Add("dbPageLevel", place.level);
  fields.Add("dbBookID", page.lBookID);
  fields.Add("dbGroup", page.intPageGroup);
  fields.Add("dbOwnerID", NewPageOwner(reply));
  if (reply) fields.Add("dbType", add == "below" ? kReplyType : page.intPageType);
  // A new page above PageLevelMin is a section, with blank pages below it.
  const bool ordinary_type = page.intPageType == 0 || page.intPageType == 1;
  const bool section = !reply && ordinary_type && place.level < s.PageLevelMin;
  if (section) fields.Add("dbCID", 1);
  for (const std::string& column : columns) {
    if (!fields.Has(column)) fields.Add(column, "");
  }
  int32_t new_id = 0;
  {
    RequestTransaction transaction;
    if (add == "below") SetChildMark(place.parent, 1);
    new_id = SharedAspProc().dbAppend(Table(), fields.ToArray(), false);
    page.ID = new_id;
    SharedAspProc().dbLog(7);
    if (section) CreateFirstChild(place.level + 1, new_id);
    transaction.Commit();
  }
  TheResponse().Redirect(s.ThisURL + "?id=" + std::to_string(new_id) + "&qvAction=rearrange" +
                         s.TargetFileParam);
}

}  // namespace

void DoEditPage() {
  const bool comment = IsReplyRequest() && HasRight("author");
  if (!HasRight("update") && !CallerOwnsPage() && !comment) {
    ReportError("ErrorAuthNoUpdate", true);
    return;
  }
  if (!PostedValue("submit").empty()) {
    SavePage();
    if (!CurrentBook().blnShowFormAgain && Messages().strErrorMsg.empty()) LoadPage(false);
    return;
  }
  CurrentBook().blnShowContents = false;
  EditRecordForm();
}

void DoAddPage() {
  const std::string add = RequestValue("add");
  if (!(IsReplyRequest() && ReplyOffered(add)) && !OrdinaryAddAllowed(add)) {
    ReportError("ErrorAuthNoAdd", true);
    return;
  }
  BookState& book_state = CurrentBook();
  if (book_state.strNewTitle.empty() && !PostedValue("Submit").empty()) {
    SavePage();
    return;
  }
  const Settings& s = TheSettings();
  book_state.blnShowContents = false;
  const std::shared_ptr<Recordset>& rs = Tables().objRS;
  const bool has_row = rs && rs->IsOpen() && !rs->EOF_() && !rs->BOF();
  book_state.CurrentPageTitle =
      has_row ? FieldText(*rs, LanguageField("dbTitle_", s.FirstLanguage)) : "";
  book_state.CurrentPageTitle2 = has_row && !s.SecondLanguage.empty()
                                     ? FieldText(*rs, LanguageField("dbTitle_", s.SecondLanguage))
                                     : "";
  // The controls of a new page start empty: they read the closed set.
  SharedAspProc().dbClose();
  EditRecordForm();
  LoadPage(false);
}

void SavePage() {
  const Settings& s = TheSettings();
  BookState& book_state = CurrentBook();
  book_state.strPendingMsg.clear();
  const bool adding = RequestValue("qvAction") == "add";
  const bool reply = IsReplyRequest();
  const std::string add = RequestValue("add");
  std::optional<Placement> place;
  if (adding) {
    place = PlacementOf(add);
    if (!place) {
      ReportError("ErrorInvalidValue", true);
      return;
    }
  }
  const std::string title_field = LanguageField("dbTitle_", s.FirstLanguage);
  const std::string title = PostedValue(title_field);
  if (adding && s.CheckDuplicateTitle && PostedValue("confirmed") == "n") {
    if (Trim(title).empty()) {
      ReportError("ErrorEmptyTitle", true);
      return;
    }
    if (OfferDuplicates(title)) return;
    book_state.strNewTitle = title;
  }
  const bool comment_only =
      !adding && !HasRight("update") && !CallerOwnsPage();  // admitted as a commenting author
  const std::vector<FormVariant> forms = CallerForms(adding, comment_only);
  const std::vector<std::string> columns = PostedFormColumns(forms);
  if (ListHas(columns, title_field) && !TitleAccepted(title, adding)) return;
  if (!adding && ListHas(columns, "dbBookID") && !PostedBookIsValid()) {
    ReportError("ErrorInvalidValue", true);
    return;
  }
  FieldArray fields;
  fields.Add("dbDate", Now());
  fields.Add("dbUserID", CurrentUserID());
  if (AnyListNames(forms, "dbexpireddate") && !AddExpiry(fields)) return;
  // A posted value its column cannot take (a hidden field changed by hand)
  // stops the save before anything is written; the writer says which.
  try {
    if (adding) {
      SaveNew(columns, fields, add, *place, reply);
    } else {
      SaveEdit(columns, fields);
    }
  } catch (const TypeMismatch&) {
    ReportError("ErrorInvalidValue", true);
  }
}

void CreateFirstChild(int level, int32_t parentID) {
  const Settings& s = TheSettings();
  if (level > s.PageLevelMin) return;
  const PageRecord& page = ThePage();
  const bool section = level < s.PageLevelMin;
  const std::string title = section ? "msgBlankSectionTitle" : "msgBlankPageTitle";
  FieldArray fields;
  fields.Add("dbPID", parentID);
  fields.Add("dbBookID", page.lBookID);
  fields.Add("dbTitle_e", GetMsg(title + "_e", 0));
  fields.Add("dbTitle_n", GetMsg(title + "_n", 0));
  fields.Add("dbCID", section ? 1 : 0);
  fields.Add("dbOrder", 1);
  fields.Add("dbGroup", page.intPageGroup);
  fields.Add("dbOwnerID", NewPageOwner(false));
  fields.Add("dbPageLevel", level);
  fields.Add("dbUserID", CurrentUserID());
  fields.Add("dbDate", Now());
  const int32_t id = SharedAspProc().dbAppend(Table(), fields.ToArray(), false);
  if (section) CreateFirstChild(level + 1, id);
}

void CutPage() {
  if (!HasRight("move")) {
    ReportError("ErrorAuthNoCut", true);
    return;
  }
  if (RequestValue("cut") != "current") return;
  const PageRecord& page = ThePage();
  const std::shared_ptr<Recordset>& rs = Tables().objRS;
  const bool has_row = rs && rs->IsOpen() && !rs->EOF_() && !rs->BOF();
  Session& session = TheSession();
  session.SetValue(SessionKey("Cut_PasteID"), NullToStr(page.ID));
  session.SetValue(SessionKey("Cut_PasteTable"), Table());
  session.SetValue(SessionKey("Cut_PasteBID"), page.lBookID);
  session.SetValue(SessionKey("Cut_PastePLevel"), page.intPageLevel);
  session.SetValue(
      SessionKey("Cut_PasteTitle"),
      has_row ? FieldText(*rs, LanguageField("dbTitle_", TheSettings().FirstLanguage)) : "");
  SharedAspProc().dbLog(10);
}

bool CanPaste() {
  const PageRecord& page = ThePage();
  const std::optional<int64_t> id = WholeNumberOf(Variant(Clipboard("Cut_PasteID")));
  return id && Clipboard("Cut_PasteTable") == Table() &&
         Clipboard("Cut_PasteID") != NullToStr(page.ID) &&
         Clipboard("Cut_PasteBID") == std::to_string(page.lBookID) &&
         Clipboard("Cut_PastePLevel") == std::to_string(page.intPageLevel);
}

void PastePage() {
  const std::string paste = RequestValue("paste");
  if (HasRight("move") && paste == "cancel") {
    ClearClipboard();
    return;
  }
  if (!HasRight("move") || !CanPaste()) {
    ReportError("ErrorAuthNoPaste", true);
    return;
  }
  if (paste != "before" && paste != "bottom") return;
  const PageRecord& page = ThePage();
  const int order = paste == "before" ? page.intPageOrder - 1 : kOrderBottom;
  const int32_t parent = page.lngPageParentID;
  const std::string clip_id = SqlInteger(Clipboard("Cut_PasteID"));
  {
    RequestTransaction transaction;
    Recordset clip;
    clip.Open("SELECT * FROM " + std::string(CheckIdentifier(Table())) + " Where id=" + clip_id,
              transaction.Handle(), adOpenKeyset, adLockBatchOptimistic);
    if (clip.EOF_()) {
      ReportError("ErrorCouldNotPaste", true);
      return;
    }
    // The clipboard is the session's: the row itself must still be of this
    // book and level.
    if (ToInteger(clip.Value("dbBookID")) != page.lBookID ||
        ToInteger(clip.Value("dbPageLevel")) != page.intPageLevel) {
      ReportError("ErrorAuthNoPaste", true);
      return;
    }
    const int32_t old_parent = static_cast<int32_t>(ToInteger(clip.Value("dbPID")));
    clip.SetValue("dbOrder", order);
    clip.SetValue("dbPID", parent);
    clip.UpdateBatch();
    ClearChildMark(old_parent, static_cast<int32_t>(ToInteger(Variant(clip_id))));
    SharedAspProc().dbLog(11);
    RenumberChildren(parent);
    transaction.Commit();
  }
  ClearClipboard();
  SharedAspProc().dbClose();
  LoadPage(false);
}

void ClearChildMark(int32_t parentID, int32_t excludeID) {
  if (parentID <= 0) return;
  const Variant others =
      SharedAspProc().dbGetTable(Table(), "ID",
                                 "Where dbPID=" + SqlInteger(Variant(parentID)) + " and ID<>" +
                                     SqlInteger(Variant(excludeID)));
  if (!others.IsArray()) SetChildMark(parentID, 0);
}

void RearrangePages() {
  if (!MayRearrange()) return;
  SharedAspProc().dbClose();
  if (!LoadPage(false)) return;
  RenumberChildren(ThePage().lngPageParentID);
  SharedAspProc().dbClose();
  LoadPage(false);
}

void DeletePage() {
  BookState& book_state = CurrentBook();
  if (!Messages().strErrorMsg.empty() || !CheckPageOpen("DeletePage")) return;
  if (!HasRight("delete") && !HasRight("author")) {
    ReportError("ErrorAuthNoDelete", true);
    return;
  }
  const PageRecord& page = ThePage();
  const int32_t id = static_cast<int32_t>(ToInteger(page.ID));
  if (page.intPageChildren != 0 || HasChildRows(id)) {
    ReportError("ErrorCanNotDelete", true);
    return;
  }
  if (page.lngPageParentID < 0) {
    const Variant tops = SharedAspProc().dbGetTable(
        Table(), "ID", "Where dbPID=" + SqlInteger(Variant(page.lngPageParentID)));
    if (!tops.IsArray() || tops.AsArray()->Size(2) < 2) {
      ResponseWrite("<br>" + GetMsg("msgRootPageCannotCutDelete", 1) + "<br>");
      return;
    }
  }
  {
    RequestTransaction transaction;
    SharedAspProc().dbDeleteRecord(Table(), "Where id=" + SqlInteger(Variant(id)));
    ClearChildMark(page.lngPageParentID, id);
    SharedAspProc().dbLog(12);
    transaction.Commit();
  }
  ReportError("msgPageDeleted", false);
  book_state.blnPageDeleted = true;
}

}  // namespace book

namespace {

// A write action and whether it runs only for a posted form ("submit").
struct WriteAction {
  const char* action;
  void (*run)();
  bool posted_only;
};

// The save of a new page runs unless a confirmed title (qvNewTitle) asks
// for its form again.
void AddWhenNotConfirming() {
  if (CurrentBook().strNewTitle.empty()) book::DoAddPage();
}

// The glossary links of the page are written anew: the page is read again
// for the display.
void UpdateGlossaryAndReload() {
  book::UpdateGlossaryLinks();
  SharedAspProc().dbClose();
  book::LoadPage(false);
}

void SaveMarking() { book::SaveSubmission(false); }

constexpr WriteAction kWriteActions[] = {
    {"rearrange", book::RearrangePages, false},
    {"edit", book::DoEditPage, true},
    {"add", AddWhenNotConfirming, true},
    {"cut", book::CutPage, false},
    {"paste", book::PastePage, false},
    {"updateglossary", UpdateGlossaryAndReload, false},
    {"submitcheckassignment", SaveMarking, false},
    {"submitnotes", book::SaveNotes, false},
};

}  // namespace

void Book::UpdatePage() {
  if (!Messages().strErrorMsg.empty() || !book::CheckPageOpen("UpdatePage")) return;
  CurrentBook().strNewTitle = book::QueryValue("qvNewTitle");
  const std::string action = book::RequestValue("qvAction");
  if (!book::ActionAvailable(action)) return;
  const bool submitted = !book::PostedValue("submit").empty();
  for (const WriteAction& entry : kWriteActions) {
    if (action != entry.action) continue;
    if (!entry.posted_only || submitted) entry.run();
    return;
  }
}

}  // namespace qv
