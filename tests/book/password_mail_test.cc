// Book.eMailPassword: who gets a mail, what it says, and what is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../mail/eml.h"
#include "book/book.h"
#include "book/password_mail.h"
#include "book_fixture.h"
#include "mail/mail.h"
#include "session/messages.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using testing::BodyText;
using testing::ParseEml;

class PasswordMailTest : public testing::BookTest {
 protected:
  PasswordMailTest()
      : outbox_(fs::temp_directory_path() / ("qvtome-password-mail-" + std::to_string(::getpid())) /
                "outbox") {
    fs::remove_all(outbox_.parent_path());
    Configure(outbox_.string());
    SharedPasswordMailLimit().Configure({.per_hour = 1000});
    Kept().FromEmail = "qvTome <site@school.example>";
    host.request.SetServerVariable("REMOTE_ADDR", "10.0.0.1");
    AddUser("u1", EncodePassword("s3cret-Pw"), "u1@school.example");
  }
  ~PasswordMailTest() override {
    SharedPasswordMailLimit().SetClock(nullptr);
    SharedPasswordMailLimit().Configure({});
    fs::remove_all(outbox_.parent_path());
  }

  static void Configure(const std::string& outbox) {
    mail::MailConfig config;
    config.outbox = outbox;
    mail::ConfigureMail(config);
  }

  void AddUser(const std::string& id, const Variant& password, const Variant& email, int type = 0,
               const Variant& expires = Null) {
    Insert("qvAuthUser", {{"dbUserID", id},
                          {"dbPassword", password},
                          {"dbPasswordType", type},
                          {"dbeMail", email},
                          {"dbExpiredDate", expires},
                          {"dbPositionTitle_e", "Dr"},
                          {"dbFullName_e", "Ann Smith"}});
  }

