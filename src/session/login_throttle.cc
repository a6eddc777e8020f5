#include "session/login_throttle.h"

#include <algorithm>

#include "core/convert.h"

namespace qv {

namespace {

constexpr size_t kMaxKeyBytes = 128;
constexpr std::chrono::seconds kMaxDelay{60};

std::string AccountKey(std::string_view account) {
  return "u " + ToLower(account.substr(0, kMaxKeyBytes));
}

std::string AddressKey(std::string_view address) {
  return "a " + std::string(address.substr(0, kMaxKeyBytes));
}

}  // namespace

LoginThrottle::LoginThrottle(Settings settings, Clock clock) {
  Configure(settings);
  SetClock(std::move(clock));
}

void LoginThrottle::Configure(Settings settings) {
  std::lock_guard lock(mutex_);
  settings_ = settings;
  // Room for the account and the address of one attempt.
  settings_.max_entries = std::max<size_t>(settings_.max_entries, 2);
  entries_.clear();
  by_age_.clear();
}

void LoginThrottle::SetClock(Clock clock) {
  std::lock_guard lock(mutex_);
  clock_ = clock ? std::move(clock) : Clock([] { return std::chrono::steady_clock::now(); });
  entries_.clear();
  by_age_.clear();
}

bool LoginThrottle::Admit(std::string_view account, std::string_view address) {
  std::lock_guard lock(mutex_);
  const TimePoint now = clock_();
  const std::string account_key = AccountKey(account);
  const std::string address_key = address.empty() ? "" : AddressKey(address);
  for (const std::string* key : {&account_key, &address_key}) {
    if (key->empty()) continue;
    const Entry* entry = Find(*key, now);
    if (entry && now < entry->next_allowed) return false;
  }
  CountFailure(account_key, now);
  if (!address_key.empty()) CountFailure(address_key, now);
  return true;
}

void LoginThrottle::Succeeded(std::string_view account, std::string_view address) {
  std::lock_guard lock(mutex_);
  Erase(AccountKey(account));
  if (!address.empty()) Erase(AddressKey(address));
}

size_t LoginThrottle::size() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

LoginThrottle::Entry* LoginThrottle::Find(const std::string& key, TimePoint now) {
  auto it = entries_.find(key);
  if (it == entries_.end()) return nullptr;
  if (now - it->second.last_failure >= settings_.lock) {
    by_age_.erase(it->second.age);
    entries_.erase(it);
    return nullptr;
  }
  return &it->second;
}

void LoginThrottle::CountFailure(const std::string& key, TimePoint now) {
  Entry* entry = Find(key, now);
  if (entry) {
    by_age_.splice(by_age_.end(), by_age_, entry->age);
  } else {
    if (entries_.size() >= settings_.max_entries) {
      const std::string oldest = by_age_.front();
      Erase(oldest);
    }
    by_age_.push_back(key);
    entry = &entries_[key];
    entry->age = std::prev(by_age_.end());
  }
  entry->failures = std::min(entry->failures + 1, settings_.max_failures);
  entry->last_failure = now;
  entry->next_allowed = now + Wait(entry->failures);
}

// No wait before delay_after failures; then 1 s doubling up to kMaxDelay;
// the lock period from max_failures on.
std::chrono::seconds LoginThrottle::Wait(int failures) const {
  if (failures >= settings_.max_failures) return settings_.lock;
  if (failures < settings_.delay_after) return std::chrono::seconds(0);
  const int doublings = std::min(failures - settings_.delay_after, 6);
  return std::min({std::chrono::seconds(int64_t{1} << doublings), kMaxDelay,
                   std::chrono::seconds(settings_.lock)});
}

void LoginThrottle::Erase(const std::string& key) {
  auto it = entries_.find(key);
  if (it == entries_.end()) return;
  by_age_.erase(it->second.age);
  entries_.erase(it);
}

LoginThrottle& SharedLoginThrottle() {
  static LoginThrottle throttle;
  return throttle;
}

void ConfigureLoginThrottle(int max_failures, int lock_minutes) {
  LoginThrottle::Settings settings;
  settings.max_failures = max_failures;
  settings.lock = std::chrono::minutes(lock_minutes);
  SharedLoginThrottle().Configure(settings);
}

}  // namespace qv
