// Who is asking: the client address, whether the request came over TLS,
// and the network user name (AUTH_USER).
//
// Forwarding headers count only from a configured trusted proxy (exact
// peer addresses): X-Forwarded-For's last hop becomes the client address,
// "X-Forwarded-Proto: https" marks the request as secure, the first
// X-Forwarded-Host names the host the client addressed (else Host does),
// and the configured identity header names the user. HTTP Basic credentials are
// checked against a password file of lines "user:sha256hex" (the hex
// SHA-256 of the password, as `printf %s "$password" | sha256sum` prints
// it; blank lines and lines starting with '#' are ignored), comparing
// digests in constant time. The file is read when the server starts. Without a configured
// source AUTH_USER is "".
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "http/http_message.h"
#include "http/server_config.h"

namespace qv::http {

struct ClientIdentity {
  std::string remote_addr;
  bool https = false;
  std::string host;  // as the client addressed it, with any port
  std::string auth_user;
};

class NetworkIdentity {
 public:
  // Reads the password file when one is configured; throws
  // std::runtime_error when it cannot be read.
  explicit NetworkIdentity(const ServerConfig& config);

  ClientIdentity Identify(const IncomingRequest& request) const;
  bool basic_auth_enabled() const { return basic_enabled_; }

 private:
  bool IsTrustedProxy(const std::string& address) const;
  std::string CheckBasic(const std::string& authorization) const;

  std::vector<std::string> trusted_proxies_;
  std::string identity_header_;
  bool basic_enabled_ = false;
  std::unordered_map<std::string, std::string> password_digests_;
};

// Decodes standard base64 into `out`; false on malformed input.
bool DecodeBase64(std::string_view text, std::string& out);

}  // namespace qv::http
