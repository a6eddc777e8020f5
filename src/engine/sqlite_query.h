// Reading prepared SQLite statements into materialised results.
//
// ReadAllRows steps a statement to its end and returns its fields and rows.
// For updatable record sets, WithKeyColumn puts the table's ID in front of
// a SELECT list and ReadKeyedRows takes it back out into the result's keys,
// naming the one table the rows come from.
#pragma once

#include <string>
#include <string_view>

#include <sqlite3.h>

#include "data/connection.h"

namespace qv {

// Refuses statements that would upset the shared handle: transaction
// control (the connection counts transaction levels itself; callers use
// BeginTransaction, Commit and Rollback) and ATTACH/DETACH, which would
// reach files outside the data source. Throws DatabaseError.
void RequireOrdinaryStatement(std::string_view sql);

// Field names and types of the statement, and all its rows.
QueryResult ReadAllRows(sqlite3* db, sqlite3_stmt* stmt);

// The SELECT with "ID AS qv_key_" as its first result column. Throws
// DatabaseError("Record set is not updatable: ...") for anything but a
// plain SELECT (DISTINCT, GROUP BY and compound selects read no row of
// their own).
std::string WithKeyColumn(std::string_view sql);

// As ReadAllRows for a statement made by WithKeyColumn: the key column
// becomes key_ids and table names the source table. Throws
// DatabaseError("Record set is not updatable: ...") when the rows do not
// come from one table with an ID.
QueryResult ReadKeyedRows(sqlite3* db, sqlite3_stmt* stmt);

}  // namespace qv
