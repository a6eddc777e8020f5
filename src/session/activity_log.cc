// AspProc::dbLog: one row of the activity log per recorded action.

#include <stdexcept>
#include <string>
#include <string_view>

#include "core/convert.h"
#include "core/encode.h"
#include "data/aspproc.h"
#include "data/queued_writes.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/current_page.h"
#include "session/identity.h"
#include "session/login_throttle.h"

namespace qv {

namespace {

// Whether the LogLevel setting records the action. A login refused by the
// throttle is recorded wherever logins are.
bool LevelRecords(const std::string& log_level, int action) {
  const std::optional<double> parsed = ParseNumber(log_level);
  const int64_t level = parsed ? static_cast<int64_t>(*parsed) : 4;
  const bool login = action <= 1 || action == kLogLoginThrottled;
  switch (level) {
    case 0:
      return false;
    case 1:
      return login;
    case 2:
      return login || action == 2;
    case 3:
      return action != 2;
    default:
      return true;
  }
}

// Longest text the log keeps of a posted form or a query string, so that
// large posts cannot fill the disk through the log. A longer text is cut on
// a character boundary and ends in kCutMark, the whole within the limit.
constexpr size_t kMaxLoggedText = 4096;
// Longest script path and client address kept (their field sizes).
constexpr size_t kMaxLoggedPage = 255;
constexpr size_t kMaxLoggedAddress = 50;
constexpr std::string_view kCutMark = "\xE2\x80\xA6[cut]";  // "…[cut]"

// text when it fits in max bytes; else its head, cut before a character
// boundary, followed by kCutMark.
std::string Capped(std::string text, size_t max) {
  if (text.size() <= max) return text;
  size_t end = max - kCutMark.size();
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  text += kCutMark;
  return text;
}

// The posted form as "name=value&..." (URL-encoded), capped. Fields whose
// names mention a password keep their name but not their value. Raises
// HostError when the body was already read raw (an upload).
std::string FormText(Request& request) {
  std::string text;
  for (const std::string& name : request.FormKeys()) {
    if (text.size() > kMaxLoggedText) break;
    const bool secret = ToLower(name).find("password") != std::string::npos;
    // Encoding never shortens a text, so no more of a value can show.
    const std::string value = secret ? "***" : request.Form(name).substr(0, kMaxLoggedText);
    if (!text.empty()) text += "&";
    text += UrlEncode(name.substr(0, kMaxLoggedText)) + "=" + UrlEncode(value);
  }
  return Capped(std::move(text), kMaxLoggedText);
}

// Session clock: the days since the previous logged action (since login for
// a logout), or Null on the first logged action, which starts the clock.
// Only a logged-in visitor's clock starts: storing it for anonymous views
// would create a server-side session per cookie-less request.
Variant ElapsedAndAdvance(int action) {
  Session& session = TheSession();
  const std::string auth_time = SessionKey("AuthTime");
  const Variant last = session.Value(auth_time);
  if (NullToStr(last).empty()) {
    if (NullToStr(session.Value(SessionKey("AuthUserID"))).empty()) return Null;
    session.SetValue(auth_time, Now());
    session.SetValue(SessionKey("AuthLogTime"), Now());
    return Null;
  }
  const Variant since = action == 0 ? session.Value(SessionKey("AuthLogTime")) : last;
  const Variant elapsed = Now().serial - ToDate(since).serial;
  session.SetValue(auth_time, Now());
  return elapsed;
}

// Fields set after the row may no longer be stored: any failure from here
// on drops the row (dbLog catches). Values are taken now, the date too,
// whenever the row reaches the table.
void FinishRow(RowWrite& row, int action) {
  Request& request = TheRequest();
  const std::string form = FormText(request);
  if (!form.empty() && action != 1) row.values.emplace_back("dbFormString", form);
  const Variant elapsed = ElapsedAndAdvance(action);
  if (!elapsed.IsNull()) row.values.emplace_back("dbTime", elapsed);
  row.values.emplace_back("dbUserID", CurrentUserID());
  row.values.emplace_back("dbIP",
                          Capped(request.ServerVariables("REMOTE_ADDR"), kMaxLoggedAddress));
  row.values.emplace_back("dbDate", Now());
}

// Inside a request transaction the row belongs to the transaction's writes:
// written with them on their connection, gone when they are rolled back, and
// a log table that cannot be opened fails the transaction.
void WriteInTransaction(const RowWrite& row) {
  std::shared_ptr<Connection> conn = OpenOwnConnection();
  Recordset rs;
  rs.Open("SELECT * FROM qvAuthLog Where id=0", conn, adOpenKeyset, adLockBatchOptimistic);
  rs.AddNew();
  try {
    for (const auto& [field, value] : row.values) rs.SetValue(field, value);
    rs.UpdateBatch();
  } catch (const std::exception&) {
    // Dropped, as a row that cannot be completed.
  }
  try {
    rs.Close();
    conn->Close();
  } catch (const std::exception&) {
  }
}

}  // namespace

void AspProc::dbLog(int qvAction) {
  if (qvAction < 0 || qvAction > 255) {
    throw std::out_of_range("Overflow: log action " + std::to_string(qvAction));
  }
  const Settings& s = TheSettings();
  const PageRecord& page = ThePage();
  if (!LevelRecords(s.LogLevel, qvAction)) return;
  RowWrite row;
  if (!s.TableName.empty()) row.values.emplace_back("dbTableName", s.TableName);
  row.values.emplace_back("dbRecordID", page.ID);
  row.values.emplace_back("dbAction", qvAction);
  Request& request = TheRequest();
  row.values.emplace_back("dbPageName",
                          Capped(request.ServerVariables("SCRIPT_NAME"), kMaxLoggedPage));
  const std::string query = Capped(request.QueryStringAll(), kMaxLoggedText);
  if (!query.empty()) row.values.emplace_back("dbQueryString", query);
  try {
    FinishRow(row, qvAction);
  } catch (const std::exception&) {
    return;  // dropped: the row cannot be completed (see the header)
  }
  if (Tables().transaction) {
    WriteInTransaction(row);
  } else {
    // Written behind the request by the source's log writer.
    QueueRowWrite({s.DSNName, s.DSNUserID, s.DSNPassword}, "qvAuthLog", std::move(row));
  }
}

}  // namespace qv
