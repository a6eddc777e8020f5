#include "session/identity.h"

#include <gtest/gtest.h>

#include "data/test_source.h"
#include "host/memory_host.h"
#include "session/sysvar.h"

namespace qv {
namespace {

TEST(EncodePasswordTest, AddsTheKeyDigitsAndReverses) {
  EXPECT_EQ(EncodePassword(""), "");
  EXPECT_EQ(EncodePassword("qvtome-admin"), "xyypug3ahvlv");  // the seeded administrator
  // 'z' + 6 leaves ASCII but stays text; from the 27th character the key
  // starts again.
  const std::string az = "abcdefghijklmnopqrstuvwxyz";
  EXPECT_EQ(EncodePassword(az + "ABCD"), "hehemhmhmsntnuqvurx}v~z\x7f{\u0080HEHE");
  for (const std::string& pword : {az + "ABCD", std::string("pässwörd~~")}) {
    EXPECT_EQ(DecodePassword(EncodePassword(pword)), pword);
  }
}

TEST(ListHasMatchTest, FindsAnyTrimmedItemInsideTheText) {
  EXPECT_TRUE(ListHasMatch("10, 20, 30", " 5 ,20"));
  EXPECT_FALSE(ListHasMatch("editor:alice", "Alice"));  // case counts
  EXPECT_FALSE(ListHasMatch(Null, "a"));
  EXPECT_FALSE(ListHasMatch("a", ""));
  EXPECT_FALSE(ListHasMatch("10", "20,,30, "));  // empty items match nothing
}

class IdentityTest : public ::testing::Test {
 protected:
  IdentityTest() {
    ResetRequestState();
    db.CreateMessages({{"msgAnonymousUserName", "Anonymous", "Anoniem"}});
    db.Exec(
        "CREATE TABLE qvAuthUser (ID counter, dbUserID text(50), dbPositionTitle_e text(9), "
        "dbPositionTitle_n text(9), dbFullName_e text(99), dbFullName_n text(99))");
    db.Exec(
        "INSERT INTO qvAuthUser (dbUserID, dbPositionTitle_e, dbFullName_e, dbFullName_n) "
        "VALUES ('ann', 'Dr.', 'Ann Smith', 'Ann Smid')");
    sv.Init("qvtest");
    sv.SetSecondLanguage("n");
    host.response.Clear();
  }

  testing::TestSource db;
  MemoryHost host;
  SysVar sv;
};

TEST_F(IdentityTest, UserNamesJoinTitleAndNameOrFallBackToAnonymous) {
  EXPECT_EQ(sv.UserID2UserName("ann"), "Dr. Ann Smith");
  EXPECT_EQ(sv.UserID2UserName("ann", 2), " Ann Smid");  // Null title
  EXPECT_EQ(sv.UserID2UserName("x' or '1'='1"), "Anonymous");
}

TEST_F(IdentityTest, DiagnosticsListEachCollectionEncoded) {
  host.request.SetServerVariable("HTTP_X", "<b>");
  sv.ListServerVariables();
  sv.ListQueryString();
  host.request.AddForm("pick", "a");
  host.request.AddForm("<i>", "\"x\"");
  host.request.AddForm("pick", "b");
  sv.ListFormVariables();
  EXPECT_EQ(host.response.Text(),
            "ServerVariable<br>HTTP_X = [&lt;b&gt;]Server Variable"
            "Form Variable<br>pick = [a, b]<br>&lt;i&gt; = [&quot;x&quot;]");
}

}  // namespace
}  // namespace qv
