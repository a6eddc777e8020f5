// The default site on a real server for end-to-end tests: a fresh data
// folder with the seeded database (on the engine under test,
// engine/test_engine.h), the site of the source tree, a server on
// 127.0.0.1 with page scripts, stopped and removed again at the end; and a
// browser that keeps the session cookie the server sets.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <toml++/toml.h>

#include "core/convert.h"
#include "data/queued_writes.h"
#include "engine/datasources.h"
#include "engine/init_db.h"
#include "engine/sqlite_connection.h"
#include "engine/test_engine.h"
#include "http/http_server.h"
#include "script/script_host.h"
#include "test_client.h"

namespace qv::http::testing {

class SiteServer {
 public:
  // `name` names the temporary data folder; `adjust` may change the
  // server's settings before it starts.
  explicit SiteServer(const std::string& name,
                      const std::function<void(ServerConfig&)>& adjust = nullptr)
      : data_(MakeDataDir(name)), db_(data_, "qvtome.db", ::qv::testing::Contents::kSeeded) {
    if (::qv::testing::OnPostgres()) {
      const toml::table sources = toml::parse("[datasource.qvtome]\n" + db_.Entry());
      ConfigureDataSources(&sources, data_.string());
    } else {
      ConfigureDataSources(nullptr, data_.string());  // qvtome.db in the data folder
    }
    SetConnectionFactory(::qv::testing::NewEngineConnection);
    WriteDemoMedia((data_ / "media" / "qvtome").string());
    ServerConfig config;
    config.port = 0;
    config.site_dir = QV_SITE_DIR;
    config.data_dir = data_.string();
    config.worker_threads = 2;
    config.log_to_files = false;
    if (adjust) adjust(config);
    server_ = std::make_unique<HttpServer>(
        config,
        [this](const std::string& physical, const std::string& path) {
          scripts_.Run(physical, path);
        },
        sessions_);
    server_->Start();
  }
  ~SiteServer() {
    server_->Stop();
    server_.reset();
    FlushQueuedWrites();  // no log row reaches the folder while it goes
    std::error_code ignored;
    std::filesystem::remove_all(data_, ignored);
  }
  SiteServer(const SiteServer&) = delete;
  SiteServer& operator=(const SiteServer&) = delete;

  uint16_t port() const { return server_->port(); }
  MemorySessionStore& sessions() { return *sessions_; }
  const std::filesystem::path& data_dir() const { return data_; }

 private:
  static std::filesystem::path MakeDataDir(const std::string& name) {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
  }

  std::filesystem::path data_;
  ::qv::testing::ScratchDatabase db_;
  ScriptHost scripts_;
  std::shared_ptr<MemorySessionStore> sessions_ = std::make_shared<MemorySessionStore>();
  std::unique_ptr<HttpServer> server_;
};

// One browser: keeps the session cookie the server sets.
class Browser {
 public:
  explicit Browser(uint16_t port) : port_(port) {}

  Reply Open(const std::string& path) { return Keep(Fetch(port_, Get(path, CookieHeader()))); }
  Reply Send(const std::string& path, const std::string& form) {
    return Keep(
        Fetch(port_, Post(path, "application/x-www-form-urlencoded", form, CookieHeader())));
  }
  Reply LogIn(const std::string& path, const std::string& user, const std::string& password) {
    return Send(path, "qvTomeLogin=true&qvTomeUserID=" + user + "&qvTomePassword=" + password);
  }
  const std::string& cookie() const { return cookie_; }
  // Goes on with another server, keeping the cookie (as behind a balancer).
  void UseServer(uint16_t port) { port_ = port; }

 private:
  std::string CookieHeader() const { return cookie_.empty() ? "" : "Cookie: " + cookie_ + "\r\n"; }
  Reply Keep(Reply reply) {
    const std::string set = reply.Header("set-cookie");
    if (!set.empty()) cookie_ = set.substr(0, set.find(';'));
    return reply;
  }

  uint16_t port_;
  std::string cookie_;
};

// A test suite sharing one site server, started before its first test and
// stopped after its last; Suite names the data folder in kSiteName.
template <typename Suite>
class SiteSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { site_ = new SiteServer(Suite::kSiteName); }
  static void TearDownTestSuite() {
    delete site_;
    site_ = nullptr;
  }

  static std::string Query(const std::string& sql);
  static bool Has(const std::string& text, const std::string& part);
  // A browser logged in as `user`; without a password, one of the seeded
  // users: admin, teacher, student.
  static Browser As(const std::string& user, std::string password = "") {
    Browser browser(site_->port());
    if (password.empty()) password = user == "admin" ? "qvtome-admin" : user + "-2026";
    EXPECT_TRUE(Has(browser.LogIn("/login.lp", user, password).body, "You are logged in as"))
        << user;
    return browser;
  }
  static Browser Admin() { return As("admin"); }
  static Browser Teacher() { return As("teacher"); }
  static Browser Student() { return As("student"); }

  static inline SiteServer* site_ = nullptr;
};

// The first value of the first row `sql` gives on the site's database; ""
// when there is none. Log rows the server queued before are written first.
inline std::string QueryFirst(const std::string& sql) {
  FlushQueuedWrites();
  std::unique_ptr<Connection> conn = ::qv::testing::NewEngineConnection();
  conn->Open("qvtome", "", "");
  QueryResult result = conn->Query(sql);
  return result.rows.empty() ? "" : NullToStr(result.rows[0][0]);
}

// Every row `sql` gives on the site's database: the values of a row joined
// by field_sep (Null as ""), the rows by row_sep.
inline std::string QueryJoined(const std::string& sql, const std::string& field_sep,
                               const std::string& row_sep) {
  FlushQueuedWrites();
  std::unique_ptr<Connection> conn = ::qv::testing::NewEngineConnection();
  conn->Open("qvtome", "", "");
  std::string out;
  for (const auto& row : conn->Query(sql).rows) {
    if (!out.empty()) out += row_sep;
    for (size_t i = 0; i < row.size(); ++i) out += (i ? field_sep : "") + NullToStr(row[i]);
  }
  return out;
}

inline bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

template <typename Suite>
std::string SiteSuite<Suite>::Query(const std::string& sql) {
  return QueryFirst(sql);
}
template <typename Suite>
bool SiteSuite<Suite>::Has(const std::string& text, const std::string& part) {
  return testing::Has(text, part);
}

}  // namespace qv::http::testing
