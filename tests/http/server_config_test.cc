#include "http/server_config.h"

#include <gtest/gtest.h>

#include <toml++/toml.h>

namespace qv::http {
namespace {

TEST(ServerConfigLoad, ReadsKeysAndRejectsWrongTypes) {
  toml::table root = toml::parse(R"(
    [server]
    max_body_bytes = 1000
    trusted_proxies = ["10.0.0.1"]
    media_mount = "/files/"
  )");
  ServerConfig c = LoadServerConfig(&root);
  EXPECT_EQ(c.max_body_bytes, 1000u);
  EXPECT_EQ(c.trusted_proxies, std::vector<std::string>{"10.0.0.1"});
  EXPECT_EQ(c.media_mount, "/files");

  toml::table bad = toml::parse("[server]\nport = \"80\"\n");
  EXPECT_THROW(LoadServerConfig(&bad), std::runtime_error);
  toml::table out_of_range = toml::parse("[server]\nport = 70000\n");
  EXPECT_THROW(LoadServerConfig(&out_of_range), std::runtime_error);
}

}  // namespace
}  // namespace qv::http
