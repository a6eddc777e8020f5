// The library book: the catalogue record kept in a leaf page, its holdings
// in the table qvlibrary_, and the holdings form of the library staff.
//
// Holdings may be changed only by members of a group whose id begins with
// "lib_", and only through the posted form; members of "lib_manager"
// maintain anyone's holdings, the others only their own. A saved holding
// names existing users as holder and borrower.
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "book/book_internal.h"
#include "book/page_record.h"
#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/field_array.h"
#include "data/read_cache.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/current_page.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv::book {
namespace {

constexpr const char* kHoldingsTable = "qvlibrary_";
constexpr const char* kNotBorrowed = "_not_borrow_";

bool IsLibraryStaff() {
  for (const std::string& group : SplitList(CurrentMinorGroupIDs())) {
    if (group.starts_with("lib_")) return true;
  }
  return false;
}

bool IsLibraryManager() {
  for (const std::string& group : SplitList(CurrentMinorGroupIDs())) {
    if (group == "lib_manager") return true;
  }
  return false;
}

// A field of the current row that exists and is not Null.
std::optional<std::string> PresentField(const Recordset& record, const std::string& name) {
  if (record.FieldIndex(name) < 0) return std::nullopt;
  const Variant& value = record.Value(name);
  if (value.IsNull() || value.IsEmpty()) return std::nullopt;
  return NullToStr(value);
}

void WriteLabelled(const std::string& label, const std::string& value) {
  ResponseWrite("<br><b>" + label + ":</b> " + value);
}

void WriteRecordType(const Recordset& page) {
  const Settings& s = TheSettings();
  const Variant codes = CachedGetTable(
      "qvCodeDefList",
      "dbValue," + std::string(CheckIdentifier(LanguageField("dbName_", s.FirstLanguage))),
      "where dbType='dbBibType'");
  ResponseWrite("<br><b>" + GetMsg("dbtype", 1) + ":</b> ");
  if (!codes.IsArray()) return;
  const Array& rows = *codes.AsArray();
  const std::string type = FieldText(page, "dbtype");
  for (int64_t i = 0; i <= rows.UBound(2); ++i) {
    if (NullToStr(rows.at(0, i)) == type) {
      ResponseWrite(NullToStr(rows.at(1, i)));
      return;
    }
  }
}

void WriteCatalogueFields(const Recordset& page) {
  ShowLibraryField("dbISBN_ISSN", 0);
  for (const char* stem : {"dbauthor", "dbtitle", "dbkeyword", "dbsource"}) {
    ShowLibraryField(stem, 1);
    ShowLibraryField(stem, 2);
  }
  ShowLibraryField("dbPages", 0);
  ShowLibraryField("dbyear", 0);
  ShowLibraryField("dbAbstract", 1);
  ShowLibraryField("dbAbstract", 2);
  WriteRecordType(page);
  ShowLibraryField("dbLanguage", 0);
  ShowLibraryField("dbAffiliationAddress", 0);
  for (const char* stem : {"dbremark", "dbContent"}) {
    ShowLibraryField(stem, 1);
    ShowLibraryField(stem, 2);
  }
  ResponseWrite("<br>");
}

// One holding. Holders, borrowers, call numbers and notes are typed by the
// library staff and written encoded.
void WriteHolding(const Recordset& holding) {
  const std::string& language = TheSettings().FirstLanguage;
  ResponseWrite("<hr width=\"25%\" align=\"left\">");
  const std::string call_no = FieldText(holding, "dbCallNo");
  if (std::optional<std::string> owner = PresentField(holding, "dbOwnerID")) {
    WriteLabelled(GetMsg("dbOwnerID", 1), HtmlEncode(UserID2Name(*owner, language)) + " ");
    WriteMsgLink("URLLibOwnerInfor", "msgLibOwnerInfor",
                 "?bid=" + FieldText(holding, "dbBID") + "&callno=" + UrlEncode(call_no) +
                     "&userid=" + UrlEncode(*owner));
  }
  WriteLabelled(GetMsg("dbCallNo", 1), HtmlEncode(call_no));
  // A holding that names no borrower is not lent either.
  const std::string borrower = FieldText(holding, "dbBorrowerID");
  if (!borrower.empty() && borrower != kNotBorrowed) {
    WriteLabelled(GetMsg("dbBorrowerID", 1),
                  HtmlEncode(UserID2Name(borrower, language)) + " [" + HtmlEncode(borrower) + "]");
    if (std::optional<std::string> date = PresentField(holding, "dbBorrowDate")) {
      WriteLabelled(GetMsg("dbBorrowDate", 1), *date);
    }
  }
  WriteLabelled(GetMsg("dbNotes", 1), HtmlEncode(FieldText(holding, "dbNotes")));
}

// Writes the holdings of the current page; returns the caller's own call
// number among them ("" when the caller holds none).
std::string ShowHoldings() {
  const PageRecord& page = ThePage();
  const TableAccess& tables = Tables();
  const std::string user = CurrentUserID();
  std::string own_call_no;
  Recordset holdings;
  holdings.Open(
      std::string("SELECT * FROM ") + kHoldingsTable + " Where dbBID=" + SqlInteger(page.ID),
      tables.objConn);
  for (; !holdings.EOF_(); holdings.MoveNext()) {
    if (FieldText(holdings, "dbOwnerID") == user) own_call_no = FieldText(holdings, "dbCallNo");
    WriteHolding(holdings);
  }
  holdings.Close();
  return own_call_no;
}

void WriteFormLabel(const std::string& field) { ResponseWrite("<br>" + GetMsg(field, 1) + " "); }

// The choices (full name, user id) of the users a query selects, after the
// given leading choices; Null when there are none at all. Shown texts are
// HTML: the leading ones are system messages, the names are encoded.
Variant UserChoices(const std::string& where,
                    std::vector<std::pair<std::string, std::string>> first) {
  const std::string name_field(
      CheckIdentifier(LanguageField("dbFullName_", TheSettings().FirstLanguage)));
  const Variant users = SharedAspProc().dbGetTable("qvAuthUser", name_field + ",dbUserID", where);
  const size_t count = users.IsArray() ? users.AsArray()->Size(2) : 0;
  if (first.empty() && count == 0) return Null;
  auto choices = MakeArray2D(2, first.size() + count);
  for (size_t i = 0; i < first.size(); ++i) {
    choices->at(0, i) = first[i].first;
    choices->at(1, i) = first[i].second;
  }
  for (size_t i = 0; i < count; ++i) {
    choices->at(0, first.size() + i) = HtmlEncode(NullToStr(users.AsArray()->at(0, i)));
    choices->at(1, first.size() + i) = NullToStr(users.AsArray()->at(1, i));
  }
  return Variant(choices);
}

void WriteOwnerControls(AspProc& asp, const std::string& own_call_no) {
  if (IsLibraryManager()) {
    ResponseWrite(GetMsg("msgLibAll", 1));
    WriteFormLabel("dbOwnerID");
    const Variant owners = UserChoices("where dbMinorGroups like '%lib_owner%'", {});
    if (owners.IsArray()) asp.dbLinkDropDown("dbOwnerID", owners, 1);
    WriteFormLabel("dbCallNo");
    asp.dbLinkTextBox("dbCallNo");
  } else {
    ResponseWrite(GetMsg("msgLibYourSelf", 1));
    asp.dbHiddenText("dbOwnerID", CurrentUserID());
    WriteFormLabel("dbCallNo");
    asp.dbLinkTextBox("dbCallNo", 0, own_call_no);
  }
}

void WriteMaintenanceForm(const std::string& own_call_no) {
  const PageRecord& page = ThePage();
  const Settings& s = TheSettings();
  const std::string intro = GetMsg("msgLibMaintain", 1);
  if (!IsLibraryStaff() || intro.empty()) return;
  AspProc& asp = SharedAspProc();
  const std::string id = SqlInteger(page.ID);
  ResponseWrite(intro);
  ResponseWrite("<form method=\"POST\" action=\"" + s.ThisURL + "?id=" + id + "\">");
  asp.dbHiddenText("dbBID", id);
  WriteOwnerControls(asp, own_call_no);
  WriteFormLabel("dbBorrowerID");
  asp.dbLinkDropDown("dbBorrowerID", UserChoices("", {{GetMsg("msgNotBorrow", 1), kNotBorrowed}}),
                     1);
  WriteFormLabel("dbBorrowDate");
  asp.dbLinkTextBox("dbBorrowDate");
  WriteFormLabel("dbNotes");
  asp.dbLinkTextArea("dbNotes");
  ResponseWrite("<br><input type=\"checkbox\" name=\"delete\" value=\"ON\">" +
                GetMsg("msgDeleteBibOwner", 1));
  ResponseWrite("  <center><p><input type=\"submit\" value=\"" + GetMsg("ButtonSubmit", 1) +
                "\" name=\"BibOwner\">");
  ResponseWrite("  <input type=\"reset\" value=\"" + GetMsg("ButtonReset", 1) +
                "\" name=\"B2\"></p></center>");
  ResponseWrite("</form>");
}

// The holding a posted form names, or nullopt when a value is unusable.
struct PostedHolding {
  std::string bid;  // a whole number
  std::string owner;
  std::string call_no;
  std::string borrower;
};

// A call number as its column (text(50)) keeps it: the first 50
// characters, as a save cuts longer text. The holding is looked up by the
// value stored, so saving a longer one again finds it instead of adding
// another.
std::string StoredCallNo(const std::string& text) {
  constexpr int kChars = 50;
  size_t end = 0;
  int chars = 0;
  for (; end < text.size(); ++end) {
    const bool starts_char = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
    if (starts_char && chars++ == kChars) break;
  }
  return text.substr(0, end);
}

std::optional<PostedHolding> ReadPostedHolding() {
  PostedHolding posted;
  // The form is posted back to the record it belongs to.
  try {
    posted.bid = SqlInteger(PostedValue("dbBID"));
  } catch (const SqlValueError&) {
    return std::nullopt;
  }
  if (posted.bid != SqlInteger(ThePage().ID)) return std::nullopt;
  // Only the managers keep holdings for others.
  posted.owner = IsLibraryManager() ? PostedValue("dbOwnerID") : CurrentUserID();
  if (posted.owner.empty()) return std::nullopt;
  posted.call_no = StoredCallNo(PostedValue("dbCallNo"));
  posted.borrower = PostedValue("dbBorrowerID");
  const std::string date = Trim(PostedValue("dbBorrowDate"));
  if (!date.empty() && !ParseDate(date)) return std::nullopt;
  return posted;
}

// A user id of qvAuthUser, matched exactly (the database ignores case).
bool IsUserID(const std::string& id) {
  const Variant found =
      SharedAspProc().dbGetTable("qvAuthUser", "dbUserID", "where dbUserID=" + SqlText(id));
  if (!found.IsArray()) return false;
  const Array& rows = *found.AsArray();
  for (size_t i = 0; i < rows.Size(2); ++i) {
    if (NullToStr(rows.at(0, i)) == id) return true;
  }
  return false;
}

// The holder is a user; the borrower is a user, "not lent" or none (also
// shown as not lent).
bool NamesKnownUsers(const PostedHolding& posted) {
  if (!IsUserID(posted.owner)) return false;
  return posted.borrower.empty() || posted.borrower == kNotBorrowed || IsUserID(posted.borrower);
}

// The fields a holding is written with: the checked record, holder and
// borrower and the book here, the others as the form posts them (an empty
// value stores Null).
Variant HoldingFields(const PostedHolding& posted) {
  auto posted_or_null = [](const std::string& value) -> Variant {
    if (value.empty()) return Null;
    return value;
  };
  return FieldArray{{"dbBID", posted.bid},
                    {"dbOwnerID", posted.owner},
                    {"dbBookID", std::to_string(ThePage().lBookID)},
                    {"dbCallNo", posted_or_null(posted.call_no)},
                    {"dbBorrowerID", posted_or_null(posted.borrower)},
                    {"dbBorrowDate", posted_or_null(PostedValue("dbBorrowDate"))},
                    {"dbNotes", posted_or_null(PostedValue("dbNotes"))}}
      .ToArray();
}

}  // namespace

