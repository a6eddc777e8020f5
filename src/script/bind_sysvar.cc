// qvTome.SysVar(): the site settings object.
//
// Methods (':'): Init, GetSystemMsg, SetSystemMsg; the identity members
// Login, Logout, hasLogin, GetUserID, GetMajorGroupID, GetMinorGroupIDs,
// GetUserName, UserID2UserName, EncodePassword; the diagnostics
// ListServerVariables, ListQueryString, ListFormVariables. Every setting is
// a property ('.'); read-only and write-only settings refuse the other
// direction. oRequest, oResponse, oSession and oServer take the global host
// objects (sv.oRequest = Request) for the web-class path of Init.
#include <stdexcept>
#include <string>

#include "script/bind_class.h"
#include "script/bindings.h"
#include "session/sysvar.h"

namespace qv::script {

template <>
struct BoundClass<SysVar> {
  static constexpr const char* name = "qvTome.SysVar";
};

namespace {

// Init(strDSNName, strDSNUserID, strDSNPassword, SystemMsgTable)
int Init(lua_State* L) {
  return Protect(L, [&] {
    Self<SysVar>(L)->Init(ArgVariant(L, 2), OptString(L, 3, ""), OptString(L, 4, ""),
                          OptString(L, 5, ""));
    return 0;
  });
}

int GetSystemMsg(lua_State* L) {
  return Protect(L, [&] {
    auto sysvar = Self<SysVar>(L);
    int64_t language = OptInteger(L, 3, 1);
    if (language < 0 || language > 255) throw std::out_of_range("Overflow: intLanguage");
    PushValue(L, sysvar->GetSystemMsg(ArgString(L, 2), static_cast<int>(language)));
    return 1;
  });
}

int SetSystemMsg(lua_State* L) {
  return Protect(L, [&] {
    Self<SysVar>(L)->SetSystemMsg(ArgString(L, 2), ArgVariant(L, 3), OptBoolean(L, 4, true));
    return 0;
  });
}

int Login(lua_State* L) {
  return Protect(L, [&] {
    Self<SysVar>(L)->Login(OptBoolean(L, 2, false));
    return 0;
  });
}

// intLanguage is 16-bit: 1 the first language, anything else the second.
int LanguageArg(lua_State* L, int index) {
  const int64_t language = OptInteger(L, index, 1);
  if (language < -32768 || language > 32767) throw std::out_of_range("Overflow: intLanguage");
  return static_cast<int>(language);
}

int GetUserName(lua_State* L) {
  return Protect(L, [&] {
    auto sysvar = Self<SysVar>(L);
    PushValue(L, sysvar->GetUserName(LanguageArg(L, 2)));
    return 1;
  });
}

int UserID2UserName(lua_State* L) {
  return Protect(L, [&] {
    auto sysvar = Self<SysVar>(L);
    PushValue(L, sysvar->UserID2UserName(ArgString(L, 2), LanguageArg(L, 3)));
    return 1;
  });
}

int EncodePassword(lua_State* L) {
  return Protect(L, [&] {
    PushValue(L, Self<SysVar>(L)->EncodePassword(ArgString(L, 2)));
    return 1;
  });
}

int GetIsWebClass(lua_State* L) {
  return Protect(L, [&] {
    PushValue(L, Self<SysVar>(L)->blnIsWebClass);
    return 1;
  });
}

int SetIsWebClass(lua_State* L) {
  return Protect(L, [&] {
    Self<SysVar>(L)->blnIsWebClass = ArgBoolean(L, 2);
    return 0;
  });
}

template <class T>
constexpr const char* kHostKind = nullptr;
template <>
constexpr const char* kHostKind<Request> = "Request";
template <>
constexpr const char* kHostKind<Response> = "Response";
template <>
constexpr const char* kHostKind<Session> = "Session";
template <>
constexpr const char* kHostKind<Server> = "Server";

// The web-class host objects: the global of the matching kind, or nil.
template <class T, T* SysVar::*slot, T* HostObjects::*current>
int GetHostObject(lua_State* L) {
  return Protect(L, [&] {
    if ((Self<SysVar>(L).get()->*slot) == nullptr) return 0;
    PushHostObject(L, kHostKind<T>);
    return 1;
  });
}

template <class T, T* SysVar::*slot, T* HostObjects::*current>
int SetHostObject(lua_State* L) {
  return Protect(L, [&] {
    auto sysvar = Self<SysVar>(L);
    T* object = nullptr;
    if (HasArg(L, 2)) {
      if (!IsHostObject(L, 2, kHostKind<T>)) throw TypeMismatch("expected a host object");
      object = CurrentHostObjects().*current;
    }
    sysvar.get()->*slot = object;
    return 0;
  });
}

#define QV_HOST_SLOT(Type, slot, current) &GetHostObject<Type, &SysVar::slot, &HostObjects::current>
#define QV_HOST_SET(Type, slot, current) &SetHostObject<Type, &SysVar::slot, &HostObjects::current>

const Member kMethods[] = {{"Init", Init},
                           {"GetSystemMsg", GetSystemMsg},
                           {"SetSystemMsg", SetSystemMsg},
                           {"Login", Login},
                           {"Logout", Method0<&SysVar::Logout>},
                           {"hasLogin", Method0<&SysVar::hasLogin>},
                           {"GetUserID", Method0<&SysVar::GetUserID>},
                           {"GetMajorGroupID", Method0<&SysVar::GetMajorGroupID>},
                           {"GetMinorGroupIDs", Method0<&SysVar::GetMinorGroupIDs>},
                           {"GetUserName", GetUserName},
                           {"UserID2UserName", UserID2UserName},
                           {"EncodePassword", EncodePassword},
                           {"ListServerVariables", Method0<&SysVar::ListServerVariables>},
                           {"ListQueryString", Method0<&SysVar::ListQueryString>},
                           {"ListFormVariables", Method0<&SysVar::ListFormVariables>},
                           {nullptr, nullptr}};

// Properties readable and writable under the same name.
#define QV_RW(X) \
  { #X, Getter < &SysVar::X> }
#define QV_W(X) \
  { #X, Setter < &SysVar::Set##X> }

const Member kGetters[] = {QV_RW(FromEmail),
                           QV_RW(IsDebug),
                           QV_RW(LogLevel),
                           QV_RW(TableName),
                           QV_RW(ID),
                           QV_RW(FirstLanguage),
                           QV_RW(SecondLanguage),
                           QV_RW(LANLoginOnly),
                           QV_RW(AuthSiteID),
                           QV_RW(SessionTime),
                           QV_RW(DSNName),
                           QV_RW(DSNUserID),
                           QV_RW(DSNPassword),
                           QV_RW(BookAuthorization),
                           QV_RW(ThisURL),
                           QV_RW(ThisURLFull),
                           QV_RW(PageLevelMin),
                           QV_RW(PageLevelMax),
                           QV_RW(ReplyLevel),
                           QV_RW(vBookDir),
                           QV_RW(vScriptDir),
                           QV_RW(vImageDir),
                           QV_RW(vMediaDir),
                           QV_RW(pBookDir),
                           QV_RW(pScriptDir),
                           QV_RW(pMediaDir),
                           QV_RW(pImageDir),
                           QV_RW(ShowMark),
                           QV_RW(UploadMaxK),
                           QV_RW(Indent),
                           QV_RW(CheckDuplicateTitle),
                           QV_RW(NoDuplicateTitle),
                           QV_RW(NoEmptyTitle),
                           QV_RW(AnonymousAccessLevel),
                           QV_RW(ParentFrameFile),
                           QV_RW(TargetFrame),
                           QV_RW(TargetFile),
                           QV_RW(TargetFileParam),
                           QV_RW(FormatReadAll_e),
                           QV_RW(FormatReadAll_n),
                           QV_RW(FormatRead_e),
                           QV_RW(FormatRead_n),
                           QV_RW(FormatEdit),
                           QV_RW(FormatAuth),
                           QV_RW(FormatProperty),
                           QV_RW(GlossaryBook),
                           QV_RW(Verion),
                           {"blnIsWebClass", GetIsWebClass},
                           {"oRequest", QV_HOST_SLOT(Request, oRequest, request)},
                           {"oResponse", QV_HOST_SLOT(Response, oResponse, response)},
                           {"oSession", QV_HOST_SLOT(Session, oSession, session)},
                           {"oServer", QV_HOST_SLOT(Server, oServer, server)},
                           {nullptr, nullptr}};

const Member kSetters[] = {QV_W(FromEmail),
                           QV_W(IsDebug),
                           QV_W(LogLevel),
                           QV_W(TableName),
                           QV_W(FirstLanguage),
                           QV_W(SecondLanguage),
                           QV_W(LANLoginOnly),
                           QV_W(AuthSiteID),
                           QV_W(SessionTime),
                           QV_W(DSNName),
                           QV_W(DSNUserID),
                           QV_W(DSNPassword),
                           QV_W(BookAuthorization),
                           QV_W(PageLevelMin),
                           QV_W(PageLevelMax),
                           QV_W(ReplyLevel),
                           QV_W(vBookDir),
                           QV_W(vScriptDir),
                           QV_W(vImageDir),
                           QV_W(vMediaDir),
                           QV_W(ShowMark),
                           QV_W(UploadMaxK),
                           QV_W(Indent),
                           QV_W(CheckDuplicateTitle),
                           QV_W(NoDuplicateTitle),
                           QV_W(NoEmptyTitle),
                           QV_W(AnonymousAccessLevel),
                           QV_W(ParentFrameFile),
                           QV_W(TargetFrame),
                           QV_W(TargetFile),
                           QV_W(TargetFileParam),
                           QV_W(FormatReadAll_e),
                           QV_W(FormatReadAll_n),
                           QV_W(FormatRead_e),
                           QV_W(FormatRead_n),
                           QV_W(FormatEdit),
                           QV_W(FormatAuth),
                           QV_W(FormatProperty),
                           QV_W(GlossaryBook),
                           QV_W(MaintenanceMsg),
                           QV_W(ODBCErrorMsg),
                           QV_W(DefaultTextAreaWidth),
                           QV_W(IsWebClass),
                           {"blnIsWebClass", SetIsWebClass},
                           {"oRequest", QV_HOST_SET(Request, oRequest, request)},
                           {"oResponse", QV_HOST_SET(Response, oResponse, response)},
                           {"oSession", QV_HOST_SET(Session, oSession, session)},
                           {"oServer", QV_HOST_SET(Server, oServer, server)},
                           {nullptr, nullptr}};

#undef QV_RW
#undef QV_W
#undef QV_HOST_SLOT
#undef QV_HOST_SET

}  // namespace

void RegisterSysVar(lua_State* L) {
  RegisterClass(L, {BoundClass<SysVar>::name, kMethods, kGetters, kSetters, nullptr});
}

int NewSysVar(lua_State* L) {
  return Protect(L, [&] {
    PushObject(L, BoundClass<SysVar>::name, std::make_shared<SysVar>());
    return 1;
  });
}

}  // namespace qv::script
