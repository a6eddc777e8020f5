// AspProc login members: form and network login, logout, the login form.

#include <memory>
#include <string>

#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/identity.h"
#include "session/login_throttle.h"
#include "session/messages.h"

namespace qv {

namespace {

constexpr std::string_view kAuthorized = "Authorized";
constexpr std::string_view kPostingAgent = "Microsoft Posting Acceptor";
constexpr std::string_view kValidAccount = " and (dbExpiredDate>Now() or dbExpiredDate=null)";

// The eight login keys, in the order they are written and cleared.
constexpr std::string_view kLoginKeys[] = {
    "Authorized",     "AuthUserID",     "AuthMajorGroupID", "AuthMinorGroupIDs",
    "AuthFullName_n", "AuthFullName_e", "AuthLogTime",      "AuthTime",
};

bool IsAuthorized() {
  return NullToStr(TheSession().Value(SessionKey("Authorized"))) == kAuthorized;
}

void SetKey(std::string_view name, Variant value) {
  TheSession().SetValue(SessionKey(name), std::move(value));
}

// Stores the current row of rs as the session's login, renews the session
// id (a login must not keep an id that was known before it) and logs it.
void StartLogin(const Recordset& rs, AspProc& proc) {
  TheSession().RenewId();
  SetKey("Authorized", std::string(kAuthorized));
  SetKey("AuthUserID", NullToStr(rs.Value("dbUserID")));
  SetKey("AuthMajorGroupID", NullToStr(rs.Value("dbMajorGroup")));
  SetKey("AuthMinorGroupIDs", NullToStr(rs.Value("dbMinorGroups")));
  SetKey("AuthFullName_n", NullToStr(rs.Value("dbFullName_n")));
  SetKey("AuthFullName_e", NullToStr(rs.Value("dbFullName_e")));
  SetKey("AuthLogTime", Now());
  SetKey("AuthTime", Now());
  TheSession().SetTimeout(Identity().SessionTime);
  proc.dbLog(1);
}

std::string FormLoginSql(const std::string& user_id, const std::string& encoded) {
  std::string sql = "SELECT * FROM qvAuthUser where dbUserID = " + SqlText(user_id);
  sql += encoded.empty() ? " and dbPassword=Null" : " and dbPassword = " + SqlText(encoded);
  return sql + std::string(kValidAccount) + " and dbPasswordType>=0";
}

// The network name without its domain: the text after the first "\".
std::string StripDomain(const std::string& auth_user) {
  const size_t slash = auth_user.find('\\');
  return slash == std::string::npos ? auth_user : auth_user.substr(slash + 1);
}

// Runs sql on a connection of its own, closing both objects on every path.
class OwnQuery {
 public:
  explicit OwnQuery(const std::string& sql) : conn_(OpenOwnConnection()) { rs_.Open(sql, conn_); }
  ~OwnQuery() {
    try {
      rs_.Close();
      conn_->Close();
    } catch (const std::exception&) {
    }
  }
  OwnQuery(const OwnQuery&) = delete;
  OwnQuery& operator=(const OwnQuery&) = delete;
  Recordset& rs() { return rs_; }

