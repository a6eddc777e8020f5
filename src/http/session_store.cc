#include "http/session_store.h"

#include <random>

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

MemorySessionStore::MemorySessionStore(Clock clock) : clock_(std::move(clock)) {
  if (!clock_) clock_ = [] { return std::chrono::steady_clock::now(); };
}

bool MemorySessionStore::Expired(const Entry& e, std::chrono::steady_clock::time_point now) const {
  return now - e.last_access >= std::chrono::minutes(e.record.timeout_minutes);
}

std::optional<SessionRecord> MemorySessionStore::Load(const std::string& id) {
  auto now = clock_();
  std::lock_guard lock(mutex_);
  auto it = sessions_.find(id);
  if (it == sessions_.end()) return std::nullopt;
  if (Expired(it->second, now)) {
    sessions_.erase(it);
    return std::nullopt;
  }
  it->second.last_access = now;
  return it->second.record;
}

void MemorySessionStore::Save(const std::string& id, const SessionUpdate& update) {
  auto now = clock_();
  std::lock_guard lock(mutex_);
  auto it = sessions_.find(id);
  if (it != sessions_.end() && Expired(it->second, now)) {
    sessions_.erase(it);
    it = sessions_.end();
  }
  Entry& entry = it != sessions_.end() ? it->second : sessions_[id];
  for (const auto& [name, value] : update.changed) entry.record.values[name] = value;
  if (update.timeout_minutes) entry.record.timeout_minutes = *update.timeout_minutes;
  entry.last_access = now;
}

bool MemorySessionStore::Rename(const std::string& from, const std::string& to) {
  auto now = clock_();
  std::lock_guard lock(mutex_);
  auto it = sessions_.find(from);
  if (it == sessions_.end() || Expired(it->second, now)) return false;
  Entry entry = std::move(it->second);
  sessions_.erase(it);
  entry.last_access = now;
  sessions_[to] = std::move(entry);
  return true;
}

size_t MemorySessionStore::Sweep() {
  auto now = clock_();
  std::lock_guard lock(mutex_);
  return std::erase_if(sessions_, [&](const auto& item) { return Expired(item.second, now); });
}

size_t MemorySessionStore::size() {
  std::lock_guard lock(mutex_);
  return sessions_.size();
}

}  // namespace qv::http
