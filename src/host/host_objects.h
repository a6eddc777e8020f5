// The four host objects a request gives the component.
//
// The HTTP host (src/http) implements them for real requests; tests use the
// in-memory host (host/memory_host.h). The component holds them only for the
// duration of one request on one thread.
//
// Response::End and Response::Redirect stop the page script: they throw
// ResponseEnded, which the host catches at the page boundary and which every
// layer in between lets pass.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/variant.h"

namespace qv {

// Thrown by Response::End and Response::Redirect to unwind the page script.
// Not an error: hosts send what was written (or the redirect).
struct ResponseEnded {};

// Raised by host objects for misuse (Form after BinaryRead, a MapPath that
// leaves the site, ...).
class HostError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Request {
 public:
  virtual ~Request() = default;
  // Query string, form, cookies, server variables, in that order; "" when
  // absent.
  virtual std::string Item(const std::string& name) = 0;
  // One parameter; a repeated name gives its values joined by ", ".
  virtual std::string QueryString(const std::string& name) = 0;
  // The whole raw query string.
  virtual std::string QueryStringAll() = 0;
  virtual std::string Form(const std::string& name) = 0;
  virtual std::string ServerVariables(const std::string& name) = 0;
  // Keys in arrival order (each once).
  virtual std::vector<std::string> QueryStringKeys() = 0;
  virtual std::vector<std::string> FormKeys() = 0;
  virtual std::vector<std::string> ServerVariableKeys() = 0;
  virtual int64_t TotalBytes() = 0;
  // Up to count bytes of the raw body. Raises HostError after Form was read;
  // Form raises HostError after BinaryRead.
  virtual std::string BinaryRead(int64_t count) = 0;
};

class Response {
 public:
  virtual ~Response() = default;
  virtual void Write(std::string_view text) = 0;
  // Sends a 302 to url and throws ResponseEnded. A url with CR or LF is
  // refused with HostError.
  [[noreturn]] virtual void Redirect(const std::string& url) = 0;
  // Throws ResponseEnded; what was written is sent.
  [[noreturn]] virtual void End() = 0;
  virtual void SetStatus(const std::string& status) = 0;
};

class Session {
 public:
  virtual ~Session() = default;
  // A name never set reads "" (an empty string Variant).
  virtual Variant Value(const std::string& name) = 0;
  virtual void SetValue(const std::string& name, Variant value) = 0;
  virtual void SetTimeout(int minutes) = 0;
  virtual int Timeout() = 0;
  // Gives the session a fresh id, keeping its values (called at login).
  virtual void RenewId() = 0;
};

class Server {
 public:
  virtual ~Server() = default;
  // Physical path of a virtual path. Relative paths resolve against the
  // folder of the current script. Raises HostError for a path outside every
  // root.
  virtual std::string MapPath(const std::string& virtual_path) = 0;
  virtual std::string HTMLEncode(const std::string& text);
  virtual std::string URLEncode(const std::string& text);
  // A registered object (see RegisterObjectCreator): "ADODB.Connection",
  // "ADODB.RecordSet" or "CDONTS.NewMail", in any case; HostError otherwise
  // (also when the object's creator fails).
  virtual Variant CreateObject(const std::string& prog_id);
  // One line for the operator in the host's error log (standard error by
  // default), for failures a page reports to the visitor only in general.
  virtual void LogError(const std::string& message);
};

// A new object for Server.CreateObject. Table access registers its
// "adodb.connection" and "adodb.recordset" (data/recordset.cc) as the
// program starts, the mail module its "cdonts.newmail" when it is
// configured, so the host needs no knowledge of them.
using ObjectCreator = Variant (*)();
// prog_id in lower case. Called before requests run (static initialisation
// or start-up) only.
void RegisterObjectCreator(const std::string& prog_id, ObjectCreator creator);

// The objects of the request running on this thread, the "object context
// of the current call". Null members when no request runs.
struct HostObjects {
  Request* request = nullptr;
  Response* response = nullptr;
  Session* session = nullptr;
  Server* server = nullptr;
};

// Makes `objects` the context of the current thread until the returned guard
// is destroyed.
class ScopedHostContext {
 public:
  explicit ScopedHostContext(const HostObjects& objects);
  ~ScopedHostContext();
  ScopedHostContext(const ScopedHostContext&) = delete;
  ScopedHostContext& operator=(const ScopedHostContext&) = delete;

 private:
  HostObjects previous_;
};

// The current thread's context. Throws HostError when no request runs.
const HostObjects& CurrentHostObjects();

}  // namespace qv
