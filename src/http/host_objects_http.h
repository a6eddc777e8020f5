// The Request, Response and Server host objects of one HTTP request.
//
// HttpRequest answers from the parsed request: query string, url-encoded
// form, cookies and server variables, the raw body through BinaryRead.
// The script name and raw query string it reports are percent-encoded so
// that no quote, angle bracket, backslash or blank appears raw in them.
// HttpResponse buffers what the page writes. HttpServerObject maps
// virtual paths through SitePaths. All three live for one request on one
// worker thread.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/host_objects.h"
#include "http/http_message.h"
#include "http/network_identity.h"
#include "http/query_parse.h"
#include "http/server_logs.h"
#include "http/site_paths.h"

namespace qv::http {

class HttpRequest : public Request {
 public:
  // `script_virtual_path` is decoded; `identity` says who is asking.
  HttpRequest(const IncomingRequest& request, const ClientIdentity& identity,
              const std::string& script_virtual_path);

  std::string Item(const std::string& name) override;
  std::string QueryString(const std::string& name) override;
  std::string QueryStringAll() override;
  std::string Form(const std::string& name) override;
  std::string ServerVariables(const std::string& name) override;
  std::vector<std::string> QueryStringKeys() override;
  std::vector<std::string> FormKeys() override;
  std::vector<std::string> ServerVariableKeys() override;
  int64_t TotalBytes() override;
  std::string BinaryRead(int64_t count) override;

 private:
  bool IsUrlEncodedBody() const;
  const ParamList& ParsedForm();
  void AddServerVariables(const ClientIdentity& identity, const std::string& script_name);

  const IncomingRequest& request_;
  std::string raw_query_;  // safe-encoded
  ParamList query_;
  ParamList cookies_;
  ParamList form_;
  ParamList server_variables_;
  bool form_parsed_ = false;
  bool body_read_raw_ = false;
  uint64_t body_position_ = 0;
};

class HttpResponse : public Response {
 public:
  void Write(std::string_view text) override;
  [[noreturn]] void Redirect(const std::string& url) override;
  [[noreturn]] void End() override;
  // "401 Unauthorized": a three-digit code and a reason; HostError
  // otherwise.
  void SetStatus(const std::string& status) override;

  int status() const { return status_; }
  const std::string& reason() const { return reason_; }
  const std::string& body() const { return body_; }
  // The body, moved out once the page is done.
  std::string TakeBody() { return std::move(body_); }
  const std::string& location() const { return location_; }

 private:
  int status_ = 200;
  std::string reason_ = "OK";
  std::string body_;
  std::string location_;
};

class HttpServerObject : public Server {
 public:
  HttpServerObject(const SitePaths& paths, std::string script_virtual_path,
                   ServerLogs* logs = nullptr)
      : paths_(paths), script_virtual_path_(std::move(script_virtual_path)), logs_(logs) {}
  std::string MapPath(const std::string& virtual_path) override;
  // Into the server's error log, naming the page.
  void LogError(const std::string& message) override;

 private:
  const SitePaths& paths_;
  std::string script_virtual_path_;
  ServerLogs* logs_;
};

}  // namespace qv::http
