#include "host/context.h"

#include <string>

namespace qv {

namespace {
[[noreturn]] void NoHostObject(const char* name) {
  throw HostError(std::string("no ") + name + " object: SysVar.Init has not run on this thread");
}
}  // namespace

Request& TheRequest() {
  Request* r = Host().host.request;
  if (r == nullptr) NoHostObject("Request");
  return *r;
}

Response& TheResponse() {
  Response* r = Host().host.response;
  if (r == nullptr) NoHostObject("Response");
  return *r;
}

Session& TheSession() {
  Session* s = Host().host.session;
  if (s == nullptr) NoHostObject("Session");
  return *s;
}

Server& TheServer() {
  Server* s = Host().host.server;
  if (s == nullptr) NoHostObject("Server");
  return *s;
}

void ResponseWrite(std::string_view text) { TheResponse().Write(text); }

}  // namespace qv
