#include "engine/pg_query.h"

#include <map>
#include <optional>
#include <vector>

#include "core/convert.h"
#include "core/sql_literal.h"
#include "engine/dialect.h"
#include "engine/pg_schema.h"
#include "engine/pg_values.h"
#include "engine/sql_tokens.h"
#include "engine/sqlite_query.h"

namespace qv {
namespace {

// The statement's words, blanks and comments left out.
std::vector<SqlToken> Words(std::string_view sql) {
  std::vector<SqlToken> words;
  for (const SqlToken& t : TokenizeSql(sql)) {
    if (!t.IsBlank()) words.push_back(t);
  }
  return words;
}

bool Is(const std::vector<SqlToken>& w, size_t i, std::string_view word) {
  return i < w.size() && EqualsNoCase(w[i].text, word);
}

std::string Quote(std::string_view name) {
  try {
    return "\"" + ToLower(CheckIdentifier(name)) + "\"";
  } catch (const SqlValueError& e) {
    throw DatabaseError(e.what());
  }
}

// The name a DDL statement makes or changes: its index among the words,
// or words.size() when the statement is no such DDL.
size_t DdlName(const std::vector<SqlToken>& w) {
  size_t i = 1;
  if (Is(w, 0, "create")) {
    if (Is(w, i, "temp") || Is(w, i, "temporary")) ++i;
    if (!Is(w, i, "table") && !Is(w, i, "view")) return w.size();
    ++i;
    if (Is(w, i, "if")) i += Is(w, i + 1, "not") ? 3 : 2;
    return i;
  }
  if ((Is(w, 0, "alter") || Is(w, 0, "drop")) && (Is(w, 1, "table") || Is(w, 1, "view"))) {
    i = 2;
    if (Is(w, i, "if")) i += 2;
    return i;
  }
  return w.size();
}

}  // namespace

std::string Spellings::Of(const std::string& folded) {
  if (!read_) {
    read_ = true;
    for (const SqlToken& t : TokenizeSql(sql_)) {
      std::string_view text = t.text;
      if (t.kind == SqlToken::Kind::BracketName && text.size() >= 2) {
        text = text.substr(1, text.size() - 2);
      } else if (t.kind != SqlToken::Kind::Word) {
        continue;
      }
      names_.emplace(ToLower(text), std::string(text));
    }
  }
  auto found = names_.find(folded);
  return found == names_.end() ? folded : found->second;
}

namespace {

bool IsReadOnly(const std::vector<SqlToken>& w) {
  return Is(w, 0, "select") || Is(w, 0, "values") || Is(w, 0, "show");
}

bool IsPreparable(const std::vector<SqlToken>& w) {
  return IsReadOnly(w) || Is(w, 0, "insert") || Is(w, 0, "update") || Is(w, 0, "delete") ||
         Is(w, 0, "with");
}

// The table of an INSERT that gives ID values itself, or "".
std::string InsertsKeys(const std::vector<SqlToken>& w) {
  if (!Is(w, 0, "insert") || !Is(w, 1, "into") || w.size() < 4) return "";
  size_t open = 3;
  if (w[open].text != "(") return "";
  for (size_t i = open + 1; i < w.size() && w[i].text != ")"; ++i) {
    if (EqualsNoCase(w[i].text, "id") || EqualsNoCase(w[i].text, "[id]") ||
        EqualsNoCase(w[i].text, "\"id\"")) {
      return IsPlainIdentifier(w[2].text) ? std::string(w[2].text) : "";
    }
  }
  return "";
}

QueryResult ReadResult(PgDatabase& db, PGresult* rows, Spellings& spellings) {
  QueryResult result;
  int count = PQnfields(rows);
  std::vector<unsigned> tables;
  std::vector<int> numeric_truth;
  for (int i = 0; i < count; ++i) {
    std::string folded = PQfname(rows, i);
    unsigned table = PQftable(rows, i);
    int attribute = PQftablecol(rows, i);
    ColumnType type = PgExpressionType(PQftype(rows, i));
    std::string name;
    if (table != InvalidOid && attribute > 0) {
      const PgRelation& relation = db.Relation(table);
      auto column = relation.columns.find(attribute);
      if (column != relation.columns.end()) {
        ColumnType declared = PgColumnType(column->second);
        if (declared.ado_type != 0) type = declared;
        if (ToLower(column->second.name) == folded) name = column->second.name;
      }
      tables.push_back(table);
    }
    if (name.empty()) name = spellings.Of(folded);
    result.fields.push_back({name, type.ado_type, type.defined_size});
    // A comparison's value is the number 1 or 0 on SQLite.
    if (type.kind == ColumnKind::Boolean && table == InvalidOid) {
      result.fields.back().type = adInteger;
      numeric_truth.push_back(i);
    }
  }
  bool one_table = !tables.empty();
  for (unsigned t : tables) one_table = one_table && t == tables.front();
  if (one_table) result.table = db.Relation(tables.front()).name;
  int row_count = PQntuples(rows);
  result.rows.reserve(row_count);
  for (int r = 0; r < row_count; ++r) {
    std::vector<Variant>& row = result.rows.emplace_back();
    row.reserve(count);
    for (int i = 0; i < count; ++i) row.push_back(ReadPgValue(rows, r, i));
    for (int i : numeric_truth) {
      if (row[i].IsBoolean()) row[i] = Variant(row[i].AsBoolean() ? 1 : 0);
    }
  }
  return result;
}

QueryResult TakeKeys(PgDatabase& db, PGresult* rows, QueryResult result) {
  unsigned table = PQnfields(rows) > 0 ? PQftable(rows, 0) : InvalidOid;
  if (table == InvalidOid) {
    throw DatabaseError("Record set is not updatable: its ID is not a column of a table");
  }
  for (int i = 1; i < PQnfields(rows); ++i) {
    unsigned other = PQftable(rows, i);
    if (other != InvalidOid && other != table) {
      throw DatabaseError("Record set is not updatable: it reads more than one table");
    }
  }
  result.table = db.Relation(table).name;
  result.fields.erase(result.fields.begin());
  for (std::vector<Variant>& row : result.rows) {
    if (!row.front().IsInteger()) {
      throw DatabaseError("Record set is not updatable: a row of " + result.table + " has no ID");
    }
    result.key_ids.push_back(row.front().AsInteger());
    row.erase(row.begin());
  }
  return result;
}

// The comments that keep a table's or view's spellings and declared types.
void NoteColumns(PgDatabase& db, const std::string& table, std::string_view sql,
                 const std::vector<DesktopColumn>& columns, bool is_view, bool made) {
  if (!IsPlainIdentifier(table)) return;
  const std::string quoted = Quote(table);
  if (made)
    db.Exec("COMMENT ON " + std::string(is_view ? "VIEW " : "TABLE ") + quoted + " IS " +
            SqlText(table));
  for (const DesktopColumn& c : columns) {
    if (!IsPlainIdentifier(c.name)) continue;
    db.Exec("COMMENT ON COLUMN " + quoted + "." + Quote(c.name) + " IS " +
            SqlText(c.name + " " + c.declared));
  }
  if (!is_view) return;
  // A view's column takes the declared type of the table column of its
  // name that the view reads (else one from its own type), and its
  // spelling from the statement.
  PgResult rows = db.Exec(
      "SELECT va.attname, COALESCE((SELECT col_description(d.refobjid, d.refobjsubid) "
      "FROM pg_rewrite r JOIN pg_depend d ON d.classid = 'pg_rewrite'::regclass "
      "AND d.objid = r.oid AND d.refobjsubid > 0 "
      "JOIN pg_attribute ta ON ta.attrelid = d.refobjid AND ta.attnum = d.refobjsubid "
      "WHERE r.ev_class = va.attrelid AND d.refobjid <> va.attrelid "
      "AND ta.attname = va.attname LIMIT 1), ''), format_type(va.atttypid, va.atttypmod) "
      "FROM pg_attribute va WHERE va.attrelid = $1::regclass AND va.attnum > 0",
      {ToLower(table)});
  Spellings spellings{std::string(sql)};
  for (int r = 0; r < PQntuples(rows.get()); ++r) {
    std::string folded = PQgetvalue(rows.get(), r, 0);
    std::string source = PQgetvalue(rows.get(), r, 1);
    size_t blank = source.find(' ');
    std::string declared = blank == std::string::npos ? DesktopTypeOf(PQgetvalue(rows.get(), r, 2))
                                                      : source.substr(blank + 1);
    std::string name = spellings.Of(folded);
    if (!IsPlainIdentifier(name) || declared.empty()) continue;
    db.Exec("COMMENT ON COLUMN " + quoted + "." + Quote(name) + " IS " +
            SqlText(name + " " + declared));
  }
}

// What the engine keeps about a table or view after DDL on it.
void AfterDdl(PgDatabase& db, const std::vector<SqlToken>& w, std::string_view sql,
              const std::vector<DesktopColumn>& columns) {
  db.SchemaChanged();
  size_t at = DdlName(w);
  if (at >= w.size()) return;
  std::string name(w[at].text);
  if (w[at].kind == SqlToken::Kind::BracketName && name.size() >= 2) {
    name = name.substr(1, name.size() - 2);
  }
  bool is_view = Is(w, 1, "view") || Is(w, 2, "view");
  bool made = Is(w, 0, "create");
  if (Is(w, 0, "drop")) {
    if (!is_view) CountPgTable(db, name, false);
    return;
  }
  NoteColumns(db, name, sql, columns, is_view, made);
  if (made && !is_view) CountPgTable(db, name, true);
}

// Runs f so that a failure inside a transaction undoes only this statement.
template <class F>
auto Guarded(PgDatabase& db, F f) {
  if (db.depth() == 0) return f();
  db.Exec("SAVEPOINT qv_statement");
  try {
    auto result = f();
    db.Exec("RELEASE qv_statement");
    return result;
  } catch (...) {
    if (!db.IsBroken()) {
      PQclear(PQexec(db.get(), "ROLLBACK TO qv_statement; RELEASE qv_statement"));
    }
    throw;
  }
}

// A trigger of the schema scripts written in SQLite's syntax: the counting
// triggers become the table's counter trigger; any other is refused.
QueryResult RunScriptTrigger(PgDatabase& db, const std::vector<SqlToken>& w,
                             const std::string& sql) {
  size_t on = 0;
  while (on < w.size() && !Is(w, on, "on")) ++on;
  bool counting = w.size() > 2 && ToLower(w[2].text).find("_counted_") != std::string::npos &&
                  sql.find("qvChangeCounter") != std::string::npos;
  if (!counting || on + 1 >= w.size()) {
    throw DatabaseError("A trigger in SQLite's syntax does not run on PostgreSQL: " + sql);
  }
  CreatePgCounterTrigger(db, std::string(w[on + 1].text));
  return {};
}

// A statement that makes, changes or drops a table or view, with what the
// engine keeps about it, at a transaction level of its own.
QueryResult RunDdl(PgDatabase& db, const std::vector<SqlToken>& w, const std::string& sql,
                   const std::string& translated, const std::vector<DesktopColumn>& columns) {
  db.Begin();
  try {
    db.Exec(translated);
    AfterDdl(db, w, sql, columns);
    db.Commit();
  } catch (...) {
    db.Rollback();
    db.SchemaChanged();
    throw;
  }
  return {};
}

}  // namespace

QueryResult RunPgStatement(PgDatabase& db, const std::string& sql, bool with_keys,
                           bool from_script) {
  const std::string key = (with_keys ? "K" : "Q") + sql;
  std::shared_ptr<PgPlan> plan = db.FindPlan(key);
  if (!plan) {
    std::vector<SqlToken> w = Words(sql);
    if (from_script && Is(w, 0, "create") && Is(w, 1, "trigger")) {
      return RunScriptTrigger(db, w, sql);
    }
    std::vector<DesktopColumn> columns;
    std::string translated = TranslateToPostgres(sql, &columns);
    CheckSingleStatement(translated);
    RequireOrdinaryStatement(translated);
    if (Is(w, 0, "create") || Is(w, 0, "alter") || Is(w, 0, "drop")) {
      NoteDatabaseWrite();
      return RunDdl(db, w, sql, translated, columns);
    }
    plan = std::make_shared<PgPlan>(sql);
    plan->read_only = IsReadOnly(w);
    plan->preparable = IsPreparable(w);
    plan->keyed_table = InsertsKeys(w);
    plan->translated = with_keys ? WithKeyColumn(translated) : translated;
    db.KeepPlan(key, plan);
  }
  if (!plan->read_only) NoteDatabaseWrite();
  auto run = [&] {
    return plan->preparable ? db.Prepared(plan->translated) : db.Exec(plan->translated);
  };
  if (with_keys) {
    return Guarded(db, [&] {
      PgResult rows;
      try {
        rows = run();
      } catch (const DatabaseError& e) {
        if (db.IsBroken()) throw;
        throw DatabaseError("Record set is not updatable: " + std::string(e.what()));
      }
      return TakeKeys(db, rows.get(), ReadResult(db, rows.get(), plan->spellings));
    });
  }
  return Guarded(db, [&] {
    PgResult rows = run();
    if (!plan->keyed_table.empty()) SyncPgKeySequence(db, plan->keyed_table);
    return ReadResult(db, rows.get(), plan->spellings);
  });
}

void SyncPgKeySequence(PgDatabase& db, const std::string& table) {
  const std::string quoted = Quote(table);
  db.Exec(
      "SELECT setval(q.s, GREATEST(COALESCE(pg_sequence_last_value(q.s), 0), "
      "(SELECT COALESCE(max(id), 0) FROM " +
      quoted +
      "), 1)) "
      "FROM (SELECT pg_get_serial_sequence(" +
      SqlText(ToLower(table)) + ", 'id')::regclass AS s) q WHERE q.s IS NOT NULL");
}

}  // namespace qv