  std::vector<std::string> Outbox() const {
    std::vector<std::string> texts;
    if (!fs::exists(outbox_)) return texts;
    for (const auto& entry : fs::directory_iterator(outbox_)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      texts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return texts;
  }

  // The one message of the outbox, removed again.
  testing::Eml TakeMail() {
    const std::vector<std::string> texts = Outbox();
    EXPECT_EQ(texts.size(), 1u);
    fs::remove_all(outbox_);
    return texts.empty() ? testing::Eml{} : ParseEml(texts[0]);
  }

  fs::path outbox_;
  Book book;
};

TEST_F(PasswordMailTest, NoMailForUnknownExpiredBarredOrAddresslessUsers) {
  AddUser("old", EncodePassword("x"), "old@school.example", 0, "2001-01-01 00:00:00");
  AddUser("lan", EncodePassword("x"), "lan@school.example", -1);
  AddUser("nomail", EncodePassword("x"), Null);
  AddUser("blank", EncodePassword("x"), "  ");
  for (const char* id :
       {"nobody", "old", "lan", "nomail", "blank", "", "' or '1'='1", "u1' or dbUserID<>'"}) {
    EXPECT_EQ(book.eMailPassword(id), "False") << id;
  }
  EXPECT_TRUE(Outbox().empty());
  EXPECT_TRUE(host.server.errors_logged.empty());
  // A user whose account expires later still gets his mail.
  AddUser("later", EncodePassword("x"), "later@school.example", 0, "2999-01-01 00:00:00");
  EXPECT_EQ(book.eMailPassword("later"), "later@school.example");
}

TEST_F(PasswordMailTest, TheTemplateGetsTheUsersValuesAndTheDecodedPassword) {
  SetMsg("msgeMailPasswordBody_e",
         "<qvTm.dbPositionTitle> <qvTm.dbFullName>: user <qvTm.dbUserID>, password "
         "<qvTm.dbPassword>; again <qvTm.dbPassword>. <qvTm.dbpassword> stays.",
         true);
  EXPECT_EQ(book.eMailPassword("u1"), "u1@school.example");
  const testing::Eml mail = TakeMail();
  EXPECT_EQ(BodyText(mail),
            "Dr Ann Smith: user u1, password s3cret-Pw; again s3cret-Pw. <qvTm.dbpassword> "
            "stays.\r\n");
  EXPECT_EQ(mail.Header("to"), "u1@school.example");
  EXPECT_EQ(mail.Header("from"), "\"qvTome\" <site@school.example>");
  EXPECT_EQ(mail.Header("subject"), GetMsg("msgeMailSubject", 1));

  // A value that looks like a placeholder is put in as it is.
  Exec(
      "UPDATE qvAuthUser SET dbFullName_e = '<qvTm.dbPassword>', dbPositionTitle_e = Null "
      "WHERE dbUserID = 'u1'");
  book.eMailPassword("u1");
  EXPECT_EQ(BodyText(TakeMail()),
            " <qvTm.dbPassword>: user u1, password s3cret-Pw; again s3cret-Pw. "
            "<qvTm.dbpassword> stays.\r\n");

  SetMsg("msgeMailPasswordBody_e", "No placeholders here.", true);
  book.eMailPassword("u1");
  EXPECT_EQ(BodyText(TakeMail()), "No placeholders here.\r\n");
}

TEST_F(PasswordMailTest, AStoredAddressThatWouldAddHeadersIsRefused) {
  AddUser("evil", EncodePassword("pw-evil"), "a@school.example\r\nBcc: thief@x.org");
  AddUser("two", EncodePassword("pw-two"), "a@school.example\nSubject: hi");
  EXPECT_EQ(book.eMailPassword("evil"), "Error");
  EXPECT_EQ(book.eMailPassword("two"), "Error");
  EXPECT_TRUE(Outbox().empty());
  ASSERT_EQ(host.server.errors_logged.size(), 2u);
  EXPECT_NE(host.server.errors_logged[0].find("line break"), std::string::npos);
  EXPECT_NE(host.server.errors_logged[0].find("user evil"), std::string::npos);
  EXPECT_EQ(host.server.errors_logged[0].find("pw-evil"), std::string::npos);
}

TEST_F(PasswordMailTest, AMailObjectThatCannotBeCreatedGivesError) {
  fs::create_directories(outbox_.parent_path());
  std::ofstream(outbox_.parent_path() / "file") << "x";
  Configure((outbox_.parent_path() / "file" / "outbox").string());
  EXPECT_EQ(book.eMailPassword("u1"), "Error");
  EXPECT_EQ(book.eMailPassword("nobody"), "False");
  ASSERT_EQ(host.server.errors_logged.size(), 1u);
  EXPECT_NE(host.server.errors_logged[0].find("outbox"), std::string::npos);
}

TEST_F(PasswordMailTest, AnAccountAndAnAddressGetAFewMailsAnHour) {
  auto now = std::chrono::steady_clock::now();
  SharedPasswordMailLimit().SetClock([&] { return now; });
  SharedPasswordMailLimit().Configure({.per_hour = 2});
  AddUser("u2", EncodePassword("x"), "u2@school.example");
  EXPECT_EQ(book.eMailPassword("u1"), "u1@school.example");
  EXPECT_EQ(book.eMailPassword("U1"), "u1@school.example");  // the same account
  EXPECT_EQ(book.eMailPassword("u1"), "False");
  EXPECT_EQ(book.eMailPassword("u2"), "False");  // this address has had its two
  EXPECT_EQ(Exec("SELECT count(*) FROM qvAuthLog WHERE dbAction = 17").rows[0][0].AsInteger(), 2);
  host.request.SetServerVariable("REMOTE_ADDR", "10.0.0.2");
  EXPECT_EQ(book.eMailPassword("u1"), "False");  // and this account
  EXPECT_EQ(book.eMailPassword("u2"), "u2@school.example");
  EXPECT_EQ(Outbox().size(), 3u);

  now += std::chrono::minutes(59);
  EXPECT_EQ(book.eMailPassword("u1"), "False");
  now += std::chrono::minutes(1);
  EXPECT_EQ(book.eMailPassword("u1"), "u1@school.example");
}

TEST_F(PasswordMailTest, TheLimitForgetsTheLongestIdleWhenItTracksTooMany) {
  auto now = std::chrono::steady_clock::now();
  PasswordMailLimit limit({.per_hour = 1, .max_entries = 4}, [&] { return now; });
  EXPECT_TRUE(limit.Admit("a", "1"));
  now += std::chrono::seconds(1);
  EXPECT_TRUE(limit.Admit("b", "2"));
  now += std::chrono::seconds(1);
  EXPECT_TRUE(limit.Admit("c", "3"));  // "a" and "1" are dropped
  EXPECT_TRUE(limit.Admit("a", "1"));
  EXPECT_FALSE(limit.Admit("c", "4"));
}

TEST_F(PasswordMailTest, ScriptsMailThroughTheBookAndTheMailObject) {
  EXPECT_EQ(RunScript("Response.Write(qvTome.Book():eMailPassword('u1'))"), "u1@school.example");
  TakeMail();
  EXPECT_EQ(RunScript(R"(
    local m = Server.CreateObject("CDONTS.NewMail")
    m.From = "a@school.example"
    m.To = "b@school.example"
    m.Subject = "Hi"
    m.Body = "Text"
    local ok = pcall(function() m.To = "c@x.org\r\nBcc: d@x.org" end)
    Response.Write(tostring(ok) .. " " .. m.To .. " " .. m.Subject .. " " .. m.Body)
    m:Send())"),
            "false b@school.example Hi Text");
  const testing::Eml mail = TakeMail();
  EXPECT_EQ(mail.Header("to"), "b@school.example");
  EXPECT_EQ(BodyText(mail), "Text\r\n");
}

}  // namespace
}  // namespace qv
