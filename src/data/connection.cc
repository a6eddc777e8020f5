#include "data/connection.h"

namespace qv {
namespace {

ConnectionFactory& Factory() {
  static ConnectionFactory factory;
  return factory;
}

}  // namespace

void SetConnectionFactory(ConnectionFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<Connection> NewConnection() {
  if (!Factory()) throw DatabaseError("No database engine is registered");
  return Factory()();
}

}  // namespace qv
