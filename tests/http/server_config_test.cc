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
    allowed_origins = ["https://portal.example.org"]
    secure_cookies = true
    max_sessions = 2000
    allowed_programs = ["/usr/bin/convert"]
  )");
  ServerConfig c = LoadServerConfig(&root);
  EXPECT_EQ(c.max_body_bytes, 1000u);
  EXPECT_EQ(c.trusted_proxies, std::vector<std::string>{"10.0.0.1"});
  EXPECT_EQ(c.media_mount, "/files");
  EXPECT_EQ(c.allowed_origins, std::vector<std::string>{"https://portal.example.org"});
  EXPECT_TRUE(c.secure_cookies);
  EXPECT_EQ(c.max_sessions, 2000u);
  EXPECT_EQ(c.allowed_programs, std::vector<std::string>{"/usr/bin/convert"});
  EXPECT_TRUE(LoadServerConfig(nullptr).allowed_programs.empty());

  toml::table bad = toml::parse("[server]\nport = \"80\"\n");
  EXPECT_THROW(LoadServerConfig(&bad), std::runtime_error);
  toml::table out_of_range = toml::parse("[server]\nport = 70000\n");
  EXPECT_THROW(LoadServerConfig(&out_of_range), std::runtime_error);
  toml::table not_bool = toml::parse("[server]\nsecure_cookies = \"yes\"\n");
  EXPECT_THROW(LoadServerConfig(&not_bool), std::runtime_error);
}

TEST(ServerConfigLoad, ScriptLimitsAndCompression) {
  ServerConfig defaults = LoadServerConfig(nullptr);
  EXPECT_EQ(defaults.script_time_limit, std::chrono::seconds(5));
  EXPECT_EQ(defaults.script_memory_limit, size_t{64} << 20);
  EXPECT_TRUE(defaults.compression);
  toml::table root = toml::parse(
      "[server]\nscript_time_limit = 0.25\nscript_memory_limit = 8\ncompression = false\n");
  ServerConfig c = LoadServerConfig(&root);
  EXPECT_EQ(c.script_time_limit, std::chrono::milliseconds(250));
  EXPECT_EQ(c.script_memory_limit, size_t{8} << 20);
  EXPECT_FALSE(c.compression);
  toml::table whole = toml::parse("[server]\nscript_time_limit = 2\n");
  EXPECT_EQ(LoadServerConfig(&whole).script_time_limit, std::chrono::seconds(2));
  for (const char* bad : {"script_time_limit = -1", "script_time_limit = \"5s\"",
                          "script_memory_limit = 1.5", "script_memory_limit = -2"}) {
    toml::table t = toml::parse(std::string("[server]\n") + bad + "\n");
    EXPECT_THROW(LoadServerConfig(&t), std::runtime_error) << bad;
  }
}

TEST(ServerConfigLoad, SessionsStayInMemoryUnlessTheDatabaseIsNamed) {
  EXPECT_EQ(LoadServerConfig(nullptr).sessions, "memory");
  toml::table root =
      toml::parse("[server]\nsessions = \"database\"\nsession_datasource = \"school\"\n");
  ServerConfig c = LoadServerConfig(&root);
  EXPECT_EQ(c.sessions, "database");
  EXPECT_EQ(c.session_datasource, "school");
  for (const char* bad : {"sessions = \"disk\"", "sessions = true", "session_datasource = \"\""}) {
    toml::table t = toml::parse(std::string("[server]\n") + bad + "\n");
    EXPECT_THROW(LoadServerConfig(&t), std::runtime_error) << bad;
  }
}

}  // namespace
}  // namespace qv::http
