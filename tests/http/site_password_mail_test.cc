// The forgot-password page on a real server, delivering through a real
// SMTP server: a local aiosmtpd (Debian's python3-aiosmtpd) that saves
// what it receives into a maildir. Every visitor reads the same answer; a
// mail goes out only for an active account with an address.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "../mail/eml.h"
#include "book/password_mail.h"
#include "mail/mail.h"
#include "site_server.h"

namespace qv::http {
namespace {

namespace fs = std::filesystem;
using testing::Browser;
using testing::Has;
using testing::Reply;

// The Python that has aiosmtpd: Debian's first, then the one on the PATH.
std::string PythonWithAiosmtpd() {
  for (const char* python : {"/usr/bin/python3", "python3"}) {
    const std::string check = std::string(python) + " -c 'import aiosmtpd' >/dev/null 2>&1";
    if (std::system(check.c_str()) == 0) return python;
  }
  return "";
}

bool Accepts(uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  ::close(fd);
  return ok;
}

// aiosmtpd on 127.0.0.1, saving each message into <maildir>/new; stopped
// when destroyed.
class SmtpServer {
 public:
  SmtpServer(const std::string& python, const fs::path& maildir)
      : port_(qv::testing::FreeLoopbackPort()) {
    const std::string listen = "127.0.0.1:" + std::to_string(port_);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::execlp(python.c_str(), python.c_str(), "-m", "aiosmtpd", "-n", "-l", listen.c_str(), "-c",
               "aiosmtpd.handlers.Mailbox", maildir.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    // Python takes a while to start on a busy machine.
    for (int i = 0; i < 1200 && !Accepts(port_); ++i) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  ~SmtpServer() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  bool running() const { return pid_ > 0 && Accepts(port_); }
  uint16_t port() const { return port_; }

 private:
  uint16_t port_;
  pid_t pid_ = -1;
};

// The messages of a maildir, their LF line ends made CR LF again.
std::vector<qv::testing::Eml> Delivered(const fs::path& maildir) {
  std::vector<qv::testing::Eml> mails;
  if (!fs::exists(maildir / "new")) return mails;
  for (const auto& entry : fs::directory_iterator(maildir / "new")) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::string text, line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      text += line + "\r\n";
    }
    mails.push_back(qv::testing::ParseEml(text));
  }
  return mails;
}

TEST(SitePasswordMail, APasswordAskedForOnThePageArrivesThroughSmtp) {
  const std::string python = PythonWithAiosmtpd();
  if (python.empty()) {
    GTEST_SKIP() << "python3-aiosmtpd is not installed (scripts/install-deps.sh installs it)";
  }
  const fs::path maildir =
      fs::temp_directory_path() / ("qvtome_smtp_box_" + std::to_string(::getpid()));
  fs::remove_all(maildir);
  SmtpServer smtp(python, maildir);
  ASSERT_TRUE(smtp.running()) << "aiosmtpd did not start";

  const toml::table config =
      toml::parse("[mail]\nsmtp_url = \"smtp://127.0.0.1:" + std::to_string(smtp.port()) +
                  "\"\nfrom = \"qvTome <site@school.example>\"\n"
                  "password_mails_per_hour = 2\n");
  testing::SiteServer site("qvtome_site_password_mail");
  const mail::MailConfig mail_config = mail::LoadMailConfig(&config, site.data_dir().string());
  mail::ConfigureMail(mail_config);
  SharedPasswordMailLimit().Configure({.per_hour = mail_config.password_mails_per_hour});

  Browser visitor(site.port());
  const Reply login = visitor.Open("/login.lp");
  EXPECT_TRUE(Has(login.body, "<a href=\"password.lp?lang=e\">Forgot your password?</a>"));
  const Reply form = visitor.Open("/password.lp");
  EXPECT_TRUE(Has(form.body, "method=\"POST\""));
  EXPECT_TRUE(Has(form.body, "name=\"qvTomeUserID\""));

  // A link cannot send mail; a posted form can.
  EXPECT_FALSE(Has(visitor.Open("/password.lp?qvTomeUserID=teacher").body, "on its way"));
  const Reply sent = visitor.Send("/password.lp", "qvTomeUserID=teacher");
  EXPECT_EQ(sent.status, 200);
  EXPECT_TRUE(Has(sent.body, "is on its way to that address"));
  EXPECT_FALSE(Has(sent.body, "teacher@localhost"));

  std::vector<qv::testing::Eml> mails = Delivered(maildir);
  ASSERT_EQ(mails.size(), 1u);
  const qv::testing::Eml& mail = mails[0];
  EXPECT_EQ(mail.Header("to"), "teacher@localhost");
  EXPECT_EQ(mail.Header("x-rcptto"), "teacher@localhost");
  EXPECT_EQ(mail.Header("from"), "\"qvTome\" <site@school.example>");
  EXPECT_EQ(mail.Header("x-mailfrom"), "site@school.example");
  EXPECT_EQ(mail.Header("subject"), "Your password for qvTome");
  EXPECT_EQ(mail.Header("content-type"), "text/plain; charset=UTF-8");
  EXPECT_FALSE(mail.Header("message-id").empty());
  EXPECT_FALSE(mail.Header("date").empty());
  EXPECT_EQ(qv::testing::BodyText(mail),
            "Dear Ms Tessa Teacher, your user ID is teacher and your password is teacher-2026. "
            "Please keep this message in a safe place.\r\n");

  // The same answer for an unknown account, an empty request aside; and no
  // third mail for this address within the hour.
  EXPECT_EQ(visitor.Send("/password.lp", "qvTomeUserID=nobody").body, sent.body);
  EXPECT_TRUE(
      Has(visitor.Send("/password.lp", "qvTomeUserID=").body, "Please enter your user ID."));
  EXPECT_EQ(visitor.Send("/password.lp", "qvTomeUserID=student").body, sent.body);
  EXPECT_EQ(visitor.Send("/password.lp", "qvTomeUserID=teacher").body, sent.body);
  EXPECT_EQ(Delivered(maildir).size(), 2u);

  SharedPasswordMailLimit().Configure({});
  mail::ConfigureMail(mail::LoadMailConfig(nullptr, site.data_dir().string()));
  fs::remove_all(maildir);
}

}  // namespace
}  // namespace qv::http
