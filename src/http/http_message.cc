#include "http/http_message.h"

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
