// Name/value pairs of a query string, form or cookie header.
//
// ParamList keeps every pair in arrival order, so a repeated name keeps all
// its values and the keys can be listed as they came. Lookups compare names
// without regard to case, as page scripts expect (Request.QueryString("ID")
// finds "id").
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv {

class ParamList {
 public:
  void Add(std::string name, std::string value);
  // The values of `name` joined by ", "; "" when the name is absent.
  std::string Get(std::string_view name) const;
  bool Contains(std::string_view name) const;
  // Each distinct name once, spelled as it first arrived.
  std::vector<std::string> Keys() const;
  const std::vector<std::pair<std::string, std::string>>& pairs() const { return pairs_; }
  void Clear() { pairs_.clear(); }

 private:
  std::vector<std::pair<std::string, std::string>> pairs_;
};

// "a=1&b=x+y&a=%32": names and values URL-decoded ("+" is a blank). A part
// without "=" is a name with an empty value; empty parts are skipped.
ParamList ParseQuery(std::string_view query);

}  // namespace qv
