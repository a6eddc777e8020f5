// Users and groups: the group and user lists for administrators, and the
// user form with its save, for administrators and for each user himself.
//
// Who may write what is decided here, not by the posted field list: a save
// writes only the fields the form showed to this caller (and that the form
// posted back), so a user cannot reach his groups, login type, network
// name, expiry or remark by adding them to qvFLD_List, and nobody renames
// an existing account (its id is shown, not edited: books and pages name
// their owners by it). Writes act on posted forms only; the delete is
// posted by its confirmation script.
#include <string>
#include <vector>

#include "book/book.h"
#include "book/book_internal.h"
#include "book/book_state.h"
#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/field_array.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/account_rules.h"
#include "session/identity.h"
#include "session/login_throttle.h"
#include "session/messages.h"

namespace qv {
namespace {

using book::IsSystemAdmin;
using book::PostedValue;
using book::RequestValue;

constexpr int kLogUserSaved = 13;

// A text inside a double-quoted JavaScript string in a <script> block.
std::string JsString(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\' || c == '\'' || c == '<' || c == '>' || c == '&' || u < 0x20) {
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 0xF];
    } else {
      out += c;
    }
  }
  // U+2028 and U+2029 end a line in older script engines.
  out = ReplaceAll(out, "\xE2\x80\xA8", "\\u2028");
  return ReplaceAll(out, "\xE2\x80\xA9", "\\u2029");
}

std::string UserClause(const std::string& user_id) { return "Where dbUserID=" + SqlText(user_id); }

// The field suffixes of the languages in use: the first, and the second
// when one is set.
std::vector<std::string> Languages() {
  const Settings& s = TheSettings();
  std::vector<std::string> langs{std::string(CheckIdentifier(s.FirstLanguage))};
  if (!s.SecondLanguage.empty()) langs.emplace_back(CheckIdentifier(s.SecondLanguage));
  return langs;
}

// The record fields of the user form for this caller, in form order. What
// the form shows is what a save of it may write.
std::vector<std::string> FormFields(bool admin, bool adding) {
  std::vector<std::string> fields;
  if (adding) fields.emplace_back("dbUserID");
  for (const char* stem : {"dbPositionTitle_", "dbFullName_"}) {
    for (const std::string& lang : Languages()) fields.push_back(stem + lang);
  }
  if (admin) {
    for (const char* name :
         {"dbMajorGroup", "dbMinorGroups", "dbPasswordType", "dbLANUserID", "dbExpiredDate"}) {
      fields.emplace_back(name);
    }
  }
  for (const char* name : {"dbeMail", "dbTel", "dbFax", "dbCountry", "dbZipCode"}) {
    fields.emplace_back(name);
  }
  std::vector<const char*> areas{"dbAddress_", "dbDescription_"};
  if (admin) areas.push_back("dbRemark_");
  for (const char* stem : areas) {
    for (const std::string& lang : Languages()) fields.push_back(stem + lang);
  }
  return fields;
}

// The names of the posted qvFLD_List, trimmed.
std::vector<std::string> PostedFieldList() {
  std::vector<std::string> names;
  for (const std::string& name : SplitList(PostedValue("qvFLD_List"))) {
    if (!Trim(name).empty()) names.push_back(Trim(name));
  }
  return names;
}

bool Contains(const std::vector<std::string>& names, std::string_view name) {
  for (const std::string& n : names) {
    if (EqualsNoCase(n, name)) return true;
  }
  return false;
}

// The group choices of qvAuthGroup: (0, i) the name, HTML-encoded, (1, i)
// the group id.
Variant GroupChoices(const std::string& where) {
  const std::string lang(CheckIdentifier(TheSettings().FirstLanguage));
  Variant rows = SharedAspProc().dbGetTable("qvAuthGroup", "dbName_" + lang + ",dbGroupID", where);
  if (!rows.IsArray()) return rows;
  Array& choices = *rows.AsArray();
  for (size_t i = 0; i < choices.Size(2); ++i) {
    Variant& name = choices.at(0, i);
    const std::string id = NullToStr(choices.at(1, i));
    name = HtmlEncode(NullToStr(name).empty() ? id : NullToStr(name));
  }
  return rows;
}

