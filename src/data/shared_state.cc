#include "data/shared_state.h"

#include "data/aspproc.h"  // complete type for the shared_ptr's owner

namespace qv {

SharedState& State() {
  thread_local SharedState state;
  return state;
}

namespace {
[[noreturn]] void NoHostObject(const char* name) {
  throw HostError(std::string("no ") + name + " object: SysVar.Init has not run on this thread");
}
}  // namespace

Request& TheRequest() {
  Request* r = State().host.request;
  if (r == nullptr) NoHostObject("Request");
  return *r;
}

Response& TheResponse() {
  Response* r = State().host.response;
  if (r == nullptr) NoHostObject("Response");
  return *r;
}

Session& TheSession() {
  Session* s = State().host.session;
  if (s == nullptr) NoHostObject("Session");
  return *s;
}

Server& TheServer() {
  Server* s = State().host.server;
  if (s == nullptr) NoHostObject("Server");
  return *s;
}

void ResponseWrite(std::string_view text) { TheResponse().Write(text); }

}  // namespace qv
