#include "session/sysvar.h"

#include <stdexcept>

#include "core/convert.h"
#include "data/aspproc.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {

namespace {
InitHook quiz_redirect_hook = nullptr;

// Physical directory of a stored virtual one, ending in one "/".
std::string PhysicalDir(const std::string& stored) {
  std::string mapped = TheServer().MapPath(stored);
  while (!mapped.empty() && mapped.back() == '/') mapped.pop_back();
  return UnescapePath(mapped + "/");
}

std::string WithSlash(const std::string& v) {
  return (!v.empty() && v.back() == '/') ? v : v + "/";
}

// A first-language suffix: "e" or "n", anything else "e".
std::string FirstLanguageSuffix(const std::string& v) {
  const std::string lower = ToLower(v);
  return (lower == "e" || lower == "n") ? lower : "e";
}
}  // namespace

void SetQuizRedirectHook(InitHook hook) { quiz_redirect_hook = hook; }

int16_t CheckInt16(int64_t value, const char* setting) {
  if (value < INT16_MIN || value > INT16_MAX) {
    throw std::out_of_range(std::string("Overflow: ") + setting + " = " + std::to_string(value));
  }
  return static_cast<int16_t>(value);
}

std::string EscapePath(const std::string& path) {
  std::string s = ReplaceAll(path, "%", "%25");
  s = ReplaceAll(s, " ", "%20");
  s = ReplaceAll(s, "#", "%23");
  s = ReplaceAll(s, "&", "%26");
  return ReplaceAll(s, "+", "%2B");
}

std::string UnescapePath(const std::string& path) {
  std::string s = ReplaceAll(path, "%20", " ");
  s = ReplaceAll(s, "%23", "#");
  s = ReplaceAll(s, "%26", "&");
  s = ReplaceAll(s, "%2B", "+");
  return ReplaceAll(s, "%25", "%");
}

SysVar::SysVar() {
  Kept().strSeparator = std::string(1, '\x1b');
  Kept().MaintenanceMsg = "";
}

// Init --------------------------------------------------------------------------

void SysVar::Init(const Variant& strDSNName, const std::string& strDSNUserID,
                  const std::string& strDSNPassword, const std::string& SystemMsgTable) {
  // Nothing of an earlier request on this thread survives but the kept
  // settings (data/settings.h).
  BeginRequestState();
  TakeHostObjects();
  Settings& s = TheSettings();
  TableAccess& tables = Tables();
  IdentitySettings& identity = Identity();
  // The page's own address first: the quiz branching builds targets from it.
  s.ThisURL = TheRequest().ServerVariables("SCRIPT_NAME");
  const std::string query = TheRequest().QueryStringAll();
  s.ThisURLFull = query.empty() ? s.ThisURL : s.ThisURL + "?" + query;
  if (quiz_redirect_hook != nullptr) quiz_redirect_hook();

  tables.objAspProc = std::make_shared<AspProc>();
  s.DSNName = ToStr(strDSNName);
  s.DSNUserID = strDSNUserID;
  s.DSNPassword = strDSNPassword;
  const Variant group = TheSession().Value("AuthMajorGroupID" + identity.AuthSiteID);
  const bool is_admin = !group.IsArray() && !group.IsObject() && ToStr(group) == "99";
  s.BookAuthorization = is_admin ? "read,admin" : "";
  tables.objConn = nullptr;
  tables.objRS = nullptr;
  RunStartup(SystemMsgTable);
}

void SysVar::TakeHostObjects() {
  HostContext& taken = Host();
  if (blnIsWebClass) {
    taken.host = HostObjects{oRequest, oResponse, oSession, oServer};
    return;
  }
  const HostObjects& context = CurrentHostObjects();
  taken.objContext = true;
  if (context.response == nullptr) throw HostError("the request context has no Response");
  if (context.request == nullptr) throw HostError("the request context has no Request");
  if (context.session == nullptr) throw HostError("the request context has no Session");
  if (context.server == nullptr) throw HostError("the request context has no Server");
  taken.host = context;
}

// Messages ----------------------------------------------------------------------

std::string SysVar::GetSystemMsg(const std::string& mName, int intLanguage) {
  if (intLanguage < 0 || intLanguage > 255) {
    throw std::out_of_range("Overflow: intLanguage = " + std::to_string(intLanguage));
  }
  return GetMsg(mName, intLanguage);
}

void SysVar::SetSystemMsg(const std::string& mName, const Variant& mValue, bool mIsUpdate) {
  SetMsg(mName, NullToStr(mValue), mIsUpdate);
}

// Integer settings ----------------------------------------------------------------

void SysVar::SetDefaultTextAreaWidth(int v) {
  TheSettings().DefaultTextAreaWidth = CheckInt16(v, "DefaultTextAreaWidth");
}

