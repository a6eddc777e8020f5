// The edit, add, reply and property forms of a page: a title, the hidden
// fields that place a new page, one labelled control per field of the
// form's field list, the buttons.
#include <string>
#include <string_view>

#include "book/book.h"
#include "book/book_internal.h"
#include "book/book_state.h"
#include "book/page_record.h"
#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/read_cache.h"
#include "data/settings.h"
#include "session/current_page.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {
namespace book {
namespace {

void WriteLabel(const std::string& key, int language) {
  ResponseWrite("<br>" + GetMsg(key, language) + "<br>");
}

const char* FormTitleKey(const FormVariant& form, const std::string& add, int pageType) {
  if (form.action == "edit") return "titleEditRecord";
  if (add == "bottom" && form.reply) {
    return pageType == 3 ? "titleEditJoinDiscussion" : "titleEditPostDiscussion";
  }
  if (form.reply) return "titleEditReplyDiscussion";
  return "titleEditAddRecord";
}

// Choice arrays from data: the shown texts (row 0) are written as HTML by
// the drop-down, so names and titles are encoded first.
Variant EncodedChoices(Variant rows) {
  if (!rows.IsArray() || rows.AsArray()->Dimensions() != 2) return rows;
  Array& array = *rows.AsArray();
  for (size_t i = 0; i < array.Size(2); ++i) {
    array.at(0, i) = HtmlEncode(NullToStr(array.at(0, i)));
  }
  return rows;
}

// Controls written for the first language and, when a second is in use,
// again for it under its own label.
void WriteBilingual(const std::string& labelKey, const std::string& stem,
                    void (*control)(const std::string& field)) {
  const Settings& s = TheSettings();
  WriteLabel(labelKey, 1);
  control(LanguageField(stem, s.FirstLanguage));
  if (s.SecondLanguage.empty()) return;
  WriteLabel(labelKey, 2);
  control(LanguageField(stem, s.SecondLanguage));
}

// The title control: shown as text in the property form; a text box with
// the current title ("RE: " for a reply) in a discussion; a text area with
// the proposed title when adding.
void WriteTitleField(const FormVariant& form) {
  const Settings& s = TheSettings();
  const BookState& book_state = CurrentBook();
  const PageRecord& page = ThePage();
  AspProc& proc = SharedAspProc();
  const std::string first = LanguageField("dbTitle_", s.FirstLanguage);
  const std::string second = LanguageField("dbTitle_", s.SecondLanguage);
  WriteLabel("dbTitle", 1);
  if (form.property) {
    const std::shared_ptr<Recordset> rs = Tables().objRS;
    if (!rs || !rs->IsOpen() || rs->EOF_()) return;
    ResponseWrite(FieldText(*rs, first));
    if (!s.SecondLanguage.empty()) ResponseWrite(FieldText(*rs, second));
    return;
  }
  const bool posting = form.reply && RequestValue("add") == "bottom";
  if (posting) {
    if (page.intPageType == 3) {
      proc.dbLinkTextBox(first, 0, book_state.CurrentPageTitle);
    } else {
      proc.dbLinkTextBox(first);
    }
  } else if (form.reply) {
    proc.dbLinkTextBox(first, 0, "RE: " + book_state.CurrentPageTitle);
  } else if (form.action != "add") {
    proc.dbLinkTextArea(first, 3);
  } else if (const std::string given = RequestValue("qvTitle"); !given.empty()) {
    proc.dbLinkTextArea(first, 3, 0, given);
  } else {
    proc.dbLinkTextArea(first, 3, 0, book_state.strNewTitle);
  }
  if (s.SecondLanguage.empty()) return;
  WriteLabel("dbTitle", 2);
  if (posting) {
    proc.dbLinkTextBox(second);
  } else if (form.reply) {
    proc.dbLinkTextBox(second, 0, "RE: " + book_state.CurrentPageTitle2);
  } else {
    proc.dbLinkTextArea(second, 3);
  }
}

// The code table of the type control by book table.
const char* TypeCodes(const std::string& table) {
  if (table == "qvglossary") return "dbGlossaryType";
  if (table == "qvmedia") return "dbMediaType";
  if (table == "qvlibrary") return "dbBibType";
  return "dbType";
}

constexpr const char* kCodeTable = "qvCodeDefList";

void WriteBookChoice() {
  const Settings& s = TheSettings();
  WriteLabel("dbBookID", 1);
  const Variant books =
      EncodedChoices(CachedGetTable("qvAuthBook", "dbTitle_" + s.FirstLanguage + ",ID",
                                    "Where dbTableName=" + SqlText(s.TableName)));
  if (books.IsArray()) SharedAspProc().dbLinkDropDown("dbBookID", books, 1);
}

void WriteOwnerChoice() {
  if (!HasRight("auth")) return;
  WriteLabel("dbOwnerID", 1);
  const Variant users = EncodedChoices(
      CachedGetTable("qvAuthUser", "dbFullName_" + TheSettings().FirstLanguage + ",dbUserID", ""));
  if (users.IsArray()) SharedAspProc().dbLinkDropDown("dbOwnerID", users, 1);
}

// The finished check box of each language, its label after it.
void WriteFinishedBoxes() {
  const Settings& s = TheSettings();
  ResponseWrite("<br>");
  SharedAspProc().dbLinkCheckBox(LanguageField("dbFinished_", s.FirstLanguage));
  ResponseWrite(GetMsg("dbFinished", 1));
  if (s.SecondLanguage.empty()) return;
  ResponseWrite("<br>");
  SharedAspProc().dbLinkCheckBox(LanguageField("dbFinished_", s.SecondLanguage));
  ResponseWrite(GetMsg("dbFinished", 2));
}

// The expiry choice is not bound: the save turns the chosen days into a
// date.
void WriteExpiryChoice() {
  AspProc& proc = SharedAspProc();
  WriteLabel("dbExpiredDate", 1);
  const bool skipped = proc.SkipLinkForm();
  proc.SetSkipLinkForm(true);
  proc.dbLinkDropDownData(kCodeTable, "dbExpiredDate", "dbExpiredDate", 0);
  proc.SetSkipLinkForm(skipped);
}

void TextArea2(const std::string& field) { SharedAspProc().dbLinkTextArea(field, 2); }
void TextArea3(const std::string& field) { SharedAspProc().dbLinkTextArea(field, 3); }
void TextArea5(const std::string& field) { SharedAspProc().dbLinkTextArea(field); }

// The controls of one field of a single language: label key and field
// name, the control kind and its size (text box width, text area rows or
// list rows).
enum class Control { kTextBox, kTextArea, kCodeList, kCodeMultiList };
struct SimpleField {
  std::string_view item;
  const char* field;  // also the label key and the code type
  Control control;
  int size;
};
constexpr SimpleField kSimpleFields[] = {
    {"dbeventdate", "dbEventDate", Control::kTextBox, 0},
    {"dbindent", "dbIndent", Control::kCodeList, 1},
    {"dburllink", "dbURLLink", Control::kTextBox, 0},
    {"dbcid", "dbCID", Control::kCodeList, 1},
    {"dbyear", "dbYear", Control::kCodeList, 1},
    {"dbpages", "dbPages", Control::kTextBox, 20},
    {"dbisbn_issn", "dbISBN_ISSN", Control::kTextBox, 20},
    {"dblanguage", "dbLanguage", Control::kCodeMultiList, 4},
    {"dbaffiliationaddress", "dbAffiliationAddress", Control::kTextArea, 5},
};

// The bilingual text areas: label key, field stem, rows.
struct BilingualField {
  std::string_view item;
  const char* label;
  const char* stem;
  void (*control)(const std::string& field);
};
constexpr BilingualField kBilingualFields[] = {
    {"dbkeyword", "dbKeyWord", "dbKeyWord_", TextArea2},
    {"dbcontent", "dbContent", "dbContent_", TextArea5},
    {"dbabstract", "dbAbstract", "dbAbstract_", TextArea5},
    {"dbremark", "dbRemark", "dbRemark_", TextArea5},
    {"dbauthor", "dbAuthor", "dbAuthor_", TextArea3},
    {"dbsource", "dbSource", "dbSource_", TextArea2},
};

void WriteSimpleField(const SimpleField& entry) {
  AspProc& proc = SharedAspProc();
  WriteLabel(entry.field, 1);
  switch (entry.control) {
    case Control::kTextBox:
      proc.dbLinkTextBox(entry.field, entry.size);
      break;
    case Control::kTextArea:
      proc.dbLinkTextArea(entry.field, entry.size);
      break;
    case Control::kCodeList:
      proc.dbLinkDropDownData(kCodeTable, entry.field, entry.field, entry.size);
      break;
    case Control::kCodeMultiList:
      proc.dbLinkDropDownData(kCodeTable, entry.field, entry.field, entry.size, true);
      break;
  }
}

// A generic field spec: "_", the control code, a character that starts the
// code type, then the field name (also the label key).
void EditCodedField(const std::string& spec) {
  if (spec.size() < 4 || spec[0] != '_') return;
  const char code = spec[1];
  const std::string codeType = spec.substr(2);
  const std::string name = spec.substr(3);
  AspProc& proc = SharedAspProc();
  if (code == 'l') {
    ResponseWrite("<br>");
    proc.dbLinkCheckBox(name);
    ResponseWrite(GetMsg(name, 1));
    return;
  }
  const bool digit = code >= '0' && code <= '9';
  if (code != 't' && code != 'm' && code != 'r' && code != 'c' && code != 'd' && !digit) return;
  WriteLabel(name, 1);
  if (code == 't') {
    proc.dbLinkTextBox(name);
  } else if (code == 'm') {
    proc.dbLinkTextArea(name);
  } else if (code == 'r' || code == 'c') {
    proc.dbLinkCheckListData(kCodeTable, name, codeType, code == 'c');
  } else if (code == 'd') {
    proc.dbLinkDropDownData(kCodeTable, name, codeType, 1, false);
  } else {
    proc.dbLinkDropDownData(kCodeTable, name, codeType, code - '0', true);
  }
}

void EditField(const std::string& item, const FormVariant& form) {
  if (item == "dbtitle") return WriteTitleField(form);
  if (item == "dbbookid") return WriteBookChoice();
  if (item == "dbownerid") return WriteOwnerChoice();
  if (item == "dbfinished") return WriteFinishedBoxes();
  if (item == "dbexpireddate") return WriteExpiryChoice();
  if (item == "dbtype") {
    if (form.reply) return;
    WriteLabel("dbType", 1);
    SharedAspProc().dbLinkDropDownData(kCodeTable, "dbType", TypeCodes(TheSettings().TableName), 1);
    return;
  }
  for (const SimpleField& entry : kSimpleFields) {
    if (entry.item == item) return WriteSimpleField(entry);
  }
  for (const BilingualField& entry : kBilingualFields) {
    if (entry.item == item) return WriteBilingual(entry.label, entry.stem, entry.control);
  }
  EditCodedField(item);
}

// The hidden fields that place a new page: book, group, owner and, by the
// "add" value, parent, order and level; a reply's type. The save computes
// them again from the server's state; they show the client what it gets.
void WriteNewPageFields(const FormVariant& form) {
  const PageRecord& page = ThePage();
  const BookState& book_state = CurrentBook();
  AspProc& proc = SharedAspProc();
  const std::string add = RequestValue("add");
  proc.dbHiddenText("dbBookID", page.lBookID);
  proc.dbHiddenText("dbGroup", page.intPageGroup);
  const bool callerOwns = form.reply || book_state.strBookOwnerID == "administrator";
  proc.dbHiddenText("dbOwnerID", callerOwns ? CurrentUserID() : book_state.strBookOwnerID);
  proc.dbHiddenText("add", add, false);
  if (add == "before") {
    proc.dbHiddenText("dbPID", page.lngPageParentID);
    proc.dbHiddenText("dbOrder", page.intPageOrder - 1);
    proc.dbHiddenText("dbPageLevel", page.intPageLevel);
  } else if (add == "bottom") {
    proc.dbHiddenText("dbPID", page.lngPageParentID);
    proc.dbHiddenText("dbOrder", 9999);
    proc.dbHiddenText("dbPageLevel", page.intPageLevel);
  } else if (add == "below") {
    proc.dbHiddenText("dbPID", page.ID);
    proc.dbHiddenText("dbOrder", 1000);
    proc.dbHiddenText("dbPageLevel", page.intPageLevel + 1);
  }
  if (!form.reply) return;
  if (add == "bottom") {
    proc.dbHiddenText("reply", "y", false);
    proc.dbHiddenText("dbType", page.intPageType);
  } else if (add == "below") {
    proc.dbHiddenText("reply", "y", false);
    proc.dbHiddenText("dbType", 3);
  }
}

}  // namespace

void EditFields(const std::string& list) {
  Settings& s = TheSettings();
  // The other language takes the second's place while the fields are
  // written; the second language is off afterwards.
  const bool other = !s.strOtherLanguage.empty();
  if (other) s.SecondLanguage = s.strOtherLanguage;
  struct ClearSecond {
    bool active;
    ~ClearSecond() {
      if (active) TheSettings().SecondLanguage.clear();
    }
  } clear{other};
  const FormVariant form = RequestedForm();
  for (const std::string& item : FieldListItems(list)) EditField(item, form);
}

void EditRecordForm() {
  const Settings& s = TheSettings();
  const BookState& book_state = CurrentBook();
  const PageRecord& page = ThePage();
  AspProc& proc = SharedAspProc();
  const FormVariant form = RequestedForm();
  ResponseWrite(GetMsg(FormTitleKey(form, RequestValue("add"), page.intPageType), 1));
  const std::string list = EditFieldList();
  ResponseWrite("<form method=\"POST\" action=\"" + HtmlEncode(s.ThisURL) +
                "?id=" + HtmlEncode(ToStr(page.ID)) + "\">");
  proc.dbHiddenText("qvAction", RequestValue("qvAction"), false);
  bool listsFinished = false;
  for (const std::string& item : FieldListItems(list)) listsFinished |= item == "dbfinished";
  if (!listsFinished) {
    for (const std::string* suffix : {&s.FirstLanguage, &s.SecondLanguage, &s.strOtherLanguage}) {
      if (!suffix->empty()) proc.dbHiddenText(LanguageField("dbFinished_", *suffix), "-1");
    }
  }
  if (form.action == "add") WriteNewPageFields(form);
  if (s.CheckDuplicateTitle && form.action == "add" && book_state.strNewTitle.empty()) {
    ResponseWrite("<br>" + GetMsg("msgNewTitle", 1) + "<br>");
    ResponseWrite("<br>" + GetMsg("dbTitle", 1) + "<br>");
    proc.dbLinkTextArea(LanguageField("dbTitle_", s.FirstLanguage), 3);
    proc.dbHiddenText("confirmed", "n", false);
  } else {
    EditFields(list);
  }
  ResponseWrite("<center><br>");
  ResponseWrite("<input type=\"submit\" value=\"" + GetMsg("ButtonSubmit", 1) +
                "\" name=\"Submit\">");
  ResponseWrite(" <input type=\"reset\" value=\"" + GetMsg("ButtonReset", 1) +
                "\" name=\"reset\">");
  ResponseWrite("</center>");
  ResponseWrite("</form>");
  ResponseWrite("<p></p>");
  if (form.action != "add") PageMediaForm();
}

}  // namespace book

void Book::EditPage() {
  if (!book::RequestValue("qvAction").empty()) ShowPage();
}

}  // namespace qv
