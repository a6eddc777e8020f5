// The course list (the books of one book table the caller may use) and the
// registry title, description and remark of the current book.
#include <string>

#include "book/book.h"
#include "book/book_internal.h"
#include "book/book_state.h"
#include "core/convert.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/read_cache.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {
namespace book {
namespace {

constexpr int kHeadingRow = 255;

std::string RegistryFields() {
  const Settings& s = TheSettings();
  std::string fields =
      "ID, dbOrder, dbIndent, dbGroup, dbBookURL, dbOwnerID, dbAuthorUserID, dbAuthorGroupID, "
      "dbEditorUserID, dbEditorGroupID, dbReaderUserID, dbReaderGroupID, " +
      std::string(CheckIdentifier("dbTitle_" + s.FirstLanguage)) + ", " +
      std::string(CheckIdentifier("dbFinished_" + s.FirstLanguage));
  if (!s.SecondLanguage.empty()) {
    fields += ", " + std::string(CheckIdentifier("dbFinished_" + s.SecondLanguage));
  }
  return fields;
}

// The caller owns the book or is in its author or editor lists, or, unless
// editOnly, in its reader lists. Empty ids and empty lists never match.
bool MayUse(const Recordset& row, bool editOnly) {
  const std::string owner = NullToStr(row.Value("dbOwnerID"));
  if (!owner.empty() && owner == CurrentUserID()) return true;
  if (CallerIsListed(row.Value("dbAuthorUserID"), row.Value("dbAuthorGroupID"))) return true;
  if (CallerIsListed(row.Value("dbEditorUserID"), row.Value("dbEditorGroupID"))) return true;
  return !editOnly && CallerIsListed(row.Value("dbReaderUserID"), row.Value("dbReaderGroupID"));
}

bool IsFinished(const Recordset& row, const std::string& language) {
  const Variant& flag = row.Value("dbFinished_" + language);
  return !flag.IsNull() && ToBoolean(flag);
}

// The link to a book: its own address when it has one, else its first page.
void WriteBookLink(const Recordset& row, const std::string& title) {
  const Settings& s = TheSettings();
  const std::string address = NullToStr(row.Value("dbBookURL"));
  if (!Trim(address).empty()) {
    ResponseWrite("<a href=\"" + ExpandLinkPlaceholders(address) + "\">" + title + "</a> ");
    return;
  }
  const std::string first_page = "?id=-" + NullToStr(row.Value("ID")) + s.TargetFileParam;
  if (!s.ParentFrameFile.empty()) {
    ResponseWrite("<a href=\"" + s.ParentFrameFile + first_page + ParentFrameTarget());
  } else {
    const std::string& file = s.TargetFile.empty() ? s.ThisURL : s.TargetFile;
    ResponseWrite("<a href=\"" + file + first_page + "\">");
  }
  ResponseWrite(title + "</a> ");
}

void WriteCourse(const Recordset& row, const std::string& strImgName) {
  const Settings& s = TheSettings();
  if (!strImgName.empty()) {
    ResponseWrite("<img src=\"" + s.vImageDir + strImgName +
                  "\" vspace=\"2\" hspace=\"2\" border=\"0\">");
  }
  if (!IsFinished(row, s.FirstLanguage)) {
    WriteImage("mark_unfinished1.gif", GetMsg("msgPageNotFinished", 1));
  }
  if (!s.SecondLanguage.empty() && !IsFinished(row, s.SecondLanguage)) {
    WriteImage("mark_unfinished2.gif", GetMsg("msgPageNotFinished", 2));
  }
  const std::string title = NullToStr(row.Value("dbTitle_" + s.FirstLanguage));
  WriteBookLink(row, Trim(title).empty() ? "[Unknown]" : title);
}

}  // namespace
}  // namespace book

void Book::ListCourses(const std::string& TableName, bool IsEditOnly,
                       const std::string& strImgName) {
  Settings& s = TheSettings();
  s.TableName = ToLower(TableName);
  std::string sql = "Select " + book::RegistryFields() +
                    " From qvAuthBook where dbTableName=" + SqlText(s.TableName);
  if (!IsEditOnly) sql += " and " + std::string(CheckIdentifier("dbFinished_" + s.FirstLanguage));
  Recordset rows;
  rows.Open(sql + " order by dbOrder,id", book::PageConnection());
  if (rows.EOF_()) return;
  int counted = 0;
  for (; !rows.EOF_(); rows.MoveNext()) {
    if (!book::MayUse(rows, IsEditOnly)) continue;
    ResponseWrite("<br>");
    const Variant& indent = rows.Value("dbIndent");
    book::WriteIndent(indent.IsNull() ? 0 : static_cast<int>(ToInteger(indent)));
    const Variant& group = rows.Value("dbGroup");
    if (!group.IsNull() && ToInteger(group) == book::kHeadingRow) {
      ResponseWrite(NullToStr(rows.Value("dbTitle_" + s.FirstLanguage)));
      continue;
    }
    ++counted;
    book::WriteCourse(rows, strImgName);
  }
  if (counted == 0) {
    ResponseWrite(GetMsg(
        IsEditOnly ? "msgNoCourseAreAvailableForEdit" : "msgNoCourseAreAvailableForRead", 1));
  }
}

int32_t Book::FirstBookID(const std::string& strTableName) const {
  const std::string table = ToLower(strTableName);
  if (!IsPlainIdentifier(table)) return 0;
  const std::shared_ptr<const QueryResult> rows = CachedRows(
      "Select ID From qvAuthBook where dbTableName=" + SqlText(table) + " and (dbGroup<>" +
          std::to_string(book::kHeadingRow) + " or dbGroup=null) order by dbOrder,id",
      {"qvAuthBook"});
  return rows->rows.empty() ? 0 : static_cast<int32_t>(ToInteger(rows->rows[0][0]));
}

void Book::BookTitle() { ResponseWrite(NullToStr(CurrentBook().varBookTitle)); }
void Book::BookDescription() { ResponseWrite(NullToStr(CurrentBook().varBookDescription)); }
void Book::BookRemark() { ResponseWrite(NullToStr(CurrentBook().varBookRemark)); }

}  // namespace qv
