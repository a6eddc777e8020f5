// Password guessing against the default site's login page: past the
// configured number of failures even the right password is refused with the
// ordinary failure message and the refusal is logged; once the lock period
// is over (the throttle's clock is moved on) the right password logs in.
#include <gtest/gtest.h>
#include <toml++/toml.h>

#include <chrono>
#include <mutex>
#include <string>

#include "core/convert.h"
#include "engine/sqlite_connection.h"
#include "session/login_throttle.h"
#include "site_server.h"

namespace qv::http {
namespace {

using testing::Browser;
using testing::Reply;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The throttle's clock, moved on by hand for as long as it lives; read on
// the server's worker threads.
class ManualClock {
 public:
  ManualClock() {
    SharedLoginThrottle().SetClock([this] {
      std::lock_guard lock(mutex_);
      return now_;
    });
  }
  ~ManualClock() { SharedLoginThrottle().SetClock(nullptr); }
  ManualClock(const ManualClock&) = delete;
  ManualClock& operator=(const ManualClock&) = delete;

  void Advance(std::chrono::minutes by) {
    std::lock_guard lock(mutex_);
    now_ += by;
  }

 private:
  std::mutex mutex_;
  LoginThrottle::TimePoint now_{};
};

TEST(LoginThrottleSite, RightPasswordRefusedWhileLockedAndAcceptedAfter) {
  testing::SiteServer site("qvtome_login_throttle", [](ServerConfig& config) {
    config.login_max_failures = 3;
    config.login_lock_minutes = 2;
  });
  ManualClock clock;

  Browser browser(site.port());
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Has(browser.LogIn("/login.lp", "admin", "wrong").body, "Login failed")) << i;
  }
  const Reply refused = browser.LogIn("/login.lp", "admin", "qvtome-admin");
  EXPECT_TRUE(Has(refused.body, "Login failed"));
  EXPECT_FALSE(Has(refused.body, "You are logged in as"));

  FlushQueuedWrites();
  std::unique_ptr<Connection> conn = ::qv::testing::NewEngineConnection();
  conn->Open("qvtome", "", "");
  const QueryResult log =
      conn->Query("SELECT dbFormString, dbIP, dbPageName FROM qvAuthLog WHERE dbAction = " +
                  std::to_string(kLogLoginThrottled));
  ASSERT_EQ(log.rows.size(), 1u);
  EXPECT_TRUE(Has(NullToStr(log.rows[0][0]), "qvTomeUserID=admin"));
  EXPECT_FALSE(Has(NullToStr(log.rows[0][0]), "qvtome-admin"));
  EXPECT_EQ(log.rows[0][1], Variant("127.0.0.1"));
  EXPECT_EQ(log.rows[0][2], Variant("/login.lp"));
  conn->Close();

  clock.Advance(std::chrono::minutes(2));
  const Reply accepted = browser.LogIn("/login.lp", "admin", "qvtome-admin");
  EXPECT_TRUE(Has(accepted.body, "You are logged in as")) << accepted.body;
}

TEST(LoginThrottleSite, SettingsComeFromTheServerTable) {
  toml::table root = toml::parse("[server]\nlogin_max_failures = 7\nlogin_lock_minutes = 15\n");
  const ServerConfig config = LoadServerConfig(&root);
  EXPECT_EQ(config.login_max_failures, 7);
  EXPECT_EQ(config.login_lock_minutes, 15);
  toml::table zero = toml::parse("[server]\nlogin_lock_minutes = 0\n");
  EXPECT_THROW(LoadServerConfig(&zero), std::runtime_error);
}

}  // namespace
}  // namespace qv::http
