// HTML and URL encodings.
#pragma once

#include <string>
#include <string_view>

namespace qv {

// Replaces & < > " ' by entities.
std::string HtmlEncode(std::string_view text);
// Encodes for a query string: letters, digits and "-_.*" stay, a blank
// becomes "+", every other byte "%XX".
std::string UrlEncode(std::string_view text);
// Decodes "%XX" and "+" (as a blank); a malformed escape stays as it is.
std::string UrlDecode(std::string_view text);

}  // namespace qv
