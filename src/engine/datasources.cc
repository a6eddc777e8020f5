#include "engine/datasources.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <stdexcept>

#include "core/convert.h"
#include "data/connection.h"
#include "data/queued_writes.h"
#include "data/read_cache.h"

namespace qv {
namespace {

constexpr std::string_view kDefaultName = "qvtome";

struct Registry {
  std::string data_dir;
  std::map<std::string, DataSource> sources;  // by lower-case name
};

std::string ResolvePath(const std::string& data_dir, const std::string& path) {
  std::filesystem::path p(path);
  if (p.is_absolute() || data_dir.empty()) return p.lexically_normal().string();
  return (std::filesystem::path(data_dir) / p).lexically_normal().string();
}

// Adds the default source unless configured, so a lookup resolves no path.
std::shared_ptr<const Registry> Completed(std::shared_ptr<Registry> fresh) {
  const std::string name(kDefaultName);
  if (!fresh->sources.contains(name)) {
    fresh->sources[name] =
        DataSource{name, "sqlite", ResolvePath(fresh->data_dir, name + ".db"), ""};
  }
  return fresh;
}

std::shared_mutex registry_mutex;
std::shared_ptr<const Registry> registry = Completed(std::make_shared<Registry>());

std::string TextValue(const toml::table& entry, std::string_view key, const std::string& name,
                      std::string fallback) {
  const toml::node* node = entry.get(key);
  if (node == nullptr) return fallback;
  if (!node->is_string()) {
    throw std::runtime_error("datasource." + name + "." + std::string(key) + " must be text");
  }
  return std::string(node->as_string()->get());
}

DataSource ReadEntry(const std::string& name, const toml::node& node, const std::string& data_dir) {
  if (!node.is_table()) throw std::runtime_error("datasource." + name + " must be a table");
  const toml::table& entry = *node.as_table();
  DataSource source;
  source.name = ToLower(name);
  source.engine = ToLower(TextValue(entry, "engine", name, "sqlite"));
  if (source.engine == "sqlite") {
    source.path = ResolvePath(data_dir, TextValue(entry, "path", name, source.name + ".db"));
  } else if (source.engine == "postgresql") {
    source.conninfo = TextValue(entry, "conninfo", name, "");
  } else {
    throw std::runtime_error("datasource." + name + ": unknown engine \"" + source.engine + "\"");
  }
  return source;
}

std::shared_ptr<const Registry> CurrentRegistry() {
  std::shared_lock lock(registry_mutex);
  return registry;
}

}  // namespace

void ConfigureDataSources(const toml::table* config, std::string data_dir) {
  auto fresh = std::make_shared<Registry>();
  fresh->data_dir = std::move(data_dir);
  const toml::table* sources = config ? (*config)["datasource"].as_table() : nullptr;
  if (config && config->contains("datasource") && sources == nullptr) {
    throw std::runtime_error("datasource must be a table of data sources");
  }
  if (sources != nullptr) {
    for (const auto& [key, node] : *sources) {
      DataSource source = ReadEntry(std::string(key.str()), node, fresh->data_dir);
      fresh->sources[source.name] = std::move(source);
    }
  }
  // Rows queued for the sources as they were go where they were meant to,
  // and nothing read from them is taken for rows of the sources as they are.
  FlushQueuedWrites();
  ClearReadCache();
  std::shared_ptr<const Registry> completed = Completed(std::move(fresh));
  std::unique_lock lock(registry_mutex);
  registry = std::move(completed);
}

DataSource LookupDataSource(std::string_view name) {
  std::shared_ptr<const Registry> current = CurrentRegistry();
  std::string key = ToLower(name);
  auto found = current->sources.find(key);
  if (found != current->sources.end()) return found->second;
  throw DatabaseError("Unknown data source: " + std::string(name));
}

}  // namespace qv