int16_t SysVar::LogLevel() const {
  return CheckInt16(ToInteger(Variant(TheSettings().LogLevel)), "LogLevel");
}

void SysVar::SetLogLevel(int v) {
  TheSettings().LogLevel = std::to_string(CheckInt16(v, "LogLevel"));
}

int16_t SysVar::UploadMaxK() const {
  return CheckInt16(ToInteger(Variant(TheSettings().UploadMaxK)), "UploadMaxK");
}

void SysVar::SetUploadMaxK(int v) {
  TheSettings().UploadMaxK = std::to_string(CheckInt16(v, "UploadMaxK"));
}

void SysVar::SetSessionTime(int v) { Identity().SessionTime = CheckInt16(v, "SessionTime"); }
void SysVar::SetPageLevelMin(int v) { TheSettings().PageLevelMin = CheckInt16(v, "PageLevelMin"); }
void SysVar::SetPageLevelMax(int v) { TheSettings().PageLevelMax = CheckInt16(v, "PageLevelMax"); }
void SysVar::SetReplyLevel(int v) { TheSettings().ReplyLevel = CheckInt16(v, "ReplyLevel"); }

void SysVar::SetAnonymousAccessLevel(int v) {
  Identity().AnonymousAccessLevel = CheckInt16(v, "AnonymousAccessLevel");
}

// Text settings with rules --------------------------------------------------------

void SysVar::SetTableName(const std::string& v) { TheSettings().TableName = ToLower(v); }

void SysVar::SetFirstLanguage(const std::string& v) {
  Settings& s = TheSettings();
  s.FirstLanguage = FirstLanguageSuffix(v);
  s.SecondLanguage = "";
  s.strOtherLanguage = "";
}

void SysVar::SetSecondLanguage(const std::string& v) {
  Settings& s = TheSettings();
  s.strOtherLanguage = "";
  if (s.FirstLanguage.empty()) {
    SetFirstLanguage(v);
    return;
  }
  const std::string lower = ToLower(v);
  s.SecondLanguage = lower;
  if (lower == s.FirstLanguage) {
    s.SecondLanguage = "";
  } else if (lower != "e" && lower != "n") {
    s.SecondLanguage = "";
    s.strOtherLanguage = lower;
  }
}

// Directories -------------------------------------------------------------------

void SysVar::SetvBookDir(const std::string& v) {
  Settings& s = TheSettings();
  s.vBookDir = EscapePath(WithSlash(v));
  s.pBookDir = PhysicalDir(s.vBookDir);
}

void SysVar::SetvScriptDir(const std::string& v) {
  Settings& s = TheSettings();
  s.vScriptDir = EscapePath(WithSlash(v));
  s.pScriptDir = PhysicalDir(s.vScriptDir);
}

void SysVar::SetvImageDir(const std::string& v) {
  Settings& s = TheSettings();
  s.vImageDir = EscapePath(WithSlash(v));
  if (s.vImageDir.find(':') == std::string::npos) s.pImageDir = PhysicalDir(s.vImageDir);
}

void SysVar::SetvMediaDir(const std::string& v) {
  Settings& s = TheSettings();
  s.vMediaDir = EscapePath(WithSlash(v)) + EscapePath(s.DSNName) + "/";
  if (s.vMediaDir.find(':') != std::string::npos) return;
  s.pMediaDir = PhysicalDir(s.vMediaDir);
  s.vUploadTmpDir = s.vMediaDir + "qvTmUpld.tmp/";
  s.pUploadTmpDir = s.pMediaDir + "qvTmUpld.tmp/";
}

// Identity ----------------------------------------------------------------------

namespace {
std::string LanguageSuffix(int intLanguage) {
  const int16_t language = CheckInt16(intLanguage, "intLanguage");
  return language == 1 ? TheSettings().FirstLanguage : TheSettings().SecondLanguage;
}
}  // namespace

void SysVar::Login(bool SubmitOnly) { SharedAspProc().dbLogin(SubmitOnly); }
void SysVar::Logout() { SharedAspProc().dbLogOut(); }
bool SysVar::hasLogin() { return SharedAspProc().hasLogin(); }
std::string SysVar::GetUserID() { return CurrentUserID(); }
std::string SysVar::GetMajorGroupID() { return CurrentMajorGroupID(); }
std::string SysVar::GetMinorGroupIDs() { return CurrentMinorGroupIDs(); }

std::string SysVar::GetUserName(int intLanguage) {
  const std::string key = SessionKey("AuthFullName_" + LanguageSuffix(intLanguage));
  return NullToStr(TheSession().Value(key));
}

std::string SysVar::UserID2UserName(const std::string& strUserID, int intLanguage) {
  return UserID2Name(strUserID, LanguageSuffix(intLanguage));
}

std::string SysVar::EncodePassword(const std::string& PWord) { return qv::EncodePassword(PWord); }

}  // namespace qv
