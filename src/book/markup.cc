// Page markup: media placeholders, directory paths and page jumps in page
// text, and the field tags of display formats.
#include <string>

#include "book/book_internal.h"
#include "book/page_record.h"
#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/read_cache.h"
#include "data/settings.h"
#include "session/current_page.h"
#include "session/identity.h"

namespace qv::book {
namespace {

constexpr std::string_view kMediaTagStart = "<qvTm.Media(";
constexpr std::string_view kMediaTagEnd = ")>";
// Bound the work on a text whose media rows themselves hold media tags: rows
// that name each other would otherwise double the text on every pass.
constexpr int kMaxMediaPasses = 32;
constexpr size_t kMaxExpandedBytes = size_t{4} << 20;

// The id written inside a media tag, blanks removed: what lies between the
// first "(" and the closing ")>".
std::string MediaTagId(const std::string& tag) {
  std::string compact;
  for (char c : tag) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') compact += c;
  }
  const size_t open = compact.find('(');
  if (open == std::string::npos || compact.size() < open + 1 + kMediaTagEnd.size()) return "";
  return compact.substr(open + 1, compact.size() - open - 1 - kMediaTagEnd.size());
}

// The content of media row id in the given language. The id comes from page
// text: anything but a whole number, and an id without a row, give "".
std::string MediaContent(const std::string& id, const std::string& language) {
  std::string sql_id;
  try {
    sql_id = SqlInteger(id);
  } catch (const SqlValueError&) {
    return "";
  }
  const std::string field(CheckIdentifier(LanguageField("dbContent_", language)));
  // Media rows change rarely: read through the cache.
  const Variant rows = CachedGetTable("qvmedia", field, "Where id=" + sql_id);
  if (!rows.IsArray()) return "";
  return NullToStr(rows.AsArray()->at(0, 0));
}

}  // namespace

std::string ExpandPage(std::string text, const std::string& language) {
  if (!language.empty()) text = ExpandMedia(std::move(text), language);
  // The download form keeps the markup, answers included: of an
  // assignment page only for its markers.
  if (!IsDownloadForm() || (IsAssignmentType(ThePage().intPageType) && !HasRight("assignment"))) {
    text = ExpandAssignment(std::move(text), RequestValue("qvAction") == "checkassignment");
  }
  return ExpandPaths(std::move(text));
}

std::string ExpandMedia(std::string text, const std::string& language) {
  std::string result = std::move(text);
  for (int pass = 1; pass <= kMaxMediaPasses; ++pass) {
    const size_t start = result.find(kMediaTagStart);
    if (start == std::string::npos) break;
    // A tag closed only after the start of the next one is unclosed too;
    // an unclosed tag ends the expansion.
    const size_t end = result.find(kMediaTagEnd, start + 1);
    const size_t next = result.find(kMediaTagStart, start + 1);
    if (end == std::string::npos || next < end) break;
    const std::string tag = result.substr(start, end - start + kMediaTagEnd.size());
    // A row that names itself cannot be expanded: its own tag is dropped.
    const std::string content = ReplaceAll(MediaContent(MediaTagId(tag), language), tag, "");
    result = ReplaceAll(result, tag, content);
    if (result.size() > kMaxExpandedBytes) break;
  }
  return result;
}

std::string ExpandPaths(std::string text) {
  const Settings& s = TheSettings();
  ReplaceAllIn(text, "qvTmMPath/", s.vMediaDir);
  ReplaceAllIn(text, "qvTmGoto", s.ThisURL + "?id");
  ReplaceAllIn(text, "qvTmIPath/", s.vImageDir);
  return text;
}

std::string FillFormat(const std::string& format, const Recordset& record,
                       const std::string& language) {
  std::string result = format;
  auto fill = [&result](std::string_view tag, auto&& value) {
    if (result.find(tag) != std::string::npos) ReplaceAllIn(result, tag, value());
  };
  fill("<qvTm.dbTitle>", [&] { return FieldText(record, LanguageField("dbTitle_", language)); });
  // Media inside a format's fields are always taken in the first suffix.
  fill("<qvTm.dbContent>",
       [&] { return ExpandMedia(FieldText(record, LanguageField("dbContent_", language)), "e"); });
  fill("<qvTm.dbRemark>",
       [&] { return ExpandMedia(FieldText(record, LanguageField("dbRemark_", language)), "e"); });
  fill("<qvTm.dbDate>", [&] { return FieldText(record, "dbDate"); });
  // The page owner's name, also for the children of a bulletin.
  fill("<qvTm.dbFullName>",
       [&] { return HtmlEncode(UserID2Name(ThePage().strPageOwnerID, language)); });
  return result;
}

}  // namespace qv::book
