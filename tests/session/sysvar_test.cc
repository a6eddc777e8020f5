#include "session/sysvar.h"

#include <gtest/gtest.h>

#include "data/aspproc.h"
#include "data/settings.h"
#include "data/test_source.h"
#include "host/context.h"
#include "host/memory_host.h"
#include "session/messages.h"

namespace qv {
namespace {

class SysVarTest : public ::testing::Test {
 protected:
  SysVarTest() : host("/srv/site", "/course") {
    ResetRequestState();
    host.request.SetServerVariable("SCRIPT_NAME", "/course/book.lp");
    db.CreateMessages({});
  }

  testing::TestSource db;
  MemoryHost host;
  SysVar sv;
};

TEST_F(SysVarTest, InitResetsSettingsButKeepsThePageSetOnes) {
  sv.SetMaintenanceMsg("<p>Maintenance</p>");
  sv.SetFromEmail("admin@example.org");
  sv.SetTableName("old");
  sv.SetLogLevel(9);
  Messages().strErrorMsg = "earlier";

  sv.Init(Variant("qvtest"), "user", "pw");
  EXPECT_EQ(TheSettings().LogLevel, "4");
  EXPECT_EQ(sv.TableName(), "");
  EXPECT_EQ(Messages().strErrorMsg, "");
  EXPECT_EQ(sv.FromEmail(), "admin@example.org");
  EXPECT_NE(host.response.Text().find("<p>Maintenance</p>"), std::string::npos);
}

TEST_F(SysVarTest, AddressAndRightsComeFromTheRequest) {
  sv.Init("qvtest");
  EXPECT_EQ(sv.ThisURL(), "/course/book.lp");
  EXPECT_EQ(sv.ThisURLFull(), "/course/book.lp");
  EXPECT_EQ(sv.BookAuthorization(), "");

  host.request.SetQueryString("ID=3&x=1");
  host.session.SetValue("AuthMajorGroupID1", "99");
  sv.Init("qvtest");
  EXPECT_EQ(sv.ThisURLFull(), "/course/book.lp?ID=3&x=1");
  EXPECT_EQ(sv.BookAuthorization(), "read,admin");

  host.session.SetValue("AuthMajorGroupID1", "30");
  sv.Init("qvtest");
  EXPECT_EQ(sv.BookAuthorization(), "");
}

TEST_F(SysVarTest, WebClassTakesItsOwnHostObjects) {
  MemoryRequest request;
  request.SetServerVariable("SCRIPT_NAME", "/wc.lp");
  MemoryResponse response;
  sv.oRequest = &request;
  sv.oResponse = &response;
  sv.oSession = &host.session;
  sv.oServer = &host.server;
  sv.SetIsWebClass(true);
  sv.Init("qvtest");
  EXPECT_EQ(sv.ThisURL(), "/wc.lp");
  EXPECT_EQ(host.response.Text(), "");
  EXPECT_NE(response.Text(), "");
  EXPECT_FALSE(Host().objContext);
}

TEST_F(SysVarTest, DirectoriesAreEscapedAndMapped) {
  sv.Init("qvtest");
  sv.SetvImageDir("images");
  EXPECT_EQ(sv.vImageDir(), "images/");
  EXPECT_EQ(sv.pImageDir(), "/srv/site/course/images/");
  sv.SetvImageDir("x:/pics");  // not a site address: the mapped folder stays
  EXPECT_EQ(sv.pImageDir(), "/srv/site/course/images/");

  sv.SetvBookDir("/my files#1");
  EXPECT_EQ(sv.vBookDir(), "/my%20files%231/");
  EXPECT_EQ(sv.pBookDir(), "/srv/site/my files#1/");

  sv.SetvMediaDir("/media");
  EXPECT_EQ(sv.vMediaDir(), "/media/qvtest/");
  EXPECT_EQ(sv.pMediaDir(), "/srv/site/media/qvtest/");
  EXPECT_EQ(TheSettings().pUploadTmpDir, "/srv/site/media/qvtest/qvTmUpld.tmp/");
  EXPECT_THROW(sv.SetvBookDir("../../etc"), HostError);

  EXPECT_EQ(EscapePath("a%20 b+c&d"), "a%2520%20b%2Bc%26d");
  EXPECT_EQ(UnescapePath(EscapePath("a%20 b+c&d#")), "a%20 b+c&d#");
}

TEST_F(SysVarTest, LanguageSuffixesAreEOrN) {
  sv.Init("qvtest");
  sv.SetFirstLanguage("N");
  sv.SetSecondLanguage("e");
  EXPECT_EQ(sv.FirstLanguage(), "n");
  EXPECT_EQ(sv.SecondLanguage(), "e");
  sv.SetFirstLanguage("x");  // back to "e", which the second language may not repeat
  EXPECT_EQ(sv.FirstLanguage(), "e");
  EXPECT_EQ(sv.SecondLanguage(), "");
  sv.SetSecondLanguage("n");
  EXPECT_EQ(sv.SecondLanguage(), "n");
  sv.SetSecondLanguage("c");
  EXPECT_EQ(sv.SecondLanguage(), "");
  EXPECT_EQ(TheSettings().strOtherLanguage, "c");

  TheSettings().FirstLanguage = "";
  sv.SetSecondLanguage("N");
  EXPECT_EQ(sv.FirstLanguage(), "n");
  EXPECT_EQ(TheSettings().strOtherLanguage, "");
}

TEST_F(SysVarTest, SettingsKeepTheirStoredForms) {
  sv.Init("qvtest");
  sv.SetTableName("MyBook");
  EXPECT_EQ(sv.TableName(), "mybook");
  EXPECT_THROW(sv.SetPageLevelMax(40000), std::out_of_range);
  EXPECT_EQ(sv.PageLevelMax(), 3);
  EXPECT_THROW(sv.GetSystemMsg("x", 256), std::out_of_range);
}

TEST(SysVarContextTest, InitWithoutARequestIsAHostError) {
  SysVar sv;
  EXPECT_THROW(sv.Init("qvtest"), HostError);
}

}  // namespace
}  // namespace qv
