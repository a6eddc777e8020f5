// Users and groups: the lists, the user form and its save for an
// administrator, for a user himself and for others; each refusal leaves
// qvAuthUser as it was.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "book/book.h"
#include "book/book_fixture.h"
#include "core/encode.h"
#include "session/identity.h"
#include "session/login_throttle.h"
#include "session/messages.h"

namespace qv::testing {
namespace {

using Form = std::vector<std::pair<std::string, std::string>>;

class UsersTest : public BookTest {
 protected:
  UsersTest() {
    Exec("DELETE * FROM qvAuthUser");
    Exec("DELETE * FROM qvAuthGroup");
    Insert("qvAuthGroup", {{"dbGroupID", "99"}, {"dbName_e", "Admins"}, {"dbMajorOnly", true}});
    Insert("qvAuthGroup",
           {{"dbGroupID", "30"}, {"dbName_e", "Students <b>"}, {"dbMajorOnly", true}});
    Insert("qvAuthGroup", {{"dbGroupID", "7"}, {"dbName_e", "Chess club"}, {"dbMajorOnly", false}});
    AddUser("boss", "99", "secret", 0);
    AddUser("ann", "30", "annpass", 0);
    AddUser("bob", "30", "bobpass", 0);
    AddUser("fixed", "30", "given", 1);
    SharedLoginThrottle().Configure({});
  }
  ~UsersTest() override { SharedLoginThrottle().Configure({}); }

  void AddUser(const std::string& id, const std::string& major, const std::string& password,
               int type) {
    Insert("qvAuthUser", {{"dbUserID", id},
                          {"dbMajorGroup", major},
                          {"dbPassword", EncodePassword(password)},
                          {"dbPasswordType", type},
                          {"dbFullName_e", "Name of " + id},
                          {"dbeMail", id + "@example.org"},
                          {"dbRemark_e", "remark of " + id},
                          {"dbLANUserID", "lan-" + id}});
  }

  // One request of user (group major) with the query and, when given, the
  // posted form; body runs on a fresh Book after Init. Returns the output.
  std::string Run(const std::string& user, const std::string& major, const std::string& query,
                  const Form& form, const std::function<void(Book&)>& body) {
    host.request = MemoryRequest();
    host.request.SetQueryString(query);
    host.request.SetServerVariable("SCRIPT_NAME", "/site/users.lp");
    host.request.SetServerVariable("REMOTE_ADDR", "192.0.2.1");
    for (const auto& [name, value] : form) host.request.AddForm(name, value);
    LogIn(user, major);
    SysVar().Init("qvtest");
    host.response.Clear();
    Book book;
    body(book);
    errors_ = book.GetErrorMsg();
    return Output();
  }
  std::string Edit(const std::string& user, const std::string& major, const std::string& query,
                   const Form& form = {}) {
    return Run(user, major, query, form, [](Book& b) { b.EditUser(); });
  }

  // The whole row of a user as one text ("" when there is none).
  std::string Row(const std::string& id) {
    QueryResult r = Exec(
        "SELECT dbUserID, dbPassword, dbPasswordType, dbMajorGroup, dbMinorGroups, "
        "dbFullName_e, dbeMail, dbRemark_e, dbLANUserID, dbExpiredDate FROM qvAuthUser WHERE "
        "dbUserID = " +
        SqlText(id));
    if (r.rows.empty()) return "";
    std::string text;
    for (const Variant& v : r.rows[0]) text += NullToStr(v) + "|";
    return text;
  }
  std::string Field(const std::string& id, const std::string& field) {
    QueryResult r = Exec("SELECT " + field + " FROM qvAuthUser WHERE dbUserID = " + SqlText(id));
    return r.rows.empty() ? "<none>" : NullToStr(r.rows[0][0]);
  }
  long Users() { return ToInteger(Exec("SELECT count(*) FROM qvAuthUser").rows[0][0]); }

