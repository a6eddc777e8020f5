// SQL tokens: a lexer just precise enough to rewrite and split statements.
//
// Splits SQL text into blanks, comments, words (identifiers, keywords and
// numbers), string literals ('...' with '' escapes), quoted identifiers
// ("...", `...`, [...]) and punctuation. Concatenating the tokens' text
// gives the input back unchanged; an unterminated literal or comment runs
// to the end of the text.
#pragma once

#include <string_view>
#include <vector>

namespace qv {

struct SqlToken {
  enum class Kind { Space, Comment, Word, String, QuotedName, BracketName, Punct };
  Kind kind;
  std::string_view text;

  bool IsBlank() const { return kind == Kind::Space || kind == Kind::Comment; }
};

std::vector<SqlToken> TokenizeSql(std::string_view sql);

}  // namespace qv
