#include "engine/sqlite_query.h"

#include "core/convert.h"
#include "engine/sql_tokens.h"
#include "engine/sqlite_handle.h"
#include "engine/sqlite_values.h"

namespace qv {
namespace {

[[noreturn]] void ThrowNotUpdatable(std::string_view why) {
  throw DatabaseError("Record set is not updatable: " + std::string(why));
}

void RequirePlainSelect(const std::vector<SqlToken>& tokens, std::string_view sql) {
  int depth = 0;
  for (const SqlToken& t : tokens) {
    if (t.kind == SqlToken::Kind::Punct) depth += t.text == "(" ? 1 : t.text == ")" ? -1 : 0;
    if (depth != 0 || t.kind != SqlToken::Kind::Word) continue;
    std::string word = ToUpper(t.text);
    if (word == "DISTINCT" || word == "GROUP" || word == "UNION" || word == "INTERSECT" ||
        word == "EXCEPT") {
      ThrowNotUpdatable(sql);
    }
  }
}

}  // namespace

void RequireOrdinaryStatement(std::string_view sql) {
  static constexpr std::string_view kRefused[] = {"begin",     "commit",  "end",    "rollback",
                                                  "savepoint", "release", "attach", "detach"};
  for (const SqlToken& t : TokenizeSql(sql)) {
    if (t.IsBlank()) continue;
    for (std::string_view word : kRefused) {
      if (t.kind == SqlToken::Kind::Word && EqualsNoCase(t.text, word)) {
        throw DatabaseError("Statement not allowed here: " + ToUpper(word));
      }
    }
    return;
  }
}

// The one table every column comes from, or "" (expressions are ignored).
static std::string SingleSourceTable(sqlite3_stmt* stmt) {
  std::string table;
  for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
    const char* source = sqlite3_column_table_name(stmt, i);
    if (source == nullptr) continue;
    if (table.empty()) {
      table = source;
    } else if (!EqualsNoCase(table, source)) {
      return "";
    }
  }
  return table;
}

QueryResult ReadAllRows(sqlite3* db, sqlite3_stmt* stmt) {
  // The first step comes before the column metadata: a statement prepared
  // earlier is compiled anew by it when the schema changed meanwhile.
  bool has_row = StepSqlite(db, stmt);
  QueryResult result;
  int count = sqlite3_column_count(stmt);
  std::vector<ColumnType> types(count);
  for (int i = 0; i < count; ++i) {
    const char* declared = sqlite3_column_decltype(stmt, i);
    types[i] = ClassifyDeclaredType(declared ? declared : "");
    result.fields.push_back({sqlite3_column_name(stmt, i), 0, 0});
  }
  result.table = SingleSourceTable(stmt);
  for (; has_row; has_row = StepSqlite(db, stmt)) {
    std::vector<Variant>& row = result.rows.emplace_back();
    row.reserve(count);
    for (int i = 0; i < count; ++i) {
      row.push_back(ReadColumn(stmt, i, types[i].kind));
      int storage = sqlite3_column_type(stmt, i);
      if (types[i].ado_type == 0 && storage != SQLITE_NULL) types[i] = TypeOfStorageClass(storage);
    }
  }
  for (int i = 0; i < count; ++i) {
    if (types[i].ado_type == 0) types[i] = TypeOfStorageClass(SQLITE_NULL);
    result.fields[i].type = types[i].ado_type;
    result.fields[i].defined_size = types[i].defined_size;
  }
  return result;
}

std::string WithKeyColumn(std::string_view sql) {
  std::vector<SqlToken> tokens = TokenizeSql(sql);
  size_t first = 0;
  while (first < tokens.size() && tokens[first].IsBlank()) ++first;
  if (first == tokens.size() || !EqualsNoCase(tokens[first].text, "select")) {
    ThrowNotUpdatable(sql);
  }
  RequirePlainSelect(tokens, sql);
  size_t after_select = tokens[first].text.data() + tokens[first].text.size() - sql.data();
  return std::string(sql.substr(0, after_select)) + " ID AS qv_key_," +
         std::string(sql.substr(after_select));
}

QueryResult ReadKeyedRows(sqlite3* db, sqlite3_stmt* stmt) {
  QueryResult result = ReadAllRows(db, stmt);
  const char* table = sqlite3_column_table_name(stmt, 0);
  if (table == nullptr) ThrowNotUpdatable("its ID is not a column of a table");
  for (int i = 1; i < sqlite3_column_count(stmt); ++i) {
    const char* other = sqlite3_column_table_name(stmt, i);
    if (other != nullptr && !EqualsNoCase(other, table)) {
      ThrowNotUpdatable("it reads more than one table");
    }
  }
  result.table = table;
  result.fields.erase(result.fields.begin());
  for (std::vector<Variant>& row : result.rows) {
    if (!row.front().IsInteger()) ThrowNotUpdatable("a row of " + result.table + " has no ID");
    result.key_ids.push_back(row.front().AsInteger());
    row.erase(row.begin());
  }
  return result;
}

}  // namespace qv
