#include "host/memory_host.h"

#include <algorithm>
#include <optional>

#include "core/convert.h"
#include "core/encode.h"

namespace qv {

// MemoryRequest ----------------------------------------------------------------

void MemoryRequest::SetQueryString(const std::string& raw) {
  raw_query_ = raw;
  query_ = ParseQuery(raw);
}

void MemoryRequest::AddForm(const std::string& name, const std::string& value) {
  form_.Add(name, value);
}

void MemoryRequest::SetFormUrlEncoded(const std::string& body) {
  const ParamList posted = ParseQuery(body);
  for (const auto& [name, value] : posted.pairs()) form_.Add(name, value);
}

void MemoryRequest::AddCookie(const std::string& name, const std::string& value) {
  cookies_.Add(name, value);
}

void MemoryRequest::SetServerVariable(const std::string& name, const std::string& value) {
  server_vars_.Add(name, value);
}

std::string MemoryRequest::Item(const std::string& name) {
  if (query_.Contains(name)) return query_.Get(name);
  if (!body_used_ && form_.Contains(name)) return form_.Get(name);
  if (cookies_.Contains(name)) return cookies_.Get(name);
  return server_vars_.Get(name);
}

std::string MemoryRequest::QueryString(const std::string& name) { return query_.Get(name); }

void MemoryRequest::CheckFormAllowed() {
  if (body_used_) throw HostError("Request.Form cannot be used after Request.BinaryRead");
  form_used_ = true;
}

std::string MemoryRequest::Form(const std::string& name) {
  CheckFormAllowed();
  return form_.Get(name);
}

std::vector<std::string> MemoryRequest::FormKeys() {
  CheckFormAllowed();
  return form_.Keys();
}

std::string MemoryRequest::ServerVariables(const std::string& name) {
  if (EqualsNoCase(name, "REQUEST_METHOD") && !server_vars_.Contains(name)) {
    return form_.pairs().empty() ? "GET" : "POST";
  }
  return server_vars_.Get(name);
}

std::string MemoryRequest::BinaryRead(int64_t count) {
  if (form_used_) throw HostError("Request.BinaryRead cannot be used after Request.Form");
  body_used_ = true;
  if (count <= 0 || body_pos_ >= body_.size()) return "";
  const size_t n = std::min(static_cast<size_t>(count), body_.size() - body_pos_);
  std::string part = body_.substr(body_pos_, n);
  body_pos_ += n;
  return part;
}

// MemoryResponse ---------------------------------------------------------------

void MemoryResponse::Write(std::string_view text) { text_.append(text); }

void MemoryResponse::Redirect(const std::string& url) {
  if (url.find_first_of("\r\n") != std::string::npos) {
    throw HostError("Response.Redirect: the address contains a line break");
  }
  redirect_url_ = url;
  status_ = "302 Found";
  ended_ = true;
  throw ResponseEnded{};
}

void MemoryResponse::End() {
  ended_ = true;
  throw ResponseEnded{};
}

void MemoryResponse::Clear() {
  text_.clear();
  redirect_url_.clear();
  status_ = "200 OK";
  ended_ = false;
}

// MemorySession ----------------------------------------------------------------

Variant MemorySession::Value(const std::string& name) {
  auto it = values_.find(ToLower(name));
  return it == values_.end() ? Variant("") : it->second;
}

void MemorySession::SetValue(const std::string& name, Variant value) {
  values_[ToLower(name)] = std::move(value);
}

// MemoryServer -----------------------------------------------------------------

MemoryServer::MemoryServer(std::string root, std::string script_folder)
    : root_(std::move(root)), script_folder_(std::move(script_folder)) {
  while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
}

namespace {}  // namespace

std::string MemoryServer::MapPath(const std::string& virtual_path) {
  std::string path = ReplaceAll(virtual_path, "\\", "/");
  if (path.empty() || path[0] != '/') path = script_folder_ + "/" + path;
  std::optional<std::string> normal = NormalizeUrlPath(path);
  if (!normal) throw HostError("Server.MapPath: \"" + virtual_path + "\" leaves the site");
  if (normal->size() > 1 && normal->back() == '/') normal->pop_back();
  if (*normal == "/") return root_;
  return (root_ == "/" ? "" : root_) + *normal;
}

// MemoryHost -------------------------------------------------------------------

MemoryHost::MemoryHost(std::string root, std::string script_folder)
    : server(std::move(root), std::move(script_folder)),
      context_(HostObjects{&request, &response, &session, &server}) {}

}  // namespace qv
