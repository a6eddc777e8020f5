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

#include <map>
#include <string>
#include <utility>

#include "data/connection.h"
#include "engine/pg_database.h"

namespace qv {

// Spellings of a statement's names by their lower-case form: the first
// plain or bracketed name of each, read when first asked.
class Spellings {
 public:
  explicit Spellings(std::string sql) : sql_(std::move(sql)) {}
  std::string Of(const std::string& folded);

 private:
  std::string sql_;
  bool read_ = false;
  std::map<std::string, std::string> names_;
};

// A statement as translated and classified once per connection.
struct PgPlan {
  explicit PgPlan(std::string sql) : spellings(std::move(sql)) {}
  std::string translated;
  bool read_only = false;
  bool preparable = false;
  std::string keyed_table;  // an INSERT that gives IDs: its table
  Spellings spellings;
};

// from_script: a statement of the schema or a migration, which may also be
// a change-counting trigger written in SQLite's syntax (it becomes the
// table's counter trigger). Throws DatabaseError.
QueryResult RunPgStatement(PgDatabase& db, const std::string& sql, bool with_keys,
                           bool from_script = false);

// Moves the key sequence of table (a plain name) past its highest ID.
void SyncPgKeySequence(PgDatabase& db, const std::string& table);

}  // namespace qv
