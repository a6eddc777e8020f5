// Running desktop statements on PostgreSQL.
//
// RunPgStatement translates a statement (dialect.h), runs it prepared and
// reads all its rows, naming each field as the schema or the statement
// spells it (PostgreSQL folds plain names to lower case). Inside a
// transaction a failed statement undoes only itself, as on SQLite. A
// statement that makes, changes or drops a table runs in a transaction
// of its own level with what the engine keeps about it: the columns'
// spellings and declared types as comments, and the table's change counter
// and its trigger (change_counters.h). A statement that inserts rows with
// their ID moves the table's key sequence past them.
#pragma once

#include <string>

#include "data/connection.h"
#include "engine/pg_database.h"

namespace qv {

// from_script: a statement of the schema or a migration, which may also be
// a change-counting trigger written in SQLite's syntax (it becomes the
// table's counter trigger). Throws DatabaseError.
QueryResult RunPgStatement(PgDatabase& db, const std::string& sql, bool with_keys,
                           bool from_script = false);

// Moves the key sequence of table (a plain name) past its highest ID.
void SyncPgKeySequence(PgDatabase& db, const std::string& table);

}  // namespace qv
