#include "http/server_config.h"

#include <toml++/toml.h>

#include <string>

#include "core/toml_keys.h"

namespace qv::http {
namespace {

std::chrono::seconds ReadSeconds(const TomlKeys& keys, const char* key, std::chrono::seconds out) {
  return std::chrono::seconds(keys.Integer(key, out.count(), 1, 86400));
}

// Seconds as an integer or a fraction, in milliseconds.
std::chrono::milliseconds ReadDuration(const TomlKeys& keys, const char* key,
                                       std::chrono::milliseconds fallback, double max_seconds) {
  const toml::node* node = keys.Node(key);
  if (!node) return fallback;
  if (!node->is_number()) keys.Bad(key, "a number of seconds");
  const double seconds = *node->value<double>();
  if (!(seconds >= 0 && seconds <= max_seconds)) {
    keys.Bad(key, "between 0 and " + std::to_string(static_cast<int64_t>(max_seconds)));
  }
  return std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000 + 0.5));
}

}  // namespace

ServerConfig LoadServerConfig(const toml::table* root) {
  ServerConfig c;
  const toml::table* t = root ? root->get_as<toml::table>("server") : nullptr;
  if (!t) return c;
  const TomlKeys keys(*t, "server");
  keys.String("address", c.address);
  c.port = static_cast<uint16_t>(keys.Integer("port", c.port, 0, 65535));
  c.io_threads = static_cast<int>(keys.Integer("io_threads", c.io_threads, 1, 64));
  c.worker_threads = static_cast<int>(keys.Integer("worker_threads", c.worker_threads, 1, 1024));
  c.queue_limit = static_cast<int>(keys.Integer("queue_limit", c.queue_limit, 1, 1 << 20));
  c.max_header_bytes =
      static_cast<size_t>(keys.Integer("max_header_bytes", c.max_header_bytes, 1024, 1 << 20));
  c.max_body_bytes =
      static_cast<uint64_t>(keys.Integer("max_body_bytes", c.max_body_bytes, 0, int64_t{1} << 40));
  c.max_connections =
      static_cast<int>(keys.Integer("max_connections", c.max_connections, 1, 1 << 20));
  c.header_timeout = ReadSeconds(keys, "header_timeout", c.header_timeout);
  c.body_timeout = ReadSeconds(keys, "body_timeout", c.body_timeout);
  c.idle_timeout = ReadSeconds(keys, "idle_timeout", c.idle_timeout);
  keys.String("site_dir", c.site_dir);
  keys.String("data_dir", c.data_dir);
  keys.String("media_mount", c.media_mount);
  keys.Bool("debug", c.debug);
  keys.String("content_security_policy", c.content_security_policy);
  keys.List("trusted_proxies", c.trusted_proxies);
  keys.String("identity_header", c.identity_header);
  keys.String("basic_auth_file", c.basic_auth_file);
  c.login_max_failures =
      static_cast<int>(keys.Integer("login_max_failures", c.login_max_failures, 1, 1 << 20));
  c.login_lock_minutes =
      static_cast<int>(keys.Integer("login_lock_minutes", c.login_lock_minutes, 1, 10080));
  keys.List("allowed_origins", c.allowed_origins);
  keys.List("allowed_programs", c.allowed_programs);
  keys.Bool("secure_cookies", c.secure_cookies);
  c.max_sessions =
      static_cast<size_t>(keys.Integer("max_sessions", int64_t(c.max_sessions), 100, 1 << 24));
  c.script_time_limit = ReadDuration(keys, "script_time_limit", c.script_time_limit, 3600);
  c.script_memory_limit =
      static_cast<size_t>(
          keys.Integer("script_memory_limit", int64_t(c.script_memory_limit >> 20), 0, 1 << 20))
      << 20;
  keys.Bool("compression", c.compression);
  keys.String("sessions", c.sessions);
  if (c.sessions != "memory" && c.sessions != "database") {
    keys.Bad("sessions", "\"memory\" or \"database\"");
  }
  keys.String("session_datasource", c.session_datasource);
  if (c.session_datasource.empty()) keys.Bad("session_datasource", "a data-source name");
  if (c.media_mount.empty() || c.media_mount.front() != '/' || c.media_mount == "/") {
    keys.Bad("media_mount", "a virtual path such as \"/media\"");
  }
  while (c.media_mount.size() > 1 && c.media_mount.back() == '/') c.media_mount.pop_back();
  return c;
}

}  // namespace qv::http
