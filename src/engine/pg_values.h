// Values between PostgreSQL and Variant.
//
// A field's ADO type and defined size come from the column's declared
// desktop type when the engine noted one (pg_database.h), as the SQLite
// engine reads them from its declared types; otherwise from PostgreSQL's
// type. Values are read by PostgreSQL's type: booleans as Booleans,
// timestamps and dates as Dates, integers as integers, so both engines
// give the same Variant kinds. Written values are sent as text parameters
// in the form of the column's kind.
#pragma once

#include <libpq-fe.h>

#include <optional>
#include <string>

#include "core/variant.h"
#include "engine/pg_database.h"
#include "engine/sqlite_values.h"

namespace qv {

// The declared type, as the SQLite engine writes it, of a column of that
// PostgreSQL type (format_type) that has no note.
std::string DesktopTypeOf(const std::string& pg_type);

// The type of a table column (declared type, else PostgreSQL's).
ColumnType PgColumnType(const PgColumn& column);

// The type of a result column that is no table column, by type oid.
ColumnType PgExpressionType(unsigned type_oid);

// The value of a cell of a result.
Variant ReadPgValue(const PGresult* result, int row, int column);

// value as a text parameter for a column of that kind; nullopt is NULL.
// Throws TypeMismatch for a value that does not fit the column.
std::optional<std::string> PgParameter(const Variant& value, ColumnKind kind);

}  // namespace qv
