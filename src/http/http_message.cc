#include "http/http_message.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "core/convert.h"

namespace qv::http {
namespace {

std::string JoinedHeader(const HeaderList& headers, std::string_view name) {
  std::string joined;
  bool found = false;
  for (const auto& [key, value] : headers) {
    if (!EqualsNoCase(key, name)) continue;
    if (found) joined += ", ";
    joined += value;
    found = true;
  }
  return joined;
}

}  // namespace

std::string IncomingRequest::Header(std::string_view name) const {
  return JoinedHeader(headers, name);
}

std::string IncomingRequest::BodyBytes(uint64_t offset, size_t count) const {
  if (spooled) return spooled->Read(offset, count);
  if (offset >= body.size()) return "";
  return body.substr(static_cast<size_t>(offset), count);
}

SpooledBody::~SpooledBody() {
  if (fd_ >= 0) ::close(fd_);
}

std::string SpooledBody::Read(uint64_t offset, size_t count) const {
  if (offset >= size_) return "";
  count = static_cast<size_t>(std::min<uint64_t>(count, size_ - offset));
  std::string bytes(count, '\0');
  size_t done = 0;
  while (done < count) {
    const ssize_t n =
        ::pread(fd_, bytes.data() + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error("the request body could not be read back");
    done += static_cast<size_t>(n);
  }
  return bytes;
}

std::string OutgoingResponse::Header(std::string_view name) const {
  return JoinedHeader(headers, name);
}

void OutgoingResponse::SetHeader(std::string_view name, std::string value) {
  std::erase_if(headers, [&](const auto& h) { return EqualsNoCase(h.first, name); });
  headers.emplace_back(std::string(name), std::move(value));
}

const char* ReasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 304:
      return "Not Modified";
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 408:
      return "Request Timeout";
    case 413:
      return "Payload Too Large";
    case 431:
      return "Request Header Fields Too Large";
    case 500:
      return "Internal Server Error";
    case 501:
      return "Not Implemented";
    case 503:
      return "Service Unavailable";
    default:
      return "";
  }
}

OutgoingResponse ErrorResponse(int status, std::string_view detail_html) {
  OutgoingResponse r;
  r.status = status;
  r.reason = ReasonPhrase(status);
  r.body = "<h1>" + std::to_string(status) + " " + r.reason + "</h1>";
  if (!detail_html.empty()) r.body += "\n<pre>" + std::string(detail_html) + "</pre>";
  r.body += "\n";
  r.SetHeader("Content-Type", "text/html; charset=utf-8");
  return r;
}

}  // namespace qv::http
