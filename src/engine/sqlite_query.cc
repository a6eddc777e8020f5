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

namespace {

// The one table every column comes from, or "" (expressions are ignored).
std::string SingleSourceTable(sqlite3_stmt* stmt) {
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

ColumnShape ReadShape(sqlite3_stmt* stmt, int compiled) {
  ColumnShape shape;
  shape.compiled = compiled;
  const int count = sqlite3_column_count(stmt);
  for (int i = 0; i < count; ++i) {
    const char* declared = sqlite3_column_decltype(stmt, i);
    shape.types.push_back(ClassifyDeclaredType(declared ? declared : ""));
    shape.fields.push_back({sqlite3_column_name(stmt, i), 0, 0});
  }
  shape.table = SingleSourceTable(stmt);
  const char* first = count > 0 ? sqlite3_column_table_name(stmt, 0) : nullptr;
  shape.first_table = first ? first : "";
  for (int i = 1; i < count && first != nullptr; ++i) {
    const char* other = sqlite3_column_table_name(stmt, i);
    if (other != nullptr && !EqualsNoCase(other, first)) shape.others_from_first = false;
  }
  return shape;
}

// Steps stmt to its end and reads its columns from `first` on; the values
// of column 0 go to keys when first is 1. The first step comes before the
// shape is checked: a statement prepared earlier is compiled anew by it
// when the schema changed meanwhile.
QueryResult ReadRows(sqlite3* db, sqlite3_stmt* stmt, ColumnShape& shape, int first,
                     std::vector<Variant>* keys) {
  bool has_row = StepSqlite(db, stmt);
  const int compiled = sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_REPREPARE, 0);
  if (shape.compiled != compiled) shape = ReadShape(stmt, compiled);
  const int count = static_cast<int>(shape.types.size());
  if (count < first) ThrowNotUpdatable("its ID is not a column of a table");
  QueryResult result;
  result.fields.assign(shape.fields.begin() + first, shape.fields.end());
  std::vector<ColumnType> types = shape.types;
  for (; has_row; has_row = StepSqlite(db, stmt)) {
    if (keys != nullptr) keys->push_back(ReadColumn(stmt, 0, types[0].kind));
    std::vector<Variant>& row = result.rows.emplace_back();
    row.reserve(count - first);
    for (int i = first; i < count; ++i) {
      row.push_back(ReadColumn(stmt, i, types[i].kind));
      if (types[i].ado_type == 0) {
        const int storage = sqlite3_column_type(stmt, i);
        if (storage != SQLITE_NULL) types[i] = TypeOfStorageClass(storage);
      }
    }
  }
  for (int i = first; i < count; ++i) {
    if (types[i].ado_type == 0) types[i] = TypeOfStorageClass(SQLITE_NULL);
    result.fields[i - first].type = types[i].ado_type;
    result.fields[i - first].defined_size = types[i].defined_size;
  }
  return result;
}

}  // namespace

QueryResult ReadAllRows(sqlite3* db, sqlite3_stmt* stmt, ColumnShape& shape) {
  QueryResult result = ReadRows(db, stmt, shape, 0, nullptr);
  result.table = shape.table;
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

QueryResult ReadKeyedRows(sqlite3* db, sqlite3_stmt* stmt, ColumnShape& shape) {
  std::vector<Variant> keys;
  QueryResult result = ReadRows(db, stmt, shape, 1, &keys);
  if (shape.first_table.empty()) ThrowNotUpdatable("its ID is not a column of a table");
  if (!shape.others_from_first) ThrowNotUpdatable("it reads more than one table");
  result.table = shape.first_table;
  result.key_ids.reserve(keys.size());
  for (const Variant& key : keys) {
    if (!key.IsInteger()) ThrowNotUpdatable("a row of " + result.table + " has no ID");
    result.key_ids.push_back(key.AsInteger());
  }
  return result;
}

}  // namespace qv
