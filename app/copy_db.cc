// qvtome copy-db: a whole site from one data source into another.
#include <algorithm>
#include <exception>
#include <filesystem>
#include <limits>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/operator.h"
#include "core/convert.h"
#include "core/sql_literal.h"
#include "data/connection.h"
#include "engine/datasources.h"
#include "engine/embedded_sql.h"
#include "engine/migrations.h"
#include "engine/sql_script.h"

namespace qv::app {
namespace {

// Rows read and written per statement, so a large activity log never sits
// in memory whole.
constexpr int64_t kBatchRows = 2000;

// The table the change counters live in: the target keeps its own.
constexpr char kCounterTable[] = "qvchangecounter";

class Site {
 public:
  // The connection rolls back what it began and did not commit when it
  // goes with its site.
  explicit Site(const std::string& dsn) : conn_(NewConnection()) { conn_->Open(dsn, "", ""); }

  Connection& operator*() { return *conn_; }
  Connection* operator->() { return conn_.get(); }
  void Begin() { conn_->BeginTransaction(); }
  void Commit() { conn_->Commit(); }
  int64_t Count(const std::string& table) {
    QueryResult r = conn_->Query("SELECT count(*) FROM " + std::string(CheckIdentifier(table)));
    return r.rows.empty() ? 0 : ToInteger(r.rows[0][0]);
  }

