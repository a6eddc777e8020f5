// How often a password may be mailed.
//
// Book.eMailPassword sends a password at most `per_hour` times an hour for
// one account (its user id without regard to case) and as often for one
// client address; a further request within the hour sends nothing. Counts
// older than an hour are forgotten; at most `max_entries` accounts and
// addresses are tracked (the longest idle dropped first), so memory stays
// bounded whatever clients send. Thread-safe; SharedPasswordMailLimit()
// serves every request of the process.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

namespace qv {

// Activity-log action code of a password mail refused by the limit.
inline constexpr int kLogPasswordMailLimited = 17;

struct PasswordMailLimitSettings {
  int per_hour = 3;
  size_t max_entries = 10000;
};

class PasswordMailLimit {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  using Clock = std::function<TimePoint()>;
  using Settings = PasswordMailLimitSettings;

  // A null clock reads std::chrono::steady_clock.
  explicit PasswordMailLimit(Settings settings = {}, Clock clock = nullptr);

  // Replaces the settings (or the clock) and forgets every count.
  void Configure(Settings settings);
  void SetClock(Clock clock);

  // Counts one mail for account and address and returns true when both are
  // below the limit; otherwise counts nothing and returns false.
  bool Admit(const std::string& account, const std::string& address);

 private:
  TimePoint Now() const;
  // The times of key within the last hour (older ones dropped).
  std::deque<TimePoint>& Recent(const std::string& key, TimePoint now);
  void Prune(TimePoint now);

  mutable std::mutex mutex_;
  Settings settings_;
  Clock clock_;
  std::unordered_map<std::string, std::deque<TimePoint>> sent_;
};

PasswordMailLimit& SharedPasswordMailLimit();

}  // namespace qv
