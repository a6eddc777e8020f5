// Sessions kept in an SQLite file through the Connection interface: values
// keep their kinds, saves of one session at once keep each other's names,
// expiry slides with use, a login moves the session to a new id.
#include "http/database_session_store.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <toml++/toml.h>

#include "core/convert.h"
#include "core/variant.h"
#include "engine/datasources.h"
#include "engine/init_db.h"
#include "engine/sqlite_connection.h"
#include "http/http_session.h"

namespace qv::http {
namespace {

using std::chrono::minutes;

constexpr char kId[] = "0123456789abcdef0123456789abcdef";

class DatabaseSessions : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "qvtome-dbsess-XXXXXX");
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    toml::table config = toml::parse("[datasource.site]\npath = \"site.db\"\n");
    ConfigureDataSources(&config, dir_.string());
    RegisterSqliteEngine();
    CreateDatabaseIfMissing((dir_ / "site.db").string());
  }
  void TearDown() override {
    ConfigureDataSources(nullptr, "");
    std::filesystem::remove_all(dir_);
  }

  DatabaseSessionStore::Clock Clock() {
    return [this] { return now_; };
  }
  std::string Count(const std::string& table) {
    SqliteConnection conn;
    conn.Open("site", "", "");
    return NullToStr(conn.Query("SELECT count(*) FROM " + table).rows[0][0]);
  }

  std::filesystem::path dir_;
  std::chrono::system_clock::time_point now_{std::chrono::seconds(1'800'000'000)};
  DatabaseSessionStore store_{"site", Clock()};
};

TEST_F(DatabaseSessions, ValuesReadBackWithTheKindTheyWereStoredWith) {
  const std::vector<std::pair<std::string, Variant>> values = {
      {"empty", Variant()},
      {"null", Variant(Null)},
      {"yes", Variant(true)},
      {"no", Variant(false)},
      {"count", Variant(int64_t{-9007199254740993})},
      {"ratio", Variant(0.1 + 0.2)},
      {"when", Variant(MakeDate({2026, 12, 6, 21, 45, 53}))},
      {"text", Variant(std::string("it's <b>\"x\"</b>\x1b;--\n"))},
      {"blank", Variant(std::string())},
      {"number text", Variant(std::string("42"))}};
  SessionUpdate update;
  for (const auto& [name, value] : values) update.changed[name] = value;
  store_.Save(kId, update);

  DatabaseSessionStore other("site", Clock());  // another server on the same data
  std::optional<SessionRecord> record = other.Load(kId);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->values.size(), values.size());
  for (const auto& [name, value] : values) {
    EXPECT_TRUE(record->values[name] == value) << name << ": " << ToStr(record->values[name]);
  }

  // Arrays and objects cannot be kept: a page learns at once.
  EXPECT_FALSE(store_.Keeps(Variant(std::make_shared<Array>(1))));
  HttpSession session(store_, kId);
  EXPECT_THROW(session.SetValue("list", Variant(std::make_shared<Array>(1))), HostError);
  EXPECT_EQ(NullToStr(session.Value("TEXT")), ToStr(values[7].second));
}

TEST_F(DatabaseSessions, RequestsOfOneSessionKeepEachOthersNames) {
  store_.Save(kId, {{{"a", Variant("0")}, {"shared", Variant("0")}}, std::nullopt});
  HttpSession one(store_, kId), two(store_, kId);
  one.SetValue("a", Variant("1"));
  one.SetValue("shared", Variant("one"));
  two.SetValue("b", Variant("2"));
  two.SetValue("shared", Variant("two"));
  one.Commit(false);
  two.Commit(false);
  auto record = store_.Load(kId);
  EXPECT_EQ(NullToStr(record->values["a"]), "1");
  EXPECT_EQ(NullToStr(record->values["b"]), "2");
  EXPECT_EQ(NullToStr(record->values["shared"]), "two");  // the last write of a name wins

  // Saves running at once on several threads, each with names of its own.
  constexpr int kThreads = 4, kNames = 25;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this, t] {
      DatabaseSessionStore server("site", Clock());
      for (int i = 0; i < kNames; ++i) {
        server.Save(
            kId, {{{"t" + std::to_string(t) + "_" + std::to_string(i), Variant(i)}}, std::nullopt});
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  record = store_.Load(kId);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->values.size(), size_t{3 + kThreads * kNames});
  EXPECT_TRUE(record->values["t3_24"] == Variant(24));
  EXPECT_EQ(Count("qvSession"), "1");
}

