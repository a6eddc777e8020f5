// The host objects as the globals Request, Response, Session and Server.
//
// Each global is a member-less userdata whose members act on the host
// objects of the request running on this thread, so one set of globals
// serves every request. Members are used with '.' (Response.Write(x)); a
// call with ':' works too. Request(name) is Request.Item(name) and
// Session(name[, value]) is Session.Value.
#include <string>

#include "core/convert.h"
#include "core/encode.h"
#include "script/bindings.h"
#include "script/lua_bind.h"

namespace qv::script {
namespace {

constexpr const char* kRequest = "qvTome.Request";
constexpr const char* kResponse = "qvTome.Response";
constexpr const char* kSession = "qvTome.Session";
constexpr const char* kServer = "qvTome.Server";

template <class T>
T& Current(T* HostObjects::*member, const char* name) {
  T* object = CurrentHostObjects().*member;
  if (object == nullptr) throw HostError(std::string(name) + " is not available outside a request");
  return *object;
}
Request& CurrentRequest() { return Current(&HostObjects::request, "Request"); }
Response& CurrentResponse() { return Current(&HostObjects::response, "Response"); }
Session& CurrentSession() { return Current(&HostObjects::session, "Session"); }
Server& CurrentServer() { return Current(&HostObjects::server, "Server"); }

// Index of the first real argument: 2 when the member was called with ':'.
int FirstArg(lua_State* L, const char* class_name) {
  return luaL_testudata(L, 1, class_name) != nullptr ? 2 : 1;
}

int PushString(lua_State* L, const std::string& text) {
  lua_pushlstring(L, text.data(), text.size());
  return 1;
}

std::string FormAsText(Request& request) {
  std::string text;
  for (const std::string& key : request.FormKeys()) {
    if (!text.empty()) text += '&';
    text += UrlEncode(key) + "=" + UrlEncode(request.Form(key));
  }
  return text;
}

// Request ------------------------------------------------------------------

int RequestQueryString(lua_State* L) {
  return Protect(L, [&] {
    int arg = FirstArg(L, kRequest);
    Request& request = CurrentRequest();
    return PushString(
        L, HasArg(L, arg) ? request.QueryString(ArgString(L, arg)) : request.QueryStringAll());
  });
}

int RequestForm(lua_State* L) {
  return Protect(L, [&] {
    int arg = FirstArg(L, kRequest);
    Request& request = CurrentRequest();
    return PushString(L, HasArg(L, arg) ? request.Form(ArgString(L, arg)) : FormAsText(request));
  });
}

int RequestItem(lua_State* L) {
  return Protect(L, [&] {
    int arg = FirstArg(L, kRequest);
    if (!HasArg(L, arg)) throw HostError("Request.Item needs a name");
    return PushString(L, CurrentRequest().Item(ArgString(L, arg)));
  });
}

int RequestServerVariables(lua_State* L) {
  return Protect(L, [&] {
    int arg = FirstArg(L, kRequest);
    return PushString(L, CurrentRequest().ServerVariables(ArgString(L, arg)));
  });
}

int RequestTotalBytes(lua_State* L) {
  return Protect(L, [&] {
    lua_pushinteger(L, CurrentRequest().TotalBytes());
    return 1;
  });
}

// BinaryRead(count) gives the bytes and, as its by-reference count, how
// many were read.
int RequestBinaryRead(lua_State* L) {
  return Protect(L, [&] {
    int arg = FirstArg(L, kRequest);
    int64_t count = ArgInteger(L, arg);
    if (count < 0) throw HostError("BinaryRead: count must not be negative");
    std::string bytes = CurrentRequest().BinaryRead(count);
    return PushResults(L, bytes, static_cast<long long>(bytes.size()));
  });
}

// Response -----------------------------------------------------------------

int ResponseWrite(lua_State* L) {
  return Protect(L, [&] {
    int arg = FirstArg(L, kResponse);
    Variant value = ArgVariant(L, arg);
    if (!value.IsEmpty() && !value.IsNull()) CurrentResponse().Write(ToStr(value));
    return 0;
  });
}

int ResponseRedirect(lua_State* L) {
  return Protect(L, [&] {
    int arg = FirstArg(L, kResponse);
    CurrentResponse().Redirect(ArgString(L, arg));
    return 0;
  });
}

int ResponseEnd(lua_State* L) {
  return Protect(L, [&] {
    CurrentResponse().End();
    return 0;
  });
}

int ResponseSetStatus(lua_State* L) {
  return Protect(L, [&] {
    CurrentResponse().SetStatus(ArgString(L, 2));
    return 0;
  });
}

// Session ------------------------------------------------------------------

int SessionValue(lua_State* L) {
  return Protect(L, [&] {
    int arg = FirstArg(L, kSession);
    std::string name = ArgString(L, arg);
    if (lua_gettop(L) > arg) {
      CurrentSession().SetValue(name, ArgVariant(L, arg + 1));
      return 0;
    }
    PushVariant(L, CurrentSession().Value(name));
    return 1;
  });
}

int SessionTimeout(lua_State* L) {
  return Protect(L, [&] {
    lua_pushinteger(L, CurrentSession().Timeout());
    return 1;
  });
}

int SessionSetTimeout(lua_State* L) {
  return Protect(L, [&] {
    int64_t minutes = ArgInteger(L, 2);
    if (minutes < 1 || minutes > 525600) throw HostError("Session.Timeout out of range");
    CurrentSession().SetTimeout(static_cast<int>(minutes));
    return 0;
  });
}

// Server -------------------------------------------------------------------

int ServerMapPath(lua_State* L) {
  return Protect(L, [&] {
    return PushString(L, CurrentServer().MapPath(ArgString(L, FirstArg(L, kServer))));
  });
}

int ServerHTMLEncode(lua_State* L) {
  return Protect(L, [&] {
    return PushString(L, CurrentServer().HTMLEncode(ArgString(L, FirstArg(L, kServer))));
  });
}

int ServerURLEncode(lua_State* L) {
  return Protect(L, [&] {
    return PushString(L, CurrentServer().URLEncode(ArgString(L, FirstArg(L, kServer))));
  });
}

int ServerCreateObject(lua_State* L) {
  return Protect(L, [&] {
    PushVariant(L, CurrentServer().CreateObject(ArgString(L, FirstArg(L, kServer))));
    return 1;
  });
}

const Member kRequestMethods[] = {{"QueryString", RequestQueryString},
                                  {"Form", RequestForm},
                                  {"Item", RequestItem},
                                  {"ServerVariables", RequestServerVariables},
                                  {"BinaryRead", RequestBinaryRead},
                                  {nullptr, nullptr}};
const Member kRequestGetters[] = {{"TotalBytes", RequestTotalBytes}, {nullptr, nullptr}};
const Member kRequestMeta[] = {{"__call", RequestItem}, {nullptr, nullptr}};

const Member kResponseMethods[] = {{"Write", ResponseWrite},
                                   {"Redirect", ResponseRedirect},
                                   {"End", ResponseEnd},
                                   {nullptr, nullptr}};
const Member kResponseSetters[] = {{"Status", ResponseSetStatus}, {nullptr, nullptr}};

const Member kSessionMethods[] = {{"Value", SessionValue}, {nullptr, nullptr}};
const Member kSessionGetters[] = {{"Timeout", SessionTimeout}, {nullptr, nullptr}};
const Member kSessionSetters[] = {{"Timeout", SessionSetTimeout}, {nullptr, nullptr}};
const Member kSessionMeta[] = {{"__call", SessionValue}, {nullptr, nullptr}};

const Member kServerMethods[] = {{"MapPath", ServerMapPath},
                                 {"HTMLEncode", ServerHTMLEncode},
                                 {"URLEncode", ServerURLEncode},
                                 {"CreateObject", ServerCreateObject},
                                 {nullptr, nullptr}};

void SetGlobal(lua_State* L, int base_index, const ClassSpec& spec, const char* kind) {
  RegisterClass(L, spec);
  PushHostObject(L, kind);
  lua_setfield(L, base_index, kind);
}

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
  SetGlobal(L, base_index, {kRequest, kRequestMethods, kRequestGetters, nullptr, kRequestMeta},
            "Request");
  SetGlobal(L, base_index, {kResponse, kResponseMethods, nullptr, kResponseSetters, nullptr},
            "Response");
  SetGlobal(L, base_index,
            {kSession, kSessionMethods, kSessionGetters, kSessionSetters, kSessionMeta}, "Session");
  SetGlobal(L, base_index, {kServer, kServerMethods, nullptr, nullptr, nullptr}, "Server");
}

}  // namespace qv::script
