// Two `qvtome serve` processes on one data folder and one database, with
// sessions kept in the database: a login, a saved page, a changed system
// message and a record stamp made through one server hold on the other.
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include <toml++/toml.h>

#include "core/convert.h"
#include "engine/datasources.h"
#include "engine/test_engine.h"
#include "serve_process.h"
#include "session/identity.h"
#include "site_server.h"

namespace qv::http::testing {
namespace {

namespace fs = std::filesystem;

class TwoServers : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = fs::temp_directory_path() / ("qvtome-two-" + std::to_string(::getpid()));
    fs::remove_all(data_);
    fs::create_directories(data_);
    // On SQLite the first server creates qvtome.db in the data folder; on
    // PostgreSQL both find a seeded database of the cluster in the
    // configuration.
    std::string config = "[server]\nsessions = \"database\"\n";
    if (::qv::testing::OnPostgres()) {
      db_.emplace(data_, "qvtome.db", ::qv::testing::Contents::kSeeded);
      config += "[datasource.qvtome]\n" + db_->Entry();
    }
    std::ofstream(data_ / "qvtome.toml") << config;
    // The first creates the database before it listens; the second finds it.
    first_ = std::make_unique<ServeProcess>(data_);
    ASSERT_NE(first_->port(), 0) << "the first server did not start";
    second_ = std::make_unique<ServeProcess>(data_);
    ASSERT_NE(second_->port(), 0) << "the second server did not start";
    const toml::table parsed = toml::parse(config);
    ConfigureDataSources(&parsed, data_.string());  // "qvtome": the servers' database
  }
  void TearDown() override {
    for (auto* server : {&first_, &second_}) {
      if (*server) {
        EXPECT_EQ((*server)->Stop(SIGTERM), 0);
      }
      server->reset();
    }
    ConfigureDataSources(nullptr, "");
    fs::remove_all(data_);
  }

  static std::string IdOf(const std::string& key) {
    return QueryFirst("SELECT ID FROM qvSystemMsg WHERE dbName = '" + key + "'");
  }
  // The message editor's fields as a browser posts them.
  static std::string MessageForm(const std::string& key, const std::string& english) {
    return "qvEditMsg=1&qvFLD_List=dbName&dbName=" + key +
           "&qvFLD_List=dbMsg_e&dbMsg_e=" + english +
           "&qvFLD_List=dbMsg_n&dbMsg_n=Tekst&qvSave=Save";
  }
  // The hidden fields of a page's first form, URL-encoded.
  static std::string HiddenFields(const std::string& html) {
    std::string posted;
    const std::string form = html.substr(0, html.find("</form>"));
    const std::string start = "<input type=\"hidden\" name=\"";
    for (size_t at = form.find(start); at != std::string::npos; at = form.find(start, at + 1)) {
      const size_t name = at + start.size(), name_end = form.find('"', name);
      const size_t value = form.find("value=\"", name_end) + 7, value_end = form.find('"', value);
      posted += UrlEncode(form.substr(name, name_end - name)) + "=" +
                UrlEncode(form.substr(value, value_end - value)) + "&";
    }
    return posted;
  }

  fs::path data_;
  std::optional<::qv::testing::ScratchDatabase> db_;
  std::unique_ptr<ServeProcess> first_, second_;
};

TEST_F(TwoServers, ALoginOnOneServerIsValidOnTheOther) {
  Browser browser(first_->port());
  Reply login = browser.LogIn("/login.lp", "admin", "qvtome-admin");
  ASSERT_TRUE(Has(login.body, "You are logged in as")) << login.body;
  ASSERT_FALSE(browser.cookie().empty());

  browser.UseServer(second_->port());
  EXPECT_TRUE(Has(browser.Open("/login.lp").body, "You are logged in as"));
  EXPECT_TRUE(Has(browser.Open("/login.lp?logout=1").body, "You have been logged out"));

  browser.UseServer(first_->port());
  EXPECT_TRUE(Has(browser.Open("/login.lp").body, "name=\"qvTomeLoginForm\""));
  // A browser that never logged in is anonymous on both.
  Browser stranger(second_->port());
  EXPECT_FALSE(Has(stranger.Open("/login.lp").body, "You are logged in as"));
}

TEST_F(TwoServers, WhatOneServerSavesTheOtherUsesInItsNextRequest) {
  Browser teacher(first_->port()), admin(second_->port()), reader(second_->port());
  ASSERT_TRUE(Has(teacher.LogIn("/login.lp", "teacher", "teacher-2026").body, "Tessa Teacher"));
  ASSERT_TRUE(Has(admin.LogIn("/login.lp", "admin", "qvtome-admin").body, "You are logged in as"));
  // The second server has read the page and the messages before.
  Reply before = reader.Open("/book.lp?id=8");
  ASSERT_EQ(before.status, 200);
  ASSERT_TRUE(Has(before.body, "alt=\"\"> Home</a>")) << before.body;

  const std::string form = HiddenFields(teacher.Open("/book.lp?id=8&qvAction=edit").body);
  ASSERT_TRUE(Has(form, "qvFLD_List=dbTitle_e")) << form;
  Reply saved = teacher.Send("/book.lp?id=8",
                             form + "dbTitle_e=Saved+on+one&dbContent_e=Shown+by+both&submit=Save");
  ASSERT_EQ(saved.status, 200) << saved.body;
  EXPECT_TRUE(Has(reader.Open("/book.lp?id=8").body, "Shown by both"));

  // A system message changed through the second server, used by the first.
  const std::string page = "/msgedit.lp?id=" + IdOf("SiteHome");
  admin.Open(page);
  ASSERT_TRUE(Has(admin.Send(page, MessageForm("SiteHome", "Start+here")).body, "have been saved"));
  reader.UseServer(first_->port());
  Reply after = reader.Open("/book.lp?id=8");
  EXPECT_TRUE(Has(after.body, "alt=\"\"> Start here</a>")) << after.body;
  EXPECT_FALSE(Has(after.body, "alt=\"\"> Home</a>"));
}

TEST_F(TwoServers, AChangeMadeThroughOneServerIsNotLostToAnOlderFormOfTheOther) {
  QueryFirst(
      "INSERT INTO qvAuthUser (dbUserID, dbPassword, dbPasswordType, dbMajorGroup, dbFullName_e) "
      "VALUES ('editor', '" +
      EncodePassword("second-pass") + "', 0, '99', 'Second Editor')");
  Browser first(first_->port()), second(second_->port());
  ASSERT_TRUE(Has(first.LogIn("/login.lp", "admin", "qvtome-admin").body, "You are logged in"));
  ASSERT_TRUE(Has(second.LogIn("/login.lp", "editor", "second-pass").body, "You are logged in"));
  const std::string id = IdOf("SiteShow");
  const std::string page = "/msgedit.lp?id=" + id;
  ASSERT_TRUE(Has(first.Open(page).body, "name=\"dbMsg_e\""));
  ASSERT_TRUE(Has(second.Open(page).body, "name=\"dbMsg_e\""));
  EXPECT_TRUE(Has(first.Send(page, MessageForm("SiteShow", "First")).body, "have been saved"));

  Reply refused = second.Send(page, MessageForm("SiteShow", "Second"));
  EXPECT_TRUE(Has(refused.body, "changed in the meantime by")) << refused.body;
  EXPECT_EQ(QueryFirst("SELECT dbMsg_e FROM qvSystemMsg WHERE ID=" + id), "First");
}

}  // namespace
}  // namespace qv::http::testing
