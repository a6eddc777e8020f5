#include "engine/sql_script.h"

#include "engine/sql_tokens.h"

namespace qv {
namespace {

bool HasNewline(const SqlToken& t) { return t.text.find('\n') != std::string_view::npos; }

// True when the ";" at index semicolon is the last thing on its line.
bool EndsLine(const std::vector<SqlToken>& tokens, size_t semicolon) {
  for (size_t i = semicolon + 1; i < tokens.size(); ++i) {
    const SqlToken& t = tokens[i];
    if (t.kind == SqlToken::Kind::Space && !HasNewline(t)) continue;
    if (t.kind == SqlToken::Kind::Space) return true;
    return t.kind == SqlToken::Kind::Comment && t.text.substr(0, 2) == "--";
  }
  return true;
}

void Flush(std::string* statement, std::vector<std::string>* statements) {
  constexpr std::string_view kBlanks = " \t\r\n\f\v";
  size_t first = statement->find_first_not_of(kBlanks);
  if (first != std::string::npos) {
    size_t last = statement->find_last_not_of(kBlanks);
    statements->push_back(statement->substr(first, last - first + 1));
  }
  statement->clear();
}

}  // namespace

std::vector<std::string> SplitSqlScript(std::string_view script) {
  std::vector<SqlToken> tokens = TokenizeSql(script);
  std::vector<std::string> statements;
  std::string statement;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const SqlToken& t = tokens[i];
    if (t.kind == SqlToken::Kind::Comment) {
      statement += ' ';
    } else if (t.kind == SqlToken::Kind::Punct && t.text == ";" && EndsLine(tokens, i)) {
      Flush(&statement, &statements);
    } else {
      statement += t.text;
    }
  }
  Flush(&statement, &statements);
  return statements;
}

}  // namespace qv
