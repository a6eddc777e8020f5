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

TEST(HttpSession, NothingIsStoredForVisitorsWhoStoreNothing) {
  MemorySessionStore store;
  HttpSession session(store, "");
  EXPECT_EQ(NullToStr(session.Value("never")), "");
  EXPECT_EQ(session.Timeout(), 20);
  EXPECT_FALSE(session.Commit(false));
  EXPECT_EQ(store.size(), 0u);
}

TEST(HttpSession, ValuesSurviveAndRenewKeepsThemUnderANewId) {
  MemorySessionStore store;
  std::string id;
  {
    HttpSession first(store, "");
    first.SetValue("AuthUserID1", Variant("alice"));
    auto cookie = first.Commit(true);
    ASSERT_TRUE(cookie);
    EXPECT_NE(cookie->find("HttpOnly"), std::string::npos);
    EXPECT_NE(cookie->find("SameSite=Lax"), std::string::npos);
    EXPECT_NE(cookie->find("Secure"), std::string::npos);
    id = CookieId(*cookie);
  }
  HttpSession second(store, id);
  EXPECT_EQ(NullToStr(second.Value("authuserid1")), "alice");
  EXPECT_FALSE(second.Commit(false));  // unchanged: no new cookie
  HttpSession third(store, id);
  third.RenewId();
  auto renewed = third.Commit(false);
  ASSERT_TRUE(renewed);
  EXPECT_EQ(renewed->find("Secure"), std::string::npos);
  EXPECT_NE(CookieId(*renewed), id);
  EXPECT_FALSE(store.Load(id));  // the old id no longer opens it
  EXPECT_EQ(NullToStr(store.Load(CookieId(*renewed))->values["authuserid1"]), "alice");
}

TEST(HttpSession, ConcurrentRequestsMergeTheirChanges) {
  MemorySessionStore store;
  store.Save("0123456789abcdef0123456789abcdef", {{{"a", Variant("0")}}, std::nullopt});
  HttpSession one(store, "0123456789abcdef0123456789abcdef");
  HttpSession two(store, "0123456789abcdef0123456789abcdef");
  one.SetValue("a", Variant("1"));
  two.SetValue("b", Variant("2"));
  one.Commit(false);
  two.Commit(false);
  auto record = store.Load("0123456789abcdef0123456789abcdef");
  EXPECT_EQ(NullToStr(record->values["a"]), "1");
  EXPECT_EQ(NullToStr(record->values["b"]), "2");
}

TEST(HttpSession, TimeoutBelowOneMinuteIsRefused) {
  MemorySessionStore store;
  HttpSession session(store, "");
  EXPECT_THROW(session.SetTimeout(0), HostError);
  session.SetTimeout(180);
  EXPECT_EQ(session.Timeout(), 180);
}

}  // namespace
}  // namespace qv::http
