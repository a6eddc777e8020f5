// Values between SQLite and Variant, driven by declared column types.
//
// A declared type (as CREATE TABLE wrote it after translation: VARCHAR(n),
// TEXT, INTEGER, SMALLINT, REAL, DOUBLE, BOOLEAN, DATETIME, or any other
// SQLite type name) decides the ADO type and defined size a field reports,
// how a stored value is read (BOOLEAN as a Boolean, DATETIME text as a
// Date) and how a written value is stored (Booleans as 1/0, dates as
// 'YYYY-MM-DD HH:MM:SS' text).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <sqlite3.h>

#include "core/variant.h"

namespace qv {

enum class ColumnKind { Untyped, Text, Integer, Real, Boolean, DateTime, Blob };

struct ColumnType {
  ColumnKind kind = ColumnKind::Untyped;
  int ado_type = 0;          // AdoType
  int64_t defined_size = 0;  // characters for text types, else 0
};

// The type of a declared column type name; "" (an expression) is Untyped.
ColumnType ClassifyDeclaredType(std::string_view declared);

// The type an untyped (expression) column reports, from the storage class
// of its first non-NULL value (SQLITE_NULL when every value is NULL).
ColumnType TypeOfStorageClass(int storage_class);

// The value of column i of the current row of stmt.
Variant ReadColumn(sqlite3_stmt* stmt, int i, ColumnKind kind);

// Binds value as parameter index (from 1) of stmt, converted for a column
// of that kind. Empty and Null bind NULL. Throws TypeMismatch for a value
// that does not fit the column (text that is no number, date, Boolean),
// DatabaseError when SQLite refuses the value (too long, no such parameter).
void BindColumn(sqlite3_stmt* stmt, int index, const Variant& value, ColumnKind kind);

}  // namespace qv
