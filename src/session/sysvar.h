// SysVar: the site's settings and the set-up of every request.
//
// A page script creates SysVar first and calls Init, which takes the host
// objects, creates the shared AspProc, starts the request's state anew
// (host/context.h: every part but the kept settings), writes the banner,
// loads the system messages and checks the database version. The properties
// below read and write the settings parts of that state (data/settings.h,
// session/identity.h), so two SysVar objects on one thread see the same
// values, and the values outlive the object until the next Init.
//
// Naming for script bindings: a property X is X() (get) and SetX(v) (put);
// read-only properties have no SetX, write-only ones no X(). 16-bit settings
// throw std::out_of_range ("Overflow") for values outside -32768..32767.
// Errors of the host objects (a failed MapPath, no request) reach the caller.
#pragma once

#include <cstdint>
#include <string>

#include "core/variant.h"
#include "core/version.h"
#include "data/settings.h"
#include "host/host_objects.h"
#include "session/current_page.h"
#include "session/identity.h"

namespace qv {

// The quiz branching of the assignment module, run by Init before any
// output (it may redirect). Registered once at start-up; none by default.
using InitHook = void (*)();
void SetQuizRedirectHook(InitHook hook);

class SysVar {
 public:
  // blnIsWebClass False, strSeparator the character of code 27,
  // MaintenanceMsg "".
  SysVar();

  // Web-class host objects, used by Init when blnIsWebClass is True.
  Request* oRequest = nullptr;
  Response* oResponse = nullptr;
  Session* oSession = nullptr;
  Server* oServer = nullptr;
  bool blnIsWebClass = false;
  void SetIsWebClass(bool value) { blnIsWebClass = value; }

  // Sets up the state of this request (see the file comment).
  // Messages come from "qvSystemMsg" & SystemMsgTable. Ends the response
  // (ResponseEnded) when the data source cannot be opened.
  void Init(const Variant& strDSNName, const std::string& strDSNUserID = "",
            const std::string& strDSNPassword = "", const std::string& SystemMsgTable = "");

  std::string Verion() const { return kVersion; }

  // Messages (session/messages.h). intLanguage is a byte: 0..255.
  std::string GetSystemMsg(const std::string& mName, int intLanguage = 1);
  // Changes the cache for the rest of the request, never the table.
  void SetSystemMsg(const std::string& mName, const Variant& mValue, bool mIsUpdate = true);

  // Write-only settings; MaintenanceMsg and ODBCErrorMsg act during Init.
  void SetMaintenanceMsg(const std::string& v) { Kept().MaintenanceMsg = v; }
  void SetODBCErrorMsg(const std::string& v) { Kept().ODBCErrorMsg = v; }
  void SetDefaultTextAreaWidth(int v);

  std::string FromEmail() const { return Kept().FromEmail; }
  void SetFromEmail(const std::string& v) { Kept().FromEmail = v; }

  bool IsDebug() const { return TheSettings().IsDebug; }
  void SetIsDebug(bool v) { TheSettings().IsDebug = v; }
  int16_t LogLevel() const;
  void SetLogLevel(int v);
  // Stored in lower case.
  std::string TableName() const { return TheSettings().TableName; }
  void SetTableName(const std::string& v);
  Variant ID() const { return ThePage().ID; }

  // Language suffixes: "e" or "n" (see the setters in sysvar.cc).
  std::string FirstLanguage() const { return TheSettings().FirstLanguage; }
  void SetFirstLanguage(const std::string& v);
  std::string SecondLanguage() const { return TheSettings().SecondLanguage; }
  void SetSecondLanguage(const std::string& v);

  bool LANLoginOnly() const { return Identity().LANLoginOnly; }
  void SetLANLoginOnly(bool v) { Identity().LANLoginOnly = v; }
  std::string AuthSiteID() const { return Identity().AuthSiteID; }
  void SetAuthSiteID(const std::string& v) { Identity().AuthSiteID = v; }
  int16_t SessionTime() const { return Identity().SessionTime; }
  void SetSessionTime(int v);

  std::string DSNName() const { return TheSettings().DSNName; }
  void SetDSNName(const std::string& v) { TheSettings().DSNName = v; }
  std::string DSNUserID() const { return TheSettings().DSNUserID; }
  void SetDSNUserID(const std::string& v) { TheSettings().DSNUserID = v; }
  std::string DSNPassword() const { return TheSettings().DSNPassword; }
  void SetDSNPassword(const std::string& v) { TheSettings().DSNPassword = v; }
  std::string BookAuthorization() const { return TheSettings().BookAuthorization; }
  void SetBookAuthorization(const std::string& v) { TheSettings().BookAuthorization = v; }

  std::string ThisURL() const { return TheSettings().ThisURL; }
  std::string ThisURLFull() const { return TheSettings().ThisURLFull; }

  int16_t PageLevelMin() const { return TheSettings().PageLevelMin; }
  void SetPageLevelMin(int v);
  int16_t PageLevelMax() const { return TheSettings().PageLevelMax; }
  void SetPageLevelMax(int v);
  int16_t ReplyLevel() const { return TheSettings().ReplyLevel; }
  void SetReplyLevel(int v);

