#include "engine/pg_database.h"

#include <cstdio>
#include <ctime>

#include "core/convert.h"
#include "data/connection.h"
#include "engine/pg_schema.h"

namespace qv {
namespace {

// The key of the advisory lock that serialises explicit transactions.
constexpr std::string_view kTransactionLock = "SELECT pg_advisory_xact_lock(7105211617)";

std::string SavepointName(int level) { return "qv_level_" + std::to_string(level); }

// Now() reads the clock of this process's time zone, as on SQLite.
std::string LocalTimeZone() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  long offset = local.tm_gmtoff / 60;
  char text[32];
  std::snprintf(text, sizeof text, "%c%02ld:%02ld", offset < 0 ? '-' : '+',
                (offset < 0 ? -offset : offset) / 60, (offset < 0 ? -offset : offset) % 60);
  return text;
}

std::vector<const char*> ParamPointers(const PgParams& params) {
  std::vector<const char*> values;
  values.reserve(params.size());
  for (const auto& p : params) values.push_back(p ? p->c_str() : nullptr);
  return values;
}

std::string TrimMessage(const char* message) {
  std::string text = message ? message : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

}  // namespace

std::optional<int> PgRelation::AttributeOf(const std::string& lower_name) const {
  for (const auto& [number, column] : columns) {
    if (ToLower(column.name) == lower_name) return number;
  }
  return std::nullopt;
}

PgDatabase::PgDatabase(const std::string& conninfo) {
  conn_ = PQconnectdb(conninfo.c_str());
  if (conn_ == nullptr || PQstatus(conn_) != CONNECTION_OK) {
    std::string message = conn_ ? TrimMessage(PQerrorMessage(conn_)) : "out of memory";
    if (conn_) PQfinish(conn_);
    conn_ = nullptr;
    throw DatabaseError("Cannot connect to the PostgreSQL data source: " + message);
  }
  try {
    Exec("SET client_encoding = 'UTF8'");
    Exec("SET datestyle = 'ISO, YMD'");
    Exec("SET TIME ZONE INTERVAL '" + LocalTimeZone() + "' HOUR TO MINUTE");
    InstallPostgresSupport(*this);
  } catch (...) {
    PQfinish(conn_);
    conn_ = nullptr;
    throw;
  }
}

PgDatabase::~PgDatabase() {
  if (conn_) PQfinish(conn_);
}

std::shared_ptr<PgDatabase> PgDatabase::ForThisThread(const std::string& conninfo) {
  thread_local std::map<std::string, std::shared_ptr<PgDatabase>> pool;
  auto found = pool.find(conninfo);
  if (found != pool.end()) {
    std::shared_ptr<PgDatabase>& db = found->second;
    // A connection no Connection holds must not carry a transaction into
    // the next request.
    if (db.use_count() == 1 && db->depth_ > 0) {
      db->RollbackAll();
      db->depth_ = 0;
    }
    if (!db->broken_ && PQstatus(db->conn_) == CONNECTION_OK) return db;
    pool.erase(found);
  }
  auto db = std::make_shared<PgDatabase>(conninfo);
  pool[conninfo] = db;
  return db;
}

PgResult PgDatabase::Check(PGresult* raw, const std::string& sql) {
  PgResult result(raw);
  ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_EMPTY_QUERY) {
    return result;
  }
  if (PQstatus(conn_) != CONNECTION_OK) {
    broken_ = true;
    throw DatabaseError("The connection to the PostgreSQL data source was lost: " +
                        TrimMessage(PQerrorMessage(conn_)));
  }
  std::string message =
      TrimMessage(result ? PQresultErrorMessage(result.get()) : PQerrorMessage(conn_));
  (void)sql;
  throw DatabaseError(message.empty() ? "PostgreSQL statement failed" : message);
}

PgResult PgDatabase::Exec(const std::string& sql, const PgParams& params) {
  if (broken_) throw DatabaseError("The connection to the PostgreSQL data source was lost");
  std::vector<const char*> values = ParamPointers(params);
  return Check(PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr,
                            values.data(), nullptr, nullptr, 0),
               sql);
}

