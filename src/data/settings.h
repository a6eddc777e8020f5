// Settings: the site's settings of the current request, SysVar's properties.
//
// A part of the request's state (host/context.h). SysVar (session/sysvar.h)
// writes them, the page script through it; the book module, as it opens a
// page and its book, sets TableName, the title checks, BookAuthorization
// and, from the book's registry row, the formats, the level limits and the
// glossary books. Every module from table access up reads them. 16-bit
// settings are int16_t; LogLevel and UploadMaxK are kept as decimal text.
// Members carry the names page scripts use.
#pragma once

#include <cstdint>
#include <string>

#include "host/context.h"

namespace qv {

struct Settings {
  std::string LogLevel = "4";  // decimal text
  std::string TableName;       // always lower case
  std::string FirstLanguage = "e";
  std::string SecondLanguage;
  std::string strOtherLanguage;
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
  bool IsDebug = false;
  std::string ParentFrameFile, TargetFrame, TargetFile, TargetFileParam;
  std::string FormatReadAll_e, FormatReadAll_n, FormatRead_e, FormatRead_n;
  std::string FormatEdit, FormatAuth, FormatProperty;
  std::string GlossaryBook;
};

// This request's settings (reset by SysVar.Init).
inline Settings& TheSettings() { return RequestPart<Settings>(); }

// The settings SysVar.Init keeps: MaintenanceMsg and ODBCErrorMsg act during
// Init, FromEmail and strSeparator are left to the page. They live as long
// as the thread.
struct KeptSettings {
  std::string MaintenanceMsg;
  std::string ODBCErrorMsg;
  std::string FromEmail;
  std::string strSeparator = std::string(1, '\x1b');
};
inline KeptSettings& Kept() {
  thread_local KeptSettings kept;
  return kept;
}

}  // namespace qv
