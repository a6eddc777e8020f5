// Form controls bound to the fields of the current row of objRS.

#include <string>

#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/form_helpers.h"
#include "data/read_cache.h"
#include "data/settings.h"
#include "host/context.h"

namespace qv {

namespace form {

namespace {

// Recorded for a row whose Stamp is Null: no stamp text equals it.
constexpr char kNoStampMark[] = "(no stamp)";

// Remembers the Stamp of the current row for the stamp check of dbUpdate.
void SaveStamp() {
  try {
    TableAccess& tables = Tables();
    Settings& s = TheSettings();
    if (!tables.objRS) return;
    // The table the row comes from; the book table when the set reads
    // several.
    const std::string& table = tables.objRS->Table().empty() ? s.TableName : tables.objRS->Table();
    const std::string key = StampKey(table, ToStr(tables.objRS->Value("ID")));
    TheSession().SetValue(key, StampSessionValue(tables.objRS->Value("Stamp")));
  } catch (const std::exception&) {
    // no record set, row or Stamp field: nothing to guard
  }
}

}  // namespace

std::string StampSessionValue(const Variant& stamp) {
  return stamp.IsNull() ? std::string(kNoStampMark) : ToStr(stamp);
}

std::string FieldValue(const std::string& name) {
  TableAccess& tables = Tables();
  const std::string mark = "[" + name + "]";
  if (!tables.SkipLinkForm && tables.strLinkedFields.find(mark) == std::string::npos) {
    SaveStamp();
    ResponseWrite("<input type=\"hidden\" name=\"qvFLD_List\" value=\"" + Attr(name) + "\">");
    tables.strLinkedFields += mark;
  }
  try {
    if (tables.objRS) return NullToStr(tables.objRS->Value(name));
  } catch (const std::exception&) {
    // a missing field or row reads as empty
  }
  return "";
}

std::string CurrentRowID() {
  try {
    if (Tables().objRS) return NullToStr(Tables().objRS->Value("ID"));
  } catch (const std::exception&) {
  }
  return "";
}

std::string Attr(const Variant& text) { return HtmlEncode(ToStr(text)); }

bool IsTrueText(const std::string& text) {
  if (EqualsNoCase(Trim(text), "True")) return true;
  const std::optional<double> number = ParseNumber(text);
  return number && *number != 0;
}

bool IsChoiceArray(const Variant& choices) {
  return choices.IsArray() && choices.AsArray()->Dimensions() == 2 &&
         choices.AsArray()->Size(1) >= 2;
}

size_t ChoiceCount(const Array& choices) { return choices.Size(2); }

std::string ChoiceText(const Array& choices, size_t i) { return ToStr(choices.at(0, i)); }

std::string ChoiceValue(const Array& choices, size_t i) { return ToStr(choices.at(1, i)); }

void FillChoiceValues(Array& choices) {
  for (size_t i = 0; i < ChoiceCount(choices); ++i) {
    const Variant& value = choices.at(1, i);
    if (value.IsEmpty() || value.IsNull() || (value.IsString() && value.AsString().empty())) {
      choices.at(1, i) = ChoiceText(choices, i);
    }
  }
}

std::string SelectionText(const std::string& value) {
  return ReplaceAll(ReplaceAll("[" + value + "]", ",", "],["), "[ ", "[");
}

bool IsSelected(const std::string& selection, const std::string& choice_value) {
  return selection.find("[" + choice_value + "]") != std::string::npos;
}

void WriteSelect(const std::string& name, const Array& choices, int intRow, bool blnMultiple,
                 const std::string& selection) {
  std::string html = "<select name=\"" + Attr(name) + "\" size=\"" + std::to_string(intRow) + "\"" +
                     (blnMultiple ? " multiple>" : " >");
  for (size_t i = 0; i < ChoiceCount(choices); ++i) {
    const std::string value = ChoiceValue(choices, i);
    html += IsSelected(selection, value) ? "<option selected value=\"" : "<option value=\"";
    html += Attr(value) + "\">" + ChoiceText(choices, i) + "</option>";
  }
  ResponseWrite(html + "</select>");
}

}  // namespace form

std::string StampKey(const std::string& table, const std::string& id) {
  return TheSettings().DSNName + "_" + ToLower(table) + "_" + id;
}

namespace {

// The value with DefaultValue in place of "" (edit mode only).
std::string WithDefault(const std::string& value, const Variant& DefaultValue) {
  if (!value.empty() || Tables().IsDisplayOnly) return value;
  return ToStr(DefaultValue);
}

int WidthOrDefault(int width) { return width == 0 ? TheSettings().DefaultTextAreaWidth : width; }

// Checks and prepares a choice argument; writes `error` when it is none.
Array* PrepareChoices(const Variant& choices, const char* error, const char* debug_label,
                      const std::string& btnName) {
  if (!form::IsChoiceArray(choices)) {
    ResponseWrite(error);
    return nullptr;
  }
  Array& array = *choices.AsArray();
  if (TheSettings().IsDebug) {  // the choices as the caller gave them
    DebugPrint(debug_label, btnName);
    DebugPrint("Array len", Variant(static_cast<long long>(array.UBound(2))));
    for (size_t i = 0; i < form::ChoiceCount(array); ++i) {
      DebugPrint("  Array[" + HtmlEncode(form::ChoiceText(array, i)) + "]", array.at(1, i));
    }
  }
  form::FillChoiceValues(array);
  return &array;
}

// Display mode of the choice controls: the shown texts of the selected
// choices, each followed by ", ".
void WriteSelectedTexts(const Array& choices, const std::string& value) {
  const std::string selection = form::SelectionText(value);
  std::string html;
  for (size_t i = 0; i < form::ChoiceCount(choices); ++i) {
    if (form::IsSelected(selection, form::ChoiceValue(choices, i))) {
      html += form::ChoiceText(choices, i) + ", ";
    }
  }
  ResponseWrite(html);
}

// The choices of one list in a code table, or Null. The names are data,
// so their shown texts are HTML-encoded.
Variant CodeTableChoices(AspProc& /*ap*/, const std::string& CodeTableName,
                         const std::string& strType) {
  // Code tables change rarely: read through the cache.
  Variant choices =
      CachedGetTable(CodeTableName, "dbName_" + TheSettings().FirstLanguage + ",dbValue",
                     "Where dbType=" + SqlText(strType));
  if (!choices.IsArray()) return choices;
  Array& rows = *choices.AsArray();
  for (size_t i = 0; i < form::ChoiceCount(rows); ++i) {
    // An empty value takes the shown text as it was stored.
    if (NullToStr(rows.at(1, i)).empty()) rows.at(1, i) = NullToStr(rows.at(0, i));
    rows.at(0, i) = HtmlEncode(NullToStr(rows.at(0, i)));
  }
  return choices;
}

}  // namespace

void AspProc::dbHiddenText(const std::string& btnName, const Variant& strValue, bool isField) {
  if (Tables().IsDisplayOnly) return;
  if (isField) form::FieldValue(btnName);
  ResponseWrite("<input type=\"hidden\" name=\"" + form::Attr(btnName) + "\" value=\"" +
                form::Attr(strValue) + "\">");
}

void AspProc::dbLinkTextBox(const std::string& btnName, int intSize, const Variant& DefaultValue) {
  const std::string value = WithDefault(form::FieldValue(btnName), DefaultValue);
  if (Tables().IsDisplayOnly) return ResponseWrite(value);
  ResponseWrite("<input type=\"text\" name=\"" + form::Attr(btnName) + "\" size=\"" +
                std::to_string(WidthOrDefault(intSize)) + "\" value=\"" + dbEnCode(value) + "\">");
}

void AspProc::dbLinkTextArea(const std::string& btnName, int intRows, int intCols,
                             const Variant& DefaultValue) {
  const std::string value = WithDefault(form::FieldValue(btnName), DefaultValue);
  if (Tables().IsDisplayOnly) return ResponseWrite(value);
  ResponseWrite("<textarea name=\"" + form::Attr(btnName) + "\" rows=\"" + std::to_string(intRows) +
                "\" cols=\"" + std::to_string(WidthOrDefault(intCols)) + "\" WRAP=\"virtual\">" +
                (value.empty() ? "" : dbEnCode(value)) + "</textarea>");
}

void AspProc::dbLinkTextPassword(const std::string& btnName, int intSize) {
  if (Tables().IsDisplayOnly) return ResponseWrite("****************");
  ResponseWrite("<input type=\"password\" name=\"" + form::Attr(btnName) + "\" size=\"" +
                std::to_string(intSize) + "\">");
}

void AspProc::dbLinkRadioButton(const std::string& btnName, const Variant& btnValue,
                                bool IsRealButton, const Variant& DefaultValue) {
  const std::string value = WithDefault(form::FieldValue(btnName), DefaultValue);
  if (Tables().IsDisplayOnly) return ResponseWrite(value);
  const bool on = ToStr(btnValue) == value;
  if (!IsRealButton) {
    const char* image = on ? "RadioButtonOn.gif\">" : "RadioButtonOff.gif\">";
    return ResponseWrite("<img src=\"" + TheSettings().vImageDir + image);
  }
  ResponseWrite("<input type=\"radio\" value=\"" + form::Attr(btnValue) + "\"" +
                (on ? " checked" : "") + " name=\"" + form::Attr(btnName) + "\">");
}

void AspProc::dbLinkCheckBox(const std::string& btnName, bool IsRealButton,
                             const Variant& DefaultValue) {
  const bool is_true = form::IsTrueText(form::FieldValue(btnName));
  if (Tables().IsDisplayOnly) return ResponseWrite(is_true ? "ON" : "OFF");
  if (!IsRealButton) {
    const char* image = is_true ? "CheckBoxOn.gif\">" : "CheckBoxOff.gif\">";
    return ResponseWrite("<img src=\"" + TheSettings().vImageDir + image);
  }
  const std::string default_text = ToStr(DefaultValue);
  const bool checked = default_text.empty() ? is_true : form::IsTrueText(default_text);
  ResponseWrite(std::string("<input type=\"checkbox\" value=\"-1\"") + (checked ? " checked" : "") +
                " name=\"" + form::Attr(btnName) + "\">");
}

void AspProc::dbLinkDropDown(const std::string& btnName, const Variant& aryChoiceValue, int intRow,
                             bool blnMultiple, const Variant& DefaultValue) {
  const Array* choices = PrepareChoices(aryChoiceValue, "Error, no choice array for drop down.",
                                        "(dbLinkDropDown): Name", btnName);
  if (choices == nullptr) return;
  const std::string stored = form::FieldValue(btnName);
  if (Tables().IsDisplayOnly) return WriteSelectedTexts(*choices, stored);
  const std::string selection = form::SelectionText(WithDefault(stored, DefaultValue));
  form::WriteSelect(btnName, *choices, intRow, blnMultiple, selection);
}

void AspProc::dbLinkCheckList(const std::string& btnName, const Variant& aryChoiceValue,
                              bool blnMultiple, const Variant& DefaultValue) {
  const Array* choices = PrepareChoices(aryChoiceValue, "Error, no choice array for check list.",
                                        "(dbLinkCheckList): Name", btnName);
  if (choices == nullptr) return;
  const std::string stored = form::FieldValue(btnName);
  if (Tables().IsDisplayOnly) return WriteSelectedTexts(*choices, stored);
  const std::string selection = form::SelectionText(WithDefault(stored, DefaultValue));
  const std::string head = std::string("<br> <input type=\"") +
                           (blnMultiple ? "checkbox" : "radio") + "\" name=\"" +
                           form::Attr(btnName) + "\" value=\"";
  std::string html;
  for (size_t i = 0; i < form::ChoiceCount(*choices); ++i) {
    const std::string value = form::ChoiceValue(*choices, i);
    html += head + form::Attr(value) +
            (form::IsSelected(selection, value) ? "\" checked>" : "\">") +
            form::ChoiceText(*choices, i);
  }
  ResponseWrite(html);
}

void AspProc::dbLinkDropDownData(const std::string& CodeTableName, const std::string& btnName,
                                 const std::string& strType, int intRow, bool blnMultiple,
                                 const Variant& DefaultValue) {
  const Variant choices = CodeTableChoices(*this, CodeTableName, strType);
  if (choices.IsArray()) dbLinkDropDown(btnName, choices, intRow, blnMultiple, DefaultValue);
}

void AspProc::dbLinkCheckListData(const std::string& CodeTableName, const std::string& btnName,
                                  const std::string& strType, bool blnMultiple,
                                  const Variant& DefaultValue) {
  const Variant choices = CodeTableChoices(*this, CodeTableName, strType);
  if (choices.IsArray()) dbLinkCheckList(btnName, choices, blnMultiple, DefaultValue);
}

}  // namespace qv
