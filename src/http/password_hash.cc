#include "http/password_hash.h"

#include <crypt.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <stdexcept>

namespace qv::http {
namespace {

constexpr std::string_view kMethod = "$y$";  // yescrypt at the system's default cost

bool HasNul(std::string_view text) { return text.find('\0') != std::string_view::npos; }

bool IsHexDigest(std::string_view text) {
  return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
           return std::isxdigit(static_cast<unsigned char>(c)) != 0;
         });
}

// crypt_r with its work area on the heap (it is 32 KiB). A failure gives
// nullptr or a hash starting with '*'.
std::string Crypt(const std::string& password, const std::string& setting) {
  auto data = std::make_unique<crypt_data>();
  const char* hash = crypt_r(password.c_str(), setting.c_str(), data.get());
  return hash && hash[0] != '*' ? hash : "";
}

}  // namespace

std::string HashPassword(std::string_view password) {
  if (password.empty()) throw std::invalid_argument("The password is empty");
  if (HasNul(password)) throw std::invalid_argument("The password holds a NUL byte");
  char setting[CRYPT_GENSALT_OUTPUT_SIZE];
  if (!crypt_gensalt_rn(std::string(kMethod).c_str(), 0, nullptr, 0, setting, sizeof setting)) {
    throw std::runtime_error("Cannot make a yescrypt salt");
  }
  std::string hash = Crypt(std::string(password), setting);
  if (hash.empty()) throw std::runtime_error("Cannot make a yescrypt hash");
  return hash;
}

std::string WhyHashRefused(std::string_view hash) {
  if (IsHexDigest(hash)) return "an unsalted SHA-256 digest";
  if (hash.empty() || hash[0] != '$' || HasNul(hash)) return "not a crypt(3) hash";
  switch (crypt_checksalt(std::string(hash).c_str())) {
    case CRYPT_SALT_OK:
      return "";
    case CRYPT_SALT_METHOD_LEGACY:
    case CRYPT_SALT_TOO_CHEAP:
      return "a crypt(3) hash of a weak method";
    default:
      return "not a crypt(3) hash this system knows";
  }
}

bool VerifyPassword(std::string_view password, const std::string& hash) {
  if (HasNul(password)) return false;
  std::string computed = Crypt(std::string(password), hash);
  return !computed.empty() && ConstantTimeEquals(computed, hash);
}

bool ConstantTimeEquals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  unsigned char diff = 0;
  for (size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  return diff == 0;
}

}  // namespace qv::http
