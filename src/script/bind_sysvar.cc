// qvTome.SysVar(): the site settings object.
//
// Methods (':'): Init, GetSystemMsg, SetSystemMsg; the identity members
// Login, Logout, hasLogin, GetUserID, GetMajorGroupID, GetMinorGroupIDs,
// GetUserName, UserID2UserName, EncodePassword; the diagnostics
// ListServerVariables, ListQueryString, ListFormVariables. Every setting is
// a property ('.'); read-only and write-only settings refuse the other
// direction. oRequest, oResponse, oSession and oServer take the global host
// objects (sv.oRequest = Request) for the web-class path of Init.
#include "script/bind_class.h"
#include "session/sysvar.h"

namespace qv::script {

template <>
struct BoundClass<SysVar> {
  static constexpr const char* name = "qvTome.SysVar";
};

namespace {

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
template <class T, T* SysVar::*slot>
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

template <class T, T* SysVar::*slot, T* HostObjects::*current>
constexpr Member HostSlot(const char* name) {
  return Property(name, GetHostObject<T, slot>, SetHostObject<T, slot, current>);
}

constexpr Member kMembers[] = {
    // Set-up and messages.
    Method<&SysVar::Init>("Init"),
    ReadOnly<&SysVar::Verion>("Verion"),
    Method<&SysVar::GetSystemMsg, _, Byte{1}>("GetSystemMsg"),
    Method<&SysVar::SetSystemMsg, _, _, true>("SetSystemMsg"),
    WriteOnly<&SysVar::SetMaintenanceMsg>("MaintenanceMsg"),
    WriteOnly<&SysVar::SetODBCErrorMsg>("ODBCErrorMsg"),
    WriteOnly<&SysVar::SetDefaultTextAreaWidth>("DefaultTextAreaWidth"),
    Property<&SysVar::blnIsWebClass>("blnIsWebClass"),
    WriteOnly<&SysVar::SetIsWebClass>("IsWebClass"),
    HostSlot<Request, &SysVar::oRequest, &HostObjects::request>("oRequest"),
    HostSlot<Response, &SysVar::oResponse, &HostObjects::response>("oResponse"),
    HostSlot<Session, &SysVar::oSession, &HostObjects::session>("oSession"),
    HostSlot<Server, &SysVar::oServer, &HostObjects::server>("oServer"),

    // Settings.
    Property<&SysVar::FromEmail, &SysVar::SetFromEmail>("FromEmail"),
    Property<&SysVar::IsDebug, &SysVar::SetIsDebug>("IsDebug"),
    Property<&SysVar::LogLevel, &SysVar::SetLogLevel>("LogLevel"),
    Property<&SysVar::TableName, &SysVar::SetTableName>("TableName"),
    ReadOnly<&SysVar::ID>("ID"),
    Property<&SysVar::FirstLanguage, &SysVar::SetFirstLanguage>("FirstLanguage"),
    Property<&SysVar::SecondLanguage, &SysVar::SetSecondLanguage>("SecondLanguage"),
    Property<&SysVar::LANLoginOnly, &SysVar::SetLANLoginOnly>("LANLoginOnly"),
    Property<&SysVar::AuthSiteID, &SysVar::SetAuthSiteID>("AuthSiteID"),
    Property<&SysVar::SessionTime, &SysVar::SetSessionTime>("SessionTime"),
    Property<&SysVar::DSNName, &SysVar::SetDSNName>("DSNName"),
    Property<&SysVar::DSNUserID, &SysVar::SetDSNUserID>("DSNUserID"),
    Property<&SysVar::DSNPassword, &SysVar::SetDSNPassword>("DSNPassword"),
    Property<&SysVar::BookAuthorization, &SysVar::SetBookAuthorization>("BookAuthorization"),
    ReadOnly<&SysVar::ThisURL>("ThisURL"),
    ReadOnly<&SysVar::ThisURLFull>("ThisURLFull"),
    Property<&SysVar::PageLevelMin, &SysVar::SetPageLevelMin>("PageLevelMin"),
    Property<&SysVar::PageLevelMax, &SysVar::SetPageLevelMax>("PageLevelMax"),
    Property<&SysVar::ReplyLevel, &SysVar::SetReplyLevel>("ReplyLevel"),
    Property<&SysVar::vBookDir, &SysVar::SetvBookDir>("vBookDir"),
    Property<&SysVar::vScriptDir, &SysVar::SetvScriptDir>("vScriptDir"),
    Property<&SysVar::vImageDir, &SysVar::SetvImageDir>("vImageDir"),
    Property<&SysVar::vMediaDir, &SysVar::SetvMediaDir>("vMediaDir"),
    ReadOnly<&SysVar::pBookDir>("pBookDir"),
    ReadOnly<&SysVar::pScriptDir>("pScriptDir"),
    ReadOnly<&SysVar::pMediaDir>("pMediaDir"),
    ReadOnly<&SysVar::pImageDir>("pImageDir"),
    Property<&SysVar::ShowMark, &SysVar::SetShowMark>("ShowMark"),
    Property<&SysVar::UploadMaxK, &SysVar::SetUploadMaxK>("UploadMaxK"),
    Property<&SysVar::Indent, &SysVar::SetIndent>("Indent"),
    Property<&SysVar::CheckDuplicateTitle, &SysVar::SetCheckDuplicateTitle>("CheckDuplicateTitle"),
    Property<&SysVar::NoDuplicateTitle, &SysVar::SetNoDuplicateTitle>("NoDuplicateTitle"),
    Property<&SysVar::NoEmptyTitle, &SysVar::SetNoEmptyTitle>("NoEmptyTitle"),
    Property<&SysVar::AnonymousAccessLevel, &SysVar::SetAnonymousAccessLevel>(
        "AnonymousAccessLevel"),
    Property<&SysVar::ParentFrameFile, &SysVar::SetParentFrameFile>("ParentFrameFile"),
    Property<&SysVar::TargetFrame, &SysVar::SetTargetFrame>("TargetFrame"),
    Property<&SysVar::TargetFile, &SysVar::SetTargetFile>("TargetFile"),
    Property<&SysVar::TargetFileParam, &SysVar::SetTargetFileParam>("TargetFileParam"),
    Property<&SysVar::FormatReadAll_e, &SysVar::SetFormatReadAll_e>("FormatReadAll_e"),
    Property<&SysVar::FormatReadAll_n, &SysVar::SetFormatReadAll_n>("FormatReadAll_n"),
    Property<&SysVar::FormatRead_e, &SysVar::SetFormatRead_e>("FormatRead_e"),
    Property<&SysVar::FormatRead_n, &SysVar::SetFormatRead_n>("FormatRead_n"),
    Property<&SysVar::FormatEdit, &SysVar::SetFormatEdit>("FormatEdit"),
    Property<&SysVar::FormatAuth, &SysVar::SetFormatAuth>("FormatAuth"),
    Property<&SysVar::FormatProperty, &SysVar::SetFormatProperty>("FormatProperty"),
    Property<&SysVar::GlossaryBook, &SysVar::SetGlossaryBook>("GlossaryBook"),

    // Identity.
    Method<&SysVar::Login>("Login"),
    Method<&SysVar::Logout>("Logout"),
    Method<&SysVar::hasLogin>("hasLogin"),
    Method<&SysVar::GetUserID>("GetUserID"),
    Method<&SysVar::GetMajorGroupID>("GetMajorGroupID"),
    Method<&SysVar::GetMinorGroupIDs>("GetMinorGroupIDs"),
    Method<&SysVar::GetUserName, Short{1}>("GetUserName"),
    Method<&SysVar::UserID2UserName, _, Short{1}>("UserID2UserName"),
    Method<&SysVar::EncodePassword>("EncodePassword"),

    // Diagnostics.
    Method<&SysVar::ListServerVariables>("ListServerVariables"),
    Method<&SysVar::ListQueryString>("ListQueryString"),
    Method<&SysVar::ListFormVariables>("ListFormVariables"),
};

const ClassRegistration kSysVar = Register<SysVar>(kMembers, kCreatedByScripts);

}  // namespace
}  // namespace qv::script