// The main group a new user's form starts with: the group whose users
// the administrator came from, else the last choice (the lowest id), so
// that no account becomes an administrator by a default.
Variant NewUserGroup(const Variant& choices) {
  if (!choices.IsArray() || choices.AsArray()->Size(2) == 0) return Variant();
  const Array& array = *choices.AsArray();
  const std::string from = RequestValue("GroupID");
  for (size_t i = 0; i < array.Size(2); ++i) {
    if (!from.empty() && NullToStr(array.at(1, i)) == from) return from;
  }
  return array.at(1, array.Size(2) - 1);
}

void WriteLabel(const std::string& stem, int language) {
  ResponseWrite("<br>" + GetMsg(stem, language) + "<br>");
}

// Label and text box, or text area, for the field stem in each language.
void WriteLanguageFields(const std::string& stem, bool area) {
  AspProc& ap = SharedAspProc();
  const std::vector<std::string> langs = Languages();
  for (size_t i = 0; i < langs.size(); ++i) {
    WriteLabel(stem, static_cast<int>(i) + 1);
    const std::string name = stem + "_" + langs[i];
    if (area) {
      ap.dbLinkTextArea(name);
    } else {
      ap.dbLinkTextBox(name);
    }
  }
}

void WritePasswordBox(const std::string& name) {
  AspProc& ap = SharedAspProc();
  WriteLabel(name, 1);
  ap.SetSkipLinkForm(true);
  ap.dbLinkTextPassword(name, 20);
  ap.SetSkipLinkForm(false);
}

// The delete posts the form to this page with qvAction=delete.
void WriteDeleteScript() {
  const std::string url = TheSettings().ThisURLFull + "&qvAction=delete";
  ResponseWrite("<script language=\"JavaScript\"><!--\r\n");
  ResponseWrite("function qvMenuConfirm()\r\n");
  ResponseWrite("{\r\n");
  ResponseWrite("    if(confirm(\"" + JsString(GetMsg("msgDeleteUserConfirm", 1)) +
                "\")==true) { var f=document.forms[\"qvUserForm\"]; f.action=\"" + JsString(url) +
                "\"; f.submit(); }\r\n");
  ResponseWrite("}\r\n");
  ResponseWrite("// --></script>\r\n");
}