 private:
  std::unique_ptr<Connection> conn_;
};

bool SameDatabase(const std::string& from, const std::string& to) {
  const DataSource a = LookupDataSource(from), b = LookupDataSource(to);
  if (a.name == b.name) return true;
  if (a.engine != b.engine) return false;
  if (a.engine != "sqlite") return a.conninfo == b.conninfo;
  std::error_code ec;
  return std::filesystem::weakly_canonical(a.path, ec) ==
         std::filesystem::weakly_canonical(b.path, ec);
}

// The views the schema makes: a target that has them loses them first.
std::vector<std::string> SchemaViews() {
  std::vector<std::string> views;
  for (const EmbeddedSqlFile& file : EmbeddedSqlFiles()) {
    if (file.name != "schema.sql") continue;
    for (const std::string& statement : SplitSqlScript(file.text)) {
      std::istringstream words(statement);
      std::string create, view, name;
      words >> create >> view >> name;
      if (EqualsNoCase(create, "CREATE") && EqualsNoCase(view, "VIEW")) views.push_back(name);
    }
  }
  return views;
}

// The column as the desktop dialect declares it, from what a query reports.
std::string ColumnDefinition(const FieldInfo& field) {
  std::string type;
  switch (field.type) {
    case adSmallInt:
      type = "short";
      break;
    case adInteger:
    case adBigInt:
      type = "long";
      break;
    case adSingle:
    case adDouble:
      type = "double";
      break;
    case adDate:
    case adDBDate:
    case adDBTime:
    case adDBTimeStamp:
      type = "datetime";
      break;
    case adBoolean:
      type = "yesno";
      break;
    case adVarChar:
      type = field.defined_size > 0 ? "text(" + std::to_string(field.defined_size) + ")" : "memo";
      break;
    default:
      type = "memo";
  }
  return std::string(CheckIdentifier(field.name)) + " " + type;
}

// A table the schema does not make (made at run time by a page), as the
// target's engine makes a new table: ID the counter key, the other columns
// of the types the source reports.
void MakeTable(Site& source, Site& target, const std::string& table) {
  const QueryResult shape = source->Query("SELECT * FROM " + table + " WHERE 1 = 0");
  std::string sql = "CREATE TABLE " + table + " (ID counter";
  for (const FieldInfo& field : shape.fields) {
    if (!EqualsNoCase(field.name, "ID")) sql += ", " + ColumnDefinition(field);
  }
  target->Query(sql + ")");
}

bool HasIdColumn(Site& source, const std::string& table) {
  for (const FieldInfo& field : source->Query("SELECT * FROM " + table + " WHERE 1 = 0").fields) {
    if (EqualsNoCase(field.name, "ID")) return true;
  }
  return false;
}

void WriteRows(Site& target, const std::string& table, const QueryResult& rows) {
  std::vector<RowWrite> writes;
  writes.reserve(rows.rows.size());
  for (const std::vector<Variant>& row : rows.rows) {
    RowWrite write;
    for (size_t i = 0; i < rows.fields.size(); ++i) {
      write.values.emplace_back(rows.fields[i].name, row[i]);
    }
    writes.push_back(std::move(write));
  }
  if (!writes.empty()) target->WriteRows(table, writes);
}

// Copies the rows of one table, IDs kept, in batches by ID; the number
// of rows copied.
int64_t CopyRows(Site& source, Site& target, const std::string& table) {
  target->Query("DELETE FROM " + table);
  if (!HasIdColumn(source, table)) {
    const QueryResult rows = source->Query("SELECT * FROM " + table);
    WriteRows(target, table, rows);
    return static_cast<int64_t>(rows.rows.size());
  }
  int64_t copied = 0;
  int64_t after = std::numeric_limits<int64_t>::min();
  for (;;) {
    const QueryResult next =
        source->Query("SELECT min(ID) FROM " + table + " WHERE ID > " + std::to_string(after));
    if (next.rows.empty() || next.rows[0][0].IsNull()) break;
    const int64_t first = ToInteger(next.rows[0][0]);
    const int64_t last = first + kBatchRows - 1;
    const QueryResult rows =
        source->Query("SELECT * FROM " + table + " WHERE ID >= " + std::to_string(first) +
                      " AND ID <= " + std::to_string(last) + " ORDER BY ID");
    WriteRows(target, table, rows);
    copied += static_cast<int64_t>(rows.rows.size());
    after = last;
  }
  target->AdvanceCounter(table);
  return copied;
}

}  // namespace

int CopyDataSource(const std::string& from, const std::string& to, bool force, OperatorStreams io) {
  try {
    if (SameDatabase(from, to)) {
      io.err << "qvtome: " << from << " and " << to << " are the same database\n";
      return 1;
    }
    Site source(from), target(to);
    // On SQLite the source's transaction also keeps writers out until the
    // copy is done, so it is one consistent state.
    source.Begin();
    const int version = source->SchemaVersion();
    if (version != LatestSchemaVersion()) {
      io.err << "qvtome: " << from << " has schema version " << version << ", this program's is "
             << LatestSchemaVersion()
             << (version < LatestSchemaVersion()
                     ? "; let this program's serve or init-db upgrade it first\n"
                     : "; copy it with the program that made it\n");
      return 1;
    }
    std::vector<std::string> target_tables = target->TableNames();
    if (!force) {
      for (const std::string& table : target_tables) {
        if (const int64_t rows = target.Count(table); rows > 0) {
          io.err << "qvtome: " << to << " is not empty (table " << table << " holds " << rows
                 << " rows); use --force to replace everything in it\n";
          return 1;
        }
      }
    }

    target.Begin();
    for (const std::string& view : SchemaViews()) {
      target->Query("DROP VIEW IF EXISTS " + std::string(CheckIdentifier(view)));
    }
    for (const std::string& table : target_tables) {
      target->Query("DROP TABLE " + std::string(CheckIdentifier(table)));
    }
    target->CreateSchema();
    std::set<std::string> made;
    for (const std::string& table : target->TableNames()) made.insert(ToLower(table));
    target->SetSchemaVersion(version);

    int64_t total = 0, copied_tables = 0;
    const std::vector<std::string> tables = source->TableNames();
    for (const std::string& name : tables) {
      const std::string table(CheckIdentifier(name));
      if (ToLower(table) == kCounterTable) continue;
      if (!made.contains(ToLower(table))) MakeTable(source, target, table);
      const int64_t copied = CopyRows(source, target, table);
      const int64_t in_source = source.Count(table), in_target = target.Count(table);
      if (copied != in_source || in_target != in_source) {
        throw DatabaseError("Table " + table + " has " + std::to_string(in_source) + " rows in " +
                            from + " but " + std::to_string(in_target) + " in " + to +
                            " after the copy");
      }
      total += copied;
      ++copied_tables;
    }
    target.Commit();
    source.Commit();
    io.out << "Copied " << copied_tables << " tables (" << total << " rows) from " << from << " to "
           << to << ", schema version " << version << "\n";
    return 0;
  } catch (const std::exception& e) {
    io.err << "qvtome: copy-db failed, " << to << " is unchanged: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace qv::app
