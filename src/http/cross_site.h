// Refusing writes that a browser sends on behalf of another site.
//
// A request comes from another site when its Sec-Fetch-Site header says
// "cross-site", or when its Origin header names an origin other than the
// request's own (the scheme it came over, the host it addressed: both as
// a trusted proxy reports them) and other than the configured allowed
// origins. "Origin: null" counts as foreign unless Sec-Fetch-Site vouches
// for the request. Requests without either header (clients other than
// browsers) are not judged here.
//
// Such a request is refused when it writes: a POST, any request with a
// body, or one whose query names a writing parameter or a writing qvAction
// (the tables in cross_site.cc). A new write path is covered when it posts
// its form; one that acts on a GET adds its parameter to the table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "http/http_message.h"
#include "http/network_identity.h"

namespace qv::http {

class CrossSitePolicy {
 public:
  // `allowed_origins` as configured ("https://portal.example.org").
  explicit CrossSitePolicy(const std::vector<std::string>& allowed_origins);

  // True when the request comes from another site and writes.
  bool Refuses(const IncomingRequest& request, const ClientIdentity& identity) const;

 private:
  bool FromAnotherSite(const IncomingRequest& request, const ClientIdentity& identity) const;

  std::vector<std::string> allowed_;  // normalized
};

// "HTTP://Example.org:80/" → "http://example.org": scheme and host in lower
// case, the scheme's default port and a trailing slash dropped; "" for
// text that is no http(s) origin.
std::string NormalizeOrigin(std::string_view origin);

// True when the request names a writing parameter or qvAction in its query.
bool QueryWrites(std::string_view raw_query);

}  // namespace qv::http
