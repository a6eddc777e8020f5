// A request as the host reads it and a response as it sends it, free of
// any network library, so that request handling can be tested without
// sockets.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv::http {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

// A request body kept in a temporary file rather than in memory. The file
// has no name (it was removed as it was made), so it goes with the last
// owner, also when the process ends.
class SpooledBody {
 public:
  SpooledBody(int fd, uint64_t size) : fd_(fd), size_(size) {}
  ~SpooledBody();
  SpooledBody(const SpooledBody&) = delete;
  SpooledBody& operator=(const SpooledBody&) = delete;

  uint64_t size() const { return size_; }
  // Up to count bytes from offset; fewer at the end.
  std::string Read(uint64_t offset, size_t count) const;

 private:
  int fd_;
  uint64_t size_;
};

struct IncomingRequest {
  std::string method = "GET";
  std::string target = "/";                    // as sent: path and query, percent-encoded
  HeaderList headers;                          // in arrival order
  std::string body;                            // the body, unless it was spooled
  std::shared_ptr<const SpooledBody> spooled;  // a large body, in a file
  std::string peer_address;                    // the socket's peer
  std::string local_address;                   // the address the connection came in on
  uint16_t local_port = 0;

  // The values of a header (name in any case) joined by ", "; "" if absent.
  std::string Header(std::string_view name) const;
  uint64_t BodySize() const { return spooled ? spooled->size() : body.size(); }
  // Up to count bytes of the body from offset, wherever it is kept.
  std::string BodyBytes(uint64_t offset, size_t count) const;
};

struct OutgoingResponse {
  int status = 200;
  std::string reason = "OK";
  HeaderList headers;
  std::string body;
  // When set, the content is this file (body is ignored) of file_size bytes.
  std::string file_path;
  uint64_t file_size = 0;

  // Replaces every header of that name (any case) by one.
  void SetHeader(std::string_view name, std::string value);
  std::string Header(std::string_view name) const;
};

// The standard reason phrase of a status code ("Not Found"), "" if unknown.
const char* ReasonPhrase(int status);

// A small HTML page for an error status: "<h1>404 Not Found</h1>".
OutgoingResponse ErrorResponse(int status, std::string_view detail_html = {});

}  // namespace qv::http
