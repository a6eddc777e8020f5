// The rule for the id of a new account, shared by the user form and the
// operator's command line.
#pragma once

#include <string_view>

#include "core/convert.h"

namespace qv {

// Not empty, no comma (ids are joined by commas in group and rights
// lists), no blank or other control character, and not a name the system
// gives a meaning ("anonymous" is every visitor not logged in, "-1" the
// new user of a form).
inline bool ValidNewUserID(std::string_view id) {
  if (id.empty() || id == "-1" || EqualsNoCase(id, "anonymous")) return false;
  for (char c : id) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == ',' || u <= 0x20 || u == 0x7F) return false;
  }
  return true;
}

}  // namespace qv
