// Where session values live between requests.
//
// A request works on a copy of its session (SessionRecord) and writes back
// only the names it changed (SessionUpdate), so two requests of one
// session running at once never corrupt it: each name keeps the last value
// written. Expiry slides: every Load and Save restarts the session's
// time-out. MemorySessionStore keeps sessions in this process, at most a
// set number of them; DatabaseSessionStore (database_session_store.h)
// keeps them in a data source for several servers.
//
// All members are safe to call from any thread.
#pragma once

#include <chrono>
#include <functional>
#include <list>
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
  // Marks the session as held by a known visitor (its id was renewed, as
  // at a login): a full store evicts the others first.
  bool held = false;
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
  // Live sessions dropped to make room since the last call.
  virtual size_t TakeEvictions() { return 0; }
  // False for a value the store cannot keep (Session.Value refuses it).
  virtual bool Keeps(const Variant& /*value*/) const { return true; }
};

// A new random 128-bit session id as 32 lower-case hex digits.
std::string NewSessionId();
// True for text of NewSessionId's form.
bool IsWellFormedSessionId(std::string_view id);

// Holds at most `max_sessions`: a new session past it replaces the least
// recently used one not held by a known visitor, or failing that the least
// recently used of all.
class MemorySessionStore : public SessionStore {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr size_t kDefaultMaxSessions = 50000;
  // `clock` defaults to steady_clock::now; tests pass their own.
  explicit MemorySessionStore(Clock clock = nullptr, size_t max_sessions = kDefaultMaxSessions);

  std::optional<SessionRecord> Load(const std::string& id) override;
  void Save(const std::string& id, const SessionUpdate& update) override;
  bool Rename(const std::string& from, const std::string& to) override;
  size_t Sweep() override;
  size_t TakeEvictions() override;
  size_t size();
  bool Contains(const std::string& id);

 private:
  // Ids (the map's own keys, which stay put) by last use, least recent
  // first; `held` sessions and the others apart.
  using UseOrder = std::list<const std::string*>;
  struct Entry {
    SessionRecord record;
    std::chrono::steady_clock::time_point last_access;
    bool held = false;
    UseOrder::iterator place;
  };
  bool Expired(const Entry& e, std::chrono::steady_clock::time_point now) const;
  using Map = std::unordered_map<std::string, Entry>;
  void Touch(Map::iterator it, std::chrono::steady_clock::time_point now);
  void Erase(Map::iterator it);
  void MakeRoom(std::chrono::steady_clock::time_point now);

  Clock clock_;
  size_t max_sessions_;
  std::mutex mutex_;
  Map sessions_;
  UseOrder anonymous_order_;
  UseOrder held_order_;
  size_t evictions_ = 0;
};

}  // namespace qv::http
