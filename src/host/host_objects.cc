#include "host/host_objects.h"

#include <cstdio>
#include <map>

#include "core/convert.h"
#include "core/encode.h"

namespace qv {

namespace {
thread_local HostObjects current_objects;

std::map<std::string, ObjectCreator>& ObjectCreators() {
  static std::map<std::string, ObjectCreator> creators;
  return creators;
}
}  // namespace

void RegisterObjectCreator(const std::string& prog_id, ObjectCreator creator) {
  ObjectCreators()[prog_id] = creator;
}

std::string Server::HTMLEncode(const std::string& text) { return HtmlEncode(text); }

std::string Server::URLEncode(const std::string& text) { return UrlEncode(text); }

Variant Server::CreateObject(const std::string& prog_id) {
  const auto it = ObjectCreators().find(ToLower(prog_id));
  if (it != ObjectCreators().end()) return it->second();
  throw HostError("Server.CreateObject: unknown object \"" + prog_id + "\"");
}

void Server::LogError(const std::string& message) {
  std::fprintf(stderr, "qvTome: %s\n", message.c_str());
}

ScopedHostContext::ScopedHostContext(const HostObjects& objects) : previous_(current_objects) {
  current_objects = objects;
}

ScopedHostContext::~ScopedHostContext() { current_objects = previous_; }

const HostObjects& CurrentHostObjects() {
  if (current_objects.request == nullptr && current_objects.response == nullptr &&
      current_objects.session == nullptr && current_objects.server == nullptr) {
    throw HostError("no request is running on this thread");
  }
  return current_objects;
}

}  // namespace qv