void ShowLibraryRecord() {
  const TableAccess& tables = Tables();
  const PageRecord& current = ThePage();
  if (current.intPageChildren != 0) return;  // a section of the catalogue
  if (!tables.objRS) throw HostError("Book: no page is open");
  WriteCatalogueFields(*tables.objRS);
  WriteMaintenanceForm(ShowHoldings());
}

void ShowLibraryField(const std::string& stem, int mode) {
  const Settings& s = TheSettings();
  const TableAccess& tables = Tables();
  if (!tables.objRS) return;
  const Recordset& page = *tables.objRS;
  auto show = [&](const std::string& field, const std::string& label_end, int language) {
    if (std::optional<std::string> value = PresentField(page, field)) {
      ResponseWrite("<br><b>" + GetMsg(stem, language) + label_end + ExpandPaths(*value));
    }
  };
  if (mode == 0) {
    show(stem, ":</b> ", 1);
  } else if (mode == 1) {
    show(stem + "_" + s.FirstLanguage, ":</b> ", 1);
  } else if (mode == 2) {
    if (!s.SecondLanguage.empty()) show(stem + "_" + s.SecondLanguage, ":</b> ", 2);
    if (!s.strOtherLanguage.empty()) show(stem + "_" + s.strOtherLanguage, "(2):</b> ", 1);
  }
}

void UpdateBibOwner() {
  if (TheSettings().TableName != "qvlibrary") return;
  if (!IsLibraryStaff()) {
    ReportError("ErrorAuthNoUpdate", true);
    return;
  }
  const std::optional<PostedHolding> posted = ReadPostedHolding();
  if (!posted) {
    ReportError("ErrorHoldingInvalid", true);
    return;
  }
  const bool deleting = !PostedValue("delete").empty();
  if (!deleting && !NamesKnownUsers(*posted)) {
    ReportError("ErrorHoldingNoUser", true);
    return;
  }
  std::string condition = "where dbBID=" + posted->bid + " and dbOwnerID=" + SqlText(posted->owner);
  condition += posted->call_no.empty() ? std::string(" and dbCallNo=null")
                                       : " and dbCallNo=" + SqlText(posted->call_no);
  if (deleting) {
    SharedAspProc().dbDeleteRecord(kHoldingsTable, condition);
  } else {
    SharedAspProc().dbUpdate(kHoldingsTable, condition, HoldingFields(*posted), true, false);
  }
}

}  // namespace qv::book
