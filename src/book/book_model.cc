// Opening a page and its book, and the caller's rights in the book.
#include <cmath>
#include <limits>
#include <optional>

#include "book/book.h"
#include "book/book_internal.h"
#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/shared_state.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {
namespace book {
namespace {

constexpr const char* kFullAuthorSet =
    "read,add,move,update,glossary,delete,upload,property,assignment,author";

AspProc& SharedAspProc() {
  auto& asp_proc = State().objAspProc;
  if (!asp_proc) throw HostError("Book: SysVar.Init has not been called");
  return *asp_proc;
}

// A page id as a 32-bit whole number; nullopt for anything else (text,
// fractions, out of range), so no such value ever reaches SQL.
std::optional<int32_t> PageIdOf(const Variant& id) {
  std::optional<int64_t> n = WholeNumberOf(id);
  if (!n || *n < std::numeric_limits<int32_t>::min() || *n > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(*n);
}

// A numeric field of the current row; Null (or a missing value) reads 0.
int64_t IntField(const Recordset& rs, const std::string& name) {
  const Variant& value = rs.Value(name);
  return value.IsNull() || value.IsEmpty() ? 0 : ToInteger(value);
}

int16_t ShortField(const Recordset& rs, const std::string& name) {
  return static_cast<int16_t>(IntField(rs, name));
}

void ReportNoPage(const Variant& id) {
  ReportError("ErrorNoPage", true);
  if (State().blnShowError) ResponseWrite(" [" + HtmlEncode(NullToStr(id)) + "]");
}

void CopyPageState(const Recordset& rs) {
  SharedState& s = State();
  s.ID = rs.Value("ID");
  s.lngPageParentID = static_cast<int32_t>(IntField(rs, "dbPID"));
  s.intPageChildren = ShortField(rs, "dbCID");
  s.intPageLevel = ShortField(rs, "dbPageLevel");
  s.lBookID = static_cast<int32_t>(IntField(rs, "dbBookID"));
  s.intPageOrder = ShortField(rs, "dbOrder");
  s.intPageType = ShortField(rs, "dbType");
  s.strPageOwnerID = NullToStr(rs.Value("dbOwnerID"));
  s.intPageGroup = ShortField(rs, "dbGroup");
}

std::string TextField(const Recordset& rs, const std::string& name) {
  return NullToStr(rs.Value(name));
}

void CopyBookRow(const Recordset& rs) {
  SharedState& s = State();
  s.strBookOwnerID = TextField(rs, "dbOwnerID");
  s.intPageGroup = ShortField(rs, "dbGroup");
  s.strBookCode = TextField(rs, "dbBookCode");
  s.PageLevelMax = ShortField(rs, "dbPageLevelMax");
  s.PageLevelMin = ShortField(rs, "dbPageLevelMin");
  s.varBookTitle = TextField(rs, "dbTitle_" + s.FirstLanguage);
  s.varBookDescription = TextField(rs, "dbDescription_" + s.FirstLanguage);
  s.varBookRemark = TextField(rs, "dbRemark_" + s.FirstLanguage);
  // The book's formats replace the page script's, also when they are "".
  const bool discussion = s.intPageType == 2 || s.intPageType == 3;
  s.FormatRead_e = TextField(rs, discussion ? "dbFormatReadDiscussion_e" : "dbFormatRead_e");
  s.FormatRead_n = TextField(rs, discussion ? "dbFormatReadDiscussion_n" : "dbFormatRead_n");
  s.FormatReadAll_e = TextField(rs, "dbFormatReadAll_e");
  s.FormatReadAll_n = TextField(rs, "dbFormatReadAll_n");
  s.FormatEdit = TextField(rs, "dbFormatEdit");
  s.FormatAuth = TextField(rs, "dbFormatAuth");
  s.GlossaryBook = TextField(rs, "dbGlossaryBooks");
}

// The page's own access level (dbGroup of the current page row) is within
// level. A Null level or a level that is not a number never is.
bool PageGroupWithin(const Variant& page_group, const Variant& level) {
  if (page_group.IsNull() || page_group.IsEmpty()) return false;
  if (!IsNumeric(level) || NullToStr(level).empty()) return false;
  return ToDouble(page_group) <= ToDouble(level);
}

// The rights of the first rule that holds, in the order owner or author,
// editor, reader, page level, anonymous level.
std::string RightsFor(const Recordset& book_row, const Variant& page_group) {
  const SharedState& s = State();
  const std::string user = CurrentUserID();
  if ((!s.strBookOwnerID.empty() && user == s.strBookOwnerID) ||
      CallerIsListed(book_row.Value("dbAuthorUserID"), book_row.Value("dbAuthorGroupID"))) {
    const Variant& auth_type = book_row.Value("dbAuthType");
    return auth_type.IsNull() ? kFullAuthorSet : "read,author," + ToStr(auth_type);
  }
  if (CallerIsListed(book_row.Value("dbEditorUserID"), book_row.Value("dbEditorGroupID"))) {
    return "read,editor," + TextField(book_row, "dbEditType");
  }
  if (CallerIsListed(book_row.Value("dbReaderUserID"), book_row.Value("dbReaderGroupID"))) {
    return "read";
  }
  if (PageGroupWithin(page_group, CurrentMajorGroupID())) return "readpage";
  if (PageGroupWithin(page_group, Variant(static_cast<int>(s.AnonymousAccessLevel)))) {
    return "readpage";
  }
  return "";
}

}  // namespace

bool LoadPage(bool blnExact) {
  SharedState& s = State();
  std::optional<int32_t> id = PageIdOf(s.ID);
  if (!id) {
    ReportNoPage(s.ID);
    return false;
  }
  // A negative id names a book: unless blnExact it reads that book's first
  // top page, and a miss is reported as a missing book either way.
  const bool names_book = *id < 0;
  const std::string condition =
      names_book && !blnExact ? " Where dbPID=" + SqlInteger(Variant(*id)) + " order by dbOrder,id"
                              : " Where id=" + SqlInteger(Variant(*id));
  SharedAspProc().dbOpen(s.TableName, "*", condition, true);
  const auto& rs = s.objRS;
  if (!rs || rs->EOF_()) {
    if (names_book) {
      ReportError("ErrorBookNotFound", true);
    } else {
      ReportNoPage(s.ID);
    }
    return false;
  }
  CopyPageState(*rs);
  return true;
}

void LoadBook() {
  SharedState& s = State();
  if (!s.strErrorMsg.empty() || !CheckPageOpen("OpenBook")) return;
  if (s.lBookID <= 0) {
    s.BookAuthorization = "read";
    return;
  }
  Recordset book_row;
  book_row.Open("Select * from qvAuthBook Where ID=" + SqlInteger(Variant(s.lBookID)),
                PageConnection());
  if (book_row.EOF_()) {
    ReportError("ErrorNoBook", true);
    return;
  }
  CopyBookRow(book_row);
  Variant page_group;
  if (s.objRS && !s.objRS->EOF_() && !s.objRS->BOF()) page_group = s.objRS->Value("dbGroup");
  s.BookAuthorization = RightsFor(book_row, page_group);
  book_row.Close();
}

bool CheckPageOpen(const std::string& strCaller) {
  SharedState& s = State();
  if (s.blnPageDeleted) return false;
  if (!s.TableName.empty() && !NullToStr(s.ID).empty()) return true;
  ReportError("ErrorPageNotOpen", true);
  if (s.blnShowError) ResponseWrite(strCaller);
  return false;
}

bool HasRight(const std::string& strRight) {
  return State().BookAuthorization.find(strRight) != std::string::npos;
}

bool ListHasMember(const Variant& list, const std::string& id) {
  if (id.empty()) return false;
  const std::string text = NullToStr(list);
  if (Trim(text).empty()) return false;
  return (", " + text + ",").find(", " + id + ",") != std::string::npos;
}

bool CallerIsListed(const Variant& users, const Variant& groups) {
  if (ListHasMember(users, CurrentUserID())) return true;
  if (ListHasMember(groups, CurrentMajorGroupID())) return true;
  // Each minor group is matched as a whole member, so group "3" is not
  // taken for a member of a list holding "30".
  for (const std::string& group : SplitList(CurrentMinorGroupIDs())) {
    if (ListHasMember(groups, group)) return true;
  }
  return false;
}

}  // namespace book

void Book::OpenPage(const std::string& strTableName, const std::string& DefaultID) {
  SharedState& s = State();
  blnPageShown = false;
  s.TableName = ToLower(strTableName);
  s.strDefaultID = DefaultID;
  const std::string requested = book::RequestValue("id");
  s.ID = requested.empty() ? DefaultID : requested;
  if (s.TableName == "qvlibrary") s.CheckDuplicateTitle = true;
  if (s.TableName == "qvglossary") {
    s.NoDuplicateTitle = true;
    s.NoEmptyTitle = true;
  }
  if (!book::LoadPage(false)) return;
  s.lngOpenParentID = s.lngPageParentID;
  s.lngOpenID = static_cast<int32_t>(ToInteger(s.ID));
}

void Book::ReOpenPage(const std::string& strID) {
  State().ID = strID;
  book::LoadPage(true);
}

void Book::ReOpenSubPage() {
  const std::string action = book::RequestValue("qvAction");
  const std::string requested = book::RequestValue("id");
  std::optional<int32_t> requested_id = book::PageIdOf(requested);
  if (requested.empty() || !requested_id || *requested_id < 1 || !action.empty()) return;
  SharedState& s = State();
  std::optional<int32_t> current = book::PageIdOf(s.ID);
  if (s.intPageChildren < 1 || !current) {
    blnNoSubPage = true;
    return;
  }
  Variant children = book::SharedAspProc().dbGetTable(
      s.TableName, "ID", "Where dbPID=" + SqlInteger(Variant(*current)) + " order by dbOrder,id");
  if (!children.IsArray()) {
    blnNoSubPage = true;
    return;
  }
  ReOpenPage(ToStr(children.AsArray()->at(0, 0)));
}

void Book::OpenBook() {
  book::LoadBook();
  if (CurrentMajorGroupID() == "99") State().BookAuthorization += "read,admin";
}

}  // namespace qv