  // A user's own form post: the fields his form registers.
  static Form OwnForm(const std::string& old_password, Form extra = {}) {
    Form form{{"qvFLD_List", "dbFullName_e"},  {"qvFLD_List", "dbeMail"},
              {"dbFullName_e", "New Name"},    {"dbeMail", "me@example.org"},
              {"dbPasswordOld", old_password}, {"submituser", "Save"}};
    form.insert(form.end(), extra.begin(), extra.end());
    return form;
  }

  std::string errors_;
};

TEST_F(UsersTest, TheFormShowsAnAdministratorEverythingAndAUserOnlyHisOwnRecord) {
  std::string out = Edit("boss", "99", "id=ann&GroupID=30");
  EXPECT_NE(out.find("Name of ann"), std::string::npos);
  EXPECT_NE(out.find("name=\"dbMajorGroup\""), std::string::npos);
  EXPECT_NE(out.find("name=\"dbRemark_e\""), std::string::npos);
  EXPECT_NE(out.find("Students &lt;b&gt;"), std::string::npos);  // group names encoded
  EXPECT_NE(out.find("name=\"deleteuser\""), std::string::npos);
  EXPECT_EQ(out.find("dbPasswordOld"), std::string::npos);

  // A user asking for another's record gets his own, without the fields
  // only administrators set.
  out = Edit("bob", "30", "id=ann");
  EXPECT_NE(out.find("Name of bob"), std::string::npos);
  EXPECT_EQ(out.find("Name of ann"), std::string::npos);
  for (const char* hidden : {"dbMajorGroup", "dbMinorGroups", "dbPasswordType", "dbRemark_e",
                             "dbLANUserID", "dbExpiredDate", "deleteuser"}) {
    EXPECT_EQ(out.find(hidden), std::string::npos) << hidden;
  }
  EXPECT_NE(out.find("name=\"dbPasswordOld\""), std::string::npos);
  EXPECT_NE(out.find("name=\"dbPassword1\""), std::string::npos);

  Edit("", "", "id=ann");
  EXPECT_EQ(errors_, "ErrorAuthNoRead");

  // A new user's main group starts as the group he is added from, else the
  // lowest, never the administrators' by default.
  out = Edit("boss", "99", "id=-1");
  EXPECT_NE(out.find("<option selected value=\"30\">"), std::string::npos);
  EXPECT_EQ(out.find("<option selected value=\"99\">"), std::string::npos);
  out = Edit("boss", "99", "id=-1&GroupID=99");
  EXPECT_NE(out.find("<option selected value=\"99\">"), std::string::npos);
}

TEST_F(UsersTest, AUserSavesOnlyTheFieldsOfHisOwnFormAfterHisOldPassword) {
  const std::string ann = Row("ann");
  const std::string before = Row("bob");
  // Fields his form does not show, added to the field list by hand, and
  // another user's id in the query.
  std::string out = Edit("bob", "30", "id=ann",
                         OwnForm("bobpass", {{"qvFLD_List", "dbRemark_e, dbLANUserID"},
                                             {"qvFLD_List", "dbExpiredDate,dbUserID,dbPassword"},
                                             {"dbRemark_e", "mine"},
                                             {"dbLANUserID", "root"},
                                             {"dbExpiredDate", "2001-01-01"},
                                             {"dbUserID", "ann"},
                                             {"dbPassword", "x"}}));
  EXPECT_EQ(errors_, "");
  EXPECT_NE(out.find("The changes have been saved."), std::string::npos);
  EXPECT_NE(out.find("The password has not been changed."), std::string::npos);
  EXPECT_EQ(Field("bob", "dbFullName_e"), "New Name");
  EXPECT_EQ(SysVar().GetUserName(1), "New Name");  // the login bar's name follows
  EXPECT_EQ(Field("bob", "dbeMail"), "me@example.org");
  EXPECT_EQ(Field("bob", "dbRemark_e"), "remark of bob");
  EXPECT_EQ(Field("bob", "dbLANUserID"), "lan-bob");
  EXPECT_EQ(Field("bob", "dbExpiredDate"), "");
  EXPECT_EQ(Field("bob", "dbPassword"), EncodePassword("bobpass"));
  EXPECT_EQ(Row("ann"), ann);
  EXPECT_EQ(ToInteger(Exec("SELECT count(*) FROM qvAuthLog WHERE dbAction = 13 AND dbUserID = "
                           "'bob'")
                          .rows[0][0]),
            1);
  EXPECT_NE(before, Row("bob"));
}

TEST_F(UsersTest, RefusedSavesOfAUserLeaveTheTableAsItWas) {
  const std::string bob = Row("bob");
  struct Case {
    const char* what;
    Form form;
    const char* error;
  };
  const std::vector<Case> cases = {
      {"group field in the list",
       OwnForm("bobpass", {{"qvFLD_List", "dbMajorGroup"}, {"dbMajorGroup", "99"}}),
       "ErrorAuthNoRead"},
      {"login type in the list", OwnForm("bobpass", {{"qvFLD_List", "dbPasswordType"}}),
       "ErrorAuthNoRead"},
      {"wrong old password", OwnForm("guess"), "ErrorPasswordNotCorrect"},
      {"no old password", OwnForm(""), "ErrorPasswordNotCorrect"},
      {"new passwords differ", OwnForm("bobpass", {{"dbPassword1", "a1"}, {"dbPassword2", "a2"}}),
       "ErrorPasswordNotSame"},
      {"password beyond the key",
       OwnForm("bobpass",
               {{"dbPassword1", std::string(27, 'p')}, {"dbPassword2", std::string(27, 'p')}}),
       "ErrorPasswordInvalid"},
      {"control character", OwnForm("bobpass", {{"dbPassword1", "a\tb"}, {"dbPassword2", "a\tb"}}),
       "ErrorPasswordInvalid"},
  };
  for (const Case& c : cases) {
    SharedLoginThrottle().Configure({});
    Edit("bob", "30", "", c.form);
    EXPECT_EQ(errors_, c.error) << c.what;
    EXPECT_EQ(Row("bob"), bob) << c.what;
  }
  for (const char* email : {"", "no-at-sign", "a b@example.org", "a@example.org\r\nBcc: x@y"}) {
    Form form = OwnForm("bobpass");
    for (auto& [name, value] : form) {
      if (name == "dbeMail") value = email;
    }
    Edit("bob", "30", "", form);
    EXPECT_EQ(errors_, "ErroremailInvalid") << email;
    EXPECT_EQ(Row("bob"), bob) << email;
  }
  // A GET never saves.
  Edit("bob", "30", "submituser=Save&dbFullName_e=x&qvFLD_List=dbFullName_e&dbeMail=a@b");
  EXPECT_EQ(Row("bob"), bob);
}

TEST_F(UsersTest, TheOldPasswordCheckIsGuardedByTheLoginThrottle) {
  SharedLoginThrottle().Configure({.delay_after = 1});
  Edit("bob", "30", "", OwnForm("guess"));
  EXPECT_EQ(errors_, "ErrorPasswordNotCorrect");
  // The next attempt comes before the throttle's wait is over: refused
  // unchecked, even with the right password, and logged.
  Edit("bob", "30", "", OwnForm("bobpass"));
  EXPECT_EQ(errors_, "ErrorPasswordNotCorrect");
  EXPECT_EQ(Field("bob", "dbFullName_e"), "Name of bob");
  EXPECT_EQ(ToInteger(Exec("SELECT count(*) FROM qvAuthLog WHERE dbAction = " +
                           std::to_string(kLogLoginThrottled))
                          .rows[0][0]),
            1);
}

TEST_F(UsersTest, APasswordChangeStoresTheEncodingAndAFixedPasswordOnlyTheAdministratorSets) {
  Edit("bob", "30", "", OwnForm("bobpass", {{"dbPassword1", "n3w-ß"}, {"dbPassword2", "n3w-ß"}}));
  EXPECT_EQ(errors_, "");
  EXPECT_EQ(Field("bob", "dbPassword"), EncodePassword("n3w-ß"));
  EXPECT_EQ(Output().find("has not been changed"), std::string::npos);

  // Login type 1: no new-password boxes for the user, and a posted one is
  // ignored.
  EXPECT_EQ(Edit("fixed", "30", "").find("dbPassword1"), std::string::npos);
  std::string out =
      Edit("fixed", "30", "", OwnForm("given", {{"dbPassword1", "mine"}, {"dbPassword2", "mine"}}));
  EXPECT_EQ(errors_, "");
  EXPECT_NE(out.find("The password has not been changed."), std::string::npos);
  EXPECT_EQ(Field("fixed", "dbPassword"), EncodePassword("given"));
  EXPECT_EQ(Field("fixed", "dbFullName_e"), "New Name");

  Edit("boss", "99", "id=fixed",
       {{"qvFLD_List", "dbeMail"},
        {"dbeMail", "f@example.org"},
        {"dbPassword1", "set"},
        {"dbPassword2", "set"},
        {"submituser", "Save"}});
  EXPECT_EQ(errors_, "");
  EXPECT_EQ(Field("fixed", "dbPassword"), EncodePassword("set"));
}

TEST_F(UsersTest, AnAdministratorAddsAUserWithAFreeValidID) {
  const long users = Users();
  Form form{{"qvFLD_List", "dbUserID"},
            {"qvFLD_List", "dbFullName_e, dbMajorGroup"},
            {"qvFLD_List", "dbMinorGroups"},
            {"qvFLD_List", "dbeMail"},
            {"dbUserID", "carol"},
            {"dbFullName_e", "Carol"},
            {"dbMajorGroup", "30"},
            {"dbMinorGroups", "7, 99"},
            {"dbeMail", "carol@example.org"},
            {"dbPassword1", "cpw"},
            {"dbPassword2", "cpw"},
            {"submituser", "Save"}};
  std::string out = Edit("boss", "99", "id=-1", form);
  EXPECT_EQ(errors_, "");
  EXPECT_NE(out.find("The record has been added."), std::string::npos);
  EXPECT_EQ(Row("carol"),
            "carol|" + EncodePassword("cpw") + "|0|30|7, 99|Carol|carol@example.org||||");

  // The same id in another case is taken; the echo is encoded.
  for (auto& [name, value] : form) {
    if (name == "dbUserID") value = "CAROL";
  }
  Edit("boss", "99", "id=-1", form);
  EXPECT_EQ(errors_, "ErrorUserIDExist");
  EXPECT_NE(Output().find("already in use:</span> CAROL"), std::string::npos);
  for (const char* bad : {"a b", "a,b", "", "anonymous", "tab\there", "x\"<y"}) {
    for (auto& [name, value] : form) {
      if (name == "dbUserID") value = bad;
    }
    Edit("boss", "99", "id=-1", form);
    if (std::string(bad) == "x\"<y") {
      // Quotes are allowed in an id; it is stored as given.
      EXPECT_EQ(errors_, "") << bad;
      continue;
    }
    EXPECT_EQ(errors_, "ErrorUserIDInValid") << bad;
  }
  EXPECT_EQ(Users(), users + 2);

  // A new account without a password is refused.
  for (auto& [name, value] : form) {
    if (name == "dbUserID") value = "dave";
    if (name == "dbPassword1" || name == "dbPassword2") value = "";
  }
  Edit("boss", "99", "id=-1", form);
  EXPECT_EQ(errors_, "ErrorPasswordInvalid");
  EXPECT_EQ(Row("dave"), "");

  // Nobody else adds users.
  for (auto& [name, value] : form) {
    if (name == "dbPassword1" || name == "dbPassword2") value = "cpw";
  }
  Edit("bob", "30", "id=-1", form);
  EXPECT_EQ(errors_, "ErrorAuthNoRead");
  EXPECT_EQ(Row("dave"), "");
}

TEST_F(UsersTest, AnExistingAccountIsNeverRenamed) {
  Edit("boss", "99", "id=ann",
       {{"qvFLD_List", "dbUserID, dbFullName_e, dbeMail"},
        {"dbUserID", "anne"},
        {"dbFullName_e", "Ann B."},
        {"dbeMail", "ann@example.org"},
        {"submituser", "Save"}});
  EXPECT_EQ(errors_, "");
  EXPECT_EQ(Field("ann", "dbFullName_e"), "Ann B.");
  EXPECT_EQ(Row("anne"), "");
}

TEST_F(UsersTest, AnAdministratorSetsTheExpiryAndAnInvalidDateSavesNothing) {
  Form form{{"qvFLD_List", "dbExpiredDate, dbeMail, dbFullName_e"},
            {"dbExpiredDate", "2031-05-06 07:08:09"},
            {"dbeMail", "bob@example.org"},
            {"dbFullName_e", "Bob"},
            {"submituser", "Save"}};
  Edit("boss", "99", "id=bob", form);
  EXPECT_EQ(errors_, "");
  EXPECT_EQ(Field("bob", "dbExpiredDate"), "2031-05-06 07:08:09");
  const std::string bob = Row("bob");
  form[1].second = "next tuesday";
  form[3].second = "Robert";
  Edit("boss", "99", "id=bob", form);
  EXPECT_EQ(errors_, "ErrorInvalidValue");
  EXPECT_EQ(Row("bob"), bob);
}

TEST_F(UsersTest, DeleteIsAPostedAdministratorActionOnOneNamedUser) {
  const long users = Users();
  Form post{{"qvFLD_List", "dbeMail"}, {"dbeMail", "x@y"}};
  // Quoting keeps the id one value: it names nobody.
  Edit("boss", "99", "id=" + UrlEncode("' or '1'='1") + "&qvAction=delete", post);
  EXPECT_EQ(errors_, "ErrorUserIDNotFound");
  EXPECT_EQ(Users(), users);
  // A link (GET) deletes nothing; it shows the form.
  std::string out = Edit("boss", "99", "id=ann&qvAction=delete");
  EXPECT_NE(out.find("Name of ann"), std::string::npos);
  EXPECT_NE(Row("ann"), "");
  // Nobody but an administrator deletes.
  Edit("bob", "30", "id=ann&qvAction=delete", post);
  EXPECT_EQ(errors_, "ErrorAuthNoDelete");
  EXPECT_NE(Row("ann"), "");
  // Nor does an administrator delete his own account (in any spelling), and
  // his own form offers no delete.
  EXPECT_EQ(Edit("boss", "99", "id=BOSS").find("deleteuser"), std::string::npos);
  Edit("boss", "99", "id=BOSS&qvAction=delete", post);
  EXPECT_EQ(errors_, "ErrorAuthNoDelete");
  EXPECT_NE(Row("boss"), "");

  out = Run("boss", "99", "id=ann&GroupID=30&qvAction=delete", post, [](Book& b) {
    b.EditUser();
    b.ListUsers("* ");
  });
  EXPECT_EQ(errors_, "");
  EXPECT_NE(out.find("The user has been deleted."), std::string::npos);
  EXPECT_EQ(Row("ann"), "");
  EXPECT_EQ(Users(), users - 1);
  EXPECT_NE(out.find(">bob</a>"), std::string::npos);
  EXPECT_EQ(out.find(">ann</a>"), std::string::npos);
}

TEST_F(UsersTest, ListsAreForAdministratorsAndEncodeWhatTheyEcho) {
  AddUser("<i>\"q\"", "30", "p", 0);
  std::string out = Run("boss", "99", "GroupID=30", {}, [](Book& b) {
    b.ListGroups("- ");
    b.ListUsers("* ");
  });
  EXPECT_NE(out.find("- <a href=\"/site/users.lp?GroupID=30\" target=\"_self\">Students "
                     "&lt;b&gt;</a><br>"),
            std::string::npos);
  EXPECT_NE(out.find("* <a href=\"/site/users.lp?id=bob&amp;GroupID=30\">bob</a> [<b>Name of "
                     "bob</b>(0)] ->[] Exp[]<br>"),
            std::string::npos);
  EXPECT_NE(out.find("?id=%3Ci%3E%22q%22&amp;GroupID=30\">&lt;i&gt;&quot;q&quot;</a>"),
            std::string::npos);
  EXPECT_EQ(out.find("boss"), std::string::npos);  // group 99 is not asked for

  // A group id that would end the literal selects nobody.
  out = Run("boss", "99", "GroupID=" + UrlEncode("30' or '1'='1"), {},
            [](Book& b) { b.ListUsers(); });
  EXPECT_EQ(out, "");

  EXPECT_EQ(Run("bob", "30", "", {},
                [](Book& b) {
                  b.ListGroups();
                  b.ListUsers();
                }),
            "");
}

TEST_F(UsersTest, TheFormEncodesItsActionAndTheDeleteScriptItsAddress) {
  const std::string group = "\"></form><script>x</script>";
  std::string out = Edit("boss", "99", "id=bob&GroupID=" + UrlEncode(group));
  EXPECT_EQ(out.find("<script>x"), std::string::npos);
  EXPECT_NE(out.find("action=\"/site/users.lp?id=bob&amp;GroupID=%22%3E%3C%2Fform"),
            std::string::npos);
  // ThisURLFull holds the raw query: inside the script string it is escaped.
  host.request = MemoryRequest();
  out = Edit("boss", "99", "id=bob&x=\"</script><b>");
  EXPECT_EQ(out.find("</script><b>"), std::string::npos);
  EXPECT_NE(out.find("f.action=\"/site/users.lp?id=bob\\x26x=\\x22\\x3C/script\\x3E\\x3Cb\\x3E"
                     "\\x26qvAction=delete\""),
            std::string::npos);
}

TEST_F(UsersTest, PasswordsThatCannotBeStoredAreRecognised) {
  EXPECT_TRUE(PasswordStorable("a"));
  EXPECT_TRUE(PasswordStorable(std::string(26, 'z')));
  EXPECT_TRUE(PasswordStorable("Grüße-€"));
  EXPECT_FALSE(PasswordStorable(""));
  EXPECT_FALSE(PasswordStorable(std::string(27, 'z')));
  EXPECT_FALSE(PasswordStorable("a\nb"));
  EXPECT_FALSE(PasswordStorable("\xff\xfe"));      // not UTF-8
  EXPECT_FALSE(PasswordStorable("\xc0\xaf"));      // overlong "/"
  EXPECT_FALSE(PasswordStorable("\xed\x9f\xbf"));  // U+D7FF + 7 is a surrogate
  EXPECT_TRUE(PasswordStorable("\xed\x9f\xb0"));   // U+D7F0 + 7 is not
}

TEST_F(UsersTest, PageScriptsReachTheMembers) {
  host.request = MemoryRequest();
  host.request.SetQueryString("id=ann");
  host.request.SetServerVariable("SCRIPT_NAME", "/site/users.lp");
  LogIn("boss", "99");
  const std::string out = RunScript(
      "local sv = qvTome.SysVar(); sv:Init('qvtest')\n"
      "local b = qvTome.Book()\n"
      "b:ListGroups('[g]'); b:ListUsers(); b:EditUser()\n"
      "Response.Write('edited=' .. b.strEditUserID)\n");
  EXPECT_NE(out.find("[g]<a"), std::string::npos);
  EXPECT_NE(out.find("Name of ann"), std::string::npos);
  EXPECT_NE(out.find("edited=ann"), std::string::npos);
}

}  // namespace
}  // namespace qv::testing