PgResult PgDatabase::Prepared(const std::string& sql, const PgParams& params) {
  if (broken_) throw DatabaseError("The connection to the PostgreSQL data source was lost");
  auto found = statements_.find(sql);
  if (found == statements_.end()) {
    if (statements_.size() >= kMaxStatements) {
      Exec("DEALLOCATE ALL");
      statements_.clear();
    }
    std::string name = "qv_" + std::to_string(++next_statement_);
    Check(PQprepare(conn_, name.c_str(), sql.c_str(), 0, nullptr), sql);
    found = statements_.emplace(sql, name).first;
  }
  std::vector<const char*> values = ParamPointers(params);
  PGresult* raw = PQexecPrepared(conn_, found->second.c_str(), static_cast<int>(values.size()),
                                 values.data(), nullptr, nullptr, 0);
  const char* state = raw ? PQresultErrorField(raw, PG_DIAG_SQLSTATE) : nullptr;
  if (state != nullptr && std::string_view(state) == "0A000" && depth_ == 0) {
    // Another process changed the table's columns: prepare anew, once.
    PQclear(raw);
    Exec("DEALLOCATE " + found->second);
    statements_.erase(found);
    relations_.clear();
    return Prepared(sql, params);
  }
  return Check(raw, sql);
}

void PgDatabase::Begin() {
  if (depth_ == 0) {
    Exec("BEGIN");
    try {
      Exec(std::string(kTransactionLock));
    } catch (...) {
      RollbackAll();
      throw;
    }
  } else {
    Exec("SAVEPOINT " + SavepointName(depth_));
  }
  ++depth_;
}

void PgDatabase::Commit() {
  if (depth_ == 0) throw DatabaseError("Commit without a transaction");
  if (depth_ > 1) {
    Exec("RELEASE " + SavepointName(depth_ - 1));
    --depth_;
    return;
  }
  --depth_;
  PgResult result = Exec("COMMIT");
  // A transaction that failed ends with ROLLBACK, whatever was asked.
  if (std::string_view(PQcmdStatus(result.get())) == "ROLLBACK") {
    throw DatabaseError("The transaction was rolled back by the database");
  }
}

void PgDatabase::RollbackAll() {
  if (conn_ && !broken_ && PQtransactionStatus(conn_) != PQTRANS_IDLE) {
    PQclear(PQexec(conn_, "ROLLBACK"));
  }
}

void PgDatabase::Rollback() {
  if (depth_ == 0) return;
  --depth_;
  if (depth_ == 0) return RollbackAll();
  if (broken_) return;
  std::string name = SavepointName(depth_);
  PQclear(PQexec(conn_, ("ROLLBACK TO " + name + "; RELEASE " + name).c_str()));
}

const PgRelation& PgDatabase::Relation(unsigned oid) {
  auto found = relations_.find(oid);
  if (found != relations_.end()) return found->second;
  PgResult rows = Prepared(
      "SELECT c.relname, COALESCE(obj_description(c.oid, 'pg_class'), ''), a.attnum, a.attname, "
      "COALESCE(col_description(c.oid, a.attnum), ''), format_type(a.atttypid, a.atttypmod) "
      "FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid "
      "WHERE c.oid = $1::oid AND a.attnum > 0 AND NOT a.attisdropped",
      {std::to_string(oid)});
  PgRelation relation;
  for (int r = 0; r < PQntuples(rows.get()); ++r) {
    std::string relname = PQgetvalue(rows.get(), r, 0);
    std::string table_note = PQgetvalue(rows.get(), r, 1);
    relation.name = ToLower(table_note) == relname ? table_note : relname;
    std::string attname = PQgetvalue(rows.get(), r, 3);
    // The engine's note: the name as spelled, a blank, the declared type.
    std::string note = PQgetvalue(rows.get(), r, 4);
    PgColumn column{attname, "", PQgetvalue(rows.get(), r, 5)};
    size_t blank = note.find(' ');
    if (blank != std::string::npos && ToLower(note.substr(0, blank)) == attname) {
      column.name = note.substr(0, blank);
      column.declared = note.substr(blank + 1);
    }
    relation.columns.emplace(std::atoi(PQgetvalue(rows.get(), r, 2)), std::move(column));
  }
  return relations_.emplace(oid, std::move(relation)).first->second;
}

std::optional<unsigned> PgDatabase::TableOid(const std::string& name) {
  PgResult row = Prepared("SELECT to_regclass($1)::oid", {name});
  if (PQntuples(row.get()) == 0 || PQgetisnull(row.get(), 0, 0)) return std::nullopt;
  return static_cast<unsigned>(std::stoul(PQgetvalue(row.get(), 0, 0)));
}

std::shared_ptr<PgPlan> PgDatabase::FindPlan(const std::string& key) const {
  auto found = plans_.find(key);
  return found == plans_.end() ? nullptr : found->second;
}

void PgDatabase::KeepPlan(const std::string& key, std::shared_ptr<PgPlan> plan) {
  if (plans_.size() >= kMaxStatements) plans_.clear();
  plans_[key] = std::move(plan);
}

void PgDatabase::SchemaChanged() {
  relations_.clear();
  if (!statements_.empty()) {
    Exec("DEALLOCATE ALL");
    statements_.clear();
  }
}

}  // namespace qv
