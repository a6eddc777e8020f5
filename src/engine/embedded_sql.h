// The SQL files compiled into the program: the schema and the seed data
// that a new database starts with, in the order they run, and the
// migrations that bring an older database up to date. The build generates
// the definitions from src/engine/schema/*.sql and
// src/engine/schema/migrations/*.sql.
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
// The migration scripts, named "NNNN_what.sql", in version order.
const std::vector<EmbeddedSqlFile>& EmbeddedMigrationFiles();
// The demo course's pictures (SVG text), by file name ("sun.svg").
const std::vector<EmbeddedSqlFile>& EmbeddedDemoMediaFiles();

}  // namespace qv
