// The book registry pages: the book tables, the books of one table, and the
// form of one registry row in five sections (basic, format, reader, editor,
// author) with its save, the creation of a new book with its first top page,
// and the deletion of a book with all its pages.
//
// Who may do what: administrators everything; the owner of a book and its
// listed authors (by user or group) edit its row, but only administrators
// create books, move them to another owner or name their table. A save
// writes exactly the fields of the section the request shows (the posted
// field list is not trusted), in one transaction with its log row and, for a
// new book, its first page. A book is deleted by a posted form only, its
// pages and its row in one transaction. Table names reach SQL only when they
// are plain identifiers of a registered book table or a "dbTableName" code.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "book/book.h"
#include "book/book_internal.h"
#include "book/book_state.h"
#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/field_array.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {
namespace {

// The registry row the request edits: its id, "-1" for a new book.
struct RegistryState {
  std::string strEditBookID;
};
RegistryState& Registry() { return RequestPart<RegistryState>(); }

constexpr const char* kRegistry = "qvAuthBook";
constexpr const char* kCodes = "qvCodeDefList";
constexpr const char* kNewBook = "-1";
constexpr int kLogBookSaved = 14;
constexpr int kListRows = 5;

// The sections of the form, by the request's "qvAction".
enum class Section { kBasic, kFormat, kReader, kEditor, kAuthor };

std::optional<Section> SectionOf(const std::string& action) {
  if (action.empty()) return Section::kBasic;
  if (action == "format") return Section::kFormat;
  if (action == "reader") return Section::kReader;
  if (action == "editor") return Section::kEditor;
  if (action == "author") return Section::kAuthor;
  return std::nullopt;
}

// How a field is shown.
enum class Control {
  kText,      // text box
  kArea,      // text area
  kCheck,     // check box
  kCode,      // code list of the code table, one row
  kCodeList,  // code list, five rows, several choices
  kUsers,     // the users, five rows, several choices
  kOwner,     // the users, one row (administrators; others see the owner)
  kGlossary,  // the glossary books, one row
  kTable,     // the book tables of the code table (a new book only)
};

struct FieldSpec {
  const char* name;  // a stem ending in "_" takes the language suffixes
  Control control;
  const char* code_type = nullptr;  // code list type; nullptr: the field's name
};

constexpr FieldSpec kBasicFields[] = {
    {"dbTitle_", Control::kText},
    {"dbBookCode", Control::kText},
    {"dbTableName", Control::kTable},
    {"dbOwnerID", Control::kOwner},
    {"dbGroup", Control::kCode, "dbGroupLevel"},
    {"dbIndent", Control::kCode},
    {"dbPageLevelMin", Control::kCode, "dbPageLevel"},
    {"dbPageLevelMax", Control::kCode, "dbPageLevel"},
    {"dbOrder", Control::kText},
    {"dbFinished_", Control::kCheck},
    {"dbGlossaryBooks", Control::kGlossary},
    {"dbBookURL", Control::kText},
    {"dbDescription_", Control::kArea},
    {"dbRemark_", Control::kArea},
};
constexpr FieldSpec kFormatFields[] = {
    {"dbFormatRead_", Control::kArea},
    {"dbFormatReadAll_", Control::kArea},
    {"dbFormatReadDiscussion_", Control::kArea},
};
constexpr FieldSpec kReaderFields[] = {
    {"dbReaderGroupID", Control::kCodeList, "dbGroup"},
};
constexpr FieldSpec kEditorFields[] = {
    {"dbFormatEdit", Control::kCodeList},
    {"dbEditType", Control::kCodeList},
    {"dbEditorGroupID", Control::kCodeList, "dbGroup"},
    {"dbEditorUserID", Control::kUsers},
};
constexpr FieldSpec kAuthorFields[] = {
    {"dbFormatAuth", Control::kCodeList},
    {"dbAuthType", Control::kCodeList},
    {"dbAuthorGroupID", Control::kCodeList, "dbGroup"},
    {"dbAuthorUserID", Control::kUsers},
};

template <size_t N>
std::vector<FieldSpec> Specs(const FieldSpec (&specs)[N]) {
  return std::vector<FieldSpec>(specs, specs + N);
}

std::vector<FieldSpec> SectionFields(Section section) {
  switch (section) {
    case Section::kBasic:
      return Specs(kBasicFields);
    case Section::kFormat:
      return Specs(kFormatFields);
    case Section::kReader:
      return Specs(kReaderFields);
    case Section::kEditor:
      return Specs(kEditorFields);
    case Section::kAuthor:
      return Specs(kAuthorFields);
  }
  return {};
}

bool IsNewBook() { return Registry().strEditBookID == kNewBook; }

bool IsStem(const std::string& name) { return !name.empty() && name.back() == '_'; }

// The message key of a field's label: the name without its "_".
std::string LabelKey(const std::string& name) {
  return IsStem(name) ? name.substr(0, name.size() - 1) : name;
}

// Whether the form shows this field's control to this caller.
bool Shown(const FieldSpec& spec) {
  if (spec.control == Control::kTable) return IsNewBook();
  return true;
}

// Whether a save writes the field: shown as a control (the owner only to
// administrators; others see it as text).
bool Writable(const FieldSpec& spec) {
  if (!Shown(spec)) return false;
  if (spec.control == Control::kOwner) return book::IsSystemAdmin();
  return true;
}

// The languages in use: the first, and the second when one is set.
std::vector<std::string> Languages() {
  const Settings& s = TheSettings();
  std::vector<std::string> languages{s.FirstLanguage};
  if (!s.SecondLanguage.empty()) languages.push_back(s.SecondLanguage);
  return languages;
}

// The record fields of a section that a save writes, with the languages in
// use.
std::vector<std::string> WritableColumns(Section section) {
  std::vector<std::string> columns;
  for (const FieldSpec& spec : SectionFields(section)) {
    if (!Writable(spec)) continue;
    const std::string name = spec.name;
    if (!IsStem(name)) {
      columns.push_back(name);
      continue;
    }
    for (const std::string& language : Languages()) {
      columns.push_back(std::string(CheckIdentifier(name + language)));
    }
  }
  return columns;
}

// Text for a JavaScript string literal inside an HTML script element.
std::string JsString(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\'':
        out += "\\'";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '<':
        out += "\\x3c";
        break;
      case '>':
        out += "\\x3e";
        break;
      case '&':
        out += "\\x26";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// A whole number as canonical text, or nullopt.
std::optional<std::string> IdText(const std::string& text) {
  const std::optional<int64_t> id = WholeNumberOf(Variant(Trim(text)));
  if (!id || *id < INT32_MIN || *id > INT32_MAX) return std::nullopt;
  return std::to_string(*id);
}

std::string BookURL(const std::string& id, const std::string& action = "") {
  std::string url = TheSettings().ThisURL + "?id=" + UrlEncode(id);
  if (!action.empty()) url += "&qvAction=" + action;
  return url;
}

// The users a list may name: full name (HTML-encoded; the id when there is
// none) shown, id posted.
Variant UserChoices() {
  const std::string name_field(
      CheckIdentifier(book::LanguageField("dbFullName_", TheSettings().FirstLanguage)));
  Variant users =
      SharedAspProc().dbGetTable("qvAuthUser", name_field + ",dbUserID",
                                 "where dbPasswordType>-2 order by " + name_field + ",dbUserID");
  if (!users.IsArray()) return users;
  Array& rows = *users.AsArray();
  for (size_t i = 0; i < rows.Size(2); ++i) {
    const std::string name = NullToStr(rows.at(0, i));
    const std::string id = NullToStr(rows.at(1, i));
    rows.at(0, i) = HtmlEncode(Trim(name).empty() ? id : name);
    rows.at(1, i) = id;
  }
  return users;
}

// The glossary books, after an empty choice (no glossary).
Variant GlossaryChoices() {
  const Variant books = SharedAspProc().dbGetTable("qvglossaryBook", "*", "");
  const size_t count = books.IsArray() ? books.AsArray()->Size(2) : 0;
  std::shared_ptr<Array> choices = MakeArray2D(2, count + 1);
  choices->at(0, 0) = std::string();
  choices->at(1, 0) = std::string();
  for (size_t i = 0; i < count; ++i) {
    const Array& rows = *books.AsArray();
    const std::string id = NullToStr(rows.at(1, i));
    const std::string title = NullToStr(rows.at(0, i));
    choices->at(0, i + 1) = HtmlEncode(Trim(title).empty() ? id : title);
    choices->at(1, i + 1) = id;
  }
  return Variant(choices);
}

// The values a choice control offers (row 1 of its choices; the shown text
// where the value is empty).
std::vector<std::string> ChoiceValues(const Variant& choices) {
  std::vector<std::string> values;
  if (!choices.IsArray()) return values;
  const Array& rows = *choices.AsArray();
  for (size_t i = 0; i < rows.Size(2); ++i) {
    const std::string value = NullToStr(rows.at(1, i));
    values.push_back(value.empty() ? NullToStr(rows.at(0, i)) : value);
  }
  return values;
}

Variant CodeChoices(const std::string& type) {
  const std::string name_field(
      CheckIdentifier(book::LanguageField("dbName_", TheSettings().FirstLanguage)));
  return SharedAspProc().dbGetTable(kCodes, name_field + ",dbValue",
                                    "Where dbType=" + SqlText(type));
}

// The values a field's control may post; nullopt for a control of free
// text.
std::optional<std::vector<std::string>> OfferedValues(const FieldSpec& spec) {
  const std::string code_type = spec.code_type ? spec.code_type : spec.name;
  switch (spec.control) {
    case Control::kCode:
    case Control::kCodeList:
      return ChoiceValues(CodeChoices(code_type));
    case Control::kUsers:
    case Control::kOwner:
      return ChoiceValues(UserChoices());
    case Control::kGlossary:
      return ChoiceValues(GlossaryChoices());
    default:
      return std::nullopt;
  }
}

// Every value posted for a choice control of the section is one it offers:
// a posted right, group or user that the form does not offer (such as
// "admin" among the author rights) is refused.
bool PostedChoicesOffered(Section section) {
  for (const FieldSpec& spec : SectionFields(section)) {
    if (!Writable(spec)) continue;
    const std::optional<std::vector<std::string>> offered = OfferedValues(spec);
    if (!offered) continue;
    const std::string posted = book::PostedValue(spec.name);
    const bool multiple = spec.control == Control::kCodeList || spec.control == Control::kUsers;
    const std::vector<std::string> items =
        multiple ? SplitList(posted) : std::vector<std::string>{posted};
    for (const std::string& item : items) {
      if (item.empty()) continue;
      if (std::find(offered->begin(), offered->end(), item) == offered->end()) return false;
    }
  }
  return true;
}

void WriteLabel(const std::string& key, int language) {
  ResponseWrite("<br>" + GetMsg(key, language) + "<br>");
}

// The owner as text, for those who may not change it.
void WriteOwnerText() {
  const std::shared_ptr<Recordset>& rs = Tables().objRS;
  std::string owner;
  if (rs && rs->IsOpen() && !rs->EOF_() && !rs->BOF()) owner = NullToStr(rs->Value("dbOwnerID"));
  if (owner.empty()) return;
  ResponseWrite(HtmlEncode(UserID2Name(owner, "")) + " [" + HtmlEncode(owner) + "]");
}

void WriteControl(const FieldSpec& spec, const std::string& field) {
  AspProc& ap = SharedAspProc();
  const std::string code_type = spec.code_type ? spec.code_type : spec.name;
  switch (spec.control) {
    case Control::kText:
      ap.dbLinkTextBox(field);
      break;
    case Control::kArea:
      ap.dbLinkTextArea(field);
      break;
    case Control::kCheck:
      ap.dbLinkCheckBox(field);
      break;
    case Control::kCode:
      ap.dbLinkDropDownData(kCodes, field, code_type, 1);
      break;
    case Control::kCodeList:
      ap.dbLinkDropDownData(kCodes, field, code_type, kListRows, true);
      break;
    case Control::kUsers:
      ap.dbLinkDropDown(field, UserChoices(), kListRows, true);
      break;
    case Control::kOwner:
      if (book::IsSystemAdmin()) {
        ap.dbLinkDropDown(field, UserChoices(), 1, false, CurrentUserID());
      } else {
        WriteOwnerText();
      }
      break;
    case Control::kGlossary:
      ap.dbLinkDropDown(field, GlossaryChoices(), 1);
      break;
    case Control::kTable:
      ap.dbLinkDropDownData(kCodes, field, "dbTableName", 1);
      break;
  }
}

void WriteSection(Section section) {
  const std::vector<std::string> languages = Languages();
  for (const FieldSpec& spec : SectionFields(section)) {
    if (!Shown(spec)) continue;
    const std::string name = spec.name;
    if (!IsStem(name)) {
      WriteLabel(LabelKey(name), 1);
      WriteControl(spec, name);
      continue;
    }
    for (size_t i = 0; i < languages.size(); ++i) {
      WriteLabel(LabelKey(name), static_cast<int>(i) + 1);
      WriteControl(spec, std::string(CheckIdentifier(name + languages[i])));
    }
  }
}

// The section links and the deletion, for an existing book.
void WriteSectionMenu(const std::string& action) {
  const std::string& id = Registry().strEditBookID;
  ResponseWrite("<p></p>");
  ResponseWrite("<center>");
  if (!action.empty()) {
    ResponseWrite("<a href=\"" + HtmlEncode(BookURL(id)) + "\">" + GetMsg("menuBookBasic", 1) +
                  "</a>");
  }
  ResponseWrite("<a href=\"javascript:qvConfirmDeleteBook()\">" + GetMsg("menuBookDelete", 1) +
                "</a>");
  // Two confirmations, then the deletion is posted: a link or an embedded
  // image never deletes.
  const std::string crlf = "\r\n";
  ResponseWrite("<script language=\"JavaScript\"><!--" + crlf);
  ResponseWrite("function qvConfirmDeleteBook()" + crlf);
  ResponseWrite("{" + crlf);
  ResponseWrite("    if(confirm(\"" + JsString(GetMsg("msgConfirmDeleteBook", 1)) +
                "\")==true) if(confirm(\"" + JsString(GetMsg("msgConfirmDeleteBookAgain", 1)) +
                "\")==true) qvPostDeleteBook(\"" + JsString(BookURL(id, "delete")) + "\");" + crlf);
  ResponseWrite("}" + crlf);
  ResponseWrite("function qvPostDeleteBook(url)" + crlf);
  ResponseWrite("{" + crlf);
  ResponseWrite(
      "    var f=document.createElement(\"form\"); f.method=\"POST\"; f.action=url;"
      " var i=document.createElement(\"input\"); i.type=\"hidden\"; i.name=\"qvDeleteBook\";"
      " i.value=\"y\"; f.appendChild(i); document.body.appendChild(f); f.submit();" +
      crlf);
  ResponseWrite("}" + crlf);
  ResponseWrite("// --></script>" + crlf);
  struct MenuEntry {
    const char* action;
    const char* key;
  };
  constexpr MenuEntry kEntries[] = {{"format", "menuBookFormat"},
                                    {"reader", "menuBookReader"},
                                    {"editor", "menuBookEditor"},
                                    {"author", "menuBookAuthor"}};
  for (const MenuEntry& entry : kEntries) {
    if (action == entry.action) continue;
    ResponseWrite("<a href=\"" + HtmlEncode(BookURL(id, entry.action)) + "\">" +
                  GetMsg(entry.key, 1) + "</a>");
  }
  ResponseWrite("</center>");
}

// The deletion asked for by a link: the confirmation, posting.
void WriteDeleteConfirmation() {
  const std::string& id = Registry().strEditBookID;
  ResponseWrite("<form method=\"POST\" action=\"" + HtmlEncode(BookURL(id, "delete")) + "\">");
  ResponseWrite("<p>" + GetMsg("msgConfirmDeleteBookAgain", 1) + "</p>");
  ResponseWrite("<input type=\"hidden\" name=\"qvDeleteBook\" value=\"y\">");
  ResponseWrite("<input type=\"submit\" name=\"qvConfirmDelete\" value=\"" +
                HtmlEncode(GetMsg("menuBookDelete", 1)) + "\">");
  ResponseWrite("</form>");
}

// Deletes the book's pages, then its row, as one transaction.
void DeleteBook() {
  const std::string& id = Registry().strEditBookID;
  bool deleted = false;
  try {
    RequestTransaction transaction;
    const Variant row =
        SharedAspProc().dbGetTable(kRegistry, "dbTableName", "where id=" + SqlInteger(id));
    if (row.IsArray()) {
      const std::string table = ToLower(NullToStr(row.AsArray()->at(0, 0)));
      if (!table.empty()) {
        SharedAspProc().dbDeleteRecord(std::string(CheckIdentifier(table)),
                                       "where dbBookID=" + SqlInteger(id));
      }
      SharedAspProc().dbDeleteRecord(kRegistry, "where ID=" + SqlInteger(id));
      transaction.Commit();
      deleted = true;
    }
  } catch (const SqlValueError&) {
    ReportError("ErrorBookTable", true);
    return;
  }
  if (!deleted) {
    ResponseWrite(GetMsg("errorbooknotfound", 1));
    return;
  }
  ResponseWrite(GetMsg("msgBookDeleted", 1));
}

bool HasWhitespaceOrComma(const std::string& text) {
  for (char c : text) {
    if (c == ',' || std::isspace(static_cast<unsigned char>(c))) return true;
  }
  return false;
}

// Saves the posted section; for a new book also its first top page, whose
// id then becomes the one edited.
void SubmitBook(Section section) {
  RegistryState& registry = Registry();
  if (HasWhitespaceOrComma(book::PostedValue("dbBookCode"))) {
    ReportError("ErrorBookCode", true);
    return;
  }
  const bool adding = IsNewBook();
  if (adding) section = Section::kBasic;
  std::string table;
  if (adding) {
    const std::optional<std::string> valid = book::ValidBookTable(book::PostedValue("dbTableName"));
    if (!valid) {
      ReportError("ErrorBookTable", true);
      return;
    }
    table = *valid;
  }
  if (!PostedChoicesOffered(section)) {
    ReportError("ErrorInvalidValue", true);
    return;
  }
  FieldArray fields;
  for (const std::string& column : WritableColumns(section)) {
    fields.Add(column, column == "dbTableName" ? Variant(table) : Variant(""));
  }
  std::string& errors = Messages().strErrorMsg;
  const size_t reported = errors.size();
  int32_t result = 0;
  try {
    RequestTransaction transaction;
    result = SharedAspProc().dbUpdate(kRegistry, "Where ID=" + SqlInteger(registry.strEditBookID),
                                      fields.ToArray(), adding, false);
    if (errors.find("ErrorHasBeenChanged", reported) != std::string::npos) return;
    if (result == -1) {
      ResponseWrite(GetMsg("errorbooknotfound", 1));
      return;
    }
    SharedAspProc().dbLog(kLogBookSaved);
    if (adding) {
      FieldArray page{{"dbOrder", 1},
                      {"dbBookID", result},
                      {"dbGroup", ""},
                      {"dbOwnerID", ""},
                      {"dbTitle_e", ""},
                      {"dbTitle_n", ""},
                      {"dbPID", -static_cast<int64_t>(result)},
                      {"dbPageLevel", 1},
                      {"dbUserID", CurrentUserID()},
                      {"dbDate", Now()}};
      SharedAspProc().dbUpdate(table, "Where ID=-1", page.ToArray(), true, false);
    }
    transaction.Commit();
  } catch (const TypeMismatch&) {
    ReportError("ErrorInvalidValue", true);
    return;
  }
  if (adding) {
    registry.strEditBookID = std::to_string(result);
    ResponseWrite("<br>" + GetMsg("msgAppended", 1));
  } else {
    ResponseWrite("<br>" + GetMsg("msgUpdated", 1));
  }
}

void WriteBookForm(Section section, const std::string& action) {
  const RegistryState& registry = Registry();
  if (IsNewBook()) {
    section = Section::kBasic;
    // The controls of a new book start empty: they read the closed set.
    SharedAspProc().dbClose();
  } else {
    SharedAspProc().dbOpen(kRegistry, "*", "Where ID=" + SqlInteger(registry.strEditBookID));
    if (SharedAspProc().dbRSEOF()) {
      ResponseWrite(GetMsg("errorbooknotfound", 1));
      return;
    }
  }
  const std::string form_action = IsNewBook() ? "" : action;
  ResponseWrite("<form method=\"POST\" action=\"" +
                HtmlEncode(BookURL(registry.strEditBookID, form_action)) + "\">");
  WriteSection(section);
  ResponseWrite("<center><br>");
  ResponseWrite("<input type=\"submit\" value=\"" + HtmlEncode(GetMsg("ButtonSubmit", 1)) +
                "\" name=\"submitbook\">");
  ResponseWrite(" <input type=\"reset\" value=\"" + HtmlEncode(GetMsg("ButtonReset", 1)) +
                "\" name=\"reset\">");
  ResponseWrite("</center>");
  ResponseWrite("</form>");
  if (!IsNewBook()) WriteSectionMenu(form_action);
}

}  // namespace

namespace book {

std::optional<std::string> ValidBookTable(const std::string& name) {
  const std::string table = ToLower(Trim(name));
  if (!IsPlainIdentifier(table)) return std::nullopt;
  AspProc& ap = SharedAspProc();
  if (ap.dbGetTable(kRegistry, "ID", "where dbTableName=" + SqlText(table)).IsArray() ||
      ap.dbGetTable(kCodes, "ID", "where dbType='dbTableName' and dbValue=" + SqlText(table))
          .IsArray()) {
    return table;
  }
  return std::nullopt;
}

bool CanEditBookRecord(const std::string& strID) {
  if (IsSystemAdmin()) return true;
  const std::optional<std::string> id = IdText(strID);
  const std::string user = CurrentUserID();
  if (!id || user == "anonymous") return false;
  Recordset row;
  row.Open(std::string("Select * from ") + kRegistry + " Where ID=" + *id, OpenOwnConnection());
  bool allowed = false;
  if (!row.EOF_()) {
    allowed = NullToStr(row.Value("dbOwnerID")) == user ||
              CallerIsListed(row.Value("dbAuthorUserID"), row.Value("dbAuthorGroupID"));
  }
  row.Close();
  return allowed;
}

}  // namespace book

void Book::ListTables(const std::string& strMark) {
  std::string clause;
  if (!book::IsSystemAdmin()) {
    const std::string user = CurrentUserID();
    if (user == "anonymous") return;
    clause = "Where dbOwnerID=" + SqlText(user);
  }
  Recordset rows;
  rows.Open(std::string("SELECT DISTINCT dbTableName FROM ") + kRegistry + " " + clause +
                (clause.empty() ? "" : " ") + "order by dbTableName",
            OpenOwnConnection());
  const std::string& url = TheSettings().ThisURL;
  for (; !rows.EOF_(); rows.MoveNext()) {
    const std::string table = NullToStr(rows.Value("dbTableName"));
    if (table.empty()) continue;
    ResponseWrite(strMark);
    ResponseWrite("<a href=\"" + HtmlEncode(url + "?tablename=" + UrlEncode(table)) + "\">");
    ResponseWrite(HtmlEncode(table));
    ResponseWrite("</a><br>");
  }
  rows.Close();
}

void Book::ListBooks(const std::string& strMark) {
  const std::string table = book::RequestValue("tablename");
  if (table.empty()) return;
  const Settings& s = TheSettings();
  std::string clause = "where dbTableName=" + SqlText(table);
  if (!book::IsSystemAdmin()) {
    const std::string user = CurrentUserID();
    if (user == "anonymous") return;
    clause += " and dbOwnerID=" + SqlText(user);
  }
  Recordset rows;
  rows.Open(std::string("SELECT * FROM ") + kRegistry + " " + clause + " order by dbOrder,id",
            OpenOwnConnection());
  const auto unfinished = [&](const std::string& language) {
    const Variant& flag = rows.Value(book::LanguageField("dbFinished_", language));
    return !flag.IsNull() && !ToBoolean(flag);
  };
  for (; !rows.EOF_(); rows.MoveNext()) {
    ResponseWrite(strMark);
    ResponseWrite("<a href=\"" +
                  HtmlEncode(s.ThisURL + "?id=" + UrlEncode(NullToStr(rows.Value("ID")))) + "\">" +
                  HtmlEncode(NullToStr(rows.Value("dbBookCode"))));
    ResponseWrite("</a>");
    if (unfinished(s.FirstLanguage)) {
      book::WriteImage("mark_unfinished1.gif", GetMsg("msgPageNotFinished", 1));
    }
    if (!s.SecondLanguage.empty() && unfinished(s.SecondLanguage)) {
      book::WriteImage("mark_unfinished2.gif", GetMsg("msgPageNotFinished", 2));
    }
    const Variant& title = rows.Value(book::LanguageField("dbTitle_", s.FirstLanguage));
    ResponseWrite(" [<b>");
    ResponseWrite(HtmlEncode(title.IsNull() ? "[Unkown]" : NullToStr(title)));
    ResponseWrite("</b>]");
    ResponseWrite(" by ");
    ResponseWrite(HtmlEncode(NullToStr(rows.Value("dbOwnerID"))));
    ResponseWrite(" [");
    ResponseWrite(HtmlEncode(NullToStr(rows.Value("dbGroup"))));
    ResponseWrite("]<br>");
  }
  rows.Close();
}

void Book::EditBook() {
  RegistryState& registry = Registry();
  registry.strEditBookID = book::RequestValue("id");
  CurrentBook().strHelpCode = "bookadmin";
  if (registry.strEditBookID.empty()) return;
  if (!book::CanEditBookRecord(registry.strEditBookID)) {
    ReportError("ErrorAuthNoRead", true);
    return;
  }
  // An administrator may name any id: one that is no whole number names
  // no book.
  const std::optional<std::string> id = IdText(registry.strEditBookID);
  if (!id) {
    ResponseWrite(GetMsg("errorbooknotfound", 1));
    return;
  }
  registry.strEditBookID = *id;
  const std::string action = book::RequestValue("qvAction");
  const std::string maintenance = Kept().MaintenanceMsg;
  if (action == "delete" && !IsNewBook()) {
    ResponseWrite(maintenance);
    if (IsPostRequest() && book::PostedValue("qvDeleteBook") == "y") {
      DeleteBook();
    } else {
      WriteDeleteConfirmation();
    }
    return;
  }
  const std::optional<Section> section = SectionOf(action);
  if (!book::PostedValue("submitbook").empty()) {
    if (!section) {
      ReportError("ErrorInvalidValue", true);
    } else {
      SubmitBook(*section);
    }
  }
  ResponseWrite(maintenance);
  WriteBookForm(section.value_or(Section::kBasic), section ? action : "");
}

std::string Book::EditBookID() const { return Registry().strEditBookID; }

}  // namespace qv
