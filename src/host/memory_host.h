// In-memory host: the four host objects without a network, for tests and
// benchmarks.
//
// A test builds a MemoryHost (which makes its objects the thread's host
// context for its lifetime), fills the request, runs the component and reads
// what the response recorded. Collection names compare without regard to
// case; a repeated name yields its values joined by ", ".
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/param_list.h"
#include "core/variant.h"
#include "host/host_objects.h"

namespace qv {

class MemoryRequest : public Request {
 public:
  // Parses "a=1&b=x%20y" (names and values URL-decoded) and keeps the raw
  // text for QueryStringAll.
  void SetQueryString(const std::string& raw);
  // Adds form fields, one by one or from url-encoded text.
  void AddForm(const std::string& name, const std::string& value);
  void SetFormUrlEncoded(const std::string& body);
  void AddCookie(const std::string& name, const std::string& value);
  void SetServerVariable(const std::string& name, const std::string& value);
  // The raw body read by TotalBytes and BinaryRead.
  void SetBody(std::string body) { body_ = std::move(body); }

  // Item: query string, form (skipped once the body was read raw), cookies,
  // server variables. Item never locks out BinaryRead. REQUEST_METHOD,
  // unless set, is "POST" once form fields were added and "GET" before.
  std::string Item(const std::string& name) override;
  std::string QueryString(const std::string& name) override;
  std::string QueryStringAll() override { return raw_query_; }
  std::string Form(const std::string& name) override;
  std::string ServerVariables(const std::string& name) override;
  std::vector<std::string> QueryStringKeys() override { return query_.Keys(); }
  std::vector<std::string> FormKeys() override;
  std::vector<std::string> ServerVariableKeys() override { return server_vars_.Keys(); }
  int64_t TotalBytes() override { return static_cast<int64_t>(body_.size()); }
  std::string BinaryRead(int64_t count) override;

 private:
  void CheckFormAllowed();

  std::string raw_query_;
  ParamList query_, form_, cookies_, server_vars_;
  std::string body_;
  size_t body_pos_ = 0;
  bool form_used_ = false;
  bool body_used_ = false;
};

class MemoryResponse : public Response {
 public:
  void Write(std::string_view text) override;
  // Records the url, marks the response ended and throws ResponseEnded.
  [[noreturn]] void Redirect(const std::string& url) override;
  [[noreturn]] void End() override;
  void SetStatus(const std::string& status) override { status_ = status; }

  const std::string& Text() const { return text_; }
  const std::string& RedirectUrl() const { return redirect_url_; }
  const std::string& Status() const { return status_; }
  bool Ended() const { return ended_; }
  void Clear();

 private:
  std::string text_;
  std::string redirect_url_;
  std::string status_ = "200 OK";
  bool ended_ = false;
};

class MemorySession : public Session {
 public:
  Variant Value(const std::string& name) override;
  void SetValue(const std::string& name, Variant value) override;
  void SetTimeout(int minutes) override { timeout_ = minutes; }
  int Timeout() override { return timeout_; }
  void RenewId() override { ++renew_count_; }
  int RenewCount() const { return renew_count_; }

 private:
  std::map<std::string, Variant> values_;  // by lower-case name
  int timeout_ = 20;
  int renew_count_ = 0;
};

// MapPath against a root folder: "/" is the root, "/a/b" is root/a/b and a
// relative path resolves against the current script's folder. "." and ".."
// are resolved; a path that climbs above the root raises HostError. The
// result has no trailing "/" (except a root of "/").
class MemoryServer : public Server {
 public:
  explicit MemoryServer(std::string root, std::string script_folder = "/");
  std::string MapPath(const std::string& virtual_path) override;
  void SetScriptFolder(std::string folder) { script_folder_ = std::move(folder); }
  // Kept in errors_logged instead of written.
  void LogError(const std::string& message) override { errors_logged.push_back(message); }
  std::vector<std::string> errors_logged;

 private:
  std::string root_;
  std::string script_folder_;
};

// The four objects together, installed as the thread's host context from
// construction to destruction. Not copyable or movable.
class MemoryHost {
 public:
  explicit MemoryHost(std::string root = "/srv/site", std::string script_folder = "/");
  MemoryHost(const MemoryHost&) = delete;
  MemoryHost& operator=(const MemoryHost&) = delete;

  HostObjects Objects() { return {&request, &response, &session, &server}; }

  MemoryRequest request;
  MemoryResponse response;
  MemorySession session;
  MemoryServer server;

 private:
  ScopedHostContext context_;
};

}  // namespace qv
