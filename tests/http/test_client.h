// A minimal blocking HTTP/1.1 client over raw sockets for end-to-end tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qv::http::testing {

struct Reply {
  int status = 0;  // 0 when the connection closed without an answer
  std::vector<std::pair<std::string, std::string>> headers;  // names lower-cased
  std::string body;
  std::string Header(const std::string& lower_name) const;
};

class Client {
 public:
  // Connects to 127.0.0.1:port, from `source_address` when given.
  explicit Client(uint16_t port, const std::string& source_address = "");
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  void Send(const std::string& bytes);
  // Reads one response; `head` for a response without a body.
  Reply Read(bool head = false);
  // True when the server closed the connection (reads end of stream).
  bool ServerClosed();

 private:
  bool Fill();
  int fd_ = -1;
  std::string pending_;
};

// Sends one request on a fresh connection and reads the answer.
Reply Fetch(uint16_t port, const std::string& request, const std::string& source_address = "");
// "GET path HTTP/1.1" with Host and any extra header lines (each ending "\r\n").
std::string Get(const std::string& path, const std::string& extra_headers = "");
std::string Post(const std::string& path, const std::string& content_type, const std::string& body,
                 const std::string& extra_headers = "");

}  // namespace qv::http::testing
