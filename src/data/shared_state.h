// SharedState: the module-level variables every class of the component shares.
//
// One copy per thread (thread_local): a request runs on one thread from
// SysVar.Init to its last call, and objects used on the same thread see the
// same copy. Nothing here is locked. SysVar.Init resets the copy to the
// defaults below, keeping only MaintenanceMsg, ODBCErrorMsg, FromEmail and
// strSeparator, so nothing of an earlier request on the thread survives it.
//
// Members carry the names page scripts and every module use. 16-bit settings
// are int16_t; LogLevel and UploadMaxK are kept as decimal text. Later
// modules add the variables they own to the marked sections.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/variant.h"
#include "data/connection.h"
#include "data/message_cache.h"
#include "data/recordset.h"
#include "host/host_objects.h"

namespace qv {

class AspProc;

struct SharedState {
  // Host context ---------------------------------------------------------
  HostObjects host;         // Request, Response, Session, Server of this request
  bool objContext = false;  // the host objects came from the thread's context

  // Table access ---------------------------------------------------------
  std::shared_ptr<AspProc> objAspProc;
  std::shared_ptr<Connection> objConn;  // of the last dbOpen; null is Nothing
  std::shared_ptr<Recordset> objRS;     // of the last dbOpen; null is Nothing

  // Diagnostics, errors and messages --------------------------------------
  bool IsDebug = false;
  bool blnShowError = true;
  std::string strErrorMsg;  // reported keys joined by ", "
  MessageCache arySystemMsg;

  // Settings -------------------------------------------------------------
  std::string LogLevel = "4";  // decimal text
  std::string TableName;       // always lower case
  Variant ID = "0";
  std::string FirstLanguage = "e";
  std::string SecondLanguage;
  std::string strOtherLanguage;
  bool LANLoginOnly = false;
  std::string AuthSiteID = "1";
  int16_t SessionTime = 180;
  std::string DSNName, DSNUserID, DSNPassword;
  std::string BookAuthorization;
  std::string ThisURL, ThisURLFull;
  int16_t PageLevelMin = 1, PageLevelMax = 3, ReplyLevel = 2;
  std::string vBookDir, vScriptDir, vMediaDir, vImageDir;
  std::string pBookDir, pScriptDir, pMediaDir, pImageDir;
  std::string vUploadTmpDir, pUploadTmpDir;
  bool ShowMark = true;
  std::string UploadMaxK = "1024";  // decimal text
  std::string Indent = "&nbsp;";
  int16_t DefaultTextAreaWidth = 45;
  bool CheckDuplicateTitle = false, NoDuplicateTitle = false, NoEmptyTitle = false;
  std::string strLinkedFields;
  bool SkipLinkForm = false;
  bool IsDisplayOnly = false;
  std::string strHelpCode;
  int16_t AnonymousAccessLevel = 50;
  std::string ParentFrameFile, TargetFrame, TargetFile, TargetFileParam;
  std::string FormatReadAll_e, FormatReadAll_n, FormatRead_e, FormatRead_n;
  std::string FormatEdit, FormatAuth, FormatProperty;
  std::string GlossaryBook;

  // Kept across Init --------------------------------------------------------
  std::string MaintenanceMsg;
  std::string ODBCErrorMsg;
  std::string FromEmail;
  std::string strSeparator = std::string(1, '\x1b');

  // Current book and page ----------------------------------------------------
  std::string strDefaultID;
  int32_t lngPageParentID = 0;
  int16_t intPageChildren = 0;
  int16_t intPageLevel = 0;
  int32_t lBookID = 0;
  int16_t intPageOrder = 0;
  int16_t intPageType = 0;
  std::string strPageOwnerID;
  int16_t intPageGroup = 0;
  int32_t lngOpenParentID = 0, lngOpenID = 0;
  std::string strBookOwnerID, strBookCode;
  Variant varBookTitle, varBookDescription, varBookRemark;
  bool blnShowContents = true;
  bool blnShowBody = true;
  bool blnPageDeleted = false;
  bool blnConfirmScriptShown = false;
  std::string strPendingMsg;
  std::string strNewTitle;

  // Administration, glossary, upload ------------------------------------------
  std::string strEditUserID;
  std::string strEditBookID;
  Variant aryGlossaryLinkIDs;
  Variant UploadTable;
};

// This thread's copy.
SharedState& State();

// The host objects of the current request. Each throws HostError when
// SysVar.Init has not taken them (or the host gave none).
Request& TheRequest();
Response& TheResponse();
Session& TheSession();
Server& TheServer();

// TheResponse().Write(text).
void ResponseWrite(std::string_view text);

}  // namespace qv
