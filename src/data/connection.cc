#include "data/connection.h"

namespace qv {
namespace {

ConnectionFactory& Factory() {
  static ConnectionFactory factory;
  return factory;
}

thread_local uint64_t write_epoch = 0;

[[noreturn]] void Unsupported(const std::string& what) {
  throw DatabaseError("This database engine cannot " + what);
}

}  // namespace

std::vector<std::string> Connection::TableNames() { Unsupported("list its tables"); }
int Connection::SchemaVersion() { Unsupported("report its schema version"); }
void Connection::SetSchemaVersion(int) { Unsupported("stamp a schema version"); }
void Connection::AdvanceCounter(const std::string&) { Unsupported("advance a table's counter"); }
void Connection::CreateSchema() { Unsupported("create the schema"); }

void NoteDatabaseWrite() { ++write_epoch; }
uint64_t WriteEpoch() { return write_epoch; }

void SetConnectionFactory(ConnectionFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<Connection> NewConnection() {
  if (!Factory()) throw DatabaseError("No database engine is registered");
  return Factory()();
}

}  // namespace qv