void WriteUserForm(const std::string& user_id) {
  const bool admin = IsSystemAdmin();
  if (CurrentUserID() == "anonymous" || (!admin && user_id != CurrentUserID())) {
    ReportError("ErrorAuthNoRead", true);
    return;
  }
  ResponseWrite(Kept().MaintenanceMsg);
  AspProc& ap = SharedAspProc();
  const bool adding = user_id == "-1";
  Variant password_type;
  if (adding) {
    ap.dbClose();  // the controls of a new user show no other row's values
  } else {
    ap.dbOpen("qvAuthUser", "*", UserClause(user_id));
    if (ap.dbRSEOF()) {
      ReportError("ErrorUserIDNotFound", true);
      return;
    }
    password_type = ap.RecordSet()->Value("dbPasswordType");
  }
  const Settings& s = TheSettings();
  const std::string action =
      s.ThisURL + "?id=" + UrlEncode(user_id) + "&GroupID=" + UrlEncode(RequestValue("GroupID"));
  ResponseWrite("<form method=\"POST\" name=\"qvUserForm\" action=\"" + HtmlEncode(action) + "\">");
  if (adding) {
    WriteLabel("dbUserID", 1);
    ap.dbLinkTextBox("dbUserID", 20);
  } else {
    ResponseWrite("<br>" + GetMsg("dbUserID", 1) + ": " + HtmlEncode(user_id));
  }
  WriteLanguageFields("dbPositionTitle", false);
  WriteLanguageFields("dbFullName", false);
  if (admin) {
    WriteLabel("dbMajorGroup", 1);
    const Variant majors = GroupChoices("where dbMajorOnly=true order by dbGroupID desc");
    ap.dbLinkDropDown("dbMajorGroup", majors, 1, false, adding ? NewUserGroup(majors) : Variant());
    WriteLabel("dbMinorGroups", 1);
    ap.dbLinkDropDown("dbMinorGroups", GroupChoices("order by dbGroupID"), 5, true);
    WriteLabel("dbPasswordType", 1);
    ap.dbLinkDropDownData("qvCodeDefList", "dbPasswordType", "dbPasswordType", 1);
    WriteLabel("dbLANUserID", 1);
    ap.dbLinkTextBox("dbLANUserID", 20);
    WriteLabel("dbExpiredDate", 1);
    ap.dbLinkTextBox("dbExpiredDate", 20);
  } else {
    WritePasswordBox("dbPasswordOld");
  }
  if (admin || NullToStr(password_type) != "1") {
    WritePasswordBox("dbPassword1");
    WritePasswordBox("dbPassword2");
  }
  WriteLabel("dbeMail", 1);
  ap.dbLinkTextBox("dbeMail");
  for (const char* name : {"dbTel", "dbFax"}) {
    WriteLabel(name, 1);
    ap.dbLinkTextBox(name);
  }
  WriteLabel("dbCountry", 1);
  ap.dbLinkDropDownData("qvCodeDefList", "dbCountry", "dbCountry", 1);
  WriteLabel("dbZipCode", 1);
  ap.dbLinkTextBox("dbZipCode", 10);
  WriteLanguageFields("dbAddress", true);
  WriteLanguageFields("dbDescription", true);
  if (admin) WriteLanguageFields("dbRemark", true);

  ResponseWrite("<center><br>");
  ResponseWrite("<input type=\"submit\" value=\"" + GetMsg("ButtonSubmit", 1) +
                "\" name=\"submituser\"> ");
  // Nobody deletes his own account: it may be the site's last administrator.
  const bool can_delete = admin && !adding && !EqualsNoCase(user_id, CurrentUserID());
  if (can_delete) {
    ResponseWrite("<input type=\"button\" value=\"" + GetMsg("ButtonDelete", 1) +
                  "\" name=\"deleteuser\" onclick=\"return qvMenuConfirm()\">");
  }
  ResponseWrite(" <input type=\"reset\" value=\"" + GetMsg("ButtonReset", 1) +
                "\" name=\"reset\">");
  ResponseWrite("</center>");
  ResponseWrite("</form>");
  if (can_delete) WriteDeleteScript();
}

bool ValidEmail(const std::string& email) {
  if (email.empty() || email.find('@') == std::string::npos) return false;
  for (char c : email) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u == 0x7F) return false;  // a blank, or a line break into a mail header
  }
  return true;
}

// The old password of a user changing his own record; the login throttle
// counts a wrong one as a failed login.
bool OldPasswordMatches(const Variant& stored) {
  const std::string account = CurrentUserID();
  const std::string address = TheRequest().ServerVariables("REMOTE_ADDR");
  LoginThrottle& throttle = SharedLoginThrottle();
  if (!throttle.Admit(account, address)) {
    SharedAspProc().dbLog(kLogLoginThrottled);
    return false;
  }
  if (EncodePassword(PostedValue("dbPasswordOld")) != NullToStr(stored)) return false;
  throttle.Succeeded(account, address);
  return true;
}

void DeleteUser() {
  const std::string user_id = RequestValue("id");
  if (!IsSystemAdmin() || EqualsNoCase(user_id, CurrentUserID())) {
    ReportError("ErrorAuthNoDelete", true);
    return;
  }
  AspProc& ap = SharedAspProc();
  if (!ap.dbGetTable("qvAuthUser", "dbUserID", UserClause(user_id)).IsArray()) {
    ReportError("ErrorUserIDNotFound", true);
    return;
  }
  ap.dbDeleteRecord("qvAuthUser", UserClause(user_id));
  ap.dbLog(kLogUserSaved);
  ResponseWrite("<br>" + GetMsg("msgUserDeleted", 1));
}

