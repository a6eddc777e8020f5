// Dialect: the desktop-database SQL that callers write, turned into SQLite.
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
// Dates are stored as 'YYYY-MM-DD HH:MM:SS' text, so Now() and Date()
// become text of that form and comparisons with stored dates stay textual.
#pragma once

#include <string>
#include <string_view>

namespace qv {

std::string TranslateToSqlite(std::string_view desktop_sql);

// Throws DatabaseError("Only one statement per call") when a ';' outside
// literals and comments is followed by anything but blanks or comments.
void CheckSingleStatement(std::string_view sql);

}  // namespace qv
