// Reading prepared SQLite statements into materialised results.
//
// ReadAllRows steps a statement to its end and returns its fields and rows.
// For updatable record sets, WithKeyColumn puts the table's ID in front of
// a SELECT list and ReadKeyedRows takes it back out into the result's keys,
// naming the one table the rows come from.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <sqlite3.h>

#include "data/connection.h"
#include "engine/sqlite_values.h"

namespace qv {

// What a statement's columns are, read from SQLite's metadata. A cached
// statement keeps its shape, so a repeated query reads it once; it holds
// until SQLite compiles the statement anew (after a schema change).
struct ColumnShape {
  int compiled = -1;              // the statement's recompile count when read; -1: not read
  std::vector<FieldInfo> fields;  // names only
  std::vector<ColumnType> types;  // of the declared types
  std::string table;              // the one table every column comes from, or ""
  std::string first_table;        // the first column's table, or "" (an expression)
  bool others_from_first = true;  // no later column comes from another table
};

// Refuses statements that would upset the shared handle: transaction
// control (the connection counts transaction levels itself; callers use
// BeginTransaction, Commit and Rollback) and ATTACH/DETACH, which would
// reach files outside the data source. Throws DatabaseError.
void RequireOrdinaryStatement(std::string_view sql);

// Field names and types of the statement, and all its rows. shape is the
// statement's, read anew when it is not current.
QueryResult ReadAllRows(sqlite3* db, sqlite3_stmt* stmt, ColumnShape& shape);

// The SELECT with "ID AS qv_key_" as its first result column. Throws
// DatabaseError("Record set is not updatable: ...") for anything but a
// plain SELECT (DISTINCT, GROUP BY and compound selects read no row of
// their own).
std::string WithKeyColumn(std::string_view sql);

// As ReadAllRows for a statement made by WithKeyColumn: the key column
// becomes key_ids and table names the source table. Throws
// DatabaseError("Record set is not updatable: ...") when the rows do not
// come from one table with an ID.
QueryResult ReadKeyedRows(sqlite3* db, sqlite3_stmt* stmt, ColumnShape& shape);

}  // namespace qv
