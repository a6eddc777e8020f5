#include "host/host_objects.h"

#include "core/convert.h"
#include "core/encode.h"
#include "data/connection.h"
#include "data/recordset.h"

namespace qv {

namespace {
thread_local HostObjects current_objects;
}  // namespace

std::string Server::HTMLEncode(const std::string& text) { return HtmlEncode(text); }

std::string Server::URLEncode(const std::string& text) { return UrlEncode(text); }

Variant Server::CreateObject(const std::string& prog_id) {
  const std::string id = ToLower(prog_id);
  if (id == "adodb.connection") {
    std::shared_ptr<Connection> conn = NewConnection();
    return Variant(std::static_pointer_cast<Object>(conn));
  }
  if (id == "adodb.recordset") {
    return Variant(std::static_pointer_cast<Object>(std::make_shared<Recordset>()));
  }
  throw HostError("Server.CreateObject: unknown object \"" + prog_id + "\"");
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
