// Where session values live between requests.
//
// A request works on a copy of its session (SessionRecord) and writes back
// only the names it changed (SessionUpdate), so two requests of one
// session running at once never corrupt it: each name keeps the last value
// written. Expiry slides: every Load and Save restarts the session's
// time-out. MemorySessionStore keeps sessions in this process; a store in
// the database implements the same interface for several servers.
//
// All members are safe to call from any thread.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "core/variant.h"

namespace qv::http {

inline constexpr int kDefaultSessionMinutes = 20;

struct SessionRecord {
  std::map<std::string, Variant> values;  // names in lower case
  int timeout_minutes = kDefaultSessionMinutes;
};

struct SessionUpdate {
  std::map<std::string, Variant> changed;  // names in lower case
  std::optional<int> timeout_minutes;
};

class SessionStore {
 public:
  virtual ~SessionStore() = default;
  // The session and a restarted time-out; nullopt when unknown or expired.
  virtual std::optional<SessionRecord> Load(const std::string& id) = 0;
  // Merges the update into the session, creating it when absent.
  virtual void Save(const std::string& id, const SessionUpdate& update) = 0;
  // Moves a session to a new id; false when `from` is unknown or expired.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  // Drops expired sessions; returns how many.
  virtual size_t Sweep() = 0;
};

// A new random 128-bit session id as 32 lower-case hex digits.
std::string NewSessionId();
// True for text of NewSessionId's form.
bool IsWellFormedSessionId(std::string_view id);

class MemorySessionStore : public SessionStore {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // `clock` defaults to steady_clock::now; tests pass their own.
  explicit MemorySessionStore(Clock clock = nullptr);

  std::optional<SessionRecord> Load(const std::string& id) override;
  void Save(const std::string& id, const SessionUpdate& update) override;
  bool Rename(const std::string& from, const std::string& to) override;
  size_t Sweep() override;
  size_t size();

 private:
  struct Entry {
    SessionRecord record;
    std::chrono::steady_clock::time_point last_access;
  };
  bool Expired(const Entry& e, std::chrono::steady_clock::time_point now) const;

  Clock clock_;
  std::mutex mutex_;
  std::unordered_map<std::string, Entry> sessions_;
};

}  // namespace qv::http
