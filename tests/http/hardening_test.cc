// End-to-end, against a real server on 127.0.0.1 with a page handler
// written here: spellings of a path that must not serve a file raw, links
// out of the site and media folders, unknown session ids, writes sent from
// another site, and the security headers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "host/host_objects.h"
#include "http/http_server.h"
#include "test_client.h"

namespace qv::http {
namespace {

namespace fs = std::filesystem;
using testing::Fetch;
using testing::Get;
using testing::Post;
using testing::Reply;

std::atomic<int> g_pages_run{0};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

void WriteFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

void RunPage(const std::string&, const std::string& virtual_path) {
  ++g_pages_run;
  const HostObjects& host = CurrentHostObjects();
  if (virtual_path == "/session.lp") host.session->SetValue("x", Variant("1"));
  host.response->Write("ran " + virtual_path);
}

class Hardening : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = fs::temp_directory_path() / ("qvtome_hardening_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    const fs::path site = root_ / "site", media = root_ / "data/media";
    WriteFile(site / "book.lp", "-- source of book.lp");
    WriteFile(site / "Upper.LP", "-- source of Upper.LP");
    WriteFile(site / "session.lp", "-- source of session.lp");
    WriteFile(site / "style.css", "body{}");
    WriteFile(site / "qvtome.toml", "[server] secret");
    WriteFile(media / "x.db", "SQLite secret");
    WriteFile(media / "upper.DB", "SQLite secret");
    WriteFile(media / "qvtome/pic.png", "PNG");
    // Siblings whose names start with the roots' names.
    WriteFile(root_ / "site-private/secret.txt", "secret");
    WriteFile(root_ / "site-private/page.lp", "-- source of page.lp, secret");
    WriteFile(root_ / "data/media-private/secret.txt", "secret");
    fs::create_directory_symlink("../site-private", site / "private");
    fs::create_symlink("../site-private/secret.txt", site / "secret.txt");
    fs::create_symlink("../site-private/page.lp", site / "page.lp");
    fs::create_directory_symlink("../../media-private", media / "qvtome/private");
    fs::create_symlink("../../media-private/secret.txt", media / "qvtome/secret.txt");
    fs::create_symlink("style.css", site / "inner.css");     // stays inside: served
    fs::create_symlink("book.lp", site / "source.txt");      // a script by another name
    fs::create_symlink("qvtome.toml", site / "config.txt");  // configuration by another name

    ServerConfig config;
    config.port = 0;
    config.site_dir = site.string();
    config.data_dir = (root_ / "data").string();
    config.worker_threads = 2;
    config.log_to_files = false;
    config.trusted_proxies = {"127.0.0.2"};
    config.allowed_origins = {"https://portal.example.org/"};
    sessions_ = std::make_shared<MemorySessionStore>();
    server_ = new HttpServer(config, RunPage, sessions_);
    server_->Start();
    port_ = server_->port();
  }

  static void TearDownTestSuite() {
    delete server_;
    sessions_.reset();
    fs::remove_all(root_);
  }

  static Reply Ask(const std::string& request, const std::string& from = "") {
    return Fetch(port_, request, from);
  }

