// Connection: a session with one data source, and the engine boundary.
//
// The component reaches the database only through this interface. An
// engine (src/engine) implements it and registers a factory at start-up;
// the component creates connections with NewConnection() as page scripts
// create them by name. Every statement is written in the desktop dialect
// (Now(), "=null", "DELETE * FROM", counter, true/false, ...) and the engine
// translates it. One call runs exactly one statement; text after a first
// complete statement is refused.
//
// Results are materialised: a query reads all its rows and finishes its
// statement before returning, so no cursor or lock outlives the call.
//
// A connection is used by one thread at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/variant.h"

namespace qv {

// ADO type numbers that callers test.
enum AdoType : int {
  adSmallInt = 2,
  adInteger = 3,
  adSingle = 4,
  adDouble = 5,
  adDate = 7,
  adBoolean = 11,
  adBigInt = 20,
  adDBDate = 133,
  adDBTime = 134,
  adDBTimeStamp = 135,
  adVarChar = 200,
  adLongVarChar = 201,
};

// Raised for every database failure (cannot open, bad SQL, constraint ...).
class DatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct FieldInfo {
  std::string name;
  int type = adVarChar;      // AdoType
  int64_t defined_size = 0;  // declared length in characters; 0 when none
};

// The rows of one query. table names the single table the columns come
// from ("" when they come from several). When asked for keys, key_ids holds
// each row's ID (the table's counter key).
struct QueryResult {
  std::vector<FieldInfo> fields;
  std::vector<std::vector<Variant>> rows;
  std::string table;
  std::vector<int64_t> key_ids;
};

// One row to write back: an insert when id is nullopt, else an update of the
// row with that ID. Only the listed fields are written.
struct RowWrite {
  std::optional<int64_t> id;
  std::vector<std::pair<std::string, Variant>> values;
};

class Connection : public Object {
 public:
  // Opens the named data source (looked up in the configuration). Throws
  // DatabaseError for an unknown name or a source that cannot be opened.
  virtual void Open(const std::string& dsn, const std::string& user,
                    const std::string& password) = 0;
  virtual bool IsOpen() const = 0;
  // Releases the connection; a closed connection may be opened again.
  virtual void Close() = 0;

  // Runs one statement. For a query, returns its rows; otherwise the result
  // has no fields. With with_keys, the query must read one table with an ID
  // column; the result then names that table and each row's ID.
  virtual QueryResult Query(const std::string& sql, bool with_keys = false) = 0;

  // Writes rows of one table in one transaction; returns the new IDs of the
  // inserted rows in order. Nothing is written when any row fails.
  virtual std::vector<int64_t> WriteRows(const std::string& table,
                                         const std::vector<RowWrite>& rows) = 0;

  // Explicit transactions, for callers that must check and write as one
  // step. Nested Begin calls are counted; only the outermost commits.
  virtual void BeginTransaction() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() = 0;

  // For tools that work on a whole data source (qvtome copy-db). An engine
  // without them throws DatabaseError.
  // The data source's tables, sorted by name, without the engine's own.
  virtual std::vector<std::string> TableNames();
  // The schema version the data source carries (0: none).
  virtual int SchemaVersion();
  // Stamps the schema version, inside the open transaction if there is one.
  virtual void SetSchemaVersion(int version);
  // After rows were inserted with their IDs given: makes the table's
  // counter hand out IDs above the largest one.
  virtual void AdvanceCounter(const std::string& table);
  // Builds this program's schema (tables, indexes, change counters; no
  // seed rows) in a data source without those tables, inside the open
  // transaction. Does not stamp the schema version.
  virtual void CreateSchema();
};

// Engines call NoteDatabaseWrite for every statement that may change data
// (and every WriteRows); WriteEpoch counts those calls on the calling
// thread, so a request knows whether it wrote since it last looked.
void NoteDatabaseWrite();
uint64_t WriteEpoch();

// Creates an unopened connection of the registered engine.
std::unique_ptr<Connection> NewConnection();
using ConnectionFactory = std::function<std::unique_ptr<Connection>()>;
// Registered once at start-up, before any request runs.
void SetConnectionFactory(ConnectionFactory factory);

}  // namespace qv
