// The host objects as the globals Request, Response, Session and Server.
//
// Each global is a member-less userdata whose members act on the host
// objects of the request running on this thread, so one set of globals
// serves every request. Members are used with '.' (Response.Write(x)); a
// call with ':' works too. Request(name) is Request.Item(name) and
// Session(name[, value]) is Session.Value.
#include <string>
#include <string_view>

#include "core/convert.h"
#include "core/encode.h"
#include "script/bind_class.h"

namespace qv::script {

template <>
struct BoundClass<Request> {
  static constexpr const char* name = "qvTome.Request";
};
template <>
struct BoundClass<Response> {
  static constexpr const char* name = "qvTome.Response";
};
template <>
struct BoundClass<Session> {
  static constexpr const char* name = "qvTome.Session";
};
template <>
struct BoundClass<Server> {
  static constexpr const char* name = "qvTome.Server";
};

// A host member acts on the current request's object; its arguments start
// at 2 when it was called with ':'.
template <class T, T* HostObjects::*current>
struct CurrentHostObject {
  static T* Get(lua_State*) {
    T* object = CurrentHostObjects().*current;
    if (object == nullptr) {
      const std::string_view name = BoundClass<T>::name;  // "qvTome.Request": "Request ..."
      throw HostError(std::string(name.substr(name.find('.') + 1)) +
                      " is not available outside a request");
    }
    return object;
  }
  static int FirstArg(lua_State* L) {
    return luaL_testudata(L, 1, BoundClass<T>::name) != nullptr ? 2 : 1;
  }
};

template <>
struct Receiver<Request> : CurrentHostObject<Request, &HostObjects::request> {};
template <>
struct Receiver<Response> : CurrentHostObject<Response, &HostObjects::response> {};
template <>
struct Receiver<Session> : CurrentHostObject<Session, &HostObjects::session> {};
template <>
struct Receiver<Server> : CurrentHostObject<Server, &HostObjects::server> {};

namespace {

std::string FormAsText(Request& request) {
  std::string text;
  for (const std::string& key : request.FormKeys()) {
    if (!text.empty()) text += '&';
    text += UrlEncode(key) + "=" + UrlEncode(request.Form(key));
  }
  return text;
}

// Request ------------------------------------------------------------------

// One parameter, or without a name the whole query string.
std::string QueryString(Request& request, const Variant& name) {
  return name.IsEmpty() ? request.QueryStringAll() : request.QueryString(ToStr(name));
}

// One form field, or without a name the whole form, url-encoded.
std::string Form(Request& request, const Variant& name) {
  return name.IsEmpty() ? FormAsText(request) : request.Form(ToStr(name));
}

std::string Item(Request& request, const Variant& name) {
  if (name.IsEmpty()) throw HostError("Request.Item needs a name");
  return request.Item(ToStr(name));
}

// The bytes, and in the by-reference count how many were read.
std::string BinaryRead(Request& request, int64_t& count) {
  if (count < 0) throw HostError("BinaryRead: count must not be negative");
  std::string bytes = request.BinaryRead(count);
  count = static_cast<int64_t>(bytes.size());
  return bytes;
}

// Response -----------------------------------------------------------------

// nil writes nothing; anything else is written as text.
void Write(Response& response, const Variant& value) {
  if (!value.IsEmpty() && !value.IsNull()) response.Write(ToStr(value));
}

// Write is the call of every page's every piece of text: a string goes
// straight from Lua into the response, without a copy on the way.
int WriteBody(lua_State* L) {
  const int arg = Receiver<Response>::FirstArg(L);
  Response& response = *Receiver<Response>::Get(L);
  if (lua_type(L, arg) == LUA_TSTRING) {
    size_t length = 0;
    const char* text = lua_tolstring(L, arg, &length);
    response.Write(std::string_view(text, length));
  } else {
    Write(response, ArgVariant(L, arg));
  }
  return 0;
}

int WriteMember(lua_State* L) { return ProtectedCall(L, &WriteBody); }

// Session ------------------------------------------------------------------

// Value(name) reads, Value(name, value) writes, even when value is nil.
int SessionValue(lua_State* L) {
  return Protect(L, [&] {
    int arg = Receiver<Session>::FirstArg(L);
    std::string name = ArgString(L, arg);
    Session& session = *Receiver<Session>::Get(L);
    if (lua_gettop(L) > arg) {
      session.SetValue(name, ArgVariant(L, arg + 1));
      return 0;
    }
    PushVariant(L, session.Value(name));
    return 1;
  });
}

void SetTimeout(Session& session, int64_t minutes) {
  if (minutes < 1 || minutes > 525600) throw HostError("Session.Timeout out of range");
  session.SetTimeout(static_cast<int>(minutes));
}

constexpr Member kRequestMembers[] = {
    Method<&QueryString>("QueryString"),
    Method<&Form>("Form"),
    Method<&Item>("Item"),
    Method<&Request::ServerVariables>("ServerVariables"),
    ReadOnly<&Request::TotalBytes>("TotalBytes"),
    Method<&BinaryRead>("BinaryRead"),
    Metamethod<&Item>("__call"),
};

constexpr Member kResponseMembers[] = {
    Method("Write", &WriteMember),
    Method<&Response::Redirect>("Redirect"),
    Method<&Response::End>("End"),
    WriteOnly<&Response::SetStatus>("Status"),
};

constexpr Member kSessionMembers[] = {
    Method("Value", SessionValue),
    Property<&Session::Timeout, &SetTimeout>("Timeout"),
    Metamethod("__call", SessionValue),
};

constexpr Member kServerMembers[] = {
    Method<&Server::MapPath>("MapPath"),
    Method<&Server::HTMLEncode>("HTMLEncode"),
    Method<&Server::URLEncode>("URLEncode"),
    Method<&Server::CreateObject>("CreateObject"),
};

const ClassRegistration kRequest = Register<Request>(kRequestMembers);
const ClassRegistration kResponse = Register<Response>(kResponseMembers);
const ClassRegistration kSession = Register<Session>(kSessionMembers);
const ClassRegistration kServer = Register<Server>(kServerMembers);

std::string ClassOfKind(const char* kind) { return std::string("qvTome.") + kind; }

}  // namespace

void PushHostObject(lua_State* L, const char* kind) {
  PushHandle(L, ClassOfKind(kind).c_str(), Handle{});
}

bool IsHostObject(lua_State* L, int index, const char* kind) {
  return luaL_testudata(L, index, ClassOfKind(kind).c_str()) != nullptr;
}

void OpenHostObjects(lua_State* L, int base_index) {
  base_index = lua_absindex(L, base_index);
  for (const char* kind : {"Request", "Response", "Session", "Server"}) {
    PushHostObject(L, kind);
    lua_setfield(L, base_index, kind);
  }
}

}  // namespace qv::script
