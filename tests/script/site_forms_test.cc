// Login, form controls, write-back, grids and diagnostics as page scripts
// call them, and the message and administrator pages of the default site,
// over a database built from the real schema and seed data.
#include <gtest/gtest.h>
#include <toml++/toml.h>

#include "core/convert.h"
#include "data/queued_writes.h"
#include "engine/datasources.h"
#include "engine/init_db.h"
#include "engine/sqlite_connection.h"
#include "engine/test_engine.h"
#include "script_fixture.h"

namespace qv::testing {
namespace {

const std::filesystem::path kSite = QV_SITE_DIR;
const char* kInit = "local sv = qvTome.SysVar() sv:Init('qvtome') local ap = qvTome.AspProc()\n";

class SiteForms : public ScriptTest {
 protected:
  SiteForms() {
    const toml::table config = toml::parse("[datasource.qvtome]\n" + db_.Entry());
    ConfigureDataSources(&config, site_.string());
    SetConnectionFactory(NewEngineConnection);
  }

  std::string Query(const std::string& sql) {
    FlushQueuedWrites();
    std::unique_ptr<Connection> conn = NewEngineConnection();
    conn->Open("qvtome", "", "");
    QueryResult result = conn->Query(sql);
    return result.rows.empty() ? "" : NullToStr(result.rows[0][0]);
  }

  std::string IdOf(const std::string& key) {
    return Query("SELECT ID FROM qvSystemMsg WHERE dbName = '" + key + "'");
  }

  void LogInAsAdmin() {
    for (auto [name, value] : {std::pair{"Authorized1", "Authorized"},
                               {"AuthUserID1", "admin"},
                               {"AuthMajorGroupID1", "99"},
                               {"AuthFullName_e1", "Administrator"}}) {
      session_.SetValue(name, std::string(value));
    }
  }

  // One request of this browser (its session kept): runs the script file
  // with the query and url-encoded form given; returns the page.
  std::string Visit(const std::string& path, const std::string& virtual_path,
                    const std::string& query, const std::string& form) {
    MemoryRequest request;
    MemoryResponse response;
    MemoryServer server(site_.string());
    request.SetQueryString(query);
    request.SetFormUrlEncoded(form);
    request.SetServerVariable("SCRIPT_NAME", virtual_path);
    ScopedHostContext context({&request, &response, &session_, &server});
    ScriptHost().Run(path, virtual_path);
    return response.Text();
  }

  // A script that starts with Init and an AspProc `ap`.
  std::string Lua(const std::string& body, const std::string& form = "",
                  const std::string& query = "") {
    static int scripts = 0;
    const std::string name = "forms" + std::to_string(++scripts) + ".lua";
    return Visit(Write(name, std::string(kInit) + body), "/" + name, query, form);
  }

  std::string LuaError(const std::string& body) {
    try {
      Lua(body);
    } catch (const ScriptError& e) {
      return e.message();
    }
    return "";
  }

  std::string Page(const std::string& name, const std::string& query = "",
                   const std::string& form = "") {
    return Visit((kSite / name).string(), "/" + name, query, form);
  }

  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }

  MemorySession session_;
  ScratchDatabase db_{site_, "qvtome.db", Contents::kSeeded};
};

TEST_F(SiteForms, LoginIdentityAndLogoutThroughSysVar) {
  const std::string identity =
      Lua(R"lua(
    sv:Login(true)
    sv.SecondLanguage = "n"
    Response.Write("|" .. tostring(sv:hasLogin()) .. tostring(ap:hasLogin()) .. sv:GetUserID() ..
      "," .. sv:GetMajorGroupID() .. "," .. sv:GetMinorGroupIDs() .. "," .. sv:GetUserName() ..
      "," .. sv:GetUserName(2) .. "," .. sv:UserID2UserName("admin") .. "," ..
      sv:UserID2UserName("nobody", 2) .. "," .. sv:EncodePassword("ab"))
    sv:Logout()
    Response.Write("|" .. sv:GetUserID() .. tostring(sv:hasLogin())))lua",
          "qvTomeLogin=true&qvTomeUserID=admin&qvTomePassword=qvtome-admin");
  EXPECT_TRUE(Has(identity,
                  "|truetrueadmin,99,,Administrator,Beheerder, Administrator,Anoniem,he|"
                  "anonymousfalse"))
      << identity;
  EXPECT_EQ(Query("SELECT count(*) FROM qvAuthLog WHERE dbUserID = 'admin'"), "2");
}

