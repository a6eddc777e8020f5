#include "http/server_config.h"

#include <toml++/toml.h>
#include <stdexcept>

namespace qv::http {
namespace {

[[noreturn]] void BadKey(const std::string& key, const char* expected) {
  throw std::runtime_error("[server] " + key + " must be " + expected);
}

void ReadString(const toml::table& t, const char* key, std::string& out) {
  const toml::node* node = t.get(key);
  if (!node) return;
  if (!node->is_string()) BadKey(key, "a string");
  out = *node->value<std::string>();
}

int64_t ReadInteger(const toml::table& t, const char* key, int64_t fallback, int64_t min,
                    int64_t max) {
  const toml::node* node = t.get(key);
  if (!node) return fallback;
  if (!node->is_integer()) BadKey(key, "an integer");
  int64_t value = *node->value<int64_t>();
  if (value < min || value > max) {
    BadKey(key, ("between " + std::to_string(min) + " and " + std::to_string(max)).c_str());
  }
  return value;
}

void ReadBool(const toml::table& t, const char* key, bool& out) {
  const toml::node* node = t.get(key);
  if (!node) return;
  if (!node->is_boolean()) BadKey(key, "true or false");
  out = *node->value<bool>();
}

void ReadSeconds(const toml::table& t, const char* key, std::chrono::seconds& out) {
  out = std::chrono::seconds(ReadInteger(t, key, out.count(), 1, 86400));
}

void ReadList(const toml::table& t, const char* key, std::vector<std::string>& out) {
  const toml::node* node = t.get(key);
  if (!node) return;
  const toml::array* list = node->as_array();
  if (!list) BadKey(key, "an array of strings");
  out.clear();
  for (const toml::node& item : *list) {
    if (!item.is_string()) BadKey(key, "an array of strings");
    out.push_back(*item.value<std::string>());
  }
}

// Seconds as an integer or a fraction, in milliseconds.
std::chrono::milliseconds ReadDuration(const toml::table& t, const char* key,
                                       std::chrono::milliseconds fallback, double max_seconds) {
  const toml::node* node = t.get(key);
  if (!node) return fallback;
  if (!node->is_number()) BadKey(key, "a number of seconds");
  const double seconds = *node->value<double>();
  if (!(seconds >= 0 && seconds <= max_seconds)) {
    BadKey(key, ("between 0 and " + std::to_string(static_cast<int64_t>(max_seconds))).c_str());
  }
  return std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000 + 0.5));
}

}  // namespace

ServerConfig LoadServerConfig(const toml::table* root) {
  ServerConfig c;
  const toml::table* t = root ? root->get_as<toml::table>("server") : nullptr;
  if (!t) return c;
  ReadString(*t, "address", c.address);
  c.port = static_cast<uint16_t>(ReadInteger(*t, "port", c.port, 0, 65535));
  c.io_threads = static_cast<int>(ReadInteger(*t, "io_threads", c.io_threads, 1, 64));
  c.worker_threads = static_cast<int>(ReadInteger(*t, "worker_threads", c.worker_threads, 1, 1024));
  c.queue_limit = static_cast<int>(ReadInteger(*t, "queue_limit", c.queue_limit, 1, 1 << 20));
  c.max_header_bytes =
      static_cast<size_t>(ReadInteger(*t, "max_header_bytes", c.max_header_bytes, 1024, 1 << 20));
  c.max_body_bytes = static_cast<uint64_t>(
      ReadInteger(*t, "max_body_bytes", c.max_body_bytes, 0, int64_t{1} << 40));
  c.max_connections =
      static_cast<int>(ReadInteger(*t, "max_connections", c.max_connections, 1, 1 << 20));
  ReadSeconds(*t, "header_timeout", c.header_timeout);
  ReadSeconds(*t, "body_timeout", c.body_timeout);
  ReadSeconds(*t, "idle_timeout", c.idle_timeout);
  ReadString(*t, "site_dir", c.site_dir);
  ReadString(*t, "data_dir", c.data_dir);
  ReadString(*t, "media_mount", c.media_mount);
  ReadBool(*t, "debug", c.debug);
  ReadString(*t, "content_security_policy", c.content_security_policy);
  ReadList(*t, "trusted_proxies", c.trusted_proxies);
  ReadString(*t, "identity_header", c.identity_header);
  ReadString(*t, "basic_auth_file", c.basic_auth_file);
  c.login_max_failures =
      static_cast<int>(ReadInteger(*t, "login_max_failures", c.login_max_failures, 1, 1 << 20));
  c.login_lock_minutes =
      static_cast<int>(ReadInteger(*t, "login_lock_minutes", c.login_lock_minutes, 1, 10080));
  ReadList(*t, "allowed_origins", c.allowed_origins);
  ReadList(*t, "allowed_programs", c.allowed_programs);
  ReadBool(*t, "secure_cookies", c.secure_cookies);
  c.max_sessions =
      static_cast<size_t>(ReadInteger(*t, "max_sessions", int64_t(c.max_sessions), 100, 1 << 24));
  c.script_time_limit = ReadDuration(*t, "script_time_limit", c.script_time_limit, 3600);
  c.script_memory_limit =
      static_cast<size_t>(
          ReadInteger(*t, "script_memory_limit", int64_t(c.script_memory_limit >> 20), 0, 1 << 20))
      << 20;
  ReadBool(*t, "compression", c.compression);
  if (c.media_mount.empty() || c.media_mount.front() != '/' || c.media_mount == "/") {
    BadKey("media_mount", "a virtual path such as \"/media\"");
  }
  while (c.media_mount.size() > 1 && c.media_mount.back() == '/') c.media_mount.pop_back();
  return c;
}

}  // namespace qv::http
