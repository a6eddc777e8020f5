#include "core/param_list.h"

#include <unordered_set>

#include "core/convert.h"
#include "core/encode.h"

namespace qv {

void ParamList::Add(std::string name, std::string value) {
  pairs_.emplace_back(std::move(name), std::move(value));
}

std::string ParamList::Get(std::string_view name) const {
  std::string joined;
  bool found = false;
  for (const auto& [key, value] : pairs_) {
    if (!EqualsNoCase(key, name)) continue;
    if (found) joined += ", ";
    joined += value;
    found = true;
  }
  return joined;
}

bool ParamList::Contains(std::string_view name) const {
  for (const auto& pair : pairs_) {
    if (EqualsNoCase(pair.first, name)) return true;
  }
  return false;
}

std::vector<std::string> ParamList::Keys() const {
  std::vector<std::string> keys;
  std::unordered_set<std::string> seen;
  for (const auto& pair : pairs_) {
    if (seen.insert(ToLower(pair.first)).second) keys.push_back(pair.first);
  }
  return keys;
}

ParamList ParseQuery(std::string_view query) {
  ParamList params;
  while (!query.empty()) {
    const size_t end = query.find('&');
    const std::string_view part = query.substr(0, end);
    if (!part.empty()) {
      const size_t eq = part.find('=');
      if (eq == std::string_view::npos) {
        params.Add(UrlDecode(part), "");
      } else {
        params.Add(UrlDecode(part.substr(0, eq)), UrlDecode(part.substr(eq + 1)));
      }
    }
    if (end == std::string_view::npos) break;
    query.remove_prefix(end + 1);
  }
  return params;
}

}  // namespace qv
