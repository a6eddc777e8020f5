#include "app/app_config.h"

#include <filesystem>
#include <stdexcept>

#include "engine/datasources.h"
#include "engine/engines.h"
#include "engine/init_db.h"
#include "engine/migrations.h"
#include "engine/pg_schema.h"

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
  RegisterEngines();
  return config;
}

DefaultDatabase InitDefaultDatabase(bool force, const std::string& media_dir) {
  DefaultDatabase result;
  const DataSource source = LookupDataSource("qvtome");
  if (source.engine == "postgresql") {
    result.path = "qvtome (PostgreSQL)";
    result.created = CreatePostgresDatabaseIfMissing(source.conninfo, force);
    if (result.created && !media_dir.empty()) WriteDemoMedia(media_dir);
    const UpgradeResult upgrade = UpgradePostgresDatabase(source.conninfo);
    result.upgraded_from = upgrade.from;
    result.version = upgrade.to;
    return result;
  }
  result.path = source.path;
  result.created = CreateDatabaseIfMissing(result.path, force);
  if (result.created && !media_dir.empty()) WriteDemoMedia(media_dir);
  const UpgradeResult upgrade = UpgradeDatabase(result.path);
  result.upgraded_from = upgrade.from;
  result.version = upgrade.to;
  return result;
}

}  // namespace qv::app
