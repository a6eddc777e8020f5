// HTML and URL encodings.
#pragma once

#include <optional>
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

// A "/"-separated virtual path with "." and ".." segments resolved and
// empty segments dropped, starting with "/" and ending with "/" when the
// path did (or ended in "." or ".."); nullopt when ".." climbs above the
// start.
std::optional<std::string> NormalizeUrlPath(std::string_view path);

}  // namespace qv
