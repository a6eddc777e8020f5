// Who is asking: the client address, whether the request came over TLS,
// and the network user name (AUTH_USER).
//
// Forwarding headers count only from a configured trusted proxy (exact
// peer addresses): X-Forwarded-For's last hop becomes the client address,
// "X-Forwarded-Proto: https" marks the request as secure, the first
// X-Forwarded-Host names the host the client addressed (else Host does),
// and the configured identity header names the user. HTTP Basic credentials are
// checked against a password file of lines "user:hash", hash being a salted
// crypt(3) hash (password_hash.h) as `qvtome hash-password` makes it; blank
// lines and lines starting with '#' are ignored. A line with any other hash
// (an unsalted SHA-256 digest of earlier versions, a weak method) gives its
// user no access and is reported in the error log. The file is read when
// the server starts. A password that matched is kept in memory for its
// user, so the next requests of the same browser skip the slow hash; a
// wrong one always pays it. Without a configured source AUTH_USER is "".
#pragma once

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "http/http_message.h"
#include "http/server_config.h"
#include "http/server_logs.h"

namespace qv::http {

struct ClientIdentity {
  std::string remote_addr;
  bool https = false;
  std::string host;  // as the client addressed it, with any port
  std::string auth_user;
};

class NetworkIdentity {
 public:
  // Reads the password file when one is configured, reporting refused
  // lines to logs; throws std::runtime_error when it cannot be read.
  NetworkIdentity(const ServerConfig& config, ServerLogs& logs);

  ClientIdentity Identify(const IncomingRequest& request) const;
  bool basic_auth_enabled() const { return basic_enabled_; }

 private:
  bool IsTrustedProxy(const std::string& address) const;
  std::string CheckBasic(const std::string& authorization) const;

  std::vector<std::string> trusted_proxies_;
  std::string identity_header_;
  bool basic_enabled_ = false;
  std::unordered_map<std::string, std::string> password_hashes_;
  // Checked in place of a hash for an unknown user, so that it costs the
  // same time as a known one.
  std::string decoy_hash_;
  mutable std::mutex matched_mutex_;
  mutable std::unordered_map<std::string, std::string> matched_;  // user -> password that matched
};

// Decodes standard base64 into `out`; false on malformed input.
bool DecodeBase64(std::string_view text, std::string& out);

}  // namespace qv::http
