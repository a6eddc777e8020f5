// gzip for responses of text: pages, stylesheets, scripts, SVG, JSON.
//
// A response is compressed when the client's Accept-Encoding takes gzip
// (q-values honoured: "gzip;q=0" refuses it, "*" accepts it unless gzip
// is refused by name), its type is text, its body holds at least
// kCompressMinBytes and it carries no Content-Encoding already. Responses
// whose type could be compressed carry Vary: Accept-Encoding either way,
// so caches keep the two forms apart.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "http/http_message.h"

namespace qv::http {

inline constexpr size_t kCompressMinBytes = 1024;

// Whether an Accept-Encoding header value accepts gzip.
bool AcceptsGzip(std::string_view accept_encoding);
// Whether a Content-Type names text worth compressing.
bool IsCompressibleType(std::string_view content_type);
// The gzip member (RFC 1952) of data; level as zlib's, 1 (fast) to 9.
std::string Gzip(std::string_view data, int level);

// Compresses the in-memory body of the response for the request when the
// rules above allow it; a file response, 204, 206 and 304 stay as they are.
void CompressResponse(const IncomingRequest& request, OutgoingResponse& response);

}  // namespace qv::http
