// The default site's pages over a database built from the real schema and
// seed data.
#include <gtest/gtest.h>

#include "engine/datasources.h"
#include "engine/init_db.h"
#include "engine/sqlite_connection.h"
#include "script_fixture.h"

namespace qv::testing {
namespace {

const std::filesystem::path kSite = QV_SITE_DIR;

class SitePages : public ScriptTest {
 protected:
  SitePages() {
    ConfigureDataSources(nullptr, site_.string());
    RegisterSqliteEngine();
    CreateDatabaseIfMissing((site_ / "qvtome.db").string());
  }

  std::string Page(const std::string& name, const std::string& query = "") {
    MemoryHost host(kSite.string());
    host.request.SetQueryString(query);
    host.request.SetServerVariable("SCRIPT_NAME", "/" + name);
    ScriptHost().Run((kSite / name).string(), "/" + name);
    return host.response.Text();
  }
};

TEST_F(SitePages, DefaultPageGreetsInEitherLanguage) {
  std::string page = Page("default.lp");
  EXPECT_NE(page.find("content=\"qvTome education system v1.10\">"), std::string::npos) << page;
  EXPECT_NE(page.find("User ID:"), std::string::npos) << page;
  EXPECT_NE(page.find("href=\"messages.lp?lang=e\""), std::string::npos);
  EXPECT_NE(page.find("src=\"images/mark_current.gif\""), std::string::npos);
  EXPECT_EQ(page.find("qvError"), std::string::npos) << page;
  EXPECT_NE(Page("default.lp", "lang=n").find("Gebruikersnaam:"), std::string::npos);
  EXPECT_NE(Page("default.lp", "lang=%22%3E").find("?lang=e\""), std::string::npos);
}

TEST_F(SitePages, MessagesPageListsAndFiltersTheTable) {
  std::string all = Page("messages.lp");
  EXPECT_NE(all.find("<td class=\"qvKey\">errorODBC</td>"), std::string::npos);
  EXPECT_NE(all.find("&lt;p class=&quot;qvError&quot;&gt;"), std::string::npos);
  std::string some = Page("messages.lp", "q=LOGINmsg");
  EXPECT_NE(some.find(">LoginMsg<"), std::string::npos);
  EXPECT_EQ(some.find(">ButtonSubmit<"), std::string::npos);
  EXPECT_NE(some.find("<p>1 / "), std::string::npos);
  std::string hostile = Page("messages.lp", "q=%22%3E%3Cscript%3E");
  EXPECT_EQ(hostile.find("<script>"), std::string::npos);
  EXPECT_NE(hostile.find("value=\"&quot;&gt;&lt;script&gt;\""), std::string::npos);
}

TEST(SiteImages, EveryIconOfTheComponentIsARealGif) {
  for (const char* name :
       {"mark_current", "mark_page", "mark_pageopened", "mark_book", "mark_bookopened",
        "mark_unfinished1", "mark_unfinished2", "mark_expired", "mark_thumbnail", "CheckBoxOn",
        "CheckBoxOff", "CheckBoxOn1", "CheckBoxOff1", "RadioButtonOn", "RadioButtonOff",
        "RadioButtonOn1", "RadioButtonOff1"}) {
    std::ifstream in(kSite / "images" / (std::string(name) + ".gif"), std::ios::binary);
    char magic[6] = {};
    in.read(magic, 6);
    EXPECT_EQ(std::string(magic, 6), "GIF89a") << name;
  }
}

}  // namespace
}  // namespace qv::testing
