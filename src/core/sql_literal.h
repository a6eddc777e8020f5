// The one way values enter SQL text.
//
// Every value spliced into a statement goes through these helpers: text
// becomes a quoted literal with its quotes doubled, numbers are parsed and
// printed anew, so nothing from a request can end a literal or carry a
// second statement. A value that is not a number where a number belongs is
// refused with SqlValueError and never reaches SQL.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "core/variant.h"

namespace qv {

class SqlValueError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// 'text' with every ' doubled. NUL characters are dropped.
std::string SqlText(std::string_view text);
std::string SqlText(const Variant& v);
inline std::string SqlText(const std::string& s) { return SqlText(std::string_view(s)); }
inline std::string SqlText(const char* s) { return SqlText(std::string_view(s)); }

// A number parsed and printed anew: integers in decimal, other numbers with
// up to 15 significant digits. Throws SqlValueError for anything else
// (including "", Null and text such as "1 or 1=1").
std::string SqlNumber(std::string_view text);
std::string SqlNumber(const Variant& v);
inline std::string SqlNumber(const std::string& s) { return SqlNumber(std::string_view(s)); }
inline std::string SqlNumber(const char* s) { return SqlNumber(std::string_view(s)); }
// As SqlNumber, but the value must be a whole number.
std::string SqlInteger(std::string_view text);
std::string SqlInteger(const Variant& v);
inline std::string SqlInteger(const std::string& s) { return SqlInteger(std::string_view(s)); }
inline std::string SqlInteger(const char* s) { return SqlInteger(std::string_view(s)); }

// True for a plain identifier: letters, digits and underscores, not
// starting with a digit, at most 128 characters.
bool IsPlainIdentifier(std::string_view name);
// Returns name unchanged, or throws SqlValueError naming it.
std::string_view CheckIdentifier(std::string_view name);

}  // namespace qv
