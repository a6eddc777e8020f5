// Grid form controls: one row of controls per row of objRS, each control
// named after its row so that db2DUpdate can write every row back.

#include <string>

#include "core/convert.h"
#include "data/aspproc.h"
#include "data/form_helpers.h"
#include "data/settings.h"
#include "host/context.h"

namespace qv {

namespace {

// Binds the field (registration only on the first row) and renames btnName
// to "ID_<row ID>_<name>". Errors are ignored: the value then reads "" and
// a name without a current row stays as it was.
std::string BindGridField(std::string& btnName) {
  std::string value;
  try {
    value = form::FieldValue(btnName);
  } catch (const std::exception&) {
  }
  const std::string id = form::CurrentRowID();
  if (!id.empty()) btnName = "ID_" + id + "_" + btnName;
  return value;
}

int WidthOrDefault(int width) { return width == 0 ? TheSettings().DefaultTextAreaWidth : width; }

}  // namespace

void AspProc::db2DLinkTextBox(std::string& btnName, int intSize) {
  const std::string value = BindGridField(btnName);
  ResponseWrite("<input type=\"text\" name=\"" + form::Attr(btnName) + "\" size=\"" +
                std::to_string(WidthOrDefault(intSize)) + "\" value=\"" + dbEnCode(value) + "\">");
}

void AspProc::db2DLinkTextArea(std::string& btnName, int intRows, int intCols) {
  const std::string value = BindGridField(btnName);
  ResponseWrite("<textarea name=\"" + form::Attr(btnName) + "\" rows=\"" + std::to_string(intRows) +
                "\" cols=\"" + std::to_string(WidthOrDefault(intCols)) + "\" wrap=\"virtual\">" +
                dbEnCode(value) + "</textarea>");
}

void AspProc::db2DLinkRadioButton(std::string& btnName, const Variant& btnValue) {
  const std::string value = BindGridField(btnName);
  ResponseWrite("<input type=\"radio\" value=\"" + form::Attr(btnValue) + "\"" +
                (ToStr(btnValue) == value ? " checked" : "") + " name=\"" + form::Attr(btnName) +
                "\">");
}

void AspProc::db2DLinkCheckBox(std::string& btnName) {
  const bool checked = form::IsTrueText(BindGridField(btnName));
  ResponseWrite(std::string("<input type=\"checkbox\" value=\"-1\"") + (checked ? " checked" : "") +
                " name=\"" + form::Attr(btnName) + "\">");
}

void AspProc::db2DLinkDropDown(std::string& btnName, const Variant& aryChoiceValue, int intRow,
                               bool blnMultiple) {
  if (!form::IsChoiceArray(aryChoiceValue)) return;
  Array& choices = *aryChoiceValue.AsArray();
  form::FillChoiceValues(choices);
  const std::string value = BindGridField(btnName);
  form::WriteSelect(btnName, choices, intRow, blnMultiple, form::SelectionText(value));
}

void AspProc::db2DLinkForm() {
  Tables().SkipLinkForm = true;
  ResponseWrite("<input type=\"hidden\" name=\"qvID_List\" value=\"" +
                form::Attr(form::CurrentRowID()) + "\">");
}

}  // namespace qv
