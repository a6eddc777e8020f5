// Write-back of posted forms: dbUpdate, dbAppend and db2DUpdate.
//
// Every call writes through one connection of its own inside one
// transaction (nested in the request's, data/aspproc.h, when one is open),
// so a refused stamp, a field the table lacks or a value its field cannot
// take leaves every row as it was. The transaction is opened
// before the rows are read (BEGIN IMMEDIATE on SQLite), so no other save
// can come between the stamp check and the write.

#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {

namespace {

// One field to write and the value the caller gave for it: "" (or Empty)
// takes the posted form's value, " " (or Null) writes an empty value.
struct Entry {
  std::string name;
  Variant value;
};

using RequestValue = std::function<std::string(const std::string& name)>;

// Rolls back on leaving the scope unless committed.
class WriteTransaction {
 public:
  explicit WriteTransaction(Connection& conn) : conn_(conn) { conn_.BeginTransaction(); }
  ~WriteTransaction() {
    if (!open_) return;
    try {
      conn_.Rollback();
    } catch (const std::exception&) {
    }
  }
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;

  void Commit() {
    open_ = false;
    conn_.Commit();
  }
  void Rollback() {
    open_ = false;
    conn_.Rollback();
  }

 private:
  Connection& conn_;
  bool open_ = true;
};

bool IsTextType(int type) { return type == adVarChar || type == adLongVarChar; }

bool IsDateType(int type) {
  return type == adDate || type == adDBDate || type == adDBTime || type == adDBTimeStamp;
}

bool IsNumberType(int type) {
  return type == adSmallInt || type == adInteger || type == adSingle || type == adDouble ||
         type == adBigInt;
}

bool IsFieldArray(const Variant& v) {
  return v.IsArray() && v.AsArray()->Dimensions() == 2 && v.AsArray()->Size(1) >= 2;
}

// The merged list as entries. The counter key ID is never written.
std::vector<Entry> EntriesOf(const Array& list) {
  std::vector<Entry> entries;
  for (size_t i = 0; i < list.Size(2); ++i) {
    std::string name = ToStr(list.at(0, i));
    if (EqualsNoCase(name, "ID")) continue;
    entries.push_back({std::move(name), list.at(1, i)});
  }
  return entries;
}

// Every entry must name a field of the table; checked before any write.
void RequireFields(const Recordset& rs, const std::vector<Entry>& entries,
                   const std::string& table) {
  for (const Entry& e : entries) {
    if (rs.FieldIndex(e.name) < 0) {
      throw DatabaseError("Table " + table + " has no field \"" + e.name +
                          "\"; nothing was written");
    }
  }
}

// The first `count` characters of UTF-8 text.
std::string FirstChars(const std::string& text, int64_t count) {
  size_t end = 0;
  int64_t chars = 0;
  for (; end < text.size(); ++end) {
    const bool starts_char = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
    if (starts_char && chars++ == count) break;
  }
  return text.substr(0, end);
}

Variant GivenValue(const Entry& e, const RequestValue& from_request) {
  const Variant& v = e.value;
  if (v.IsEmpty() || (v.IsString() && v.AsString().empty())) return from_request(e.name);
  if (v.IsNull() || (v.IsString() && v.AsString() == " ")) return std::string();
  return v;
}

[[noreturn]] void RefuseValue(const Field& field, const std::string& text, const char* kind) {
  throw TypeMismatch("Field \"" + field.Name + "\" takes " + kind + ", not \"" + text +
                     "\"; nothing was written");
}

// A value that is not empty, as the field's type stores it.
Variant TypedValue(const Field& field, const Variant& given, const std::string& text) {
  if (IsTextType(field.Type)) return text;
  if (IsDateType(field.Type)) {
    try {
      return ToDate(given);
    } catch (const TypeMismatch&) {
      RefuseValue(field, text, "a date");
    }
  }
  if (IsNumberType(field.Type) && !IsNumeric(given)) RefuseValue(field, text, "a number");
  if (field.Type == adBoolean) {
    try {
      ToBoolean(given);
    } catch (const TypeMismatch&) {
      RefuseValue(field, text, "True or False");
    }
  }
  return given;
}

// `given` as text, as the field keeps it: text fields keep their first
// DefinedSize characters.
std::string FieldText(const Field& field, const Variant& given) {
  std::string text = ToStr(given);
  if (field.Type == adVarChar && field.DefinedSize > 0) text = FirstChars(text, field.DefinedSize);
  return text;
}

// The value stored for `given` (as text: `text`): empty is Null for text
// and dates, else 0 (or Null, with null_for_date_names, when the field's
// name contains "date").
Variant StoredValue(const Field& field, const Variant& given, const std::string& text,
                    bool null_for_date_names) {
  if (!text.empty()) return TypedValue(field, given, text);
  if (IsTextType(field.Type) || IsDateType(field.Type)) return Null;
  if (null_for_date_names && ToLower(field.Name).find("date") != std::string::npos) return Null;
  return 0;
}

// Sets every entry in the current row.
void SetEntries(Recordset& rs, const std::vector<Entry>& entries, const RequestValue& from_request,
                bool null_for_date_names) {
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    const Field field = rs.FieldAt(static_cast<size_t>(rs.FieldIndex(e.name)));
    const Variant given = GivenValue(e, from_request);
    const std::string text = FieldText(field, given);
    if (TheSettings().IsDebug) {
      DebugPrint(" for field(" + std::to_string(i) + ")", e.name);
      DebugPrint(" to value(" + std::to_string(i) + ")", text);
    }
    rs.SetValue(field.Name, StoredValue(field, given, text, null_for_date_names));
  }
}

