// Opening a page and its book, and the caller's rights in the book.
#include <cmath>
#include <limits>
#include <optional>

#include "book/book.h"
#include "book/book_internal.h"
#include "book/book_state.h"
#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/read_cache.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/current_page.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {
namespace book {
namespace {

constexpr const char* kFullAuthorSet =
    "read,add,move,update,glossary,delete,upload,property,assignment,author";

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
  if (Messages().blnShowError) ResponseWrite(" [" + HtmlEncode(NullToStr(id)) + "]");
}

PageRecord PageRecordOf(const Recordset& rs) {
  PageRecord page;
  page.ID = rs.Value("ID");
  page.lngPageParentID = static_cast<int32_t>(IntField(rs, "dbPID"));
  page.intPageChildren = ShortField(rs, "dbCID");
  page.intPageLevel = ShortField(rs, "dbPageLevel");
  page.lBookID = static_cast<int32_t>(IntField(rs, "dbBookID"));
  page.intPageOrder = ShortField(rs, "dbOrder");
  page.intPageType = ShortField(rs, "dbType");
  page.strPageOwnerID = NullToStr(rs.Value("dbOwnerID"));
  page.intPageGroup = ShortField(rs, "dbGroup");
  return page;
}

std::string TextField(const Recordset& rs, const std::string& name) {
  return NullToStr(rs.Value(name));
}

void CopyBookRow(const Recordset& rs) {
  Settings& settings = TheSettings();
  BookState& book_state = CurrentBook();
  PageRecord& page = ThePage();
  book_state.strBookOwnerID = TextField(rs, "dbOwnerID");
  page.intPageGroup = ShortField(rs, "dbGroup");
  book_state.strBookCode = TextField(rs, "dbBookCode");
  settings.PageLevelMax = ShortField(rs, "dbPageLevelMax");
  settings.PageLevelMin = ShortField(rs, "dbPageLevelMin");
  book_state.varBookTitle = TextField(rs, "dbTitle_" + settings.FirstLanguage);
  book_state.varBookDescription = TextField(rs, "dbDescription_" + settings.FirstLanguage);
  book_state.varBookRemark = TextField(rs, "dbRemark_" + settings.FirstLanguage);
  // The book's formats replace the page script's, also when they are "".
  const bool discussion = page.intPageType == 2 || page.intPageType == 3;
  settings.FormatRead_e = TextField(rs, discussion ? "dbFormatReadDiscussion_e" : "dbFormatRead_e");
  settings.FormatRead_n = TextField(rs, discussion ? "dbFormatReadDiscussion_n" : "dbFormatRead_n");
  settings.FormatReadAll_e = TextField(rs, "dbFormatReadAll_e");
  settings.FormatReadAll_n = TextField(rs, "dbFormatReadAll_n");
  settings.FormatEdit = TextField(rs, "dbFormatEdit");
  settings.FormatAuth = TextField(rs, "dbFormatAuth");
  settings.GlossaryBook = TextField(rs, "dbGlossaryBooks");
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
  const BookState& book_state = CurrentBook();
  const IdentitySettings& identity = Identity();
  const std::string user = CurrentUserID();
  if ((!book_state.strBookOwnerID.empty() && user == book_state.strBookOwnerID) ||
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
  if (PageGroupWithin(page_group, Variant(static_cast<int>(identity.AnonymousAccessLevel)))) {
    return "readpage";
  }
  return "";
}

}  // namespace

bool LoadPage(bool blnExact) {
  const Variant& requested = ThePage().ID;
  std::optional<int32_t> id = PageIdOf(requested);
  if (!id) {
    ReportNoPage(requested);
    return false;
  }
  // A negative id names a book: unless blnExact it reads that book's first
  // top page, and a miss is reported as a missing book either way.
  const bool names_book = *id < 0;
  const std::string condition =
      names_book && !blnExact ? " Where dbPID=" + SqlInteger(Variant(*id)) + " order by dbOrder,id"
                              : " Where id=" + SqlInteger(Variant(*id));
  SharedAspProc().dbOpen(TheSettings().TableName, "*", condition, true);
  const auto& rs = Tables().objRS;
  if (!rs || rs->EOF_()) {
    if (names_book) {
      ReportError("ErrorBookNotFound", true);
    } else {
      ReportNoPage(requested);
    }
    return false;
  }
  ThePage() = PageRecordOf(*rs);
  return true;
}

void LoadBook() {
  const PageRecord& page = ThePage();
  Settings& s = TheSettings();
  if (!Messages().strErrorMsg.empty() || !CheckPageOpen("OpenBook")) return;
  if (page.lBookID <= 0) {
    s.BookAuthorization = "read";
    return;
  }
  // The registry row comes from the read cache (valid until qvAuthBook
  // changes).
  Recordset book_row;
  book_row.Attach(*CachedRows(
      "Select * from qvAuthBook Where ID=" + SqlInteger(Variant(page.lBookID)), {"qvAuthBook"}));
  if (book_row.EOF_()) {
    ReportError("ErrorNoBook", true);
    return;
  }
  CopyBookRow(book_row);
  Variant page_group;
  const std::shared_ptr<Recordset>& page_row = Tables().objRS;
  if (page_row && !page_row->EOF_() && !page_row->BOF()) page_group = page_row->Value("dbGroup");
  s.BookAuthorization = RightsFor(book_row, page_group);
  book_row.Close();
}

bool CheckPageOpen(const std::string& strCaller) {
  if (CurrentBook().blnPageDeleted) return false;
  if (!TheSettings().TableName.empty() && !NullToStr(ThePage().ID).empty()) return true;
  ReportError("ErrorPageNotOpen", true);
  if (Messages().blnShowError) ResponseWrite(strCaller);
  return false;
}

bool HasRight(const std::string& strRight) {
  return TheSettings().BookAuthorization.find(strRight) != std::string::npos;
}

bool IsSystemAdmin() { return CurrentMajorGroupID() == "99" || HasRight("admin"); }

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
  Settings& s = TheSettings();
  BookState& book_state = CurrentBook();
  PageRecord& page = ThePage();
  blnPageShown = false;
  s.TableName = ToLower(strTableName);
  book_state.strDefaultID = DefaultID;
  const std::string requested = book::RequestValue("id");
  page.ID = requested.empty() ? DefaultID : requested;
  if (s.TableName == "qvlibrary") s.CheckDuplicateTitle = true;
  if (s.TableName == "qvglossary") {
    s.NoDuplicateTitle = true;
    s.NoEmptyTitle = true;
  }
  if (!book::LoadPage(false)) return;
  book_state.lngOpenParentID = page.lngPageParentID;
  book_state.lngOpenID = static_cast<int32_t>(ToInteger(page.ID));
}

void Book::ReOpenPage(const std::string& strID) {
  ThePage().ID = strID;
  book::LoadPage(true);
}

void Book::ReOpenSubPage() {
  const std::string action = book::RequestValue("qvAction");
  const std::string requested = book::RequestValue("id");
  std::optional<int32_t> requested_id = book::PageIdOf(requested);
  if (requested.empty() || !requested_id || *requested_id < 1 || !action.empty()) return;
  const PageRecord& page = ThePage();
  std::optional<int32_t> current = book::PageIdOf(page.ID);
  if (page.intPageChildren < 1 || !current) {
    blnNoSubPage = true;
    return;
  }
  const std::vector<book::ListedPage> children = book::ReadChildren(*current, true);
  if (children.empty()) {
    blnNoSubPage = true;
    return;
  }
  ReOpenPage(ToStr(children.front().id));
}

void Book::OpenBook() {
  book::LoadBook();
  if (CurrentMajorGroupID() == "99") TheSettings().BookAuthorization += "read,admin";
}

}  // namespace qv
