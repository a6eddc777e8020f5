#include "engine/pg_connection.h"

#include "core/convert.h"
#include "core/sql_literal.h"
#include "engine/pg_database.h"
#include "engine/pg_query.h"
#include "engine/pg_schema.h"
#include "engine/pg_values.h"

namespace qv {
namespace {

std::string QuotedName(std::string_view name) {
  try {
    return "\"" + ToLower(CheckIdentifier(name)) + "\"";
  } catch (const SqlValueError& e) {
    throw DatabaseError(e.what());
  }
}

// The kind of each column of a table, from the connection's catalog.
class ColumnKinds {
 public:
  ColumnKinds(PgDatabase& db, const std::string& table) : db_(db), table_(table) {
    oid_ = db.TableOid(ToLower(table));
    if (!oid_) throw DatabaseError("No such table: " + table);
    relation_ = &db.Relation(*oid_);
  }
  ColumnKind Of(const std::string& field) {
    std::optional<int> attribute = relation_->AttributeOf(ToLower(field));
    if (!attribute) {
      // Another process may have added the column since the catalog was read.
      relation_ = &db_.Relation(*oid_, true);
      attribute = relation_->AttributeOf(ToLower(field));
    }
    if (!attribute) throw DatabaseError("No such column: " + table_ + "." + field);
    return PgColumnType(relation_->columns.at(*attribute)).kind;
  }

 private:
  PgDatabase& db_;
  const std::string& table_;
  std::optional<unsigned> oid_;
  const PgRelation* relation_ = nullptr;
};

PgParams Parameters(ColumnKinds& kinds, const std::string& table, const RowWrite& row) {
  PgParams params;
  for (const auto& [field, value] : row.values) {
    try {
      params.push_back(PgParameter(value, kinds.Of(field)));
    } catch (const TypeMismatch& e) {
      throw DatabaseError(std::string(e.what()) + " (field " + table + "." + field + ")");
    }
  }
  return params;
}

int64_t InsertRow(PgDatabase& db, ColumnKinds& kinds, const std::string& table,
                  const RowWrite& row) {
  std::string sql;
  if (row.values.empty()) {
    sql = "INSERT INTO " + QuotedName(table) + " DEFAULT VALUES RETURNING id";
  } else {
    std::string names, marks;
    int index = 0;
    for (const auto& [field, value] : row.values) {
      names += (names.empty() ? "" : ", ") + QuotedName(field);
      marks += marks.empty() ? "$" : ", $";
      marks += std::to_string(++index);
    }
    sql =
        "INSERT INTO " + QuotedName(table) + " (" + names + ") VALUES (" + marks + ") RETURNING id";
  }
  PgResult result = db.Prepared(sql, Parameters(kinds, table, row));
  if (PQntuples(result.get()) != 1 || PQgetisnull(result.get(), 0, 0)) {
    throw DatabaseError("The new row of " + table + " has no ID");
  }
  return std::stoll(PQgetvalue(result.get(), 0, 0));
}

void UpdateRow(PgDatabase& db, ColumnKinds& kinds, const std::string& table, const RowWrite& row) {
  if (row.values.empty()) return;
  std::string assignments;
  int index = 0;
  for (const auto& [field, value] : row.values) {
    assignments +=
        (assignments.empty() ? "" : ", ") + QuotedName(field) + " = $" + std::to_string(++index);
  }
  PgParams params = Parameters(kinds, table, row);
  params.push_back(std::to_string(*row.id));
  PgResult result = db.Prepared("UPDATE " + QuotedName(table) + " SET " + assignments +
                                    " WHERE id = $" + std::to_string(index + 1),
                                params);
  if (std::string_view(PQcmdTuples(result.get())) == "0") {
    throw DatabaseError("Row ID=" + std::to_string(*row.id) + " of " + table + " no longer exists");
  }
}

bool GivesId(const RowWrite& row) {
  for (const auto& [field, value] : row.values) {
    if (EqualsNoCase(field, "id")) return true;
  }
  return false;
}

}  // namespace

PgConnection::~PgConnection() { Close(); }

void PgConnection::Open(const std::string& dsn, const std::string& /*user*/,
                        const std::string& /*password*/) {
  Close();
  OpenSource(LookupDataSource(dsn));
}

void PgConnection::OpenSource(const DataSource& source) {
  Close();
  if (source.engine != "postgresql") {
    throw DatabaseError("Data source " + source.name + " does not use the PostgreSQL engine");
  }
  db_ = PgDatabase::ForThisThread(source.conninfo);
}

void PgConnection::Close() {
  if (!db_) return;
  own_levels_.RollbackAll(*db_);
  db_.reset();
}

PgDatabase& PgConnection::Database() const {
  if (!db_) throw DatabaseError("The connection is not open");
  return *db_;
}

QueryResult PgConnection::Query(const std::string& sql, bool with_keys) {
  return RunPgStatement(Database(), sql, with_keys);
}

std::vector<int64_t> PgConnection::WriteRows(const std::string& table,
                                             const std::vector<RowWrite>& rows) {
  PgDatabase& database = Database();
  QuotedName(table);  // a plain name, or DatabaseError
  NoteDatabaseWrite();
  int outer_depth = database.depth();
  database.Begin();
  try {
    ColumnKinds kinds(database, table);
    std::vector<int64_t> new_ids;
    bool gave_ids = false;
    for (const RowWrite& row : rows) {
      if (row.id) {
        UpdateRow(database, kinds, table, row);
      } else {
        new_ids.push_back(InsertRow(database, kinds, table, row));
        gave_ids = gave_ids || GivesId(row);
      }
    }
    if (gave_ids) SyncPgKeySequence(database, table);
    database.Commit();
    return new_ids;
  } catch (...) {
    if (database.depth() > outer_depth) database.Rollback();
    throw;
  }
}

void PgConnection::BeginTransaction() { own_levels_.Begin(Database()); }

void PgConnection::Commit() { own_levels_.Commit(Database()); }

void PgConnection::Rollback() { own_levels_.Rollback(Database()); }

std::vector<std::string> PgConnection::TableNames() { return PostgresTableNames(Database()); }

int PgConnection::SchemaVersion() { return PostgresSchemaVersion(Database()); }

void PgConnection::SetSchemaVersion(int version) {
  NoteDatabaseWrite();
  SetPostgresSchemaVersion(Database(), version);
}

void PgConnection::AdvanceCounter(const std::string& table) {
  QuotedName(table);  // refuses anything but a plain name
  NoteDatabaseWrite();
  SyncPgKeySequence(Database(), ToLower(table));
}

void PgConnection::CreateSchema() {
  NoteDatabaseWrite();
  CreatePostgresSchema(Database());
}

}  // namespace qv