std::string SessionText(const std::string& key) {
  const Variant v = TheSession().Value(key);
  return v.IsArray() || v.IsObject() ? std::string() : NullToStr(v);
}

// The stamp keys of the rows, in order, or the current Stamp of the first
// row that was saved by someone else since its form was generated.
struct StampCheck {
  std::vector<std::string> keys;
  std::optional<std::string> changed_stamp;
};

StampCheck CheckStamps(Recordset& rs, const std::string& table) {
  StampCheck check;
  const bool has_stamp = rs.FieldIndex("Stamp") >= 0;
  for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) {
    const std::string key = StampKey(table, ToStr(rs.Value("ID")));
    const std::string saved = SessionText(key);
    if (has_stamp && !saved.empty()) {
      const Variant& stamp = rs.Value("Stamp");
      if (!stamp.IsNull() && ToStr(stamp) != saved) {
        check.changed_stamp = ToStr(stamp);
        return check;
      }
    }
    check.keys.push_back(key);
  }
  rs.MoveFirst();
  return check;
}

void ReportChanged(const std::string& stamp) {
  ReportError("ErrorHasBeenChanged", true);
  if (!Messages().blnShowError) return;
  ResponseWrite(HtmlEncode(UserID2Name(stamp.substr(0, stamp.find(',')), "")));
}

// A value of the posted form: never the query string, so a link cannot
// slip a value into a save; "" once the body was read as an upload.
std::string PostedFormValue(const std::string& name) {
  try {
    return TheRequest().Form(name);
  } catch (const HostError&) {
    return "";
  }
}

// Stamps and fills the current row (adding) or every row of the set.
void FillRows(Recordset& rs, bool adding, const std::vector<Entry>& entries) {
  const bool has_stamp = rs.FieldIndex("Stamp") >= 0;
  const std::string stamp = CurrentUserID() + "," + DateSerialText(Now());
  const RequestValue from_request = PostedFormValue;
  do {
    if (has_stamp) rs.SetValue("Stamp", stamp);
    SetEntries(rs, entries, from_request, false);
    if (adding) return;
    rs.MoveNext();
  } while (!rs.EOF_());
}

void TraceFieldArray(const Variant& aryFld) {
  if (!IsFieldArray(aryFld)) return;
  const Array& fields = *aryFld.AsArray();
  for (size_t i = 0; i < fields.Size(2); ++i) {
    DebugPrint("  Array(" + std::to_string(i) + ")", fields.at(1, i));
  }
}

void TraceUpdate(const std::string& table, const std::string& clause, const Variant& aryFld) {
  DebugPrint("Update a record: Table Name", table);
  DebugPrint("Where clause", clause);
  try {
    Request& request = TheRequest();
    DebugPrint("FLD_List", request.Form("qvFLD_List"));
    TraceFieldArray(aryFld);
    for (const std::string& key : request.FormKeys()) {
      DebugPrint("Form(" + HtmlEncode(key) + ")", request.Form(key));
    }
  } catch (const std::exception&) {
    // a body read as an upload has no form to show
  }
}

// The row ids of "qvID_List" as whole numbers; throws for any other item.
std::vector<std::string> RowIDs(const std::string& list) {
  std::vector<std::string> ids;
  for (const std::string& item : SplitList(list)) {
    const std::optional<double> number = ParseNumber(item);
    if (!number || std::fabs(*number) > 2147483647.0) {
      throw TypeMismatch("qvID_List: \"" + item + "\" is not a record number; nothing was written");
    }
    ids.push_back(std::to_string(ToInteger(Variant(item))));
  }
  return ids;
}

