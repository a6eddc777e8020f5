#include "session/login_throttle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace qv {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;

class LoginThrottleTest : public ::testing::Test {
 protected:
  // Failed attempts for account from address, each admitted at once.
  void Fail(int times, const std::string& account, const std::string& address) {
    for (int i = 0; i < times; ++i) ASSERT_TRUE(throttle.Admit(account, address)) << i;
  }

  LoginThrottle::TimePoint now{};
  LoginThrottle throttle{{}, [this] { return now; }};
};

TEST_F(LoginThrottleTest, DelayGrowsAfterAFewFailuresAndNeverWaits) {
  Fail(5, "admin", "10.0.0.1");
  EXPECT_FALSE(throttle.Admit("admin", "10.0.0.1"));
  EXPECT_FALSE(throttle.Admit("ADMIN", "10.0.0.2"));  // the account, whatever case or address
  now += std::chrono::milliseconds(999);
  EXPECT_FALSE(throttle.Admit("admin", "10.0.0.3"));
  now += std::chrono::milliseconds(1);
  EXPECT_TRUE(throttle.Admit("admin", "10.0.0.3"));  // sixth failure: two seconds
  now += seconds(1);
  EXPECT_FALSE(throttle.Admit("admin", "10.0.0.4"));
  now += seconds(1);
  EXPECT_TRUE(throttle.Admit("admin", "10.0.0.4"));
  EXPECT_TRUE(throttle.Admit("alice", "10.0.0.5"));  // other accounts are not held up
}

TEST_F(LoginThrottleTest, ManyFailuresLockEvenTheRightPasswordForTheLockPeriod) {
  throttle.Configure({.delay_after = 3, .max_failures = 10, .lock = minutes(15)});
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(throttle.Admit("admin", "")) << i;
    now += seconds(60);  // past every growing delay
  }
  // Locked from the tenth failure on: the attempt is not even checked, so a
  // right password cannot get through.
  now += minutes(13);
  EXPECT_FALSE(throttle.Admit("admin", ""));
  now += seconds(59);
  EXPECT_FALSE(throttle.Admit("admin", ""));
  now += seconds(1);  // fifteen minutes after the last failure
  ASSERT_TRUE(throttle.Admit("admin", ""));
  throttle.Succeeded("admin", "");
  EXPECT_EQ(throttle.size(), 0u);
}

TEST_F(LoginThrottleTest, SuccessClearsTheAccountAndTheAddress) {
  Fail(4, "admin", "10.0.0.1");
  ASSERT_TRUE(throttle.Admit("alice", "10.0.0.1"));  // the address's fifth
  throttle.Succeeded("alice", "10.0.0.1");
  Fail(4, "bob", "10.0.0.1");                        // the address starts again
  ASSERT_TRUE(throttle.Admit("admin", "10.0.0.9"));  // admin's fifth
  throttle.Succeeded("admin", "10.0.0.9");
  Fail(5, "admin", "10.0.0.8");
}

TEST_F(LoginThrottleTest, AnAddressIsCountedAcrossAccounts) {
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(throttle.Admit("user" + std::to_string(i), "10.0.0.1"));
  EXPECT_FALSE(throttle.Admit("someone", "10.0.0.1"));
  EXPECT_TRUE(throttle.Admit("someone", "10.0.0.2"));
  for (int i = 0; i < 10; ++i) {  // an unknown address counts nothing
    EXPECT_TRUE(throttle.Admit("other" + std::to_string(i), ""));
  }
}

TEST_F(LoginThrottleTest, CountsAreForgottenALockPeriodAfterTheLastFailure) {
  Fail(5, "admin", "10.0.0.1");
  now += minutes(59);
  ASSERT_TRUE(throttle.Admit("admin", "10.0.0.1"));  // sixth, counted from the fifth
  now += minutes(60);
  Fail(5, "admin", "10.0.0.1");
}

TEST_F(LoginThrottleTest, MemoryStaysBoundedWhateverClientsSend) {
  throttle.Configure({.max_entries = 100});
  Fail(4, "admin", "");
  const std::string long_name(1 << 16, 'x');
  for (int i = 0; i < 1000; ++i) {
    ASSERT_TRUE(throttle.Admit(std::to_string(i) + long_name, "10.1." + std::to_string(i)));
  }
  EXPECT_EQ(throttle.size(), 100u);
  Fail(5, "admin", "");  // evicted as the oldest: counts afresh
  // Names are cut to a bounded key: two names alike in their first 128
  // bytes share one count.
  Fail(4, long_name + "a", "");
  EXPECT_TRUE(throttle.Admit(long_name + "b", ""));
  EXPECT_FALSE(throttle.Admit(long_name + "c", ""));
}

// Attempts racing on several threads: an admitted attempt counts before its
// password is checked, so exactly the free ones get through.
TEST_F(LoginThrottleTest, ConcurrentAttemptsGetNoMoreThanTheFreeOnes) {
  std::atomic<int> admitted{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) {
        if (throttle.Admit("admin", "10.0.0." + std::to_string(t))) ++admitted;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(admitted.load(), 5);
}

}  // namespace
}  // namespace qv
