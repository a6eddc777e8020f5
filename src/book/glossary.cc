// The glossary: one entry for the glossary window, and the links of a
// page's terms to their entries (the listglossary form and its write).
#include <string>
#include <vector>

#include "book/book.h"
#include "book/book_internal.h"
#include "book/book_state.h"
#include "book/glossary_text.h"
#include "book/page_record.h"
#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/field_array.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/current_page.h"
#include "session/messages.h"

namespace qv {
namespace book {
namespace {

constexpr const char* kGlossaryTable = "qvglossary";
constexpr std::string_view kGotoMark = "qvTmGoto=";

// A term as the window shows it: the title, its keyword appended.
std::string EntryTerm(const Recordset& row, const std::string& language) {
  return FieldText(row, LanguageField("dbTitle_", language)) +
         FieldText(row, LanguageField("dbKeyword_", language));
}

// The glossary groups of GlossaryBook that are whole numbers.
std::vector<int64_t> GlossaryGroups() {
  std::vector<int64_t> groups;
  for (const std::string& item : FieldListItems(TheSettings().GlossaryBook)) {
    if (const auto id = WholeNumberOf(Variant(item))) groups.push_back(*id);
  }
  return groups;
}

// " and (dbBookID=1 or dbBookID=3) " for the groups of GlossaryBook; ""
// for all groups.
std::string GroupCondition() {
  const std::vector<int64_t> groups = GlossaryGroups();
  if (groups.empty()) return "";
  std::string condition = " and (";
  for (size_t i = 0; i < groups.size(); ++i) {
    condition += (i ? " or dbBookID=" : "dbBookID=") + SqlInteger(Variant(groups[i]));
  }
  return condition + ") ";
}

// Rows (ID, title, type) of a dbGetTable result as terms; an id or mode
// that is no whole number skips the row.
std::vector<GlossaryEntry> TermsOf(const Variant& rows) {
  std::vector<GlossaryEntry> terms;
  if (!rows.IsArray()) return terms;
  const Array& array = *rows.AsArray();
  for (size_t i = 0; i < array.Size(2); ++i) {
    const auto id = WholeNumberOf(array.at(0, i));
    if (!id) continue;
    terms.push_back({*id, NullToStr(array.at(1, i)),
                     static_cast<int>(WholeNumberOf(array.at(2, i)).value_or(0))});
  }
  return terms;
}

std::string FirstTitleField() { return LanguageField("dbTitle_", TheSettings().FirstLanguage); }

bool Contains(const std::vector<int64_t>& ids, int64_t id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// The checked entries of a posted link form: "G<term>" = "<id>_<mode>".
// Only entries of the glossary (within GlossaryBook) count, with the term
// of their own row and a whole-number mode, in the order posted.
std::vector<GlossaryEntry> PostedSelection() {
  struct Posted {
    int64_t id;
    int mode;
  };
  std::vector<Posted> posted;
  for (const std::string& name : TheRequest().FormKeys()) {
    if (!name.starts_with("G") || posted.size() >= kMaxGlossaryLinks) continue;
    const std::string value = TheRequest().Form(name);
    const size_t cut = value.find('_');
    if (cut == std::string::npos) continue;
    const auto id = WholeNumberOf(Variant(value.substr(0, cut)));
    const auto mode = WholeNumberOf(Variant(value.substr(cut + 1)));
    if (!id || !mode || *mode < INT32_MIN || *mode > INT32_MAX) continue;
    posted.push_back({*id, static_cast<int>(*mode)});
  }
  std::vector<GlossaryEntry> selected;
  if (posted.empty()) return selected;
  std::string ids;
  for (const Posted& item : posted) ids += (ids.empty() ? "" : ",") + SqlInteger(Variant(item.id));
  const std::vector<GlossaryEntry> rows =
      TermsOf(SharedAspProc().dbGetTable(kGlossaryTable, "ID, " + FirstTitleField() + ", dbType",
                                         "where ID in (" + ids + ")" + GroupCondition()));
  for (const Posted& item : posted) {
    for (const GlossaryEntry& row : rows) {
      if (row.id == item.id && !row.term.empty()) selected.push_back({row.id, row.term, item.mode});
    }
  }
  return selected;
}

}  // namespace

std::string ReadPageContent() {
  const Settings& s = TheSettings();
  const Variant rows = SharedAspProc().dbGetTable(std::string(CheckIdentifier(s.TableName)),
                                                  LanguageField("dbContent_", s.FirstLanguage),
                                                  "Where id=" + SqlInteger(ThePage().ID));
  if (!rows.IsArray()) return "";
  return ReplaceAll(NullToStr(rows.AsArray()->at(0, 0)), "\r\n", " ");
}

void ListGlossaryForm() {
  const Settings& s = TheSettings();
  BookState& book_state = CurrentBook();
  if (!HasRight("glossary")) {
    ReportError("ErrorAuthNoUpdate", true);
    book_state.blnShowBody = false;
    return;
  }
  std::string content = ReadPageContent();
  book_state.aryGlossaryLinkIDs = ListGlossaryLinkIDs(content);
  content = StripGlossaryLinks(std::move(content));
  const std::string title = FirstTitleField();
  const std::vector<GlossaryEntry> matches = FindGlossaryTerms(
      content, TermsOf(SharedAspProc().dbGetTable(kGlossaryTable, "ID, " + title + ", dbType",
                                                  "where " + title + "<>null" + GroupCondition() +
                                                      " order by len(" + title + ") desc")));
  if (matches.empty()) {
    ReportError("ErrorNoGlossaryToUpdate", true);
    book_state.blnShowBody = false;
    return;
  }
  ResponseWrite("<form method=\"POST\" action=\"" + HtmlEncode(s.ThisURL) +
                "?id=" + HtmlEncode(ToStr(ThePage().ID)) + "\">");
  ResponseWrite("<input type=\"hidden\" name=\"qvAction\" value=\"updateglossary\">");
  for (const GlossaryEntry& match : matches) {
    const std::string term = HtmlEncode(match.term);
    const char* checked = Contains(book_state.aryGlossaryLinkIDs, match.id) ? " checked" : "";
    ResponseWrite("<input type=\"checkbox\" name=\"G" + term + "\" ");
    ResponseWrite("value=\"" + std::to_string(match.id) + "_" + std::to_string(match.mode) + "\"" +
                  checked + ">" + term);
    ResponseWrite("<br>");
  }
  ResponseWrite("<p><center><input type=\"submit\" value=\"" + GetMsg("ButtonUpdateGlossary", 1) +
                "\" name=\"qvUpdateGlossary\">&nbsp;");
  ResponseWrite("<input type=\"reset\" value=\"" + GetMsg("ButtonReset", 1) +
                "\" name=\"B2\"></p>");
  ResponseWrite("</center></form>");
}

void UpdateGlossaryLinks() {
  const Settings& s = TheSettings();
  if (!HasRight("glossary")) {
    ReportError("ErrorAuthNoUpdate", true);
    return;
  }
  if (!IsPostRequest()) return;  // the checked boxes come only with the posted form
  const std::string content =
      LinkGlossaryTerms(StripGlossaryLinks(ReadPageContent()), PostedSelection());
  const FieldArray fields{{LanguageField("dbContent_", s.FirstLanguage),
                           content.empty() ? std::string(" ") : content}};  // " " writes empty
  AspProc& proc = SharedAspProc();
  proc.dbUpdate(std::string(CheckIdentifier(s.TableName)), "Where id=" + SqlInteger(ThePage().ID),
                fields.ToArray(), false, false);
  proc.dbLog(9);
}

}  // namespace book

void Book::OpenGlossary(const Variant& strID) {
  const std::string language = TheSettings().FirstLanguage;
  std::optional<int64_t> id = WholeNumberOf(strID);
  std::shared_ptr<Connection> conn = OpenOwnConnection();
  Recordset row;
  auto read = [&](int64_t entry) {
    row.Open("select * from qvglossary where id=" + SqlInteger(Variant(entry)), conn);
  };
  if (id) read(*id);
  if (id && !row.EOF_()) {
    strOriginalTerm.clear();
    // A definition that only points at another entry ("qvTmGoto=<id>\"")
    // redirects to it, once.
    const std::string definition =
        Trim(book::FieldText(row, book::LanguageField("dbContent_", language)));
    const size_t mark = definition.find(book::kGotoMark);
    if (mark != std::string::npos && mark == definition.rfind(book::kGotoMark)) {
      strOriginalTerm = book::EntryTerm(row, language);
      const size_t from = mark + book::kGotoMark.size();
      const size_t quote = definition.find('"', from);
      id = WholeNumberOf(
          Variant(definition.substr(from, quote == std::string::npos ? quote : quote - from)));
      row.Close();
      if (id) read(*id);
    }
  }
  if (!id || !row.IsOpen() || row.EOF_()) {
    ReportError("ErrorGlossaryNotFound", true);
    conn->Close();
    return;
  }
  const Settings& s = TheSettings();
  aryGlossary = {};
  aryGlossary[0] = book::EntryTerm(row, s.FirstLanguage);
  aryGlossary[2] = book::FieldText(row, book::LanguageField("dbContent_", s.FirstLanguage));
  if (!s.SecondLanguage.empty()) {
    aryGlossary[1] = book::EntryTerm(row, s.SecondLanguage);
    aryGlossary[3] = book::FieldText(row, book::LanguageField("dbContent_", s.SecondLanguage));
  }
  blnGlossaryOpen = true;
  row.Close();
  conn->Close();
}

void Book::ShowGlossary(int16_t intLanguage) {
  if (!blnGlossaryOpen || intLanguage < 1 || intLanguage > 2) return;
  const Settings& s = TheSettings();
  std::string text = ReplaceAll(aryGlossary[intLanguage + 1], "qvTmMPath/", s.vMediaDir);
  ResponseWrite(ReplaceAll(text, "qvTmGoto", s.ThisURL + "?glossary_id"));
}

void Book::GlossaryTerm(int16_t intLanguage) {
  if (!blnGlossaryOpen || intLanguage < 1 || intLanguage > 2) return;
  ResponseWrite(aryGlossary[intLanguage - 1]);
}

}  // namespace qv