void WriteGridRow(const std::shared_ptr<Connection>& conn, const std::string& table,
                  const std::string& id, const std::vector<Entry>& entries, bool appendable) {
  Recordset rs;
  rs.Open("SELECT * FROM " + table + " WHERE ID=" + SqlInteger(id), conn, adOpenKeyset,
          adLockBatchOptimistic);
  RequireFields(rs, entries, table);
  if (rs.EOF_()) {
    if (!appendable) return rs.Close();
    rs.AddNew();
  }
  const std::string prefix = "ID_" + id + "_";
  SetEntries(
      rs, entries, [&prefix](const std::string& name) { return TheRequest().Form(prefix + name); },
      true);
  rs.UpdateBatch();
  rs.Close();
}

}  // namespace

Variant AspProc::MergeFieldList(const Variant& aryFld, const std::string& list) {
  if (aryFld.IsArray() && !IsFieldArray(aryFld)) {
    throw TypeMismatch("The field list must be a two-row array of (field, value) pairs");
  }
  const std::vector<std::string> names = SplitList(list);
  if (names.empty()) return aryFld;
  const size_t given = aryFld.IsArray() ? aryFld.AsArray()->Size(2) : 0;
  std::shared_ptr<Array> merged = MakeArray2D(2, names.size() + given);
  for (size_t i = 0; i < names.size(); ++i) {
    merged->at(0, i) = names[i];
    merged->at(1, i) = "";
  }
  for (size_t i = 0; i < given; ++i) {
    merged->at(0, names.size() + i) = aryFld.AsArray()->at(0, i);
    merged->at(1, names.size() + i) = aryFld.AsArray()->at(1, i);
  }
  return merged;
}

int32_t AspProc::dbUpdate(const std::string& strTableName, const std::string& strWhereClause,
                          const Variant& aryFld, bool blnAppendable, bool blnUpdateFromForm) {
  if (TheSettings().IsDebug) TraceUpdate(strTableName, strWhereClause, aryFld);
  const std::string posted = blnUpdateFromForm ? TheRequest().Form("qvFLD_List") : "";
  const Variant list = MergeFieldList(aryFld, posted);
  if (!list.IsArray()) return 0;
  const std::vector<Entry> entries = EntriesOf(*list.AsArray());
  DebugPrint("begin to update or create", "");
  RequireTableName(strTableName);

  std::shared_ptr<Connection> conn = OpenOwnConnection();
  WriteTransaction transaction(*conn);
  Recordset rs;
  rs.Open("SELECT * FROM " + strTableName + " " + strWhereClause, conn, adOpenKeyset,
          adLockBatchOptimistic);
  RequireFields(rs, entries, strTableName);
  const bool adding = rs.EOF_();
  if (adding && !blnAppendable) return -1;
  const StampCheck check = adding ? StampCheck{} : CheckStamps(rs, strTableName);
  if (check.changed_stamp) {
    transaction.Rollback();
    ReportChanged(*check.changed_stamp);
    return 0;
  }
  if (adding) rs.AddNew();
  FillRows(rs, adding, entries);
  rs.UpdateBatch();
  const int32_t new_id = adding ? static_cast<int32_t>(ToInteger(rs.Value("ID"))) : 0;
  transaction.Commit();
  rs.Close();
  conn->Close();
  for (const std::string& key : check.keys) TheSession().SetValue(key, "");
  return new_id;
}

int32_t AspProc::dbAppend(const std::string& strTableName, const Variant& aryField,
                          bool blnUpdateFromForm) {
  DebugPrint("Append a record", "");
  return dbUpdate(strTableName, "WHERE ID=-1", aryField, true, blnUpdateFromForm);
}

void AspProc::db2DUpdate(const std::string& strTableName, const Variant& aryFld,
                         bool blnAppendable) {
  Request& request = TheRequest();
  if (TheSettings().IsDebug) {
    DebugPrint("Update 2D records: Table Name", strTableName);
    DebugPrint("FLD_List", request.Form("qvFLD_List"));
    DebugPrint("ID_List", request.Form("qvID_List"));
    TraceFieldArray(aryFld);
  }
  const Variant list = MergeFieldList(aryFld, request.Form("qvFLD_List"));
  if (!list.IsArray()) return;
  const std::vector<Entry> entries = EntriesOf(*list.AsArray());
  const std::vector<std::string> ids = RowIDs(request.Form("qvID_List"));
  RequireTableName(strTableName);
  if (ids.empty()) return;

  std::shared_ptr<Connection> conn = OpenOwnConnection();
  WriteTransaction transaction(*conn);
  for (const std::string& id : ids) WriteGridRow(conn, strTableName, id, entries, blnAppendable);
  transaction.Commit();
  conn->Close();
}

}  // namespace qv
