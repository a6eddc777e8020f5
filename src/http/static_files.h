// Deciding what a request path names, and serving static files.
//
// ResolvePath turns the path of a request target into a page script to
// run, a file to send, a redirect to a folder's slash form, or a refusal.
// It never lets out page-script sources, database files (*.db, *.db-wal,
// *.db-shm, *.sqlite ...), configuration (*.toml), dot-files or anything
// under a "qvTmUpld.tmp" folder, and refuses paths that try to leave their
// root: a backslash or NUL (raw or encoded) gives 400, a "." or ".."
// segment (raw or encoded) 404. Scripts never run from the media folder,
// which holds what users uploaded, nor from the site's module folder
// /lib/. The path is decoded and normalized first and then judged once, on
// the file it resolves to (links followed): a file named with a trailing
// slash is not found, nor is anything whose real path leaves the root or
// whose link changes what its name makes of it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "http/http_message.h"
#include "http/site_paths.h"

namespace qv::http {

struct ResolvedPath {
  enum class Kind { kScript, kFile, kAddSlash, kNotFound, kBadRequest };
  Kind kind = Kind::kNotFound;
  std::string virtual_path;   // decoded and normalized
  std::string physical_path;  // for kScript and kFile
};

// `raw_path` is the target's path before "?", still percent-encoded.
ResolvedPath ResolvePath(const SitePaths& paths, std::string_view raw_path);

// True for "*.lp" and "*.lua" (any case).
bool IsScriptPath(std::string_view path);

// The Content-Type of a file name's extension.
std::string ContentTypeFor(std::string_view file_name);

// A 200 response for the file, or 304 when the request's If-None-Match or
// If-Modified-Since shows the client already has it; 404 if it vanished.
// With `compress`, a text file goes gzip-compressed to a client that
// accepts it (http/compression.h), with an ETag of its own; the compressed
// form is made once and kept with the file's cached content.
OutgoingResponse ServeFile(const IncomingRequest& request, const std::string& physical_path,
                           bool compress = false);

// RFC 9110 date ("Sun, 06 Nov 1994 08:49:37 GMT") of seconds since 1970,
// and back (-1 for text that is no such date).
std::string HttpDate(int64_t unix_seconds);
int64_t ParseHttpDate(std::string_view text);

}  // namespace qv::http
