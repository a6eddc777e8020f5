// Sessions kept in a data source's tables, so that every server of a site
// sees the same sessions (qvSession and qvSessionValue of the schema).
//
// Each value is a row of its own, keyed by session and name. A Save
// locks its session's row first (an UPDATE inside a transaction), then
// replaces only the rows of the names it changed: two requests of one
// session saving at once are put one after the other by the database, and
// neither loses the other's names. Expiry slides as in the memory store:
// a session ends when it has not been loaded or saved for its time-out.
// Times are whole seconds of the injected wall clock, which every server
// of a site must agree on. There is no upper bound on the number of
// sessions; Sweep drops the expired ones.
//
// A value reads back with the kind it was stored with: Empty, Null,
// Boolean, Integer, Double (exactly), Date (exactly) and String. Arrays
// and objects are refused (Keeps).
//
// Every call opens the thread's pooled connection to the data source, so
// the store is safe to use from any thread. Failures raise DatabaseError.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "http/session_store.h"

namespace qv::http {

class DatabaseSessionStore : public SessionStore {
 public:
  using Clock = std::function<std::chrono::system_clock::time_point()>;
  // `dsn` names the data source (datasources.h); `clock` defaults to
  // system_clock::now.
  explicit DatabaseSessionStore(std::string dsn, Clock clock = nullptr);

  std::optional<SessionRecord> Load(const std::string& id) override;
  void Save(const std::string& id, const SessionUpdate& update) override;
  bool Rename(const std::string& from, const std::string& to) override;
  size_t Sweep() override;
  bool Keeps(const Variant& value) const override;

 private:
  int64_t NowSeconds() const;

  std::string dsn_;
  Clock clock_;
};

}  // namespace qv::http
