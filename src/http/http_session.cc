#include "http/http_session.h"

#include "core/convert.h"

namespace qv::http {

HttpSession::HttpSession(SessionStore& store, const std::string& cookie_id) : store_(store) {
  if (!IsWellFormedSessionId(cookie_id)) return;
  if (auto record = store_.Load(cookie_id)) {
    id_ = cookie_id;
    record_ = std::move(*record);
  }
}

Variant HttpSession::Value(const std::string& name) {
  if (record_.values.empty()) return Variant(std::string());  // no session, or nothing kept
  auto it = record_.values.find(ToLower(name));
  return it == record_.values.end() ? Variant(std::string()) : it->second;
}

void HttpSession::SetValue(const std::string& name, Variant value) {
  if (!store_.Keeps(value)) {
    throw HostError("Session.Value(\"" + name +
                    "\"): a session kept in the database holds no arrays or objects");
  }
  std::string key = ToLower(name);
  record_.values[key] = value;
  update_.changed[key] = std::move(value);
  dirty_ = true;
}

void HttpSession::SetTimeout(int minutes) {
  if (minutes < 1) throw HostError("Session.Timeout must be at least 1 minute");
  record_.timeout_minutes = minutes;
  update_.timeout_minutes = minutes;
  dirty_ = true;
}

int HttpSession::Timeout() { return record_.timeout_minutes; }

void HttpSession::RenewId() { renew_ = true; }

std::optional<std::string> HttpSession::Commit(bool secure) {
  if (id_.empty() && !dirty_ && !renew_) return std::nullopt;
  bool new_id = id_.empty() || renew_;
  if (renew_) {
    update_.held = true;
    dirty_ = true;
  }
  if (new_id) {
    std::string fresh = NewSessionId();
    bool moved = !id_.empty() && store_.Rename(id_, fresh);
    id_ = fresh;
    if (!moved) {
      // A new session (or one that expired meanwhile) starts from the copy.
      update_.changed = record_.values;
      update_.timeout_minutes = record_.timeout_minutes;
      dirty_ = true;
    }
  }
  if (dirty_) store_.Save(id_, update_);
  update_ = {};
  dirty_ = renew_ = false;
  if (!new_id) return std::nullopt;
  std::string cookie =
      std::string(kSessionCookieName) + "=" + id_ + "; Path=/; HttpOnly; SameSite=Lax";
  if (secure) cookie += "; Secure";
  return cookie;
}

}  // namespace qv::http