// The login keeps the user's names for the pages' login bar: a user who
// renamed himself sees his new name without logging in again.
void KeepLoginNames(const std::vector<std::string>& posted) {
  for (const char* lang : {"e", "n"}) {
    const std::string field = std::string("dbFullName_") + lang;
    if (Contains(posted, field)) {
      TheSession().SetValue(SessionKey(std::string("AuthFullName_") + lang), PostedValue(field));
    }
  }
}

void SaveUser(const std::string& user_id) {
  const bool admin = IsSystemAdmin();
  const bool adding = user_id == "-1";
  if (!admin && (adding || CurrentUserID() == "anonymous" || user_id != CurrentUserID())) {
    ReportError("ErrorAuthNoRead", true);
    return;
  }
  AspProc& ap = SharedAspProc();
  const std::vector<std::string> posted = PostedFieldList();
  bool fixed = false;
  if (adding) {
    const std::string new_id = PostedValue("dbUserID");
    if (ap.dbGetTable("qvAuthUser", "dbPasswordType", UserClause(new_id)).IsArray()) {
      ReportError("ErrorUserIDExist", true);
      if (Messages().blnShowError) ResponseWrite(HtmlEncode(new_id));
      return;
    }
    if (!ValidNewUserID(new_id)) {
      ReportError("ErrorUserIDInValid", true);
      return;
    }
  } else {
    if (!admin) {
      for (const char* name : {"dbMajorGroup", "dbMinorGroups", "dbPasswordType"}) {
        if (Contains(posted, name)) {
          ReportError("ErrorAuthNoRead", true);
          return;
        }
      }
    }
    const Variant row =
        ap.dbGetTable("qvAuthUser", "dbPasswordType,dbPassword", UserClause(user_id));
    if (!row.IsArray()) {
      ReportError("ErrorUserIDNotFound", true);
      return;
    }
    // The administrator sets the password of an account whose owner may not.
    fixed = !admin && NullToStr(row.AsArray()->at(0, 0)) == "1";
    if (!admin && !OldPasswordMatches(row.AsArray()->at(1, 0))) {
      ReportError("ErrorPasswordNotCorrect", true);
      return;
    }
  }
  if (!ValidEmail(PostedValue("dbeMail"))) {
    ReportError("ErroremailInvalid", true);
    return;
  }
  FieldArray fields;
  if (adding) fields.Add("dbUserID", PostedValue("dbUserID"));
  for (const std::string& name : FormFields(admin, adding)) {
    if (name != "dbUserID" && Contains(posted, name)) fields.Add(name, "");
  }
  const std::string password = PostedValue("dbPassword1");
  bool new_password = false;
  if (!fixed) {
    if (password != PostedValue("dbPassword2")) {
      ReportError("ErrorPasswordNotSame", true);
      return;
    }
    // A new account gets a password: one without would log in with an empty one.
    if (!password.empty() || adding) {
      if (!PasswordStorable(password)) {
        ReportError("ErrorPasswordInvalid", true);
        return;
      }
      fields.Add("dbPassword", EncodePassword(password));
      new_password = true;
    }
  }
  const size_t errors = Messages().strErrorMsg.size();
  try {
    ap.dbUpdate("qvAuthUser", adding ? "WHERE ID=-1" : UserClause(user_id), fields.ToArray(),
                /*blnAppendable=*/adding, /*blnUpdateFromForm=*/false);
  } catch (const TypeMismatch&) {
    ReportError("ErrorInvalidValue", true);  // a date the expiry field cannot take
    return;
  }
  if (Messages().strErrorMsg.size() != errors) return;  // changed by someone else meanwhile
  ap.dbLog(kLogUserSaved);
  if (adding) {
    ResponseWrite("<br>" + GetMsg("msgAppended", 1));
    return;
  }
  if (EqualsNoCase(user_id, CurrentUserID())) KeepLoginNames(posted);
  ResponseWrite("<br>" + GetMsg("msgUpdated", 1));
  if (!new_password) ResponseWrite("<br>" + GetMsg("msgPasswordNotUpdated", 1));
}

