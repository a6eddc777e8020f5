#include "http/session_store.h"

#include <algorithm>
#include <random>
#include <utility>

namespace qv::http {

std::string NewSessionId() {
  // random_device reads the kernel's random source on Linux.
  static thread_local std::random_device device;
  static const char kHex[] = "0123456789abcdef";
  std::string id;
  for (int word = 0; word < 4; ++word) {
    uint32_t bits = device();
    for (int i = 0; i < 8; ++i, bits >>= 4) id += kHex[bits & 15];
  }
  return id;
}

bool IsWellFormedSessionId(std::string_view id) {
  if (id.size() != 32) return false;
  for (char c : id) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

MemorySessionStore::MemorySessionStore(Clock clock, size_t max_sessions)
    : clock_(std::move(clock)), max_sessions_(std::max<size_t>(max_sessions, 1)) {
  if (!clock_) clock_ = [] { return std::chrono::steady_clock::now(); };
}

bool MemorySessionStore::Expired(const Entry& e, std::chrono::steady_clock::time_point now) const {
  return now - e.last_access >= std::chrono::minutes(e.record.timeout_minutes);
}

void MemorySessionStore::Touch(Map::iterator it, std::chrono::steady_clock::time_point now) {
  Entry& e = it->second;
  e.last_access = now;
  UseOrder& order = e.held ? held_order_ : anonymous_order_;
  order.splice(order.end(), order, e.place);
}

void MemorySessionStore::Erase(Map::iterator it) {
  (it->second.held ? held_order_ : anonymous_order_).erase(it->second.place);
  sessions_.erase(it);
}

// Drops the least recently used session, one not held first. Counted as an
// eviction unless it had expired anyway.
void MemorySessionStore::MakeRoom(std::chrono::steady_clock::time_point now) {
  while (sessions_.size() >= max_sessions_) {
    UseOrder& order = anonymous_order_.empty() ? held_order_ : anonymous_order_;
    auto it = sessions_.find(*order.front());
    if (!Expired(it->second, now)) ++evictions_;
    Erase(it);
  }
}

std::optional<SessionRecord> MemorySessionStore::Load(const std::string& id) {
  auto now = clock_();
  std::lock_guard lock(mutex_);
  auto it = sessions_.find(id);
  if (it == sessions_.end()) return std::nullopt;
  if (Expired(it->second, now)) {
    Erase(it);
    return std::nullopt;
  }
  Touch(it, now);
  return it->second.record;
}

void MemorySessionStore::Save(const std::string& id, const SessionUpdate& update) {
  auto now = clock_();
  std::lock_guard lock(mutex_);
  auto it = sessions_.find(id);
  if (it != sessions_.end() && Expired(it->second, now)) {
    Erase(it);
    it = sessions_.end();
  }
  if (it == sessions_.end()) {
    MakeRoom(now);
    it = sessions_.try_emplace(id).first;
    it->second.place = anonymous_order_.insert(anonymous_order_.end(), &it->first);
  }
  Entry& entry = it->second;
  if (update.held && !entry.held) {
    held_order_.splice(held_order_.end(), anonymous_order_, entry.place);
    entry.held = true;
  }
  for (const auto& [name, value] : update.changed) entry.record.values[name] = value;
  if (update.timeout_minutes) entry.record.timeout_minutes = *update.timeout_minutes;
  Touch(it, now);
}

bool MemorySessionStore::Rename(const std::string& from, const std::string& to) {
  auto now = clock_();
  std::lock_guard lock(mutex_);
  auto it = sessions_.find(from);
  if (it == sessions_.end() || Expired(it->second, now)) return false;
  Entry entry = std::move(it->second);
  Erase(it);
  auto existing = sessions_.find(to);
  if (existing != sessions_.end()) Erase(existing);
  auto moved = sessions_.try_emplace(to, std::move(entry)).first;
  UseOrder& order = moved->second.held ? held_order_ : anonymous_order_;
  moved->second.place = order.insert(order.end(), &moved->first);
  moved->second.last_access = now;
  return true;
}

size_t MemorySessionStore::Sweep() {
  auto now = clock_();
  std::lock_guard lock(mutex_);
  size_t dropped = 0;
  for (auto it = sessions_.begin(); it != sessions_.end();) {
    auto next = std::next(it);
    if (Expired(it->second, now)) {
      Erase(it);
      ++dropped;
    }
    it = next;
  }
  return dropped;
}

size_t MemorySessionStore::TakeEvictions() {
  std::lock_guard lock(mutex_);
  return std::exchange(evictions_, 0);
}

size_t MemorySessionStore::size() {
  std::lock_guard lock(mutex_);
  return sessions_.size();
}

bool MemorySessionStore::Contains(const std::string& id) {
  std::lock_guard lock(mutex_);
  return sessions_.contains(id);
}

}  // namespace qv::http
