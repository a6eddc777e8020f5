// SysVar diagnostics: one collection of the current request listed into the
// page, for whoever installs a site. Keys and values are request data, so
// both are HTML-encoded.

#include <functional>
#include <string>
#include <vector>

#include "core/encode.h"
#include "host/context.h"
#include "session/sysvar.h"

namespace qv {

namespace {

void ListCollection(const std::string& heading, const std::vector<std::string>& keys,
                    const std::function<std::string(const std::string&)>& value_of) {
  ResponseWrite(heading);
  for (const std::string& key : keys) {
    ResponseWrite("<br>" + HtmlEncode(key) + " = [" + HtmlEncode(value_of(key)) + "]");
  }
}

}  // namespace

void SysVar::ListServerVariables() {
  Request& request = TheRequest();
  ListCollection("ServerVariable", request.ServerVariableKeys(),
                 [&](const std::string& key) { return request.ServerVariables(key); });
}

void SysVar::ListQueryString() {
  Request& request = TheRequest();
  ListCollection("Server Variable", request.QueryStringKeys(),
                 [&](const std::string& key) { return request.QueryString(key); });
}

void SysVar::ListFormVariables() {
  Request& request = TheRequest();
  ListCollection("Form Variable", request.FormKeys(),
                 [&](const std::string& key) { return request.Form(key); });
}

}  // namespace qv
