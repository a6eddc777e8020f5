// Start-up configuration of the qvtome command: the data folder, the
// optional qvtome.toml, and the data sources it names.
#pragma once

#include <optional>
#include <string>

#include <toml++/toml.h>

namespace qv::app {

struct StartupConfig {
  std::string data_dir;             // absolute
  std::optional<toml::table> toml;  // the parsed configuration, when there is one
};

// Reads config_file, or <data_dir>/qvtome.toml when config_file is "" and
// that file exists, and registers the data sources and the engines.
// Throws std::runtime_error with the file name for an unreadable or
// malformed file.
StartupConfig LoadStartupConfig(const std::string& data_dir, const std::string& config_file);

struct DefaultDatabase {
  std::string path;
  bool created = false;   // built anew
  int upgraded_from = 0;  // the schema version before the upgrade
  int version = 0;        // the schema version now
};

// Creates the default data source's database when it is missing (or with
// force, anew), else applies the schema migrations it lacks. Throws
// DatabaseError when either fails (the file then stays as it was). A new
// database's demo pictures are written into media_dir, the data source's
// media folder (<data>/media/qvtome), when that is given.
DefaultDatabase InitDefaultDatabase(bool force, const std::string& media_dir = "");

}  // namespace qv::app
