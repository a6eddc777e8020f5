// Host objects, values and the SysVar binding, without a database.
#include <gtest/gtest.h>

#include "core/convert.h"
#include "script_fixture.h"

namespace qv::testing {
namespace {

using HostObjectBindings = ScriptTest;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(HostObjectBindings, RequestReadsEveryCollection) {
  host_->request.SetQueryString("id=3&x=a+b&x=c");
  host_->request.AddForm("title", "T");
  host_->request.SetServerVariable("SCRIPT_NAME", "/page.lua");
  EXPECT_EQ(Run("Response.Write(table.concat({Request.QueryString('id'), Request.QueryString('x'),"
                "Request.QueryString(), Request.Form('title'), Request.Item('title'),"
                "Request('id'), Request:QueryString('id'), Request.ServerVariables('SCRIPT_NAME'),"
                "Request.QueryString('absent')}, '|'))"),
            "3|a b, c|id=3&x=a+b&x=c|T|T|3|3|/page.lua|");
}

TEST_F(HostObjectBindings, BinaryReadReturnsTheCountReadAsSecondResult) {
  host_->request.SetBody("abcdef");
  EXPECT_EQ(Run("local data, n = Request.BinaryRead(4)\n"
                "Response.Write(Request.TotalBytes .. ':' .. data .. ':' .. n)\n"
                "local rest, m = Request.BinaryRead(10) Response.Write(':' .. rest .. m)"),
            "6:abcd:4:ef2");
  EXPECT_NE(ErrorOf("Request.Form('x')"), "");  // the body was read raw
}

TEST_F(HostObjectBindings, SessionValuesAndTimeout) {
  Run("Session.Value('user', 'u1') Session('n', 5) Session.Timeout = 30");
  EXPECT_EQ(Run("Response.Write(Session.Value('user') .. Session('n') .. Session.Timeout"
                ".. '[' .. Session.Value('never') .. ']')"),
            "u1530[]");
}

TEST_F(HostObjectBindings, ServerAndResponseMembers) {
  EXPECT_EQ(Run("Response.Write(Server.HTMLEncode('<a href=\"x\">&') .. ' ' .."
                "Server.URLEncode('a b&c'))"),
            "&lt;a href=&quot;x&quot;&gt;&amp; a+b%26c");
  EXPECT_EQ(Run("Response.Write(Server.MapPath('/images/x.gif'))"),
            (site_ / "images/x.gif").string());
  Run("Response.Status = '401 Unauthorized'");
  EXPECT_EQ(host_->response.Status(), "401 Unauthorized");
  EXPECT_TRUE(Has(ErrorOf("local s = Response.Status"), "write-only"));
  EXPECT_TRUE(Has(ErrorOf("Response.Flush()"), "'Flush' is not a member of qvTome.Response"));
}

using ValueBindings = ScriptTest;

TEST_F(ValueBindings, SequenceBecomesOneDimensionalArray) {
  Run("Session.Value('list', {'a', 'b', 'c'})");
  auto list = host_->session.Value("list").AsArray();
  ASSERT_EQ(list->Dimensions(), 1);
  EXPECT_EQ(list->UBound(1), 2);
  EXPECT_EQ(Run("local a = Session.Value('list')\n"
                "Response.Write(tostring(qvTome.IsArray(a)) .. qvTome.UBound(a) .. a(1) .. a[2])\n"
                "Response.Write(tostring(qvTome.IsArray('a')) .. tostring(qvTome.IsArray(nil)))"),
            "true2bcfalsefalse");
}

TEST_F(ValueBindings, SequenceOfPairsBecomesTwoRowArray) {
  Run("Session.Value('pairs', {{'dbOwnerID', 'u1'}, {'dbGroup', 30}})");
  auto pairs = host_->session.Value("pairs").AsArray();
  ASSERT_EQ(pairs->Dimensions(), 2);
  EXPECT_EQ(ToStr(pairs->at(0, 1)), "dbGroup");
  EXPECT_EQ(pairs->at(1, 1), Variant(30));
  EXPECT_EQ(Run("local a = Session.Value('pairs')\n"
                "Response.Write(qvTome.UBound(a, 1) .. qvTome.UBound(a, 2) .. a(0, 0) .. a(1, 1))"),
            "11dbOwnerID30");
  EXPECT_NE(ErrorOf("local a = Session.Value('pairs') local x = a(5, 0)"), "");
  EXPECT_NE(ErrorOf("local a = Session.Value('pairs') local x = a(0)"), "");
  EXPECT_NE(ErrorOf("qvTome.UBound(Session.Value('pairs'), 3)"), "");
}

TEST_F(ValueBindings, NilAndTablesThatAreNoSequence) {
  Run("Session.Value('x', nil)");
  EXPECT_TRUE(host_->session.Value("x").IsEmpty());
  EXPECT_TRUE(Has(ErrorOf("Session.Value('x', {a = 1})"), "must be a sequence"));
  EXPECT_NE(ErrorOf("Session.Value('x', print or function() end)"), "");
}

using SysVarBindings = ScriptTest;

TEST_F(SysVarBindings, PropertiesGoThroughTheComponentsSetters) {
  EXPECT_EQ(Run("local sv = qvTome.SysVar()\n"
                "sv.TableName = 'MyBook' sv.FirstLanguage = 'N'\n"
                "sv.LogLevel = 2 sv.ShowMark = false\n"
                "Response.Write(sv.TableName .. ' ' .. sv.FirstLanguage .."
                "' ' .. sv.LogLevel .. ' ' .. tostring(sv.ShowMark) .. ' ' .. sv.Verion)"),
            "mybook n 2 false 1.10");
  EXPECT_EQ(Run("local sv = qvTome.SysVar() sv.tablename = 'A' Response.Write(sv.TABLENAME)"), "a");
}

TEST_F(SysVarBindings, PropertyKindsAndMisuseGiveClearErrors) {
  EXPECT_TRUE(
      Has(ErrorOf("qvTome.SysVar().ThisURL = 'x'"), "'ThisURL' of qvTome.SysVar cannot be"));
  EXPECT_TRUE(Has(ErrorOf("local x = qvTome.SysVar().MaintenanceMsg"), "write-only"));
  EXPECT_TRUE(Has(ErrorOf("qvTome.SysVar().PageLevelMax = 40000"), "Overflow"));
  EXPECT_TRUE(Has(ErrorOf("qvTome.SysVar().Init('x')"), "call methods with ':'"));
}

TEST_F(SysVarBindings, WebClassHostObjectsTakeTheGlobals) {
  EXPECT_EQ(
      Run("local sv = qvTome.SysVar()\n"
          "Response.Write(tostring(sv.oRequest)) sv.oRequest = Request sv.blnIsWebClass = 1\n"
          "Response.Write(' ' .. tostring(sv.oRequest == nil) .. tostring(sv.blnIsWebClass))"),
      "nil falsetrue");
  EXPECT_NE(ErrorOf("qvTome.SysVar().oRequest = Response"), "");
}

}  // namespace
}  // namespace qv::testing