TEST_F(SiteForms, AFailedLoginLeavesItsMessageForThePage) {
  const std::string out = Lua(R"lua(
    ap:dbLogin(true)
    Response.Write("|" .. tostring(ap:hasLogin()) .. "|" .. ap.LoginMsg .. "|"))lua",
                              "qvTomeLogin=true&qvTomeUserID=admin&qvTomePassword=wrong");
  EXPECT_TRUE(Has(out, "|false|<p class=\"qvError\">Login failed: the user ID")) << out;
}

TEST_F(SiteForms, BoundControlsTakeChoicePairsAndWriteBack) {
  const std::string id = IdOf("SiteHome");
  const std::string open = "ap:dbOpen('qvSystemMsg', '*', 'WHERE ID=" + id + "')\n";
  const std::string update =
      "Response.Write('=' .. ap:dbUpdate('qvSystemMsg', 'WHERE ID=" + id + "'))";
  const std::string form = Lua(open + R"lua(
    ap:dbLinkTextArea("dbMsg_e")
    ap:dbLinkDropDown("dbOrder", {{"Low", "950"}, {"Other", ""}})
    ap:dbLinkCheckList("dbName", {{"A", "SiteHome"}, {"B", "x"}}, true))lua");
  EXPECT_TRUE(Has(form, "<textarea name=\"dbMsg_e\" rows=\"5\" cols=\""));  // the defaults
  EXPECT_TRUE(Has(form, "<option selected value=\"950\">Low</option><option value=\"Other\">"));
  EXPECT_TRUE(Has(form, "value=\"SiteHome\" checked>A"));

  EXPECT_TRUE(Has(Lua(update, "qvFLD_List=dbMsg_e&dbMsg_e=Start"), "=0"));
  EXPECT_EQ(Query("SELECT dbMsg_e FROM qvSystemMsg WHERE ID=" + id), "Start");

  const std::string appended =
      Lua("Response.Write('=' .. ap:dbAppend('qvSystemMsg', {{'dbName', 'Extra'}, {'dbOrder', 5}}, "
          "false))");
  EXPECT_TRUE(Has(appended, "=" + IdOf("Extra")));
  EXPECT_EQ(Query("SELECT dbOrder FROM qvSystemMsg WHERE dbName = 'Extra'"), "5");
}

TEST_F(SiteForms, GridControlsReturnTheirComposedNames) {
  const std::string a = IdOf("SiteHome"), b = IdOf("SiteLogout");
  const std::string grid = Lua("ap:dbOpen('qvSystemMsg', '*', 'WHERE ID IN (" + a + "," + b +
                               ") ORDER BY ID')\n" + R"lua(
    while not ap:dbRSEOF() do
      Response.Write("[" .. ap:db2DLinkTextBox("dbOrder", 4) .. "]")
      Response.Write("[" .. ap:db2DLinkDropDown("dbName", "no choices", 1) .. "]")
      ap:db2DLinkForm()
      ap:dbMoveNext()
    end)lua");
  EXPECT_TRUE(Has(grid, "\">[ID_" + a + "_dbOrder][dbName]")) << grid;
  EXPECT_TRUE(Has(grid, "<input type=\"text\" name=\"ID_" + b + "_dbOrder\" size=\"4\""));
}

