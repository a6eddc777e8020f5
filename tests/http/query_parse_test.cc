#include "http/query_parse.h"

#include <gtest/gtest.h>

#include "http/network_identity.h"
#include "http/server_config.h"
#include "http/sha256.h"

#include <toml++/toml.h>

namespace qv::http {
namespace {

TEST(QueryParse, RepeatedNamesJoinAndKeysKeepArrivalOrder) {
  ParamList p = ParseQuery("b=2&a=x+y&B=3&c&&d=%41%zz");
  EXPECT_EQ(p.Get("b"), "2, 3");
  EXPECT_EQ(p.Get("A"), "x y");
  EXPECT_TRUE(p.Contains("c"));
  EXPECT_EQ(p.Get("d"), "A%zz");
  EXPECT_EQ(p.Get("missing"), "");
  EXPECT_EQ(p.Keys(), (std::vector<std::string>{"b", "a", "c", "d"}));
}

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

TEST(Sha256, KnownDigests) {
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex(std::string(1000, 'a')),
            "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3");
}

TEST(Base64, DecodesPaddingAndRejectsOtherBytes) {
  std::string out;
  EXPECT_TRUE(DecodeBase64("YQ==", out));
  EXPECT_EQ(out, "a");
  EXPECT_FALSE(DecodeBase64("Y*Q=", out));
}

TEST(ServerConfigLoad, ReadsKeysAndRejectsWrongTypes) {
  toml::table root = toml::parse(R"(
    [server]
    max_body_bytes = 1000
    trusted_proxies = ["10.0.0.1"]
    media_mount = "/files/"
    allowed_origins = ["https://portal.example.org"]
    secure_cookies = true
    max_sessions = 2000
  )");
  ServerConfig c = LoadServerConfig(&root);
  EXPECT_EQ(c.max_body_bytes, 1000u);
  EXPECT_EQ(c.trusted_proxies, std::vector<std::string>{"10.0.0.1"});
  EXPECT_EQ(c.media_mount, "/files");
  EXPECT_EQ(c.allowed_origins, std::vector<std::string>{"https://portal.example.org"});
  EXPECT_TRUE(c.secure_cookies);
  EXPECT_EQ(c.max_sessions, 2000u);

  toml::table bad = toml::parse("[server]\nport = \"80\"\n");
  EXPECT_THROW(LoadServerConfig(&bad), std::runtime_error);
  toml::table out_of_range = toml::parse("[server]\nport = 70000\n");
  EXPECT_THROW(LoadServerConfig(&out_of_range), std::runtime_error);
  toml::table not_bool = toml::parse("[server]\nsecure_cookies = \"yes\"\n");
  EXPECT_THROW(LoadServerConfig(&not_bool), std::runtime_error);
}

}  // namespace
}  // namespace qv::http
