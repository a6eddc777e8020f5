#include "engine/sql_tokens.h"

#include <array>

namespace qv {
namespace {

bool IsWordChar(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return u >= 0x80 || (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
         c == '_' || c == '$';
}

bool IsSpaceChar(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// End of a literal opened by `quote` at pos; a doubled quote is an escape.
size_t QuotedEnd(std::string_view s, size_t pos, char quote) {
  size_t i = pos + 1;
  while (i < s.size()) {
    if (s[i] == quote) {
      if (i + 1 < s.size() && s[i + 1] == quote && quote != ']') {
        i += 2;
        continue;
      }
      return i + 1;
    }
    ++i;
  }
  return s.size();
}

size_t CommentEnd(std::string_view s, size_t pos) {
  if (s[pos] == '-') {
    size_t nl = s.find('\n', pos);
    return nl == std::string_view::npos ? s.size() : nl;
  }
  size_t close = s.find("*/", pos + 2);
  return close == std::string_view::npos ? s.size() : close + 2;
}

size_t PunctLength(std::string_view s, size_t pos) {
  static constexpr std::array<std::string_view, 6> kTwoChar = {"<>", "<=", ">=", "!=", "==", "||"};
  for (std::string_view op : kTwoChar) {
    if (s.substr(pos, 2) == op) return 2;
  }
  return 1;
}

// Kind and end of the token that starts at pos.
SqlToken::Kind Scan(std::string_view s, size_t pos, size_t* end) {
  using Kind = SqlToken::Kind;
  char c = s[pos];
  if (IsSpaceChar(c)) {
    size_t i = pos;
    while (i < s.size() && IsSpaceChar(s[i])) ++i;
    *end = i;
    return Kind::Space;
  }
  if (s.substr(pos, 2) == "--" || s.substr(pos, 2) == "/*") {
    *end = CommentEnd(s, pos);
    return Kind::Comment;
  }
  if (IsWordChar(c)) {
    size_t i = pos;
    while (i < s.size() && IsWordChar(s[i])) ++i;
    *end = i;
    return Kind::Word;
  }
  if (c == '\'') {
    *end = QuotedEnd(s, pos, '\'');
    return Kind::String;
  }
  if (c == '"' || c == '`') {
    *end = QuotedEnd(s, pos, c);
    return Kind::QuotedName;
  }
  if (c == '[') {
    *end = QuotedEnd(s, pos, ']');
    return Kind::BracketName;
  }
  *end = pos + PunctLength(s, pos);
  return Kind::Punct;
}

}  // namespace

std::vector<SqlToken> TokenizeSql(std::string_view sql) {
  std::vector<SqlToken> tokens;
  size_t pos = 0;
  while (pos < sql.size()) {
    size_t end = pos;
    SqlToken::Kind kind = Scan(sql, pos, &end);
    tokens.push_back({kind, sql.substr(pos, end - pos)});
    pos = end;
  }
  return tokens;
}

}  // namespace qv
