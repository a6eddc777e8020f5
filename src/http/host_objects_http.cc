#include "http/host_objects_http.h"

#include <algorithm>

#include "core/convert.h"
#include "core/encode.h"

namespace qv::http {
namespace {

// "User-Agent" → "HTTP_USER_AGENT".
std::string HeaderVariableName(const std::string& header) {
  std::string name = "HTTP_";
  for (char c : header)
    name += c == '-' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

// The Host header without its port, when it is a plain host name.
std::string ServerName(const IncomingRequest& request) {
  std::string host = Trim(request.Header("Host"));
  size_t port_colon = host.find(':', host.starts_with("[") ? host.find(']') : 0);
  if (port_colon != std::string::npos) host.resize(port_colon);
  bool plain = !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '[' ||
           c == ']' || c == ':';
  });
  return plain ? host : request.local_address;
}

}  // namespace

HttpRequest::HttpRequest(const IncomingRequest& request, const ClientIdentity& identity,
                         const std::string& script_virtual_path)
    : request_(request) {
  size_t question = request.target.find('?');
  std::string_view raw_query;
  if (question != std::string::npos)
    raw_query = std::string_view(request.target).substr(question + 1);
  raw_query_ = EncodeUnsafeUrlBytes(raw_query);
  query_ = ParseQuery(raw_query);
  cookies_ = ParseCookies(request.Header("Cookie"));
  AddServerVariables(identity, EncodePathForUrl(script_virtual_path));
}

void HttpRequest::AddServerVariables(const ClientIdentity& identity,
                                     const std::string& script_name) {
  ParamList& v = server_variables_;
  v.Add("SCRIPT_NAME", script_name);
  v.Add("PATH_INFO", script_name);
  v.Add("URL", script_name);
  v.Add("QUERY_STRING", raw_query_);
  v.Add("REQUEST_METHOD", request_.method);
  v.Add("REMOTE_ADDR", identity.remote_addr);
  v.Add("REMOTE_HOST", identity.remote_addr);
  v.Add("AUTH_USER", identity.auth_user);
  v.Add("REMOTE_USER", identity.auth_user);
  v.Add("SERVER_NAME", ServerName(request_));
  v.Add("SERVER_PORT", std::to_string(request_.local_port));
  v.Add("SERVER_PROTOCOL", "HTTP/1.1");
  v.Add("HTTPS", identity.https ? "on" : "off");
  v.Add("CONTENT_TYPE", request_.Header("Content-Type"));
  v.Add("CONTENT_LENGTH", std::to_string(request_.BodySize()));
  v.Add("HTTP_USER_AGENT", request_.Header("User-Agent"));
  for (const auto& [header, value] : request_.headers) {
    std::string name = HeaderVariableName(header);
    if (name != "HTTP_USER_AGENT" && !v.Contains(name)) v.Add(name, request_.Header(header));
  }
}

std::string HttpRequest::Item(const std::string& name) {
  if (query_.Contains(name)) return query_.Get(name);
  // Only a url-encoded body is a form here, so an upload page may look up
  // request values before it reads its multipart body raw.
  if (!body_read_raw_ && IsUrlEncodedBody() && ParsedForm().Contains(name)) {
    return form_.Get(name);
  }
  if (cookies_.Contains(name)) return cookies_.Get(name);
  return server_variables_.Get(name);
}

std::string HttpRequest::QueryString(const std::string& name) { return query_.Get(name); }

std::string HttpRequest::QueryStringAll() { return raw_query_; }

bool HttpRequest::IsUrlEncodedBody() const {
  return ToLower(request_.Header("Content-Type")).starts_with("application/x-www-form-urlencoded");
}

const ParamList& HttpRequest::ParsedForm() {
  if (form_parsed_) return form_;
  form_parsed_ = true;
  if (IsUrlEncodedBody()) {
    form_ = request_.spooled ? ParseQuery(request_.BodyBytes(0, request_.BodySize()))
                             : ParseQuery(request_.body);
  }
  return form_;
}

std::string HttpRequest::Form(const std::string& name) {
  if (body_read_raw_) throw HostError("Request.Form cannot be read after Request.BinaryRead");
  return ParsedForm().Get(name);
}

std::string HttpRequest::ServerVariables(const std::string& name) {
  return server_variables_.Get(name);
}

std::vector<std::string> HttpRequest::QueryStringKeys() { return query_.Keys(); }

std::vector<std::string> HttpRequest::FormKeys() {
  if (body_read_raw_) throw HostError("Request.Form cannot be read after Request.BinaryRead");
  return ParsedForm().Keys();
}

std::vector<std::string> HttpRequest::ServerVariableKeys() { return server_variables_.Keys(); }

int64_t HttpRequest::TotalBytes() { return static_cast<int64_t>(request_.BodySize()); }

std::string HttpRequest::BinaryRead(int64_t count) {
  if (form_parsed_) throw HostError("Request.BinaryRead cannot be used after Request.Form");
  body_read_raw_ = true;
  if (count <= 0) return "";
  const uint64_t left = request_.BodySize() - body_position_;
  std::string bytes =
      request_.BodyBytes(body_position_, static_cast<size_t>(std::min<uint64_t>(count, left)));
  body_position_ += bytes.size();
  return bytes;
}

void HttpResponse::Write(std::string_view text) { body_.append(text); }

void HttpResponse::Redirect(const std::string& url) {
  if (url.find_first_of("\r\n") != std::string::npos || url.find('\0') != std::string::npos) {
    throw HostError("Response.Redirect: the address holds a line break");
  }
  status_ = 302;
  reason_ = "Found";
  location_ = url;
  body_ =
      "<html><body>Object moved to <a href=\"" + HtmlEncode(url) + "\">here</a>.</body></html>\n";
  throw ResponseEnded{};
}

void HttpResponse::End() { throw ResponseEnded{}; }

void HttpResponse::SetStatus(const std::string& status) {
  std::string text = Trim(status);
  bool valid =
      text.size() >= 3 && std::all_of(text.begin(), text.begin() + 3, ::isdigit) &&
      (text.size() == 3 || text[3] == ' ') && text[0] >= '1' && text[0] <= '5' &&
      std::none_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; });
  if (!valid) throw HostError("Response.Status: not a status line: " + status);
  status_ = std::stoi(text.substr(0, 3));
  reason_ = text.size() > 4 ? text.substr(4) : ReasonPhrase(status_);
}

std::string HttpServerObject::MapPath(const std::string& virtual_path) {
  return paths_.MapPath(virtual_path, script_virtual_path_);
}

void HttpServerObject::LogError(const std::string& message) {
  if (logs_ == nullptr) return Server::LogError(message);
  logs_->Error(script_virtual_path_ + ": " + message);
}

}  // namespace qv::http
