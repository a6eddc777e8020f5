// PgDatabase: the pooled PostgreSQL connection of one thread to one data
// source.
//
// Each worker thread keeps one libpq connection per connection string, so
// the many short-lived Connection objects of a request cost no connect.
// All Connection objects of a thread on one source share the connection
// and its transaction: Begin/Commit/Rollback nest, the outermost level is a
// transaction that first takes a database-wide advisory lock (so a check
// followed by a write is atomic against other threads and processes, as
// SQLite's BEGIN IMMEDIATE makes it), inner levels are savepoints.
//
// Statements are prepared once per connection and kept in a bounded cache
// keyed by their text. A failure that leaves the connection broken (the
// server restarted or went away) throws DatabaseError, and the next
// ForThisThread opens a new connection; the server has rolled back what
// the lost transaction wrote.
//
// The catalog keeps each column's name as the schema spells it and its
// declared desktop type (written by the engine as the column's comment
// when its table is made), read once per relation and connection.
#pragma once

#include <libpq-fe.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace qv {

struct PgPlan;

struct PgResultDeleter {
  void operator()(PGresult* r) const { PQclear(r); }
};
using PgResult = std::unique_ptr<PGresult, PgResultDeleter>;

// A parameter as text; nullopt is NULL.
using PgParams = std::vector<std::optional<std::string>>;

struct PgColumn {
  std::string name;      // as the schema spells it
  std::string declared;  // the SQLite engine's declared type, "" when unknown
  std::string pg_type;   // format_type of the column
};

struct PgRelation {
  std::string name;                 // as the schema spells it
  std::map<int, PgColumn> columns;  // by attribute number
  std::optional<int> AttributeOf(const std::string& lower_name) const;
};

class PgDatabase {
 public:
  // The calling thread's connection to conninfo, opened when needed.
  // Throws DatabaseError.
  static std::shared_ptr<PgDatabase> ForThisThread(const std::string& conninfo);

  explicit PgDatabase(const std::string& conninfo);
  ~PgDatabase();
  PgDatabase(const PgDatabase&) = delete;
  PgDatabase& operator=(const PgDatabase&) = delete;

  PGconn* get() const { return conn_; }
  bool IsBroken() const { return broken_; }
  int depth() const { return depth_; }

  // Runs sql with params through the statement cache. Throws DatabaseError
  // with the server's message.
  PgResult Prepared(const std::string& sql, const PgParams& params = {});
  // Runs sql without preparing it (DDL and one-off statements).
  PgResult Exec(const std::string& sql, const PgParams& params = {});

  void Begin();
  // Ends the innermost level. Throws DatabaseError when there is none or
  // when the server rolled the transaction back.
  void Commit();
  // Undoes the innermost level; never throws.
  void Rollback();

  // The relation with that oid, read from the catalog when not known.
  const PgRelation& Relation(unsigned oid);
  // The oid of a table of that plain name, or nullopt.
  std::optional<unsigned> TableOid(const std::string& name);
  // Forgets the catalog and the prepared statements (after DDL).
  void SchemaChanged();

  // Statements as translated before (pg_query.h), by the caller's text.
  std::shared_ptr<PgPlan> FindPlan(const std::string& key) const;
  void KeepPlan(const std::string& key, std::shared_ptr<PgPlan> plan);

 private:
  PgResult Check(PGresult* raw, const std::string& sql);
  void RollbackAll();

  static constexpr size_t kMaxStatements = 200;

  PGconn* conn_ = nullptr;
  bool broken_ = false;
  int depth_ = 0;
  int next_statement_ = 0;
  std::unordered_map<std::string, std::string> statements_;  // sql -> prepared name
  std::unordered_map<unsigned, PgRelation> relations_;
  std::unordered_map<std::string, std::shared_ptr<PgPlan>> plans_;
};

}  // namespace qv
