// Parsing of query strings, url-encoded form bodies and cookie headers.
//
// Query strings and forms parse into core's ParamList (core/param_list.h).
#pragma once

#include "core/param_list.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv::http {

using qv::ParamList;
using qv::ParseQuery;

// A Cookie header "a=1; b=2". Values are taken as sent (surrounding
// double quotes removed); later duplicates are kept after earlier ones.
ParamList ParseCookies(std::string_view header);

// Decodes "%XX" escapes of a URL path; "+" stays "+". A malformed escape
// stays as it is.
std::string PercentDecodePath(std::string_view path);

// Percent-encodes the bytes that could break out of an HTML attribute or a
// script string ('"', '\'', '<', '>', '\\', '`', blanks and control bytes),
// leaving every other byte, including '%', as it is. An honest URL comes
// back unchanged.
std::string EncodeUnsafeUrlBytes(std::string_view text);

// Encodes a decoded path for use in a URL: as EncodeUnsafeUrlBytes, and
// '%', '?' and '#' as well, so that the result decodes to `path` again.
std::string EncodePathForUrl(std::string_view path);

}  // namespace qv::http
