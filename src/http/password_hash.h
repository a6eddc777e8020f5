// Salted, slow password hashes through the system's crypt(3) (libxcrypt).
//
// New hashes are yescrypt ("$y$..."), the method Debian uses for its own
// password file; any method crypt_checksalt() rates as current (yescrypt,
// bcrypt, sha512crypt, ...) verifies. Safe to call from any thread.
#pragma once

#include <string>
#include <string_view>

namespace qv::http {

// A yescrypt hash of password with a fresh random salt. Throws
// std::invalid_argument for an empty password or one holding a NUL byte,
// std::runtime_error when the system cannot make a hash.
std::string HashPassword(std::string_view password);

// Why hash is not one this system verifies ("an unsalted SHA-256 digest",
// ...); "" when it is.
std::string WhyHashRefused(std::string_view hash);

// True when password matches hash, a hash WhyHashRefused accepts. A
// password holding a NUL byte never matches.
bool VerifyPassword(std::string_view password, const std::string& hash);

// Compares two strings in time that depends only on their lengths.
bool ConstantTimeEquals(std::string_view a, std::string_view b);

}  // namespace qv::http
