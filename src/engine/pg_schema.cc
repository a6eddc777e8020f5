#include "engine/pg_schema.h"

#include <algorithm>
#include <vector>

#include "core/convert.h"
#include "core/sql_literal.h"
#include "data/connection.h"
#include "engine/embedded_sql.h"
#include "engine/pg_query.h"
#include "engine/sql_script.h"

namespace qv {
namespace {

// Support objects live in the schema the connection works in. The
// operators compare a yes/no column with an integer as SQLite compares its
// stored 1/0 with it.
constexpr const char* kSupport[] = {
    "CREATE EXTENSION IF NOT EXISTS citext",
    "CREATE OR REPLACE FUNCTION qv_count_change() RETURNS trigger LANGUAGE plpgsql AS $$ "
    "BEGIN UPDATE qvchangecounter SET dbcount = dbcount + 1 WHERE dbtable = TG_ARGV[0]; "
    "RETURN NULL; END $$",
    "CREATE OR REPLACE FUNCTION qv_bool_eq_int(boolean, integer) RETURNS boolean "
    "LANGUAGE sql IMMUTABLE STRICT AS 'SELECT $1::integer = $2'",
    "CREATE OR REPLACE FUNCTION qv_bool_ne_int(boolean, integer) RETURNS boolean "
    "LANGUAGE sql IMMUTABLE STRICT AS 'SELECT $1::integer <> $2'",
    "CREATE OR REPLACE FUNCTION qv_int_eq_bool(integer, boolean) RETURNS boolean "
    "LANGUAGE sql IMMUTABLE STRICT AS 'SELECT $1 = $2::integer'",
    "CREATE OR REPLACE FUNCTION qv_int_ne_bool(integer, boolean) RETURNS boolean "
    "LANGUAGE sql IMMUTABLE STRICT AS 'SELECT $1 <> $2::integer'",
    "CREATE OPERATOR = (LEFTARG = boolean, RIGHTARG = integer, FUNCTION = qv_bool_eq_int, "
    "COMMUTATOR = =, NEGATOR = <>)",
    "CREATE OPERATOR <> (LEFTARG = boolean, RIGHTARG = integer, FUNCTION = qv_bool_ne_int, "
    "COMMUTATOR = <>, NEGATOR = =)",
    "CREATE OPERATOR = (LEFTARG = integer, RIGHTARG = boolean, FUNCTION = qv_int_eq_bool, "
    "COMMUTATOR = =, NEGATOR = <>)",
    "CREATE OPERATOR <> (LEFTARG = integer, RIGHTARG = boolean, FUNCTION = qv_int_ne_bool, "
    "COMMUTATOR = <>, NEGATOR = =)",
};

// The last support object made; present means all are.
// The last support object made: its presence means all are there.
constexpr const char* kSupportPresent =
    "SELECT 1 FROM pg_operator o JOIN pg_proc p ON p.oid = o.oprcode "
    "WHERE p.proname = 'qv_bigint_ge_citext' AND pg_function_is_visible(p.oid)";

// Text compared with a number compares with the number's text, as SQLite
// compares a text column with a bare number (dbGroupID=80): the operators
// of citext against integer and bigint, both ways round.
std::vector<std::string> TextNumberOperators() {
  struct Op {
    const char* symbol;
    const char* name;
    const char* negator;
    const char* commutator;
  };
  const Op ops[] = {{"=", "eq", "<>", "="},  {"<>", "ne", "=", "<>"}, {"<", "lt", ">=", ">"},
                    {"<=", "le", ">", ">="}, {">", "gt", "<=", "<"},  {">=", "ge", "<", "<="}};
  std::vector<std::string> statements;
  for (const char* number : {"integer", "bigint"}) {
    const std::string short_name = std::string(number) == "integer" ? "int" : "bigint";
    for (const Op& op : ops) {
      for (bool text_first : {true, false}) {
        const std::string left = text_first ? "citext" : number;
        const std::string right = text_first ? number : "citext";
        const std::string function = "qv_" + (text_first ? "citext" : short_name) + "_" + op.name +
                                     "_" + (text_first ? short_name : "citext");
        const std::string body = text_first ? std::string("$1 ") + op.symbol + " $2::text::citext"
                                            : std::string("$1::text::citext ") + op.symbol + " $2";
        statements.push_back("CREATE OR REPLACE FUNCTION " + function + "(" + left + ", " + right +
                             ") RETURNS boolean LANGUAGE sql IMMUTABLE STRICT AS 'SELECT " + body +
                             "'");
        statements.push_back(std::string("CREATE OPERATOR ") + op.symbol + " (LEFTARG = " + left +
                             ", RIGHTARG = " + right + ", FUNCTION = " + function +
                             ", COMMUTATOR = " + op.commutator + ", NEGATOR = " + op.negator + ")");
      }
    }
  }
  return statements;
}

// Serialises installations and schema builds of concurrent processes.
constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(7105211618)";

bool HasTable(PgDatabase& db, const std::string& table) {
  return db.TableOid(ToLower(table)).has_value();
}

void RunScript(PgDatabase& db, std::string_view script, std::string_view script_name) {
  int number = 0;
  for (const std::string& statement : SplitSqlScript(script)) {
    ++number;
    try {
      RunPgStatement(db, statement, false, /*from_script=*/true);
    } catch (const DatabaseError& e) {
      throw DatabaseError(std::string(script_name) + ", statement " + std::to_string(number) +
                          ": " + e.what());
    }
  }
}

// Every table and view of the connection's schema, for init-db --force.
void DropSchemaObjects(PgDatabase& db) {
  PgResult rows = db.Exec(
      "SELECT c.relname, c.relkind FROM pg_class c "
      "WHERE c.relnamespace = current_schema()::regnamespace AND c.relkind IN ('r', 'v') "
      "AND NOT EXISTS (SELECT 1 FROM pg_depend d WHERE d.objid = c.oid AND d.deptype = 'e')");
  for (int r = 0; r < PQntuples(rows.get()); ++r) {
    std::string kind = PQgetvalue(rows.get(), r, 1);
    std::string name = PQgetvalue(rows.get(), r, 0);
    db.Exec(std::string(kind == "v" ? "DROP VIEW IF EXISTS " : "DROP TABLE IF EXISTS ") + "\"" +
            ReplaceAll(name, "\"", "\"\"") + "\" CASCADE");
  }
  db.SchemaChanged();
}

// Moves every key sequence past the IDs the seed data gave.
void SyncAllKeySequences(PgDatabase& db) {
  PgResult rows = db.Exec(
      "SELECT c.relname FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid "
      "WHERE c.relnamespace = current_schema()::regnamespace AND c.relkind = 'r' "
      "AND a.attname = 'id' AND a.attidentity <> ''");
  for (int r = 0; r < PQntuples(rows.get()); ++r) {
    std::string name = PQgetvalue(rows.get(), r, 0);
    if (IsPlainIdentifier(name)) SyncPgKeySequence(db, name);
  }
}

// Text must fold the case of ASCII letters only, as on SQLite: citext
// folds by the database's character classification, which in any locale
// but C also folds accented letters ('été' = 'ÉTÉ').
void CheckCharacterClassification(PgDatabase& db) {
  PgResult row = db.Exec("SELECT datctype FROM pg_database WHERE datname = current_database()");
  const std::string ctype = PQntuples(row.get()) > 0 ? PQgetvalue(row.get(), 0, 0) : "";
  if (ctype == "C" || ctype == "POSIX") return;
  throw DatabaseError("The PostgreSQL database has the character classification (LC_CTYPE) \"" +
                      ctype +
                      "\"; qvTome needs \"C\" so that text compares as on SQLite. Create the "
                      "database with: createdb --template=template0 --locale=C --encoding=UTF8 "
                      "NAME");
}

void StampVersion(PgDatabase& db, int version) {
  db.Exec("UPDATE qvschemaversion SET dbversion = " + std::to_string(version));
}

}  // namespace

void InstallPostgresSupport(PgDatabase& db) {
  if (PQntuples(db.Exec(kSupportPresent).get()) > 0) return;
  db.Begin();
  try {
    db.Exec(kSchemaLock);
    if (PQntuples(db.Exec(kSupportPresent).get()) == 0) {
      for (const char* statement : kSupport) db.Exec(statement);
      for (const std::string& statement : TextNumberOperators()) db.Exec(statement);
    }
    db.Commit();
  } catch (const DatabaseError& e) {
    db.Rollback();
    throw DatabaseError("Cannot prepare the PostgreSQL database for qvTome: " +
                        std::string(e.what()));
  }
}

void CreatePgCounterTrigger(PgDatabase& db, const std::string& table) {
  std::string name = ToLower(std::string(CheckIdentifier(table)));
  db.Exec("CREATE OR REPLACE TRIGGER \"" + name +
          "_counted\" AFTER INSERT OR UPDATE OR DELETE ON \"" + name +
          "\" FOR EACH STATEMENT EXECUTE FUNCTION qv_count_change(" + SqlText(name) + ")");
}

void CountPgTable(PgDatabase& db, const std::string& table, bool made) {
  if (!IsPlainIdentifier(table)) return;
  const std::string name = ToLower(table);
  if (name == "qvchangecounter" || !HasTable(db, "qvchangecounter")) return;
  // A random start: a table made anew never repeats a count of an earlier one.
  db.Exec("INSERT INTO qvchangecounter (dbtable, dbcount) SELECT " + SqlText(name) +
          ", floor(random() * 1000000000000)::bigint WHERE NOT EXISTS (SELECT 1 FROM "
          "qvchangecounter WHERE dbtable = " +
          SqlText(name) + ")");
  db.Exec("UPDATE qvchangecounter SET dbcount = dbcount + 1 WHERE dbtable = " + SqlText(name));
  if (made) CreatePgCounterTrigger(db, name);
}

int PostgresSchemaVersion(PgDatabase& db) {
  if (!HasTable(db, "qvschemaversion")) return 0;
  PgResult row = db.Exec("SELECT dbversion FROM qvschemaversion");
  return PQntuples(row.get()) > 0 ? std::atoi(PQgetvalue(row.get(), 0, 0)) : 0;
}

void SetPostgresSchemaVersion(PgDatabase& db, int version) {
  if (!HasTable(db, "qvschemaversion")) {
    db.Exec("CREATE TABLE qvschemaversion (dbversion integer NOT NULL)");
    db.Exec("INSERT INTO qvschemaversion (dbversion) VALUES (0)");
    db.SchemaChanged();
  }
  StampVersion(db, version);
}

std::vector<std::string> PostgresTableNames(PgDatabase& db) {
  PgResult rows = db.Exec(
      "SELECT c.oid FROM pg_class c "
      "WHERE c.relnamespace = current_schema()::regnamespace AND c.relkind = 'r' "
      "AND c.relname <> 'qvschemaversion' "
      "AND NOT EXISTS (SELECT 1 FROM pg_depend d WHERE d.objid = c.oid AND d.deptype = 'e')");
  std::vector<unsigned> oids;
  for (int r = 0; r < PQntuples(rows.get()); ++r) {
    oids.push_back(static_cast<unsigned>(std::stoul(PQgetvalue(rows.get(), r, 0))));
  }
  std::vector<std::string> names;
  for (unsigned oid : oids) names.push_back(db.Relation(oid).name);
  std::sort(names.begin(), names.end());
  return names;
}

void CreatePostgresSchema(PgDatabase& db) {
  CheckCharacterClassification(db);
  for (const EmbeddedSqlFile& file : EmbeddedSqlFiles()) {
    if (file.name == "schema.sql") return RunScript(db, file.text, file.name);
  }
  throw DatabaseError("The schema is not compiled in");
}

bool CreatePostgresDatabaseIfMissing(const std::string& conninfo, bool force) {
  PgDatabase db(conninfo);
  CheckCharacterClassification(db);
  db.Begin();
  try {
    db.Exec(kSchemaLock);
    if (HasTable(db, "qvsystemmsg") || HasTable(db, "qvschemaversion")) {
      if (!force) {
        db.Rollback();
        return false;
      }
      DropSchemaObjects(db);
    }
    for (const EmbeddedSqlFile& file : EmbeddedSqlFiles()) RunScript(db, file.text, file.name);
    SyncAllKeySequences(db);
    // The scripts hold everything the migrations add.
    db.Exec("CREATE TABLE qvschemaversion (dbversion integer NOT NULL)");
    db.Exec("INSERT INTO qvschemaversion (dbversion) VALUES (" +
            std::to_string(LatestSchemaVersion()) + ")");
    db.Commit();
    return true;
  } catch (...) {
    db.Rollback();
    throw;
  }
}

UpgradeResult ApplyPostgresMigrations(PgDatabase& db, const std::vector<Migration>& migrations) {
  const int latest = migrations.empty() ? 0 : migrations.back().version;
  db.Begin();
  try {
    db.Exec(kSchemaLock);
    if (!HasTable(db, "qvschemaversion")) {
      db.Exec("CREATE TABLE qvschemaversion (dbversion integer NOT NULL)");
      db.Exec("INSERT INTO qvschemaversion (dbversion) VALUES (0)");
    }
    UpgradeResult result{PostgresSchemaVersion(db), 0};
    result.to = result.from;
    if (result.from > latest) {
      throw DatabaseError("The database has schema version " + std::to_string(result.from) +
                          ", newer than this program's " + std::to_string(latest));
    }
    for (const Migration& migration : migrations) {
      if (migration.version <= result.from) continue;
      RunScript(db, migration.script, "migration " + std::string(migration.name));
      result.to = migration.version;
    }
    if (result.Changed()) StampVersion(db, result.to);
    db.Commit();
    return result;
  } catch (...) {
    db.Rollback();
    db.SchemaChanged();
    throw;
  }
}

UpgradeResult UpgradePostgresDatabase(const std::string& conninfo) {
  PgDatabase db(conninfo);
  try {
    return ApplyPostgresMigrations(db, SchemaMigrations());
  } catch (const DatabaseError& e) {
    throw DatabaseError("Cannot upgrade the PostgreSQL database: " + std::string(e.what()));
  }
}

}  // namespace qv
