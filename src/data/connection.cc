#include "data/connection.h"

namespace qv {
namespace {

ConnectionFactory& Factory() {
  static ConnectionFactory factory;
  return factory;
}

thread_local uint64_t write_epoch = 0;

}  // namespace

void NoteDatabaseWrite() { ++write_epoch; }
uint64_t WriteEpoch() { return write_epoch; }

void SetConnectionFactory(ConnectionFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<Connection> NewConnection() {
  if (!Factory()) throw DatabaseError("No database engine is registered");
  return Factory()();
}

}  // namespace qv
