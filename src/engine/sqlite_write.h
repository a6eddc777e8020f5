// Writing record-set rows into an SQLite table.
//
// WriteRowsTo turns each RowWrite into one INSERT or UPDATE with bound
// parameters, converting every value by its column's declared type. Table
// and column names must be plain identifiers. It opens no transaction of
// its own: the caller wraps it in one, so a failing row leaves nothing
// written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <sqlite3.h>

#include "data/connection.h"
#include "engine/sqlite_database.h"

namespace qv {

// Returns the new IDs of the inserted rows in order. Throws DatabaseError
// for an unknown table or column, a value its column cannot hold, an
// updated row that no longer exists, or any SQLite failure.
std::vector<int64_t> WriteRowsTo(SqliteDatabase& database, const std::string& table,
                                 const std::vector<RowWrite>& rows);

}  // namespace qv