  static inline fs::path root_;
  static inline HttpServer* server_ = nullptr;
  static inline std::shared_ptr<MemorySessionStore> sessions_;
  static inline uint16_t port_ = 0;
};

TEST_F(Hardening, NoSpellingOfAPathServesAScriptDatabaseOrConfigurationRaw) {
  for (const char* path :
       {"/book.lp/",      "/book.lp//",    "/book.lp%2f",     "/book.lp%2F",     "/book.lp%2f%2f",
        "/book.lp/.",     "/Upper.LP/",    "/media/x.db",     "/media/x.db/",    "/media/x.db//",
        "/media/x.db%2f", "/media/x%2edb", "/media//x.db/",   "/media/upper.DB", "/media/upper.DB/",
        "/qvtome.toml",   "/qvtome.toml/", "/qvtome.toml%2f", "/qvtome.toml//",  "/source.txt",
        "/config.txt"}) {
    Reply r = Ask(Get(path));
    EXPECT_EQ(r.status, 404) << path;
    EXPECT_FALSE(Has(r.body, "source of")) << path;
    EXPECT_FALSE(Has(r.body, "secret")) << path;
  }
  // Spellings of the same script still run it, once resolved.
  for (const char* path : {"/book.lp", "//book.lp", "/%62ook.lp", "/Upper.LP"}) {
    Reply r = Ask(Get(path));
    EXPECT_EQ(r.status, 200) << path;
    EXPECT_TRUE(r.body.starts_with("ran /")) << path;
  }
  EXPECT_EQ(Ask(Get("/inner.css")).body, "body{}");
}

TEST_F(Hardening, LinksOutOfTheSiteOrMediaFolderAreNotFound) {
  const int before = g_pages_run;
  for (const char* path : {"/private/secret.txt", "/secret.txt", "/page.lp", "/private/page.lp",
                           "/media/qvtome/private/secret.txt", "/media/qvtome/secret.txt"}) {
    Reply r = Ask(Get(path));
    EXPECT_EQ(r.status, 404) << path;
    EXPECT_FALSE(Has(r.body, "secret")) << path;
  }
  EXPECT_EQ(g_pages_run, before);
  EXPECT_EQ(Ask(Get("/media/qvtome/pic.png")).body, "PNG");

  // A file once served, then replaced by a link out of the site.
  const fs::path swap = root_ / "site/swap.txt";
  WriteFile(swap, "public");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Ask(Get("/swap.txt")).body, "public");
  fs::remove(swap);
  fs::create_symlink("../site-private/secret.txt", swap);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Ask(Get("/swap.txt")).status, 404);
}

TEST_F(Hardening, AnUnknownSessionIdIsNeverTakenOver) {
  const std::string chosen = "0123456789abcdef0123456789abcdef";
  Reply r = Ask(Get("/session.lp", "Cookie: QVSESSION=" + chosen + "\r\n"));
  const std::string set = r.Header("set-cookie");
  ASSERT_TRUE(set.starts_with("QVSESSION=")) << set;
  const std::string issued = set.substr(10, set.find(';') - 10);
  EXPECT_NE(issued, chosen);
  EXPECT_TRUE(sessions_->Contains(issued));
  EXPECT_FALSE(sessions_->Contains(chosen));
}

