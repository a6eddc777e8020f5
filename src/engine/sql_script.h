// SQL scripts: files of statements, each ending with ";" at a line end.
//
// SplitSqlScript cuts a script into its statements. A ";" ends a statement
// only outside string literals, quoted names and comments, and only when
// nothing but blanks or a "--" comment follows it on its line. Comments are
// dropped; blank statements are skipped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv {

std::vector<std::string> SplitSqlScript(std::string_view script);

}  // namespace qv
