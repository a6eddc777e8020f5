#include "http/cross_site.h"

#include <algorithm>
#include <cctype>

#include "core/convert.h"
#include "core/param_list.h"

namespace qv::http {
namespace {

// Request parameters whose mere presence makes a request a write: the
// holdings form, media deletion, paste, cut and delete, the login form,
// the user and book registry forms, and every bound form (its field list).
constexpr std::string_view kWritingParameters[] = {
    "BibOwner",       "deletefile", "paste",      "cut",        "delete",    "qvTomeLogin",
    "qvTomePassword", "submituser", "submitbook", "qvFLD_List", "qvID_List", "qvEditMsg",
};

// qvAction values that write; any action starting with "submit" writes too.
constexpr std::string_view kWritingActions[] = {
    "delete", "paste", "cut", "move", "rearrange", "addmedia", "deletefile", "updateglossary",
};
constexpr std::string_view kWritingActionPrefix = "submit";

bool IsWritingAction(std::string_view value) {
  const std::string action = ToLower(Trim(value));
  if (action.starts_with(kWritingActionPrefix)) return true;
  return std::find(std::begin(kWritingActions), std::end(kWritingActions), action) !=
         std::end(kWritingActions);
}

bool IsWritingParameter(std::string_view name) {
  return std::any_of(std::begin(kWritingParameters), std::end(kWritingParameters),
                     [&](std::string_view p) { return EqualsNoCase(p, name); });
}

bool IsPort(std::string_view s) {
  return !s.empty() && s.size() <= 5 &&
         std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string NormalizeOrigin(std::string_view origin) {
  std::string text = ToLower(Trim(origin));
  if (text.ends_with("/")) text.pop_back();
  size_t sep = text.find("://");
  if (sep == std::string::npos) return "";
  const std::string scheme = text.substr(0, sep);
  if (scheme != "http" && scheme != "https") return "";
  std::string host = text.substr(sep + 3);
  // The port follows the last ':' after an IPv6 literal's ']'.
  size_t bracket = host.rfind(']');
  size_t colon = host.rfind(':');
  std::string port;
  if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
    port = host.substr(colon + 1);
    host.resize(colon);
    if (!IsPort(port)) return "";
  }
  bool plain = !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '[' ||
           c == ']' || c == ':' || c == '_';
  });
  if (!plain) return "";
  if (port == (scheme == "https" ? "443" : "80")) port.clear();
  return scheme + "://" + host + (port.empty() ? "" : ":" + port);
}

bool QueryWrites(std::string_view raw_query) {
  ParamList query = ParseQuery(raw_query);
  for (const auto& [name, value] : query.pairs()) {
    if (IsWritingParameter(name)) return true;
    if (EqualsNoCase(name, "qvAction") && IsWritingAction(value)) return true;
  }
  return false;
}

CrossSitePolicy::CrossSitePolicy(const std::vector<std::string>& allowed_origins) {
  for (const std::string& origin : allowed_origins) {
    std::string normal = NormalizeOrigin(origin);
    if (!normal.empty()) allowed_.push_back(std::move(normal));
  }
}

bool CrossSitePolicy::FromAnotherSite(const IncomingRequest& request,
                                      const ClientIdentity& identity) const {
  const std::string origin = Trim(request.Header("Origin"));
  const std::string fetch_site = ToLower(Trim(request.Header("Sec-Fetch-Site")));
  const std::string normal = NormalizeOrigin(origin);
  if (!normal.empty() && std::find(allowed_.begin(), allowed_.end(), normal) != allowed_.end()) {
    return false;
  }
  if (fetch_site == "cross-site") return true;
  if (origin.empty()) return false;
  // Browsers hide the origin of some same-origin requests (a no-referrer
  // policy) as "null"; Sec-Fetch-Site then still tells.
  if (origin == "null") return fetch_site != "same-origin";
  if (normal.empty()) return true;
  if (normal == NormalizeOrigin((identity.https ? "https://" : "http://") + identity.host)) {
    return false;
  }
  // A TLS proxy that is not trusted, or does not say so, still serves this
  // very host: its https origin is ours. The reverse is a downgrade.
  return identity.https || normal != NormalizeOrigin("https://" + identity.host);
}

bool CrossSitePolicy::Refuses(const IncomingRequest& request,
                              const ClientIdentity& identity) const {
  const bool writes =
      (request.method != "GET" && request.method != "HEAD") || request.BodySize() > 0 || [&] {
        size_t question = request.target.find('?');
        return question != std::string::npos &&
               QueryWrites(std::string_view(request.target).substr(question + 1));
      }();
  return writes && FromAnotherSite(request, identity);
}

}  // namespace qv::http
