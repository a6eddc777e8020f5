// The Session host object of one request.
//
// It works on a copy of the stored session and writes back what changed
// at Commit, so concurrent requests of one visitor each see a consistent
// session and never corrupt it (the last write of a name wins). A session
// is created only when a page stores something in it or renews its id:
// visitors that never log in leave nothing behind. A renewed session (a
// login) is held: a full store evicts it last. An id the store does not
// know is never taken over; the visitor gets a fresh one.
#pragma once

#include <optional>
#include <string>

#include "host/host_objects.h"
#include "http/session_store.h"

namespace qv::http {

inline constexpr char kSessionCookieName[] = "QVSESSION";

class HttpSession : public Session {
 public:
  // `cookie_id` is the id the client sent ("" or garbage for none).
  HttpSession(SessionStore& store, const std::string& cookie_id);

  Variant Value(const std::string& name) override;
  void SetValue(const std::string& name, Variant value) override;
  // Minutes of inactivity before the session ends; at least 1.
  void SetTimeout(int minutes) override;
  int Timeout() override;
  void RenewId() override;

  // Writes the changes back. Returns the Set-Cookie value to send when the
  // client must learn a new id, nullopt otherwise.
  std::optional<std::string> Commit(bool secure);

 private:
  SessionStore& store_;
  std::string id_;  // "" while the visitor has no stored session
  SessionRecord record_;
  SessionUpdate update_;
  bool dirty_ = false;
  bool renew_ = false;
};

}  // namespace qv::http
