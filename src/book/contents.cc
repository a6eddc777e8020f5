// Contents lists: the flat list of one level and the folding contents tree.
//
// Both read only the rows of one parent at a time ("Where dbPID=... order by
// dbOrder,id", served by the (dbPID, dbOrder, ID) index) and only the fields
// a list line shows, so the cost of a list does not grow with the book. The
// rows of a parent come from the read cache (valid until the book table
// changes); readers' lists leave out unfinished and expired pages there.
#include <algorithm>
#include <optional>
#include <set>
#include <string>

#include "book/book.h"
#include "book/book_internal.h"
#include "core/convert.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/read_cache.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/current_page.h"
#include "session/messages.h"

namespace qv {
namespace book {
namespace {

constexpr int kHeading = 255;
constexpr int kBulletin = 4;
constexpr const char* kTableStart =
    "<table border=\"0\" width=\"100%\" cellspacing=\"0\" cellpadding=\"0\">";

int64_t NumberOr0(const Variant& value) {
  return value.IsNull() || value.IsEmpty() ? 0 : ToInteger(value);
}

bool FlagOf(const Variant& value) { return !value.IsNull() && ToBoolean(value); }

bool IsCurrentPage(const Variant& id) { return NullToStr(id) == NullToStr(ThePage().ID); }

std::string FieldList() {
  const Settings& s = TheSettings();
  std::string fields =
      "ID, dbPID, dbCID, dbType, dbPageLevel, dbBookID, dbIndent, dbThumbNail, dbURLLink, "
      "dbExpiredDate, dbOwnerID, " +
      std::string(CheckIdentifier("dbTitle_" + s.FirstLanguage)) + ", " +
      std::string(CheckIdentifier("dbFinished_" + s.FirstLanguage));
  if (!s.SecondLanguage.empty()) {
    fields += ", " + std::string(CheckIdentifier("dbFinished_" + s.SecondLanguage));
  }
  return fields;
}

// Where each field of a contents row is among the columns of FieldList(),
// found once per result instead of by name in every row.
struct ListedColumns {
  explicit ListedColumns(const QueryResult& result) : result_(result) {
    const Settings& s = TheSettings();
    id = Of("ID");
    children = Of("dbCID");
    type = Of("dbType");
    level = Of("dbPageLevel");
    book_id = Of("dbBookID");
    indent = Of("dbIndent");
    thumbnail = Of("dbThumbNail");
    url_link = Of("dbURLLink");
    title = Of("dbTitle_" + s.FirstLanguage);
    finished_first = Of("dbFinished_" + s.FirstLanguage);
    if (!s.SecondLanguage.empty()) finished_second = Of("dbFinished_" + s.SecondLanguage);
    expired = Of("dbExpiredDate");
    owner = Of("dbOwnerID");
  }

  size_t Of(const std::string& name) const {
    for (size_t i = 0; i < result_.fields.size(); ++i) {
      if (EqualsNoCase(result_.fields[i].name, name)) return i;
    }
    throw DatabaseError("Item cannot be found in the collection: field \"" + name + "\"");
  }

