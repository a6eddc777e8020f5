#include <gtest/gtest.h>

#include "core/convert.h"
#include "http/http_session.h"
#include "http/session_store.h"

namespace qv::http {
namespace {

using std::chrono::minutes;

struct FakeClock {
  std::chrono::steady_clock::time_point now{};
  MemorySessionStore::Clock fn() {
    return [this] { return now; };
  }
};

std::string CookieId(const std::string& set_cookie) {
  size_t eq = set_cookie.find('=');
  return set_cookie.substr(eq + 1, set_cookie.find(';') - eq - 1);
}

TEST(SessionIds, AreRandomHex128) {
  std::string a = NewSessionId(), b = NewSessionId();
  EXPECT_TRUE(IsWellFormedSessionId(a));
  EXPECT_NE(a, b);
  EXPECT_FALSE(IsWellFormedSessionId("../../etc"));
  EXPECT_FALSE(IsWellFormedSessionId(std::string(32, 'G')));
}

TEST(MemorySessionStore, ExpirySlidesWithUseAndSweepDropsExpired) {
  FakeClock clock;
  MemorySessionStore store(clock.fn());
  store.Save("s1", {{{"x", Variant("1")}}, 2});
  store.Save("s2", {{{"y", Variant("2")}}, std::nullopt});  // default 20 minutes
  clock.now += minutes(1);
  ASSERT_TRUE(store.Load("s1"));  // restarts s1's two minutes
  clock.now += minutes(1);
  ASSERT_TRUE(store.Load("s1"));
  clock.now += minutes(2);
  EXPECT_FALSE(store.Load("s1"));
  EXPECT_EQ(NullToStr(store.Load("s2")->values["y"]), "2");
  clock.now += minutes(21);
  EXPECT_EQ(store.Sweep(), 1u);
  EXPECT_EQ(store.size(), 0u);
}

TEST(MemorySessionStore, AFullStoreEvictsTheLeastRecentlyUsedAnonymousSessionFirst) {
  FakeClock clock;
  MemorySessionStore store(clock.fn(), 3);
  HttpSession login(store, "");
  login.SetValue("AuthUserID1", Variant("alice"));
  login.RenewId();
  const std::string held = CookieId(*login.Commit(false));
  for (const char* id : {"a1", "a2"}) {
    clock.now += minutes(1);
    store.Save(id, {{{"x", Variant("1")}}, std::nullopt});
  }
  clock.now += minutes(1);
  ASSERT_TRUE(store.Load("a1"));  // a1 is now used more recently than a2
  store.Save("a3", {{{"x", Variant("1")}}, std::nullopt});
  EXPECT_EQ(store.size(), 3u);
  EXPECT_FALSE(store.Contains("a2"));
  EXPECT_TRUE(store.Contains("a1"));
  EXPECT_TRUE(store.Contains(held));  // older than all, but held by a known visitor
  store.Save("a4", {{{"x", Variant("1")}}, std::nullopt});
  store.Save("a5", {{{"x", Variant("1")}}, std::nullopt});
  EXPECT_TRUE(store.Contains(held));
  EXPECT_EQ(store.TakeEvictions(), 3u);
  EXPECT_EQ(store.TakeEvictions(), 0u);
  // Only held sessions left: the oldest of them goes. An expired one is
  // dropped without counting as an eviction.
  MemorySessionStore small(clock.fn(), 1);
  small.Save("h1", {{}, 1, true});
  clock.now += minutes(2);
  small.Save("h2", {{}, std::nullopt, true});
  EXPECT_FALSE(small.Contains("h1"));
  EXPECT_EQ(small.TakeEvictions(), 0u);
  small.Save("h3", {{}, std::nullopt, true});
  EXPECT_EQ(small.TakeEvictions(), 1u);
  EXPECT_TRUE(small.Contains("h3"));
}

TEST(HttpSession, NothingIsStoredForVisitorsWhoStoreNothing) {
  MemorySessionStore store;
  HttpSession session(store, "");
  EXPECT_EQ(NullToStr(session.Value("never")), "");
  EXPECT_THROW(session.SetTimeout(0), HostError);
  EXPECT_FALSE(session.Commit(false));
  EXPECT_EQ(store.size(), 0u);
}

// Renewal and the cookie's attributes are checked through the server.
TEST(HttpSession, ValuesSurviveWithoutResendingTheCookie) {
  MemorySessionStore store;
  HttpSession first(store, "");
  first.SetValue("AuthUserID1", Variant("alice"));
  auto cookie = first.Commit(true);
  ASSERT_TRUE(cookie);
  EXPECT_NE(cookie->find("Secure"), std::string::npos);
  HttpSession second(store, CookieId(*cookie));
  EXPECT_EQ(NullToStr(second.Value("authuserid1")), "alice");
  EXPECT_FALSE(second.Commit(false));  // unchanged: no new cookie
}

TEST(HttpSession, ConcurrentRequestsMergeTheirChanges) {
  MemorySessionStore store;
  const std::string id = "0123456789abcdef0123456789abcdef";
  store.Save(id, {{{"a", Variant("0")}}, std::nullopt});
  HttpSession one(store, id), two(store, id);
  one.SetValue("a", Variant("1"));
  two.SetValue("b", Variant("2"));
  one.Commit(false);
  two.Commit(false);
  auto record = store.Load(id);
  EXPECT_EQ(NullToStr(record->values["a"]), "1");
  EXPECT_EQ(NullToStr(record->values["b"]), "2");
}

}  // namespace
}  // namespace qv::http
