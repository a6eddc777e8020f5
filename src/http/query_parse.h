// Parsing of query strings, url-encoded form bodies and cookie headers.
//
// ParamList keeps every name/value pair in arrival order, so a repeated
// name keeps all its values and the keys can be listed as they came.
// Lookups compare names without regard to case, as page scripts expect
// (Request.QueryString("ID") finds "id").
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv::http {

class ParamList {
 public:
  void Add(std::string name, std::string value);
  // The values of `name` joined by ", "; "" when the name is absent.
  std::string Get(std::string_view name) const;
  bool Contains(std::string_view name) const;
  // Each distinct name once, in the order of its first arrival.
  std::vector<std::string> Keys() const;
  const std::vector<std::pair<std::string, std::string>>& pairs() const { return pairs_; }

 private:
  std::vector<std::pair<std::string, std::string>> pairs_;
};

// "a=1&b=x+y&a=%32": names and values URL-decoded ("+" is a blank). A
// part without "=" is a name with an empty value; empty parts are skipped.
ParamList ParseQuery(std::string_view query);

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
