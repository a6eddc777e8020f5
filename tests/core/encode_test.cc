#include "core/encode.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(Encodings, HtmlAndUrl) {
  EXPECT_EQ(HtmlEncode("<a href=\"x\">'&'</a>"),
            "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
  EXPECT_EQ(UrlEncode("a b&c=d/é"), "a+b%26c%3Dd%2F%C3%A9");
  EXPECT_EQ(UrlDecode("a+b%26c%3dd"), "a b&c=d");
  EXPECT_EQ(UrlDecode("100%"), "100%");
  EXPECT_EQ(UrlDecode("%zz%4"), "%zz%4");
}

TEST(Encodings, UrlPathsResolveDotsAndRefuseClimbingOut) {
  EXPECT_EQ(NormalizeUrlPath("/a/./b//c/../d/"), "/a/b/d/");
  EXPECT_EQ(NormalizeUrlPath("/a/.."), "/");
  EXPECT_EQ(NormalizeUrlPath("/"), "/");
  EXPECT_FALSE(NormalizeUrlPath("/a/../../etc"));
}

}  // namespace
}  // namespace qv
