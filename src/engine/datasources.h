// Data sources: the names page scripts pass to SysVar.Init, and where each
// one lives.
//
// A process-wide registry, filled once at start-up from the configuration's
// [datasource.NAME] tables:
//
//   [datasource.school]
//   engine = "sqlite"        # the default
//   path = "school.db"       # relative paths resolve against the data folder
//
//   [datasource.qvtome]
//   engine = "postgresql"
//   conninfo = "host=/run/postgresql dbname=qvtome user=qvtome"  # libpq's form
//
// A name without an entry of its own is unknown, except "qvtome", which is
// <data_dir>/qvtome.db unless configured otherwise. Names are matched
// without regard to case. After start-up the registry is only read, from
// any number of threads.
#pragma once

#include <string>
#include <string_view>

#include <toml++/toml.h>

namespace qv {

struct DataSource {
  std::string name;      // lower case
  std::string engine;    // "sqlite" or "postgresql"
  std::string path;      // sqlite: absolute or data-folder-relative file
  std::string conninfo;  // postgresql: the connection string
};

// Replaces the registry. config may be null (no configuration file).
// Throws std::runtime_error for an entry that is not a table, an unknown
// engine or a value of the wrong type, naming the entry.
void ConfigureDataSources(const toml::table* config, std::string data_dir);

// The source of that name. Throws DatabaseError("Unknown data source: NAME").
DataSource LookupDataSource(std::string_view name);

}  // namespace qv