  // Virtual directories end in "/" and are stored escaped (EscapePath); the
  // physical ones are derived through Server.MapPath and end in "/".
  std::string vBookDir() const { return TheSettings().vBookDir; }
  void SetvBookDir(const std::string& v);
  std::string vScriptDir() const { return TheSettings().vScriptDir; }
  void SetvScriptDir(const std::string& v);
  // A value containing ":" (an address with a scheme) keeps pImageDir.
  std::string vImageDir() const { return TheSettings().vImageDir; }
  void SetvImageDir(const std::string& v);
  // Stored as value & DSNName & "/": set it after Init. Also sets the
  // upload staging directories unless the value contains ":".
  std::string vMediaDir() const { return TheSettings().vMediaDir; }
  void SetvMediaDir(const std::string& v);
  std::string pBookDir() const { return TheSettings().pBookDir; }
  std::string pScriptDir() const { return TheSettings().pScriptDir; }
  std::string pMediaDir() const { return TheSettings().pMediaDir; }
  std::string pImageDir() const { return TheSettings().pImageDir; }

  bool ShowMark() const { return TheSettings().ShowMark; }
  void SetShowMark(bool v) { TheSettings().ShowMark = v; }
  int16_t UploadMaxK() const;
  void SetUploadMaxK(int v);
  std::string Indent() const { return TheSettings().Indent; }
  void SetIndent(const std::string& v) { TheSettings().Indent = v; }

  bool CheckDuplicateTitle() const { return TheSettings().CheckDuplicateTitle; }
  void SetCheckDuplicateTitle(bool v) { TheSettings().CheckDuplicateTitle = v; }
  bool NoDuplicateTitle() const { return TheSettings().NoDuplicateTitle; }
  void SetNoDuplicateTitle(bool v) { TheSettings().NoDuplicateTitle = v; }
  bool NoEmptyTitle() const { return TheSettings().NoEmptyTitle; }
  void SetNoEmptyTitle(bool v) { TheSettings().NoEmptyTitle = v; }

  int16_t AnonymousAccessLevel() const { return Identity().AnonymousAccessLevel; }
  void SetAnonymousAccessLevel(int v);

  std::string ParentFrameFile() const { return TheSettings().ParentFrameFile; }
  void SetParentFrameFile(const std::string& v) { TheSettings().ParentFrameFile = v; }
  std::string TargetFrame() const { return TheSettings().TargetFrame; }
  void SetTargetFrame(const std::string& v) { TheSettings().TargetFrame = v; }
  std::string TargetFile() const { return TheSettings().TargetFile; }
  void SetTargetFile(const std::string& v) { TheSettings().TargetFile = v; }
  std::string TargetFileParam() const { return TheSettings().TargetFileParam; }
  void SetTargetFileParam(const std::string& v) { TheSettings().TargetFileParam = v; }

  std::string FormatReadAll_e() const { return TheSettings().FormatReadAll_e; }
  void SetFormatReadAll_e(const std::string& v) { TheSettings().FormatReadAll_e = v; }
  std::string FormatReadAll_n() const { return TheSettings().FormatReadAll_n; }
  void SetFormatReadAll_n(const std::string& v) { TheSettings().FormatReadAll_n = v; }
  std::string FormatRead_e() const { return TheSettings().FormatRead_e; }
  void SetFormatRead_e(const std::string& v) { TheSettings().FormatRead_e = v; }
  std::string FormatRead_n() const { return TheSettings().FormatRead_n; }
  void SetFormatRead_n(const std::string& v) { TheSettings().FormatRead_n = v; }
  std::string FormatEdit() const { return TheSettings().FormatEdit; }
  void SetFormatEdit(const std::string& v) { TheSettings().FormatEdit = v; }
  std::string FormatAuth() const { return TheSettings().FormatAuth; }
  void SetFormatAuth(const std::string& v) { TheSettings().FormatAuth = v; }
  std::string FormatProperty() const { return TheSettings().FormatProperty; }
  void SetFormatProperty(const std::string& v) { TheSettings().FormatProperty = v; }

  std::string GlossaryBook() const { return TheSettings().GlossaryBook; }
  void SetGlossaryBook(const std::string& v) { TheSettings().GlossaryBook = v; }

  // Identity (session/identity.h). Login, Logout and hasLogin call the shared
  // AspProc (HostError before Init). intLanguage 1 means FirstLanguage,
  // anything else SecondLanguage.
  void Login(bool SubmitOnly = false);
  void Logout();
  bool hasLogin();
  std::string GetUserID();
  std::string GetMajorGroupID();
  std::string GetMinorGroupIDs();
  // The session's full name of the logged-in user ("" when anonymous).
  std::string GetUserName(int intLanguage = 1);
  std::string UserID2UserName(const std::string& strUserID, int intLanguage = 1);
  std::string EncodePassword(const std::string& PWord);

  // Diagnostics: a heading, then "<br>" key " = [" value "]" for every key
  // of one request collection in the host's order, keys and values
  // HTML-encoded (diagnostics.cc).
  void ListServerVariables();
  void ListQueryString();
  void ListFormVariables();

 private:
  void TakeHostObjects();
};

// "%" "%25", " " "%20", "#" "%23", "&" "%26", "+" "%2B", in that order.
std::string EscapePath(const std::string& path);
// Reverses EscapePath: "%20", "%23", "%26", "%2B", then "%25".
std::string UnescapePath(const std::string& path);

// value as a 16-bit integer, or std::out_of_range naming the setting.
int16_t CheckInt16(int64_t value, const char* setting);

}  // namespace qv
