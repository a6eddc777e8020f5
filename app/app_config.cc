#include "app/app_config.h"

#include <filesystem>
#include <stdexcept>

#include "engine/datasources.h"
#include "engine/init_db.h"
#include "engine/sqlite_connection.h"

namespace qv::app {

StartupConfig LoadStartupConfig(const std::string& data_dir, const std::string& config_file) {
  namespace fs = std::filesystem;
  StartupConfig config;
  config.data_dir = fs::absolute(data_dir).lexically_normal().string();
  std::string file = config_file;
  if (file.empty() && fs::exists(fs::path(config.data_dir) / "qvtome.toml")) {
    file = (fs::path(config.data_dir) / "qvtome.toml").string();
  }
  if (!file.empty()) {
    try {
      config.toml = toml::parse_file(file);
    } catch (const toml::parse_error& e) {
      throw std::runtime_error("Cannot read configuration " + file + ": " +
                               std::string(e.description()));
    }
  }
  ConfigureDataSources(config.toml ? &*config.toml : nullptr, config.data_dir);
  RegisterSqliteEngine();
  return config;
}

std::pair<std::string, bool> InitDefaultDatabase(bool force) {
  DataSource source = LookupDataSource("qvtome");
  bool created = CreateDatabaseIfMissing(source.path, force);
  return {source.path, created};
}

}  // namespace qv::app
