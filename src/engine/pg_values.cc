#include "engine/pg_values.h"

#include <cstdio>
#include <cstdlib>

#include "core/convert.h"
#include "data/connection.h"

namespace qv {
namespace {

// Type oids of PostgreSQL's built-in types.
enum : unsigned {
  kBool = 16,
  kInt8 = 20,
  kInt2 = 21,
  kInt4 = 23,
  kOid = 26,
  kFloat4 = 700,
  kFloat8 = 701,
  kDate = 1082,
  kTimestamp = 1114,
  kTimestampTz = 1184,
  kNumeric = 1700,
};

constexpr int64_t kLongTextSize = 1073741823;

Variant ReadDate(std::string_view text) {
  // Timestamps of expressions may carry fractions of a second or a zone.
  std::string_view whole = text.substr(0, text.find_first_of(".+", 10));
  std::optional<Date> date = ParseDate(whole);
  return date ? Variant(*date) : Variant(std::string(text));
}

bool IsBlankText(const Variant& v) { return v.IsString() && Trim(v.AsString()).empty(); }

std::string Number(double d) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", d);
  return text;
}

}  // namespace

std::string DesktopTypeOf(const std::string& pg_type) {
  // The engine makes text columns citext and integer columns bigint.
  if (pg_type == "citext") return "TEXT";
  if (pg_type == "bigint") return "INTEGER";
  if (pg_type.starts_with("timestamp")) return "DATETIME";
  return pg_type;
}

ColumnType PgColumnType(const PgColumn& column) {
  if (!column.declared.empty()) return ClassifyDeclaredType(column.declared);
  return ClassifyDeclaredType(DesktopTypeOf(column.pg_type));
}

ColumnType PgExpressionType(unsigned type_oid) {
  switch (type_oid) {
    case kBool:
      return {ColumnKind::Boolean, adBoolean, 0};
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
      return {ColumnKind::Integer, adInteger, 0};
    case kFloat4:
    case kFloat8:
    case kNumeric:
      return {ColumnKind::Real, adDouble, 0};
    case kDate:
    case kTimestamp:
    case kTimestampTz:
      return {ColumnKind::DateTime, adDBTimeStamp, 0};
    default:
      return {ColumnKind::Untyped, adLongVarChar, kLongTextSize};
  }
}

Variant ReadPgValue(const PGresult* result, int row, int column) {
  if (PQgetisnull(result, row, column)) return Null;
  const char* text = PQgetvalue(result, row, column);
  switch (PQftype(result, column)) {
    case kBool:
      return text[0] == 't';
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
      return Variant(std::strtoll(text, nullptr, 10));
    case kFloat4:
    case kFloat8:
    case kNumeric:
      return std::strtod(text, nullptr);
    case kDate:
    case kTimestamp:
    case kTimestampTz:
      return ReadDate(text);
    default:
      return std::string(text, static_cast<size_t>(PQgetlength(result, row, column)));
  }
}

std::optional<std::string> PgParameter(const Variant& value, ColumnKind kind) {
  bool typed_non_text =
      kind != ColumnKind::Text && kind != ColumnKind::Untyped && kind != ColumnKind::Blob;
  if (value.IsEmpty() || value.IsNull() || (typed_non_text && IsBlankText(value))) {
    return std::nullopt;
  }
  switch (kind) {
    case ColumnKind::Integer:
      return std::to_string(ToInteger(value));
    case ColumnKind::Real:
      return Number(ToDouble(value));
    case ColumnKind::Boolean:
      return ToBoolean(value) ? "t" : "f";
    case ColumnKind::DateTime:
      return FormatDateTime(ToDate(value));
    default:
      break;
  }
  if (value.IsBoolean()) return value.AsBoolean() ? "t" : "f";
  if (value.IsDate()) return FormatDateTime(value.AsDate());
  return ToStr(value);
}

}  // namespace qv