 private:
  std::shared_ptr<Connection> conn_;
  Recordset rs_;
};

}  // namespace

void AspProc::dbLogin(bool SubmitOnly) {
  if (IsAuthorized()) return;
  Request& request = TheRequest();
  if (request.ServerVariables("HTTP_USER_AGENT") == kPostingAgent) return;
  const std::string auth_user = request.ServerVariables("AUTH_USER");
  if (Identity().LANLoginOnly && auth_user.empty()) {
    TheResponse().SetStatus("401 Unauthorized");
    TheResponse().End();
  }
  if (IsPostRequest() && request.Form("qvTomeLogin") == "true" && !FormLogin()) {
    return LoginFailed("LoginFails", SubmitOnly);
  }
  if (!IsAuthorized() && !auth_user.empty() && !NetworkLogin(auth_user)) {
    return LoginFailed("LoginLANFails", SubmitOnly);
  }
  if (!IsAuthorized() && !SubmitOnly) WriteLoginForm();
}

// The database compares text without regard to case, so a row is taken only
// when its user id and encoded password match exactly; a row skipped here
// is not a failure (the form comes back without a message), though the
// throttle counts it as one. An attempt the throttle refuses fails like a
// wrong password, so the answer tells nothing about the account.
bool AspProc::FormLogin() {
  Request& request = TheRequest();
  const std::string user_id = request.Form("qvTomeUserID");
  if (form_checked_request_ != &request || form_checked_user_ != user_id) {
    form_check_result_ = CheckFormLogin(user_id);
    form_checked_request_ = &request;
    form_checked_user_ = user_id;
  }
  return form_check_result_;
}

bool AspProc::CheckFormLogin(const std::string& user_id) {
  Request& request = TheRequest();
  const std::string address = request.ServerVariables("REMOTE_ADDR");
  LoginThrottle& throttle = SharedLoginThrottle();
  if (!throttle.Admit(user_id, address)) {
    dbLog(kLogLoginThrottled);
    return false;
  }
  const std::string encoded = EncodePassword(request.Form("qvTomePassword"));
  OwnQuery query(FormLoginSql(user_id, encoded));
  Recordset& rs = query.rs();
  if (rs.RecordCount() == 0) return false;
  while (!rs.EOF_()) {
    const bool exact = NullToStr(rs.Value("dbUserID")) == user_id &&
                       (encoded.empty() || NullToStr(rs.Value("dbPassword")) == encoded);
    if (exact) {
      throttle.Succeeded(user_id, address);
      StartLogin(rs, *this);
      break;
    }
    rs.MoveNext();
  }
  return true;
}

bool AspProc::NetworkLogin(const std::string& auth_user) {
  OwnQuery query("SELECT * FROM qvAuthUser where dbLANUserID = " + SqlText(StripDomain(auth_user)) +
                 std::string(kValidAccount) + " and dbPasswordType>=-1");
  if (query.rs().EOF_()) return false;
  StartLogin(query.rs(), *this);
  return true;
}

void AspProc::LoginFailed(const std::string& key, bool SubmitOnly) {
  strLoginMsg = GetMsg(key, 1);
  if (!SubmitOnly) WriteLoginForm();
}

void AspProc::WriteLoginForm() {
  const IdentitySettings& identity = Identity();
  const Settings& s = TheSettings();
  if (identity.LANLoginOnly) return;
  ResponseWrite("<form action=\"" + HtmlEncode(s.ThisURLFull) +
                "\" method=\"POST\" name=\"qvTomeLoginForm\">");
  ResponseWrite(strLoginMsg.empty() ? GetMsg("LoginMsg", 1) : strLoginMsg);
  ResponseWrite("<input type=\"hidden\" name=\"qvTomeLogin\" value=\"true\">");
  ResponseWrite(GetMsg("LoginUserID", 1) +
                " <input type=\"text\" size=\"10\" name=\"qvTomeUserID\" length=\"10\" "
                "maxlength=\"20\" value=\"" +
                HtmlEncode(TheRequest().Item("qvTomeUserID")) + "\">");
  ResponseWrite("<br>" + GetMsg("LoginPassword", 1) +
                " <input type=\"password\" size=\"10\" name=\"qvTomePassword\" "
                "maxlength=\"16\"><br>");
  ResponseWrite("<br><input type=\"submit\" name=\"Submitlogin\" value=\"" +
                GetMsg("LoginSubmitButton", 1) + "\">");
  ResponseWrite(" <input type=\"button\" name=\"Cancel\" value=\"" +
                GetMsg("LoginCancelButton", 1) + "\" onclick=\"history.back()\">");
  ResponseWrite("</form>");
}

// The session id is renewed too: one a login used is not carried on.
void AspProc::dbLogOut() {
  dbLog(0);
  for (std::string_view key : kLoginKeys) SetKey(key, "");
  TheSession().RenewId();
}

// The posting agent is named by a header any client can send, so it does
// not count as a login here.
bool AspProc::hasLogin() { return IsAuthorized(); }

}  // namespace qv