  const QueryResult& result_;
  size_t id, children, type, level, book_id, indent, thumbnail, url_link, title, finished_first,
      expired, owner;
  std::optional<size_t> finished_second;
};

ListedPage ReadListedPage(const std::vector<Variant>& row, const ListedColumns& c) {
  ListedPage page;
  page.id = row.at(c.id);
  page.children = static_cast<int32_t>(NumberOr0(row.at(c.children)));
  page.type = static_cast<int>(NumberOr0(row.at(c.type)));
  page.level = static_cast<int>(NumberOr0(row.at(c.level)));
  page.book_id = static_cast<int32_t>(NumberOr0(row.at(c.book_id)));
  page.indent = static_cast<int>(NumberOr0(row.at(c.indent)));
  page.thumbnail = static_cast<int>(NumberOr0(row.at(c.thumbnail)));
  page.url_link = row.at(c.url_link);
  page.title = row.at(c.title);
  page.finished_first = FlagOf(row.at(c.finished_first));
  if (c.finished_second) page.finished_second = FlagOf(row.at(*c.finished_second));
  page.expired = row.at(c.expired);
  page.owner = row.at(c.owner);
  return page;
}

// Readers see a page finished in the first language that has not expired
// (dbExpiredDate Null or later than now).
bool ShownToReaders(const ListedPage& page) {
  if (!page.finished_first) return false;
  return page.expired.IsNull() || page.expired.IsEmpty() ||
         ToDate(page.expired).serial > Now().serial;
}

// The thumbnail image of a page for the thumbnail modes.
std::string ThumbnailImage(const ListedPage& page) {
  const Settings& s = TheSettings();
  const PageRecord& current = ThePage();
  static const char* const kExtension[] = {nullptr, "gif", "jpg", "jpeg"};
  std::string image;
  if (page.thumbnail >= 1 && page.thumbnail <= 3) {
    image = s.vMediaDir + s.TableName + "/" + std::to_string(current.lBookID) + "/" +
            PagePrefix(page.id) + "ThumbNail." + kExtension[page.thumbnail];
  } else {
    image = s.vImageDir + "mark_thumbnail.gif";
  }
  return "<img src=\"" + image + "\" vspace=\"2\" hspace=\"2\" border=\"0\">";
}

bool HasExpired(const Variant& expired) {
  if (expired.IsNull() || expired.IsEmpty()) return false;
  return ToDate(expired).serial < Now().serial;
}

// Icons before a line: where the page stands in the tree and, for editors,
// whether it is unfinished or expired.
void WriteMarks(const ListedPage& page, bool isEdit, int mode) {
  const Settings& s = TheSettings();
  if (!s.ShowMark) return;
  const bool current = IsCurrentPage(page.id);
  if (mode == 1) {
    if (current) WriteImage("mark_current.gif", "");
    return;
  }
  if (page.type != kHeading) {
    const bool leaf = page.children == 0 || (page.type == kBulletin && NoEditRight());
    if (leaf) {
      WriteImage(current ? "mark_pageopened.gif" : "mark_page.gif", "");
    } else {
      WriteImage(current ? "mark_bookopened.gif" : "mark_book.gif", "");
    }
  }
  if (!isEdit) return;
  if (!page.finished_first) WriteImage("mark_unfinished1.gif", GetMsg("msgPageNotFinished", 1));
  if (!s.SecondLanguage.empty() && !page.finished_second) {
    WriteImage("mark_unfinished2.gif", GetMsg("msgPageNotFinished", 2));
  }
  if (HasExpired(page.expired)) WriteImage("mark_expired.gif", GetMsg("dbExpiredDate", 1));
}

// For editors, a link showing a section or heading page itself (a plain
// view of a section descends to its first child).
void WriteShowLink(const ListedPage& page, bool isEdit) {
  if (!isEdit || (page.type != kHeading && page.children <= 0)) return;
  ResponseWrite(" <a href=\"" + TheSettings().ThisURL + "?id=" + NullToStr(page.id) +
                "&qvAction=show\">" + GetMsg("msgEditCommand", 1) + "</a>");
}

void WritePageLink(const ListedPage& page, const std::string& text, bool isEdit, bool hideSelf) {
  std::string shown = text;
  if (isEdit && page.children != 0 && page.level != 0) {
    shown += " [" + std::to_string(page.level) + "]";
  }
  if (hideSelf && IsCurrentPage(page.id)) {
    ResponseWrite(Trim(shown).empty() ? "[Unknown]" : shown);
    return;
  }
  std::string params;
  if (IsDownloadForm()) {
    params = "&qvType=" + std::to_string(page.type) + "&qvTome=" + std::to_string(page.book_id) +
             "&qvLevel=" + std::to_string(page.level);
  }
  WriteLink(page.id, shown, page.children != 0, page.type, page.url_link, isEdit, page.level,
            params);
}

// One contents line in mode 0 (titles), 1 (thumbnails) or 2 (both, as a
// table row); other modes write nothing. showLink adds the editor's link
// to a section page itself.
void WriteLine(const ListedPage& page, int mode, int indent, bool isEdit, bool hideSelf,
               bool showLink) {
  const std::string title = NullToStr(page.title);
  switch (mode) {
    case 0:
      WriteIndent(indent);
      WriteMarks(page, isEdit, mode);
      WritePageLink(page, title, isEdit, hideSelf);
      if (showLink) WriteShowLink(page, isEdit);
      ResponseWrite("<br>");
      break;
    case 1:
      WriteIndent(indent);
      WritePageLink(page, ThumbnailImage(page), isEdit, hideSelf);
      WriteMarks(page, isEdit, mode);
      if (showLink) WriteShowLink(page, isEdit);
      ResponseWrite("<br>");
      break;
    case 2:
      ResponseWrite("<tr><td width=\"1%\">");
      WriteIndent(indent);
      WritePageLink(page, ThumbnailImage(page), isEdit, hideSelf);
      ResponseWrite("</td><td width=\"99%\">");
      WriteMarks(page, isEdit, mode);
      WritePageLink(page, title, isEdit, hideSelf);
      if (showLink) WriteShowLink(page, isEdit);
      ResponseWrite("</td></tr>");
      break;
    default:
      break;
  }
}

// Lists need a right beyond "readpage"; they also stop after an error or
// without an open page, except right after the current page was deleted.
bool MayList() {
  const MessageState& messages = Messages();
  const Settings& s = TheSettings();
  if (messages.strErrorMsg != "msgPageDeleted") {
    if (!messages.strErrorMsg.empty() || !CheckPageOpen("ListContentsLevel")) return false;
  }
  if (s.BookAuthorization.empty() || s.BookAuthorization == "readpage") {
    ReportError("ErrorAuthNoList", true);
    return false;
  }
  return true;
}

// One level of the folding tree below parent; the rows that lead to the
// current page are unfolded right after themselves. expanded keeps each
// page from being unfolded twice, so a row that names itself as its own
// parent cannot recurse without end.
void ListLevel(int64_t parent, int mode, int depth, bool isEdit, std::set<std::string>& expanded) {
  const PageRecord& current = ThePage();
  const std::vector<ListedPage> pages = ReadChildren(parent, isEdit);
  if (pages.empty()) return;
  if (mode == 2 && depth == 0) ResponseWrite(kTableStart);
  for (const ListedPage& page : pages) {
    WriteLine(page, mode, page.indent + depth, isEdit, true, false);
    const std::string id = NullToStr(page.id);
    const bool on_branch =
        id == NullToStr(current.ID) || id == std::to_string(current.lngPageParentID);
    if (page.children > 0 && on_branch && expanded.insert(id).second) {
      ListLevel(NumberOr0(page.id), mode, page.indent + depth + 1, isEdit, expanded);
    }
  }
  if (mode == 2 && depth == 0) ResponseWrite("</table>");
}

}  // namespace

std::vector<ListedPage> ReadChildren(int64_t parent, bool isEdit) {
  const Settings& s = TheSettings();
  RequireTableName(s.TableName);
  const std::shared_ptr<const QueryResult> rows =
      CachedRows("Select " + FieldList() + " From " + s.TableName +
                     " Where dbPID=" + SqlInteger(Variant(parent)) + " order by dbOrder,id",
                 {s.TableName});
  // Read from the cached rows in place: no record set copy of them.
  const ListedColumns columns(*rows);
  std::vector<ListedPage> pages;
  for (const std::vector<Variant>& row : rows->rows) {
    ListedPage page = ReadListedPage(row, columns);
    if (isEdit || ShownToReaders(page)) pages.push_back(std::move(page));
  }
  return pages;
}

std::optional<int64_t> ParentOf(int64_t id) {
  const std::string& table = TheSettings().TableName;
  RequireTableName(table);
  const std::shared_ptr<const QueryResult> rows =
      CachedRows("SELECT dbPID FROM " + table + " where id=" + SqlInteger(Variant(id)), {table});
  if (rows->rows.empty() || rows->rows[0].empty()) return std::nullopt;
  return WholeNumberOf(rows->rows[0][0]);
}

void WriteIndent(int count) {
  for (int i = 0; i < count; ++i) ResponseWrite(TheSettings().Indent);
}

void WriteImage(const std::string& name, const std::string& alt) {
  const std::string src = "<img src=\"" + TheSettings().vImageDir + name + "\"";
  if (alt.find("<img") != std::string::npos) {
    ResponseWrite(src + ">");
  } else {
    ResponseWrite(src + " alt=\"" + alt + "\">");
  }
}

}  // namespace book

void Book::ListContents(int16_t intShowThumbNail, int16_t intLevel, bool blnIsEdit,
                        bool blnHideSelfLink) {
  if (!book::MayList()) return;
  const PageRecord& current = ThePage();
  int64_t parent = current.lngPageParentID;
  if (intLevel == -1) {
    std::optional<int64_t> grandparent = book::ParentOf(current.lngPageParentID);
    if (!grandparent) return;
    parent = *grandparent;
  } else if (intLevel == 1) {
    parent = ToInteger(current.ID);
  }
  const std::vector<book::ListedPage> pages = book::ReadChildren(parent, blnIsEdit);
  if (pages.empty()) return;
  if (intShowThumbNail == 2) ResponseWrite(book::kTableStart);
  for (const book::ListedPage& page : pages) {
    book::WriteLine(page, intShowThumbNail, page.indent, blnIsEdit, blnHideSelfLink, true);
  }
  if (intShowThumbNail == 2) ResponseWrite("</table>");
}

void Book::ListContentsLevel(int16_t intShowThumbNail, int32_t intPageLevel, bool blnIsEdit) {
  if (!book::MayList()) return;
  const PageRecord& page = ThePage();
  int64_t parent = page.lngPageParentID;
  if (intPageLevel < 0) {
    parent = -static_cast<int64_t>(intPageLevel);
  } else if (page.intPageLevel > intPageLevel && page.lngPageParentID >= 0) {
    parent = book::ParentOf(page.lngPageParentID).value_or(page.lngPageParentID);
  }
  std::set<std::string> expanded;
  book::ListLevel(parent, intShowThumbNail, 0, blnIsEdit, expanded);
}

}  // namespace qv
