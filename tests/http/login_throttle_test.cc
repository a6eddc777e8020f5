// Password guessing against the default site's login page: past the
// configured number of failures even the right password is refused with the
// ordinary failure message; once the lock period is over (the throttle's
// clock is moved on) the right password logs in.
#include <gtest/gtest.h>
#include <toml++/toml.h>

#include <chrono>
#include <mutex>
#include <string>

#include "session/login_throttle.h"
#include "site_server.h"

namespace qv::http {
namespace {

using testing::Browser;
using testing::Reply;

using testing::Has;

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

  // The refusal's log row is LoginTest's; here the server's settings reach
  // the throttle its pages share.
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
