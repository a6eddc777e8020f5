#include "http/network_identity.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "core/convert.h"
#include "http/password_hash.h"

namespace qv::http {
namespace {

std::unordered_map<std::string, std::string> ReadPasswordFile(const std::string& path,
                                                              ServerLogs& logs) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("Cannot read the password file " + path);
  std::unordered_map<std::string, std::string> hashes;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0) continue;
    std::string user = line.substr(0, colon);
    std::string hash = Trim(line.substr(colon + 1));
    std::string refused = WhyHashRefused(hash);
    if (!refused.empty()) {
      logs.Error("Password file " + path + ", line " + std::to_string(number) + ": the entry of " +
                 user + " is " + refused +
                 " and is ignored; make a new line with: qvtome hash-password " + user);
      continue;
    }
    hashes[user] = hash;
  }
  return hashes;
}

// An address as sent in X-Forwarded-For: digits, hex letters, '.' and ':'.
bool LooksLikeAddress(std::string_view s) {
  if (s.empty() || s.size() > 45) return false;
  return std::all_of(s.begin(), s.end(), [](char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) || c == '.' || c == ':';
  });
}

std::string LastHop(const std::string& forwarded_for) {
  size_t comma = forwarded_for.rfind(',');
  return Trim(comma == std::string::npos ? forwarded_for : forwarded_for.substr(comma + 1));
}

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

bool DecodeBase64(std::string_view text, std::string& out) {
  out.clear();
  uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    if (c == '=') break;
    int v = Base64Value(c);
    if (v < 0) return false;
    bits = (bits << 6) | uint32_t(v);
    if (++count == 4) {
      out += char(bits >> 16), out += char(bits >> 8), out += char(bits);
      bits = 0, count = 0;
    }
  }
  if (count == 1) return false;
  if (count == 2) out += char(bits >> 4);
  if (count == 3) out += char(bits >> 10), out += char(bits >> 2);
  return true;
}

NetworkIdentity::NetworkIdentity(const ServerConfig& config, ServerLogs& logs)
    : trusted_proxies_(config.trusted_proxies), identity_header_(config.identity_header) {
  if (config.basic_auth_file.empty()) return;
  std::filesystem::path file(config.basic_auth_file);
  if (file.is_relative()) file = std::filesystem::path(config.data_dir) / file;
  password_hashes_ = ReadPasswordFile(file.string(), logs);
  if (!password_hashes_.empty()) decoy_hash_ = password_hashes_.begin()->second;
  basic_enabled_ = true;
}

bool NetworkIdentity::IsTrustedProxy(const std::string& address) const {
  return std::find(trusted_proxies_.begin(), trusted_proxies_.end(), address) !=
         trusted_proxies_.end();
}

std::string NetworkIdentity::CheckBasic(const std::string& authorization) const {
  if (authorization.size() < 6 || !EqualsNoCase(authorization.substr(0, 6), "Basic ")) return "";
  std::string credentials;
  if (!DecodeBase64(Trim(authorization.substr(6)), credentials)) return "";
  size_t colon = credentials.find(':');
  if (colon == std::string::npos || colon == 0) return "";
  std::string user = credentials.substr(0, colon);
  std::string password = credentials.substr(colon + 1);
  auto found = password_hashes_.find(user);
  if (found == password_hashes_.end()) {
    if (!decoy_hash_.empty()) VerifyPassword(password, decoy_hash_);
    return "";
  }
  {
    std::lock_guard lock(matched_mutex_);
    auto matched = matched_.find(user);
    if (matched != matched_.end() && ConstantTimeEquals(matched->second, password)) return user;
  }
  if (!VerifyPassword(password, found->second)) return "";
  std::lock_guard lock(matched_mutex_);
  matched_[user] = password;
  return user;
}

ClientIdentity NetworkIdentity::Identify(const IncomingRequest& request) const {
  ClientIdentity id;
  id.remote_addr = request.peer_address;
  id.host = Trim(request.Header("Host"));
  if (IsTrustedProxy(request.peer_address)) {
    std::string hop = LastHop(request.Header("X-Forwarded-For"));
    if (LooksLikeAddress(hop)) id.remote_addr = hop;
    id.https = EqualsNoCase(Trim(request.Header("X-Forwarded-Proto")), "https");
    std::string forwarded_host = request.Header("X-Forwarded-Host");
    forwarded_host = Trim(forwarded_host.substr(0, forwarded_host.find(',')));
    if (!forwarded_host.empty()) id.host = forwarded_host;
    if (!identity_header_.empty()) id.auth_user = Trim(request.Header(identity_header_));
  }
  if (id.auth_user.empty() && basic_enabled_) {
    id.auth_user = CheckBasic(request.Header("Authorization"));
  }
  return id;
}

}  // namespace qv::http