TEST_F(SiteForms, BadArgumentsAreClearErrors) {
  EXPECT_TRUE(Has(LuaError("ap:dbLinkTextBox('x', 40000)"), "Overflow"));
  EXPECT_TRUE(Has(LuaError("sv:GetUserName(70000)"), "Overflow"));
  EXPECT_TRUE(Has(LuaError("ap:dbUpdate('qvSystemMsg', 'WHERE ID=1', {'a'})"), "two-row array"));
  EXPECT_TRUE(
      Has(Lua("ap:dbLinkDropDown('x', 'none', 1)"), "Error, no choice array for drop down."));
}

TEST_F(SiteForms, AdministratorPagesAskForAnAdministratorLogin) {
  for (const char* page : {"msgedit.lp", "msgorder.lp", "diagnostics.lp"}) {
    std::string out = Page(page);
    EXPECT_TRUE(Has(out, "for administrators only")) << page;
    EXPECT_TRUE(Has(out, "name=\"qvTomeLoginForm\"")) << page;
  }
  LogInAsAdmin();
  EXPECT_TRUE(Has(Page("msgedit.lp", "id=1%20or%201=1"), "must be a whole number"));
  EXPECT_TRUE(Has(Page("msgedit.lp", "id=999999"), "There is no message with this number"));
  std::string list = Page("msgedit.lp", "lang=n");
  EXPECT_TRUE(Has(list, "msgedit.lp?id=" + IdOf("SiteHome") + "&amp;lang=n\">SiteHome</a>"));
  std::string diag = Page("diagnostics.lp", "probe=%3Cx%3E");
  EXPECT_TRUE(Has(diag, "Server Variable<br>probe = [&lt;x&gt;]")) << diag;
  EXPECT_TRUE(Has(diag, "ServerVariable<br>SCRIPT_NAME = [/diagnostics.lp]"));
}

TEST_F(SiteForms, MessagesPageListsAndFiltersTheTable) {
  std::string all = Page("messages.lp");
  EXPECT_TRUE(Has(all, "<td class=\"qvKey\">errorODBC</td>"));
  EXPECT_TRUE(Has(all, "&lt;p class=&quot;qvError&quot;&gt;"));
  std::string some = Page("messages.lp", "q=LOGINmsg");
  EXPECT_TRUE(Has(some, ">LoginMsg<"));
  EXPECT_FALSE(Has(some, ">ButtonSubmit<"));
  EXPECT_TRUE(Has(some, "<p>1 / "));
  std::string hostile = Page("messages.lp", "q=%22%3E%3Cscript%3E");
  EXPECT_FALSE(Has(hostile, "<script>"));
  EXPECT_TRUE(Has(hostile, "value=\"&quot;&gt;&lt;script&gt;\""));
}

TEST_F(SiteForms, OrderPageEditsAFilteredGrid) {
  LogInAsAdmin();
  const std::string home = IdOf("SiteHome");
  std::string grid = Page("msgorder.lp", "from=950&to=950");
  EXPECT_TRUE(Has(grid, "name=\"ID_" + home + "_dbOrder\" size=\"6\" value=\"950\"")) << grid;
  EXPECT_FALSE(Has(grid, "SiteLogout"));
  EXPECT_TRUE(Has(Page("msgorder.lp", "from=x"), "must be whole numbers"));

  const std::string refused =
      Page("msgorder.lp", "from=950&to=950",
           "qvFLD_List=dbOrder&qvID_List=" + home + "&ID_" + home + "_dbOrder=abc");
  EXPECT_TRUE(Has(refused, "Your changes were not saved")) << refused;
  EXPECT_TRUE(Has(refused, "takes a number, not &quot;abc&quot;"));
  EXPECT_TRUE(Has(Page("msgorder.lp", "q=home",
                       "qvFLD_List=dbOrder&qvID_List=" + home + "&ID_" + home + "_dbOrder=949"),
                  "Your changes have been saved"));
  EXPECT_EQ(Query("SELECT dbOrder FROM qvSystemMsg WHERE ID=" + home), "949");
}

}  // namespace
}  // namespace qv::testing
