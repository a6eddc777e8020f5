// System messages and the per-request error list.
//
// Every text the system shows is a row of the message table (qvSystemMsg):
// a key (dbName) and one text per language (dbMsg_e, dbMsg_n). The start-up
// step of SysVar.Init loads the whole table into Messages().arySystemMsg;
// GetMsg answers from that cache and, for a key the table lacks, adds a
// placeholder row so the administrator finds every key in use. ReportError
// records error keys in Messages().strErrorMsg and writes their text.
//
// All functions work on the current request's state; those that write
// need the host objects taken by SysVar.Init.
#pragma once

#include <string>

#include "host/context.h"
#include "session/message_cache.h"

namespace qv {

// The messages-and-errors part of the request's state (host/context.h).
// This module writes it.
struct MessageState {
  bool blnShowError = true;
  std::string strErrorMsg;  // reported keys joined by ", "
  MessageCache arySystemMsg;
};
inline MessageState& Messages() { return RequestPart<MessageState>(); }

// The start-up step: writes the banner line, loads the cache from
// "qvSystemMsg" & system_msg_table through objAspProc->dbOpen (a data source
// that cannot be opened ends the response there), reports "errorODBC" when
// the version message "qvTome" is missing or below 1.1, and writes
// MaintenanceMsg. A message table that cannot be read leaves the cache empty.
void RunStartup(const std::string& system_msg_table);

// The banner line written first by RunStartup, without its CR LF pair.
std::string BannerLine();

// Text of a message. language 1: name & "_" & FirstLanguage; 2: the second
// language (the first language marked "(2)" when the second has no texts of
// its own); anything else: name already carries its suffix. Keys compare
// without regard to case. Returns "" when nothing is loaded; for a key not in
// the cache, inserts a placeholder row into qvSystemMsg (failures ignored)
// and returns the lower-case key itself.
std::string GetMsg(const std::string& name, int language);

// Changes the cache only (never the table). is_update: replaces the text of
// the first column with the key, or appends one; otherwise appends.
void SetMsg(const std::string& name, const std::string& text, bool is_update);

// Appends key to strErrorMsg (joined by ", "); when show and blnShowError,
// writes GetMsg(key, 1).
void ReportError(const std::string& key, bool show);

}  // namespace qv