TEST_F(Hardening, WritesFromAnotherSiteAreRefusedBeforeAnyPageRuns) {
  const std::string form = "application/x-www-form-urlencoded";
  const std::pair<std::string, std::string> refused[] = {
      {Post("/book.lp", form, "a=1", "Origin: http://evil.invalid\r\n"), ""},
      {Post("/book.lp", form, "a=1", "Sec-Fetch-Site: cross-site\r\n"), ""},
      {Post("/book.lp", form, "a=1", "Origin: null\r\n"), ""},
      {Post("/book.lp", form, "a=1", "Origin: http://localhost.evil.invalid\r\n"), ""},
      // A page served over TLS does not take writes from its plain-http twin.
      {Post("/book.lp", form, "a=1", "Origin: http://localhost\r\nX-Forwarded-Proto: https\r\n"),
       "127.0.0.2"},
      {Get("/book.lp?id=3&qvAction=delete", "Sec-Fetch-Site: cross-site\r\n"), ""},
      {Get("/book.lp?id=3&qvaction=SubmitAssignment", "Sec-Fetch-Site: cross-site\r\n"), ""},
      {Get("/book.lp?id=3&dbBID=3&delete=ON&BibOwner=Save", "Origin: http://evil.invalid\r\n"), ""},
      {Get("/book.lp?qvTomeLogin=true&qvTomeUserID=admin", "Sec-Fetch-Site: cross-site\r\n"), ""},
      {Get("/book.lp?id=3&deletefile=a.png", "Sec-Fetch-Site: cross-site\r\n"), ""},
  };
  const int before = g_pages_run;
  for (const auto& [request, from] : refused) {
    Reply r = Ask(request, from);
    EXPECT_EQ(r.status, 403) << request;
    EXPECT_FALSE(Has(r.body, "ran ")) << request;
  }
  EXPECT_EQ(g_pages_run, before);

  const std::pair<std::string, std::string> accepted[] = {
      {Post("/book.lp", form, "a=1"), ""},
      {Post("/book.lp", form, "a=1", "Origin: http://localhost\r\n"), ""},
      {Post("/book.lp", form, "a=1", "Origin: http://LOCALHOST:80\r\n"), ""},
      {Post("/book.lp", form, "a=1", "Sec-Fetch-Site: same-origin\r\nOrigin: null\r\n"), ""},
      {Post("/book.lp", form, "a=1", "Origin: https://portal.example.org\r\n"), ""},
      {Post("/book.lp", form, "a=1",
            "Origin: https://portal.example.org:443\r\nSec-Fetch-Site: cross-site\r\n"),
       ""},
      // A TLS proxy that does not say so serves this very host.
      {Post("/book.lp", form, "a=1", "Origin: https://localhost\r\n"), ""},
      // Behind the TLS proxy: the host the client addressed, over https.
      {Post("/book.lp", form, "a=1",
            "Origin: https://qv.example.org\r\nX-Forwarded-Proto: https\r\n"
            "X-Forwarded-Host: qv.example.org\r\n"),
       "127.0.0.2"},
      {Get("/book.lp?id=3&qvAction=delete"), ""},
      {Get("/book.lp?id=3&qvAction=delete", "Sec-Fetch-Site: same-origin\r\n"), ""},
      // Reading from another site is fine.
      {Get("/book.lp?id=3&qvAction=edit", "Sec-Fetch-Site: cross-site\r\n"), ""},
      {Get("/book.lp?id=3", "Origin: http://evil.invalid\r\n"), ""},
  };
  for (const auto& [request, from] : accepted) {
    Reply r = Ask(request, from);
    EXPECT_EQ(r.status, 200) << request;
    EXPECT_EQ(r.body, "ran /book.lp") << request;
  }
}

TEST_F(Hardening, SecurityHeadersAndSecureCookiesOverTls) {
  Reply plain = Ask(Get("/session.lp"));
  EXPECT_EQ(plain.Header("content-security-policy"),
            "frame-ancestors 'self'; object-src 'none'; base-uri 'self'");
  EXPECT_EQ(plain.Header("strict-transport-security"), "");
  EXPECT_FALSE(Has(plain.Header("set-cookie"), "Secure"));
  EXPECT_TRUE(Has(plain.Header("set-cookie"), "SameSite=Lax"));

  // The proxy's word counts only from the trusted proxy.
  const std::string tls = Get("/session.lp", "X-Forwarded-Proto: https\r\n");
  EXPECT_EQ(Ask(tls).Header("strict-transport-security"), "");
  Reply proxied = Ask(tls, "127.0.0.2");
  EXPECT_EQ(proxied.Header("strict-transport-security"), "max-age=31536000");
  EXPECT_TRUE(Has(proxied.Header("set-cookie"), "; Secure"));
  EXPECT_EQ(Ask(Get("/style.css", "X-Forwarded-Proto: https\r\n"), "127.0.0.2")
                .Header("strict-transport-security"),
            "max-age=31536000");
}

TEST(HardeningConfig, SecureCookiesSettingAndOwnPolicy) {
  fs::path dir = fs::temp_directory_path() / ("qvtome_secure_" + std::to_string(::getpid()));
  WriteFile(dir / "site/session.lp", "x");
  ServerConfig config;
  config.port = 0;
  config.site_dir = (dir / "site").string();
  config.data_dir = dir.string();
  config.log_to_files = false;
  config.secure_cookies = true;
  config.content_security_policy = "default-src 'self'";
  HttpServer server(config, RunPage);
  server.Start();
  Reply r = Fetch(server.port(), Get("/session.lp"));
  server.Stop();
  fs::remove_all(dir);
  EXPECT_TRUE(Has(r.Header("set-cookie"), "; Secure"));
  EXPECT_EQ(r.Header("strict-transport-security"), "max-age=31536000");
  EXPECT_EQ(r.Header("content-security-policy"), "default-src 'self'");
}

}  // namespace
}  // namespace qv::http