TEST_F(DatabaseSessions, ExpirySlidesWithUseAndSweepDropsOnlyExpiredSessions) {
  store_.Save(kId, {{{"x", Variant("1")}}, 2});
  store_.Save("s2", {{{"y", Variant("2")}}, std::nullopt});  // the default 20 minutes
  now_ += minutes(1);
  ASSERT_TRUE(store_.Load(kId));  // restarts its two minutes
  now_ += minutes(1);
  ASSERT_TRUE(store_.Load(kId));
  now_ += minutes(1);
  HttpSession used(store_, kId);
  used.SetValue("z", Variant("3"));  // a save restarts them too
  used.Commit(false);
  now_ += minutes(2);
  EXPECT_FALSE(store_.Load(kId));
  EXPECT_EQ(store_.Sweep(), 1u);
  EXPECT_EQ(Count("qvSessionValue"), "1");  // s2's value stays
  EXPECT_EQ(NullToStr(store_.Load("s2")->values["y"]), "2");

  // A save to an expired session starts it anew, without its old values.
  store_.Save("s3", {{{"old", Variant("1")}}, 1});
  now_ += minutes(1);
  store_.Save("s3", {{{"new", Variant("2")}}, std::nullopt});
  auto record = store_.Load("s3");
  ASSERT_TRUE(record);
  EXPECT_FALSE(record->values.contains("old"));
  EXPECT_EQ(record->timeout_minutes, kDefaultSessionMinutes);

  now_ += minutes(21);
  EXPECT_EQ(store_.Sweep(), 2u);
  EXPECT_EQ(Count("qvSession"), "0");
  EXPECT_EQ(Count("qvSessionValue"), "0");
}

TEST_F(DatabaseSessions, ALoginMovesTheSessionToANewIdAndTheOldOneIsGone) {
  HttpSession visitor(store_, "");
  visitor.SetValue("clip", Variant("page 8"));
  visitor.SetTimeout(30);
  auto cookie = visitor.Commit(false);
  ASSERT_TRUE(cookie);
  const std::string before = cookie->substr(10, 32);
  EXPECT_NE(cookie->find("HttpOnly; SameSite=Lax"), std::string::npos);

  HttpSession login(store_, before);
  login.SetValue("AuthUserID1", Variant("alice"));
  login.RenewId();
  cookie = login.Commit(false);
  ASSERT_TRUE(cookie);
  const std::string after = cookie->substr(10, 32);
  ASSERT_TRUE(IsWellFormedSessionId(after));
  EXPECT_NE(after, before);
  EXPECT_FALSE(store_.Load(before));  // a fixed id learns nothing of the login
  auto record = store_.Load(after);
  ASSERT_TRUE(record);
  EXPECT_EQ(NullToStr(record->values["authuserid1"]), "alice");
  EXPECT_EQ(NullToStr(record->values["clip"]), "page 8");
  EXPECT_EQ(record->timeout_minutes, 30);
  EXPECT_EQ(Count("qvSession"), "1");

  // Unknown and expired sessions are not renamed.
  EXPECT_FALSE(store_.Rename(before, NewSessionId()));
  now_ += minutes(30);
  EXPECT_FALSE(store_.Rename(after, NewSessionId()));
}

}  // namespace
}  // namespace qv::http
