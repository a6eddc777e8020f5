// Settings of the HTTP host, read from the [server] table of qvtome.toml.
//
// Every key is optional; a missing key keeps the default below. The keys:
//
//   address = "127.0.0.1"        port = 8080 (0 picks a free port)
//   io_threads = 2               worker_threads = 2 per core, at least 4
//   queue_limit = 256
//   max_header_bytes = 16384     max_body_bytes = 8388608
//   max_connections = 512
//   header_timeout = 10          body_timeout = 60       idle_timeout = 30
//                                                        (seconds)
//   site_dir = "site"            data_dir = "data"       media_mount = "/media"
//   debug = false
//   content_security_policy = "frame-ancestors 'self'; object-src 'none'; base-uri 'self'"
//   trusted_proxies = ["127.0.0.1"]   (peers whose forwarding headers count)
//   identity_header = "X-Remote-User" (from a trusted proxy: sets AUTH_USER)
//   basic_auth_file = "passwd"   (lines "user:$y$..." crypt hashes; sets AUTH_USER)
//   login_max_failures = 100     login_lock_minutes = 60
//                       (failed logins of an account or address, then locked)
//   allowed_origins = ["https://portal.example.org"]  (other sites that may write)
//   secure_cookies = false       (Secure cookies and HSTS even without a proxy's word)
//   max_sessions = 50000         (past it the least recently used go, anonymous first)
//   script_time_limit = 5        (seconds a page may run, fractions allowed; 0: none)
//   script_memory_limit = 64     (megabytes a page's Lua code may take; 0: none)
//   compression = true           (gzip for clients that accept it)
//   sessions = "memory"          ("database": kept in session_datasource's tables,
//                                 shared by every server of the site)
//   session_datasource = "qvtome"
//   allowed_programs = ["/usr/bin/convert"]  (what Folder.RunApplication may start;
//                                             none by default)
//
// The media folder is <data_dir>/media, mounted at media_mount. Request
// bodies past spool_threshold_bytes (not a key) wait in <data_dir>/spool,
// which is never served, rather than in memory. A relative
// basic_auth_file is taken relative to the data folder. LoadServerConfig
// throws std::runtime_error naming the key when a value has the wrong type
// or is out of range.
#pragma once

#include <algorithm>
#include <thread>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace toml {
inline namespace v3 {
class table;
}
}  // namespace toml

namespace qv::http {

struct ServerConfig {
  std::string address = "127.0.0.1";
  uint16_t port = 8080;
  // A connection alone on its I/O thread has its pages run there.
  int io_threads = 2;
  // Page scripts mostly compute; a few more workers than cores cover the
  // ones waiting on the database without thrashing the scheduler.
  int worker_threads = std::max(4, 2 * static_cast<int>(std::thread::hardware_concurrency()));
  // Requests waiting for a worker; past it the answer is 503.
  int queue_limit = 256;

  size_t max_header_bytes = 16 * 1024;
  // Large enough for five uploads of 1024 KB each plus the form around them.
  uint64_t max_body_bytes = 8 * 1024 * 1024;
  int max_connections = 512;
  std::chrono::seconds header_timeout{10};
  std::chrono::seconds body_timeout{60};
  std::chrono::seconds idle_timeout{30};

  std::string site_dir = "site";
  std::string data_dir = "data";
  std::string media_mount = "/media";

  // Shows exception texts in 500 pages.
  bool debug = false;
  std::string content_security_policy =
      "frame-ancestors 'self'; object-src 'none'; base-uri 'self'";

  std::vector<std::string> trusted_proxies;
  std::string identity_header;
  std::string basic_auth_file;

  // Form-login throttle (session/login_throttle.h), applied when a server is made.
  int login_max_failures = 100;
  int login_lock_minutes = 60;
  std::vector<std::string> allowed_origins;  // "scheme://host[:port]"
  bool secure_cookies = false;
  size_t max_sessions = 50000;
  std::vector<std::string> allowed_programs;

  // Limits of one page script run; zero is none. The host that runs the
  // scripts takes them from here.
  std::chrono::milliseconds script_time_limit{5000};
  size_t script_memory_limit = size_t{64} << 20;  // bytes
  // Pages and text files of 1 KB and more are sent gzip-compressed to
  // clients that accept it.
  bool compression = true;
  // "memory" (this process only) or "database" (database_session_store.h).
  std::string sessions = "memory";
  std::string session_datasource = "qvtome";

  // Spdlog files under <data_dir>/logs; off in tests that need no files.
  bool log_to_files = true;

  uint64_t spool_threshold_bytes = 1024 * 1024;

  std::string media_dir() const { return data_dir + "/media"; }
  std::string spool_dir() const { return data_dir + "/spool"; }
};

// Reads the [server] table of a parsed configuration; null gives defaults.
ServerConfig LoadServerConfig(const toml::table* root);

}  // namespace qv::http
