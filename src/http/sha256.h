// SHA-256 of a byte string, for checking passwords of the Basic password
// file against their stored digests.
#pragma once

#include <string>
#include <string_view>

namespace qv::http {

// Lower-case hex digest (64 characters).
std::string Sha256Hex(std::string_view data);

// Compares two strings in time that depends only on their lengths.
bool ConstantTimeEquals(std::string_view a, std::string_view b);

}  // namespace qv::http
