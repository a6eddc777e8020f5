#include "engine/dialect.h"

#include <vector>

#include "core/convert.h"
#include "data/connection.h"
#include "engine/sql_tokens.h"

namespace qv {
namespace {

constexpr std::string_view kNow = "datetime('now','localtime')";
constexpr std::string_view kToday = "datetime('now','localtime','start of day')";
constexpr std::string_view kTimeOfDay = "time('now','localtime')";
constexpr std::string_view kText = "TEXT COLLATE NOCASE";

// Rewrites a token list in place: out[i] is what token i becomes ("" when
// dropped). Rules look at the original tokens, so each rule sees the
// statement as written.
class Rewriter {
 public:
  explicit Rewriter(std::string_view sql) : tok_(TokenizeSql(sql)) {
    out_.reserve(tok_.size());
    for (const SqlToken& t : tok_) out_.emplace_back(t.text);
  }

  std::string Run() {
    RewriteBracketNames();
    RewriteDdl();
    RewriteComparisons();
    RewriteWords();
    std::string result;
    for (const std::string& piece : out_) result += piece;
    return result;
  }

 private:
  size_t End() const { return tok_.size(); }

  // Next non-blank token after i, or End().
  size_t Next(size_t i) const {
    for (++i; i < End(); ++i) {
      if (!tok_[i].IsBlank()) break;
    }
    return i;
  }
  // Previous non-blank token before i, or End() when there is none.
  size_t Prev(size_t i) const {
    while (i-- > 0) {
      if (!tok_[i].IsBlank()) return i;
    }
    return End();
  }
  size_t First() const { return Next(static_cast<size_t>(-1)); }

  bool IsWord(size_t i, std::string_view word) const {
    return i < End() && tok_[i].kind == SqlToken::Kind::Word && EqualsNoCase(tok_[i].text, word);
  }
  bool IsPunct(size_t i, std::string_view p) const {
    return i < End() && tok_[i].kind == SqlToken::Kind::Punct && tok_[i].text == p;
  }
  std::string Lower(size_t i) const { return i < End() ? ToLower(tok_[i].text) : std::string(); }
  // A name after a '.' (t.date) is a column, never a keyword or function.
  bool IsQualified(size_t i) const { return IsPunct(Prev(i), "."); }

  void Replace(size_t from, size_t to, std::string_view text) {
    out_[from] = std::string(text);
    for (size_t k = from + 1; k <= to && k < End(); ++k) out_[k].clear();
  }

  // A column default that calls a function must be parenthesised.
  std::string AsExpression(size_t i, std::string_view expr) const {
    if (IsWord(Prev(i), "default")) return "(" + std::string(expr) + ")";
    return std::string(expr);
  }

  // Index of the ')' closing the '(' at open, or End().
  size_t MatchingParen(size_t open) const {
    int depth = 0;
    for (size_t i = open; i < End(); ++i) {
      if (IsPunct(i, "(")) ++depth;
      if (IsPunct(i, ")") && --depth == 0) return i;
    }
    return End();
  }

  // Only numbers, signs, commas and blanks lie between open and close.
  bool HoldsNumbers(size_t open, size_t close) const {
    for (size_t k = open + 1; k < close; ++k) {
      if (tok_[k].IsBlank() || IsPunct(k, ",") || IsPunct(k, "-") || IsPunct(k, "+")) continue;
      if (tok_[k].kind != SqlToken::Kind::Word ||
          tok_[k].text.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
      }
    }
    return true;
  }

  // The close of "()" after a function name at i, or End() when absent.
  size_t EmptyCall(size_t i) const {
    size_t open = Next(i);
    if (!IsPunct(open, "(")) return End();
    size_t close = Next(open);
    return IsPunct(close, ")") ? close : End();
  }

  void RewriteBracketNames();
  void RewriteComparisons();
  void RewriteWords();
  size_t RewriteFunction(size_t i);
  void RewriteDdl();
  void RewriteColumnList(size_t open);
  void RewriteColumnType(size_t i);
  void RewriteCounter(size_t i);
  void RewriteSizedText(size_t i);

