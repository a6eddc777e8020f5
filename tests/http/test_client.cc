#include "test_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <stdexcept>

#include "core/convert.h"

namespace qv::http::testing {

std::string Reply::Header(const std::string& lower_name) const {
  for (const auto& [name, value] : headers) {
    if (name == lower_name) return value;
  }
  return "";
}

Client::Client(uint16_t port, const std::string& source_address) {
  fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd_ < 0) throw std::runtime_error("socket");
  // A guard against a hung test, not a timing assertion.
  timeval guard{20, 0};
  ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &guard, sizeof guard);
  if (!source_address.empty()) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, source_address.c_str(), &local.sin_addr);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
      throw std::runtime_error("bind " + source_address);
    }
  }
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_port = htons(port);
  ::inet_pton(AF_INET, "127.0.0.1", &server.sin_addr);
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
    throw std::runtime_error("connect");
  }
}

Client::~Client() { ::close(fd_); }

void Client::Send(const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;  // the server may close early (413); reading tells
    sent += static_cast<size_t>(n);
  }
}

bool Client::Fill() {
  char chunk[8192];
  ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
  if (n <= 0) return false;
  pending_.append(chunk, static_cast<size_t>(n));
  return true;
}

bool Client::ServerClosed() { return pending_.empty() && !Fill(); }

Reply Client::Read(bool head) {
  Reply reply;
  size_t end;
  while ((end = pending_.find("\r\n\r\n")) == std::string::npos) {
    if (!Fill()) return reply;
  }
  std::string head_text = pending_.substr(0, end);
  pending_.erase(0, end + 4);
  size_t line_end = head_text.find("\r\n");
  reply.status = std::stoi(head_text.substr(9, 3));
  size_t pos = line_end == std::string::npos ? head_text.size() : line_end + 2;
  while (pos < head_text.size()) {
    size_t next = head_text.find("\r\n", pos);
    if (next == std::string::npos) next = head_text.size();
    std::string line = head_text.substr(pos, next - pos);
    size_t colon = line.find(':');
    reply.headers.emplace_back(ToLower(line.substr(0, colon)), Trim(line.substr(colon + 1)));
    pos = next + 2;
  }
  if (head || reply.status == 304) return reply;
  size_t length = std::stoul("0" + reply.Header("content-length"));
  while (pending_.size() < length && Fill()) {
  }
  reply.body = pending_.substr(0, length);
  pending_.erase(0, length);
  return reply;
}

Reply Fetch(uint16_t port, const std::string& request, const std::string& source_address) {
  Client client(port, source_address);
  client.Send(request);
  return client.Read(request.starts_with("HEAD "));
}

std::string Get(const std::string& path, const std::string& extra_headers) {
  return "GET " + path + " HTTP/1.1\r\nHost: localhost\r\n" + extra_headers + "\r\n";
}

std::string Post(const std::string& path, const std::string& content_type, const std::string& body,
                 const std::string& extra_headers) {
  return "POST " + path + " HTTP/1.1\r\nHost: localhost\r\nContent-Type: " + content_type +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + extra_headers + "\r\n" +
         body;
}

}  // namespace qv::http::testing
