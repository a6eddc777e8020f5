// The SQL files compiled into the program: the schema and the seed data
// that a new database starts with, in the order they run. The build
// generates the definition from src/engine/schema/*.sql.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct EmbeddedSqlFile {
  std::string_view name;  // file name, e.g. "schema.sql"
  std::string text;
};

const std::vector<EmbeddedSqlFile>& EmbeddedSqlFiles();

}  // namespace qv
