#include "engine/sqlite_values.h"

#include <charconv>
#include <string>

#include "core/convert.h"
#include "data/connection.h"
#include "engine/sqlite_handle.h"

namespace qv {
namespace {

constexpr int adLongVarBinary = 205;
constexpr int64_t kLongTextSize = 1073741823;
constexpr int64_t kDefaultCharSize = 255;

bool Has(std::string_view upper, std::string_view part) {
  return upper.find(part) != std::string_view::npos;
}

// The n of "NAME(n)" or "NAME(n, m)", or 0.
int64_t DeclaredLength(std::string_view declared) {
  size_t open = declared.find('(');
  if (open == std::string_view::npos) return 0;
  std::string digits = Trim(declared.substr(open + 1));
  int64_t n = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), n);
  return n > 0 ? n : 0;
}

ColumnType ClassifyText(std::string_view upper) {
  int64_t length = DeclaredLength(upper);
  if (length > 0) return {ColumnKind::Text, adVarChar, length};
  if (Has(upper, "CHAR")) return {ColumnKind::Text, adVarChar, kDefaultCharSize};
  return {ColumnKind::Text, adLongVarChar, kLongTextSize};
}

ColumnType ClassifyInteger(std::string_view upper) {
  if (Has(upper, "SMALLINT") || Has(upper, "TINYINT")) return {ColumnKind::Integer, adSmallInt, 0};
  if (Has(upper, "BIGINT")) return {ColumnKind::Integer, adBigInt, 0};
  return {ColumnKind::Integer, adInteger, 0};
}

std::string Text(sqlite3_stmt* stmt, int i) {
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, i));
  int size = sqlite3_column_bytes(stmt, i);
  return bytes ? std::string(bytes, static_cast<size_t>(size)) : std::string();
}

Variant ReadStorage(sqlite3_stmt* stmt, int i) {
  switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_NULL:
      return Null;
    case SQLITE_INTEGER:
      return Variant(static_cast<long long>(sqlite3_column_int64(stmt, i)));
    case SQLITE_FLOAT:
      return sqlite3_column_double(stmt, i);
    default:
      return Text(stmt, i);
  }
}

Variant ReadBoolean(sqlite3_stmt* stmt, int i) {
  int storage = sqlite3_column_type(stmt, i);
  if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT) {
    return sqlite3_column_double(stmt, i) != 0;
  }
  Variant stored = ReadStorage(stmt, i);
  try {
    return ToBoolean(stored);
  } catch (const TypeMismatch&) {
    return stored;  // text that is no Boolean stays as it is
  }
}

Variant ReadDateTime(sqlite3_stmt* stmt, int i) {
  Variant stored = ReadStorage(stmt, i);
  if (!stored.IsString()) return stored;
  std::optional<Date> date = ParseDate(stored.AsString());
  return date ? Variant(*date) : stored;
}

bool IsBlankText(const Variant& v) { return v.IsString() && Trim(v.AsString()).empty(); }

// Each Bind* returns the result code of its sqlite3_bind_* call.
int BindText(sqlite3_stmt* stmt, int index, const std::string& text) {
  return sqlite3_bind_text64(stmt, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// A column without a declared type stores each value as what it is.
int BindUntyped(sqlite3_stmt* stmt, int index, const Variant& value) {
  if (value.IsBoolean()) return sqlite3_bind_int(stmt, index, value.AsBoolean() ? 1 : 0);
  if (value.IsInteger()) return sqlite3_bind_int64(stmt, index, value.AsInteger());
  if (value.IsDouble()) return sqlite3_bind_double(stmt, index, value.AsDouble());
  if (value.IsDate()) return BindText(stmt, index, FormatDateTime(value.AsDate()));
  return BindText(stmt, index, ToStr(value));
}

int BindTyped(sqlite3_stmt* stmt, int index, const Variant& value, ColumnKind kind) {
  bool typed_non_text =
      kind != ColumnKind::Text && kind != ColumnKind::Untyped && kind != ColumnKind::Blob;
  if (value.IsEmpty() || value.IsNull() || (typed_non_text && IsBlankText(value))) {
    return sqlite3_bind_null(stmt, index);
  }
  switch (kind) {
    case ColumnKind::Text:
      return BindText(stmt, index, ToStr(value));
    case ColumnKind::Integer:
      return sqlite3_bind_int64(stmt, index, ToInteger(value));
    case ColumnKind::Real:
      return sqlite3_bind_double(stmt, index, ToDouble(value));
    case ColumnKind::Boolean:
      return sqlite3_bind_int(stmt, index, ToBoolean(value) ? 1 : 0);
    case ColumnKind::DateTime:
      return BindText(stmt, index, FormatDateTime(ToDate(value)));
    default:
      return BindUntyped(stmt, index, value);
  }
}

}  // namespace

ColumnType ClassifyDeclaredType(std::string_view declared) {
  std::string upper = ToUpper(Trim(declared));
  if (upper.empty()) return {};
  if (Has(upper, "BOOL") || upper == "BIT" || upper == "YESNO") {
    return {ColumnKind::Boolean, adBoolean, 0};
  }
  if (Has(upper, "DATE") || Has(upper, "TIME")) return {ColumnKind::DateTime, adDBTimeStamp, 0};
  if (Has(upper, "INT")) return ClassifyInteger(upper);
  if (Has(upper, "CHAR") || Has(upper, "CLOB") || Has(upper, "TEXT") || Has(upper, "MEMO")) {
    return ClassifyText(upper);
  }
  if (Has(upper, "REAL") || Has(upper, "SINGLE")) return {ColumnKind::Real, adSingle, 0};
  if (Has(upper, "DOUB") || Has(upper, "FLOA") || Has(upper, "NUM") || Has(upper, "DEC") ||
      Has(upper, "CURRENCY") || Has(upper, "MONEY")) {
    return {ColumnKind::Real, adDouble, 0};
  }
  if (Has(upper, "BLOB")) return {ColumnKind::Blob, adLongVarBinary, 0};
  return {};
}

ColumnType TypeOfStorageClass(int storage_class) {
  switch (storage_class) {
    case SQLITE_INTEGER:
      return {ColumnKind::Untyped, adInteger, 0};
    case SQLITE_FLOAT:
      return {ColumnKind::Untyped, adDouble, 0};
    case SQLITE_BLOB:
      return {ColumnKind::Untyped, adLongVarBinary, 0};
    default:
      return {ColumnKind::Untyped, adLongVarChar, kLongTextSize};
  }
}

Variant ReadColumn(sqlite3_stmt* stmt, int i, ColumnKind kind) {
  int storage = sqlite3_column_type(stmt, i);
  if (storage == SQLITE_NULL) return Null;
  switch (kind) {
    case ColumnKind::Boolean:
      return ReadBoolean(stmt, i);
    case ColumnKind::DateTime:
      return ReadDateTime(stmt, i);
    case ColumnKind::Real:
      if (storage == SQLITE_INTEGER) return sqlite3_column_double(stmt, i);
      return ReadStorage(stmt, i);
    default:
      return ReadStorage(stmt, i);
  }
}

void BindColumn(sqlite3_stmt* stmt, int index, const Variant& value, ColumnKind kind) {
  CheckBind(index, BindTyped(stmt, index, value, kind));
}

}  // namespace qv
