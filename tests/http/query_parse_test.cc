#include "http/query_parse.h"

#include <gtest/gtest.h>

namespace qv::http {
namespace {

TEST(QueryParse, CookiesAreSplitTrimmedAndUnquoted) {
  ParamList c = ParseCookies(" QVSESSION=abc ; theme=\"dark\";broken; =x; a=b=c");
  EXPECT_EQ(c.Get("QVSESSION"), "abc");
  EXPECT_EQ(c.Get("theme"), "dark");
  EXPECT_EQ(c.Get("a"), "b=c");
  EXPECT_FALSE(c.Contains("broken"));
}

TEST(UrlText, PathDecodingKeepsPlus) {
  EXPECT_EQ(PercentDecodePath("/a+b%20c%2e%2E/%"), "/a+b c../%");
}

TEST(UrlText, UnsafeBytesAreEncodedAndHonestUrlsUnchanged) {
  EXPECT_EQ(EncodeUnsafeUrlBytes("id=3&x=%20a/b?c"), "id=3&x=%20a/b?c");
  EXPECT_EQ(EncodeUnsafeUrlBytes("a=\"><script>'\\` \t\r\n"),
            "a=%22%3E%3Cscript%3E%27%5C%60%20%09%0D%0A");
  EXPECT_EQ(EncodePathForUrl("/my dir/100%\"x\".lp"), "/my%20dir/100%25%22x%22.lp");
}

}  // namespace
}  // namespace qv::http
