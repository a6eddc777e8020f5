// LoginThrottle: slows password guessing at the login form.
//
// Failed form logins are counted per account (the user id without regard to
// case, as the database finds it) and per client address. Once either has
// `delay_after` failures, each further attempt has to wait for that
// account's or address's next-allowed time: 1 s after the failure, doubling
// with each further one up to a minute; from `max_failures` failures on the
// wait is the whole `lock` period. An attempt before its next-allowed time
// is refused at once, without looking at the password, so no thread ever
// waits. A success clears the counts of its account and its address; a
// count whose last failure is a lock period old is forgotten.
//
// An admitted attempt counts as failed until Succeeded says otherwise, so
// attempts running at the same time on other threads already meet the
// delay it causes. At most `max_entries` accounts and addresses are tracked
// (the least recently failed are dropped first) and account names are cut
// to 128 bytes, so the memory used stays bounded whatever clients send.
//
// Thread-safe. One instance per process, SharedLoginThrottle(), serves the
// login of every request.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace qv {

// Activity-log action code of a login attempt refused by the throttle.
inline constexpr int kLogLoginThrottled = 16;

struct LoginThrottleSettings {
  int delay_after = 5;
  int max_failures = 100;
  std::chrono::minutes lock{60};
  size_t max_entries = 10000;
};

class LoginThrottle {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  using Clock = std::function<TimePoint()>;

  using Settings = LoginThrottleSettings;

  // A null clock reads std::chrono::steady_clock.
  explicit LoginThrottle(Settings settings = {}, Clock clock = nullptr);

  // Replaces the settings and forgets every count.
  void Configure(Settings settings);
  // Replaces the clock (null: the steady clock) and forgets every count;
  // lets tests move time on.
  void SetClock(Clock clock);

  // Whether an attempt for `account` from `address` may check its password
  // now; when it may, the attempt is counted as a failure of both. An empty
  // address is not counted.
  bool Admit(std::string_view account, std::string_view address);
  // The admitted attempt logged in: clears both counts.
  void Succeeded(std::string_view account, std::string_view address);

  // Accounts and addresses tracked.
  size_t size() const;

 private:
  struct Entry {
    int failures = 0;
    TimePoint last_failure;
    TimePoint next_allowed;
    std::list<std::string>::iterator age;  // position in by_age_
  };

  // The entry of key, or null when there is none or it is forgotten.
  Entry* Find(const std::string& key, TimePoint now);
  void CountFailure(const std::string& key, TimePoint now);
  std::chrono::seconds Wait(int failures) const;
  void Erase(const std::string& key);

  mutable std::mutex mutex_;
  Settings settings_;
  Clock clock_;
  std::unordered_map<std::string, Entry> entries_;
  std::list<std::string> by_age_;  // keys, the least recently failed first
};

// The process's throttle.
LoginThrottle& SharedLoginThrottle();

// Applies the host's settings to SharedLoginThrottle (at server start).
void ConfigureLoginThrottle(int max_failures, int lock_minutes);

}  // namespace qv
