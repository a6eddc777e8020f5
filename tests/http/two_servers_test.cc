// Two `qvtome serve` processes on one data folder and one database, with
// sessions kept in the database: what one server does, the other sees.
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "serve_process.h"
#include "site_server.h"

namespace qv::http::testing {
namespace {

namespace fs = std::filesystem;

class TwoServers : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = fs::temp_directory_path() / ("qvtome-two-" + std::to_string(::getpid()));
    fs::remove_all(data_);
    fs::create_directories(data_);
    std::ofstream(data_ / "qvtome.toml") << "[server]\nsessions = \"database\"\n";
    // The first creates the database before it listens; the second finds it.
    first_ = std::make_unique<ServeProcess>(data_);
    ASSERT_NE(first_->port(), 0) << "the first server did not start";
    second_ = std::make_unique<ServeProcess>(data_);
    ASSERT_NE(second_->port(), 0) << "the second server did not start";
  }
  void TearDown() override {
    for (auto* server : {&first_, &second_}) {
      if (*server) {
        EXPECT_EQ((*server)->Stop(SIGTERM), 0);
      }
      server->reset();
    }
    fs::remove_all(data_);
  }

  fs::path data_;
  std::unique_ptr<ServeProcess> first_, second_;
};

TEST_F(TwoServers, ALoginOnOneServerIsValidOnTheOther) {
  Browser browser(first_->port());
  Reply login = browser.LogIn("/login.lp", "admin", "qvtome-admin");
  ASSERT_TRUE(Has(login.body, "You are logged in as")) << login.body;
  ASSERT_FALSE(browser.cookie().empty());

  browser.UseServer(second_->port());
  EXPECT_TRUE(Has(browser.Open("/login.lp").body, "You are logged in as"));
  EXPECT_TRUE(Has(browser.Open("/login.lp?logout=1").body, "You have been logged out"));

  browser.UseServer(first_->port());
  EXPECT_TRUE(Has(browser.Open("/login.lp").body, "name=\"qvTomeLoginForm\""));
  // A browser that never logged in is anonymous on both.
  Browser stranger(second_->port());
  EXPECT_FALSE(Has(stranger.Open("/login.lp").body, "You are logged in as"));
}

}  // namespace
}  // namespace qv::http::testing
