// The desktop-SQL translator over any text. Beyond not crashing, three
// things must hold: the lexer gives its input back, string literals come
// through unchanged and in order, and a single statement stays a single
// statement (a rewrite never opens a second one).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "data/connection.h"
#include "engine/dialect.h"
#include "engine/sql_tokens.h"

namespace {

std::vector<std::string_view> Literals(std::string_view sql) {
  std::vector<std::string_view> literals;
  for (const qv::SqlToken& token : qv::TokenizeSql(sql)) {
    if (token.kind == qv::SqlToken::Kind::String) literals.push_back(token.text);
  }
  return literals;
}

bool SingleStatement(std::string_view sql) {
  try {
    qv::CheckSingleStatement(sql);
    return true;
  } catch (const qv::DatabaseError&) {
    return false;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view sql(reinterpret_cast<const char*>(data), size);
  std::string joined;
  for (const qv::SqlToken& token : qv::TokenizeSql(sql)) joined += token.text;
  if (joined != sql) std::abort();

  const std::string translated = qv::TranslateToSqlite(sql);
  // The input's literals are a subsequence of the output's (a rewrite may
  // add literals of its own, as Now() does).
  const std::vector<std::string_view> before = Literals(sql), after = Literals(translated);
  size_t next = 0;
  for (std::string_view literal : after) {
    if (next < before.size() && literal == before[next]) ++next;
  }
  if (next != before.size()) std::abort();

  if (SingleStatement(sql) && !SingleStatement(translated)) std::abort();
  return 0;
}
