// Dialect: the desktop-database SQL that callers write, turned into SQLite
// or PostgreSQL.
//
// Statements throughout the component are written in the dialect of a
// desktop database engine: Now(), Date(), Time(), "= null", "DELETE * FROM",
// [bracketed] names, true/false, len(), and DDL types such as counter,
// text(50), memo, yesno. TranslateToSqlite rewrites exactly these
// constructs, matching whole words in any case and spacing, and never
// touches string literals, quoted identifiers or comments. Type words are
// rewritten only where a column type stands in CREATE TABLE or
// ALTER TABLE ... ADD, so columns named dbLong or dbDate stay as they are.
//
// On SQLite dates are stored as 'YYYY-MM-DD HH:MM:SS' text, so Now() and
// Date() become text of that form and comparisons with stored dates stay
// textual; true/false become 1/0.
//
// On PostgreSQL dates are timestamps to the second, true/false stay, text
// types become citext in the C collation (comparing without regard to case
// as SQLite's NOCASE does) and counter an identity key. Plain names are
// left for PostgreSQL to fold to lower case; a [bracketed] name becomes a
// quoted lower-case name so that it meets them. "= true" becomes "<> 0" on
// both engines; PostgreSQL compares yes/no columns with numbers through
// operators the engine installs (pg_schema.h), as SQLite compares 1/0.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv {

std::string TranslateToSqlite(std::string_view desktop_sql);

// A column of a CREATE TABLE or ALTER TABLE ... ADD: its name as written
// and its type as the SQLite engine declares it (VARCHAR(50), TEXT,
// INTEGER, BOOLEAN, DATETIME, ...).
struct DesktopColumn {
  std::string name;
  std::string declared;
};

// With columns, the statement's column definitions are appended to it.
std::string TranslateToPostgres(std::string_view desktop_sql,
                                std::vector<DesktopColumn>* columns = nullptr);

// Throws DatabaseError("Only one statement per call") when a ';' outside
// literals and comments is followed by anything but blanks or comments.
void CheckSingleStatement(std::string_view sql);

}  // namespace qv
