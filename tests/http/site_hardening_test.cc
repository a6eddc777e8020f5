// End-to-end on the default site over a seeded database: anonymous
// readers cost no session.
#include <gtest/gtest.h>

#include <string>

#include "core/convert.h"
#include "engine/sqlite_connection.h"
#include "site_server.h"

namespace qv::http {
namespace {

using testing::Browser;
using testing::Fetch;
using testing::Get;
using testing::Post;
using testing::Reply;

class SiteHardening : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { site_ = new testing::SiteServer("qvtome_site_hardening"); }
  static void TearDownTestSuite() {
    delete site_;
    site_ = nullptr;
  }

  static std::string Query(const std::string& sql) {
    SqliteConnection conn;
    conn.Open("qvtome", "", "");
    QueryResult result = conn.Query(sql);
    return result.rows.empty() ? "" : NullToStr(result.rows[0][0]);
  }

  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }

  static inline testing::SiteServer* site_ = nullptr;
};

TEST_F(SiteHardening, AnonymousViewsCreateNoSession) {
  const size_t before = site_->sessions().size();
  for (int i = 0; i < 30; ++i) {
    for (const char* page : {"/book.lp?id=8", "/default.lp", "/login.lp"}) {
      Reply r = Fetch(site_->port(), Get(page));
      ASSERT_EQ(r.status, 200) << page;
      EXPECT_EQ(r.Header("set-cookie"), "") << page;
    }
  }
  EXPECT_EQ(site_->sessions().size(), before);
  // The views are still logged, as anonymous.
  EXPECT_EQ(Query("SELECT dbUserID FROM qvAuthLog WHERE dbPageName = '/book.lp' ORDER BY ID DESC"),
            "anonymous");
}

}  // namespace
}  // namespace qv::http