// The delete of this request: posted, with qvAction "delete".
bool DeletePosted() { return IsPostRequest() && EqualsNoCase(RequestValue("qvAction"), "delete"); }

}  // namespace

void Book::ListGroups(const std::string& strMark) {
  if (!IsSystemAdmin()) return;
  const Settings& s = TheSettings();
  const std::string base = s.TargetFile.empty() ? s.ThisURL : s.TargetFile;
  const std::string target = s.TargetFrame.empty() ? "_self" : s.TargetFrame;
  const std::string lang(CheckIdentifier(s.FirstLanguage));
  AspProc& ap = SharedAspProc();
  ap.dbOpen("qvAuthUserList", "DISTINCT dbGroupID, dbName_" + lang, "order by dbGroupID");
  std::shared_ptr<Recordset> rs = ap.RecordSet();
  for (; !rs->EOF_(); rs->MoveNext()) {
    const std::string id = NullToStr(rs->Value("dbGroupID"));
    if (id.empty()) continue;  // users whose main group is not registered
    ResponseWrite(strMark);
    ResponseWrite("<a href=\"" + HtmlEncode(base + "?GroupID=" + UrlEncode(id)) + "\" target=\"" +
                  HtmlEncode(target) + "\">");
    const std::string name = NullToStr(rs->Value("dbName_" + lang));
    ResponseWrite(HtmlEncode(name.empty() ? id : name));
    ResponseWrite("</a><br>");
  }
}

void Book::ListUsers(const std::string& strMark) {
  if (!IsSystemAdmin()) return;
  const Settings& s = TheSettings();
  const std::string group = RequestValue("GroupID");
  std::string where = group.empty() ? "" : "Where dbGroupID=" + SqlText(group);
  where += " order by dbMajorGroup, dbUserID";
  const std::string lang(CheckIdentifier(s.FirstLanguage));
  const std::string deleted = DeletePosted() ? RequestValue("id") : "";
  AspProc& ap = SharedAspProc();
  ap.dbOpen("qvAuthUserList", "*", where);
  std::shared_ptr<Recordset> rs = ap.RecordSet();
  for (; !rs->EOF_(); rs->MoveNext()) {
    const std::string id = NullToStr(rs->Value("dbUserID"));
    if (!deleted.empty() && id == deleted) continue;
    const std::string href = s.ThisURL + "?id=" + UrlEncode(id) +
                             "&GroupID=" + UrlEncode(NullToStr(rs->Value("dbGroupID")));
    ResponseWrite(strMark);
    ResponseWrite("<a href=\"" + HtmlEncode(href) + "\">");
    ResponseWrite(HtmlEncode(id));
    ResponseWrite("</a>");
    ResponseWrite(" [<b>");
    ResponseWrite(HtmlEncode(NullToStr(rs->Value("dbFullName_" + lang))));
    ResponseWrite("</b>");
    ResponseWrite("(");
    ResponseWrite(HtmlEncode(NullToStr(rs->Value("dbPasswordType"))));
    ResponseWrite(")]");
    ResponseWrite(" ->[");
    ResponseWrite(HtmlEncode(NullToStr(rs->Value("dbMinorGroups"))));
    ResponseWrite("]");
    ResponseWrite(" Exp[");
    ResponseWrite(HtmlEncode(NullToStr(rs->Value("dbExpiredDate"))));
    ResponseWrite("]");
    ResponseWrite("<br>");
  }
}

void Book::EditUser() {
  BookState& state = CurrentBook();
  state.strEditUserID = RequestValue("id");
  if (IsSystemAdmin()) {
    state.strHelpCode = "useredit";
  } else {
    state.strEditUserID = CurrentUserID();
    state.strHelpCode = "useradmin";
  }
  if (state.strEditUserID.empty()) return;
  if (DeletePosted()) return DeleteUser();
  if (PostedValue("submituser").empty()) return WriteUserForm(state.strEditUserID);
  SaveUser(state.strEditUserID);
}

std::string Book::EditUserID() const { return CurrentBook().strEditUserID; }

}  // namespace qv