  std::vector<SqlToken> tok_;
  std::vector<std::string> out_;
};

void Rewriter::RewriteBracketNames() {
  for (size_t i = 0; i < End(); ++i) {
    if (tok_[i].kind != SqlToken::Kind::BracketName) continue;
    std::string_view inner = tok_[i].text.substr(1);
    if (!inner.empty() && inner.back() == ']') inner.remove_suffix(1);
    out_[i] = "\"" + ReplaceAll(inner, "\"", "\"\"") + "\"";
  }
}

// "= null" compares with NULL and "= true" with any non-zero value, except
// in the SET list of an UPDATE, where they assign.
void Rewriter::RewriteComparisons() {
  bool is_update = IsWord(First(), "update");
  bool in_set_list = false;
  int depth = 0;
  for (size_t i = 0; i < End(); ++i) {
    if (IsPunct(i, "(")) ++depth;
    if (IsPunct(i, ")")) --depth;
    if (is_update && depth == 0 && IsWord(i, "set")) in_set_list = true;
    if (is_update && depth == 0 && IsWord(i, "where")) in_set_list = false;
    bool equals = IsPunct(i, "=") || IsPunct(i, "==");
    bool differs = IsPunct(i, "<>") || IsPunct(i, "!=");
    if (!equals && !differs) continue;
    if (equals && in_set_list && depth == 0) continue;
    size_t value = Next(i);
    std::string lead = (i > 0 && tok_[i - 1].IsBlank()) ? "" : " ";
    if (IsWord(value, "null")) {
      Replace(i, value, lead + (equals ? "IS NULL" : "IS NOT NULL"));
    } else if (IsWord(value, "true") && !IsPunct(Next(value), "(")) {
      // Any non-zero value is true, as a stored -1 is.
      Replace(i, value, lead + (equals ? "<> 0" : "= 0"));
    } else {
      continue;
    }
    i = value;
  }
}

// Functions, DELETE *, len() and Boolean constants.
void Rewriter::RewriteWords() {
  for (size_t i = 0; i < End(); ++i) {
    if (tok_[i].kind != SqlToken::Kind::Word || out_[i] != tok_[i].text || IsQualified(i)) continue;
    std::string word = Lower(i);
    if (word == "now" || word == "date" || word == "time") {
      i = RewriteFunction(i);
    } else if (word == "delete" && IsPunct(Next(i), "*") && IsWord(Next(Next(i)), "from")) {
      Replace(i, Next(Next(i)), "DELETE FROM");
    } else if (word == "len" && IsPunct(Next(i), "(")) {
      out_[i] = "length";
    } else if ((word == "true" || word == "false") && !IsPunct(Next(i), "(")) {
      out_[i] = word == "true" ? "1" : "0";
    }
  }
}

// Now(), Date(), Time() and Date() + Time(); returns the last token used.
size_t Rewriter::RewriteFunction(size_t i) {
  size_t close = EmptyCall(i);
  if (close == End()) return i;
  std::string word = Lower(i);
  if (word == "date") {
    size_t plus = Next(close);
    size_t time = Next(plus);
    size_t time_close = IsWord(time, "time") ? EmptyCall(time) : End();
    if (IsPunct(plus, "+") && time_close != End()) {
      Replace(i, time_close, AsExpression(i, kNow));
      return time_close;
    }
  }
  std::string_view expr = word == "now" ? kNow : word == "date" ? kToday : kTimeOfDay;
  Replace(i, close, AsExpression(i, expr));
  return close;
}

// CREATE [TEMP] TABLE [IF NOT EXISTS] name (columns) and
// ALTER TABLE name ADD [COLUMN] column type.
void Rewriter::RewriteDdl() {
  size_t i = First();
  if (IsWord(i, "create")) {
    i = Next(i);
    if (IsWord(i, "temp") || IsWord(i, "temporary")) i = Next(i);
    if (!IsWord(i, "table")) return;
    for (size_t k = Next(i); k < End() && !IsWord(k, "as"); k = Next(k)) {
      if (IsPunct(k, "(")) return RewriteColumnList(k);
    }
  } else if (IsWord(i, "alter") && IsWord(Next(i), "table")) {
    size_t name = Next(Next(i));
    if (IsPunct(Next(name), ".")) name = Next(Next(name));
    size_t add = Next(name);
    if (!IsWord(add, "add")) return;
    size_t column = Next(add);
    if (IsWord(column, "column")) column = Next(column);
    RewriteColumnType(Next(column));
  }
}

// Each element of the column list: a column name and its type, or a
// table constraint, which is left alone.
void Rewriter::RewriteColumnList(size_t open) {
  static const std::vector<std::string_view> kConstraints = {"constraint", "primary", "unique",
                                                             "check", "foreign"};
  size_t close = MatchingParen(open);
  size_t start = Next(open);
  while (start < close) {
    bool is_constraint = false;
    for (std::string_view w : kConstraints) is_constraint = is_constraint || IsWord(start, w);
    if (!is_constraint) RewriteColumnType(Next(start));
    size_t k = start;
    while (k < close && !IsPunct(k, ",")) k = IsPunct(k, "(") ? MatchingParen(k) + 1 : k + 1;
    start = Next(k);
  }
}

void Rewriter::RewriteColumnType(size_t i) {
  if (i >= End() || tok_[i].kind != SqlToken::Kind::Word) return;
  std::string type = Lower(i);
  if (type == "counter" || type == "autoincrement") return RewriteCounter(i);
  if (type == "text" || type == "varchar" || type == "char" || type == "nvarchar" ||
      type == "nchar" || type == "string") {
    return RewriteSizedText(i);
  }
  if (type == "memo" || type == "longtext" || type == "longchar" || type == "note" ||
      type == "ntext") {
    out_[i] = kText;
  } else if (type == "yesno" || type == "bit" || type == "logical" || type == "boolean") {
    out_[i] = "BOOLEAN";
  } else if (type == "datetime" || type == "date" || type == "time" || type == "timestamp") {
    out_[i] = "DATETIME";
  } else if (type == "long" || type == "int" || type == "integer") {
    out_[i] = "INTEGER";
  } else if (type == "short" || type == "smallint" || type == "byte" || type == "tinyint") {
    out_[i] = "SMALLINT";
  } else if (type == "single" || type == "real") {
    out_[i] = "REAL";
  } else if (type == "double" || type == "float" || type == "currency" || type == "money") {
    out_[i] = "DOUBLE";
  }
}

// counter (optionally counter(seed, step)) becomes the auto-numbered key;
// a PRIMARY KEY written after it is dropped, as the key is already there.
// Parentheses holding anything but the two numbers stay, for SQLite to
// refuse: dropping them would drop the columns and literals inside.
void Rewriter::RewriteCounter(size_t i) {
  size_t last = i;
  if (IsPunct(Next(i), "(")) {
    last = MatchingParen(Next(i));
    if (last < End() && !HoldsNumbers(Next(i), last)) last = i;
  }
  if (last >= End()) return;
  Replace(i, last, "INTEGER PRIMARY KEY AUTOINCREMENT");
  size_t primary = Next(last);
  if (IsWord(primary, "primary") && IsWord(Next(primary), "key")) {
    Replace(last + 1, Next(primary), "");
  }
}

// text(n) keeps its length; text without one is a long text.
void Rewriter::RewriteSizedText(size_t i) {
  size_t open = Next(i);
  size_t size = Next(open);
  size_t close = Next(size);
  if (IsPunct(open, "(") && size < End() && tok_[size].kind == SqlToken::Kind::Word &&
      IsPunct(close, ")")) {
    Replace(i, close, "VARCHAR(" + std::string(tok_[size].text) + ") COLLATE NOCASE");
  } else {
    out_[i] = Lower(i) == "text" ? std::string(kText) : "VARCHAR(255) COLLATE NOCASE";
  }
}

}  // namespace

std::string TranslateToSqlite(std::string_view desktop_sql) { return Rewriter(desktop_sql).Run(); }

void CheckSingleStatement(std::string_view sql) {
  bool ended = false;
  for (const SqlToken& t : TokenizeSql(sql)) {
    if (t.IsBlank()) continue;
    if (ended) throw DatabaseError("Only one statement per call");
    ended = t.kind == SqlToken::Kind::Punct && t.text == ";";
  }
}

}  // namespace qv
