// End-to-end: a real server on 127.0.0.1 with a page handler written here.
#include "http/http_server.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <future>
#include <initializer_list>
#include <thread>

#include "core/convert.h"
#include "host/host_objects.h"
#include "http/password_hash.h"
#include "test_client.h"

namespace qv::http {
namespace {

namespace fs = std::filesystem;
using testing::Client;
using testing::Fetch;
using testing::Get;
using testing::Post;
using testing::Reply;

std::atomic<int> g_minutes_passed{0};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A throw-away site folder holding `pages`, served on a free port without log files.
ServerConfig ScratchSite(const std::string& name, std::initializer_list<const char*> pages) {
  fs::path dir = fs::temp_directory_path() / (name + std::to_string(::getpid()));
  fs::create_directories(dir / "site");
  for (const char* page : pages) std::ofstream(dir / "site" / page) << "x";
  ServerConfig config;
  config.port = 0;
  config.site_dir = (dir / "site").string();
  config.data_dir = dir.string();
  config.log_to_files = false;
  return config;
}

void WriteFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (const auto& item : items) out += (out.empty() ? "" : ",") + item;
  return out;
}

// The page scripts of the test site, by virtual path.
void RunPage(const std::string& physical, const std::string& virtual_path) {
  const HostObjects& host = CurrentHostObjects();
  Request& rq = *host.request;
  Response& rs = *host.response;
  if (virtual_path == "/echo.lp") {
    rs.Write(rq.QueryString("a") + "|" + rq.Form("b") + "|" + rq.Item("c") + "|" +
             rq.QueryStringAll() + "|" + Join(rq.QueryStringKeys()) + "|" + Join(rq.FormKeys()));
  } else if (virtual_path == "/session.lp") {
    std::string action = rq.QueryString("do");
    if (action == "set") host.session->SetValue("x", Variant(rq.QueryString("v")));
    if (action == "renew") host.session->RenewId();
    rs.Write(NullToStr(host.session->Value("x")));
  } else if (virtual_path == "/redirect.lp") {
    rs.Write("before");
    rs.Redirect(rq.QueryString("to"));
    rs.Write("after");
  } else if (virtual_path == "/end.lp") {
    rs.Write("before");
    rs.End();
    rs.Write("after");
  } else if (virtual_path == "/deny.lp") {
    rs.SetStatus("401 Unauthorized");
  } else if (virtual_path == "/boom.lp") {
    throw std::runtime_error("secret <detail>");
  } else if (virtual_path == "/vars.lp" || virtual_path == "/my dir/vars.lp") {
    for (const char* name : {"SCRIPT_NAME", "QUERY_STRING", "REMOTE_ADDR", "AUTH_USER", "HTTPS",
                             "REQUEST_METHOD", "HTTP_X_CUSTOM", "SERVER_NAME"}) {
      rs.Write(std::string(name) + "=" + rq.ServerVariables(name) + "\n");
    }
  } else if (virtual_path == "/upload.lp") {
    std::string first = rq.Item("id");  // request values stay readable before an upload
    std::string body = rq.BinaryRead(rq.TotalBytes());
    std::string form_error;
    try {
      rq.Form("x");
    } catch (const HostError& e) {
      form_error = "refused";
    }
    rs.Write(first + "|" + std::to_string(body.size()) + "|" + form_error);
  } else if (virtual_path == "/map.lp") {
    rs.Write(host.server->MapPath("/media/qvtome/x") + "|" + host.server->MapPath("img/a.png"));
  } else {
    rs.Write("page " + virtual_path + " at " + physical);
  }
}

class ServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = fs::temp_directory_path() / ("qvtome_http_test_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::path site = root_ / "site", data = root_ / "data";
    for (const char* page :
         {"default.lp", "echo.lp", "session.lp", "redirect.lp", "end.lp", "deny.lp", "boom.lp",
          "vars.lp", "upload.lp", "map.lp", "my dir/vars.lp", "book/default.lp", "script.lua"}) {
      WriteFile(site / page, "-- source of " + std::string(page));
    }
    WriteFile(site / "style.css", "body{}");
    WriteFile(site / "qvtome.db", "DB");
    WriteFile(site / "qvtome.db-wal", "DB");
    WriteFile(site / "qvtome.toml", "[server]");
    WriteFile(site / ".htpasswd", "x");
    WriteFile(site / "empty/readme.txt", "x");
    WriteFile(data / "media/qvtome/pic.png", "PNG");
    WriteFile(data / "media/qvtome/evil.lua", "os.exit()");
    WriteFile(data / "media/qvtome/qvTmUpld.tmp/up.png", "PNG");
    WriteFile(data / "passwd", "# users\nalice:" + HashPassword("secret") + "\n");
    WriteFile(root_ / "outside.txt", "secret");

    ServerConfig config;
    config.port = 0;
    config.site_dir = site.string();
    config.data_dir = data.string();
    config.worker_threads = 2;
    config.max_header_bytes = 4096;
    config.max_body_bytes = 64 * 1024;
    config.trusted_proxies = {"127.0.0.2"};
    config.identity_header = "X-Remote-User";
    config.basic_auth_file = "passwd";
    auto clock = [] {
      return std::chrono::steady_clock::time_point{} + std::chrono::minutes(g_minutes_passed);
    };
    server_ = new HttpServer(config, RunPage, std::make_shared<MemorySessionStore>(clock));
    server_->Start();
    port_ = server_->port();
  }

  static void TearDownTestSuite() {
    delete server_;
    fs::remove_all(root_);
  }

  static Reply Ask(const std::string& request, const std::string& from = "") {
    return Fetch(port_, request, from);
  }

  static inline fs::path root_;
  static inline HttpServer* server_ = nullptr;
  static inline uint16_t port_ = 0;
};

TEST_F(ServerTest, KeepAliveServesTwoRequestsOnOneConnection) {
  Client client(port_);
  client.Send(Get("/echo.lp?a=1"));
  Reply first = client.Read();
  client.Send(Get("/echo.lp?a=2"));
  Reply second = client.Read();
  EXPECT_EQ(first.status, 200);
  EXPECT_EQ(first.body.substr(0, 2), "1|");
  EXPECT_EQ(second.body.substr(0, 2), "2|");
  EXPECT_EQ(second.Header("content-type"), "text/html; charset=utf-8");
  EXPECT_EQ(second.Header("x-content-type-options"), "nosniff");
  EXPECT_EQ(second.Header("content-security-policy"),
            "frame-ancestors 'self'; object-src 'none'; base-uri 'self'");
}

TEST_F(ServerTest, QueryFormAndItemParsing) {
  Reply r = Ask(Post("/echo.lp?a=x+y&a=%41&c=fromquery", "application/x-www-form-urlencoded",
                     "b=1&b=two+words&c=fromform"));
  EXPECT_EQ(r.body, "x y, A|1, two words|fromquery|a=x+y&a=%41&c=fromquery|a,c|b,c");
  r = Ask(Get("/echo.lp", "Cookie: c=fromcookie\r\n"));
  EXPECT_EQ(r.body, "||fromcookie|||");
}

TEST_F(ServerTest, ExpectContinueGetsInterimAnswerBeforeTheBody) {
  Client client(port_);
  client.Send(
      "POST /echo.lp HTTP/1.1\r\nHost: x\r\nExpect: 100-continue\r\n"
      "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 3\r\n\r\n");
  EXPECT_EQ(client.Read().status, 100);
  client.Send("b=5");
  EXPECT_EQ(client.Read().body, "|5||||b");
}

TEST_F(ServerTest, BinaryReadThenFormIsRefusedButItemWorks) {
  std::string body = "--XX\r\nContent-Disposition: form-data; name=\"f\"\r\n\r\nv\r\n--XX--\r\n";
  Reply r = Ask(Post("/upload.lp?id=7", "multipart/form-data; boundary=XX", body));
  EXPECT_EQ(r.body, "7|" + std::to_string(body.size()) + "|refused");
}

TEST_F(ServerTest, SessionSurvivesRequestsRenewsAndExpires) {
  Reply set = Ask(Get("/session.lp?do=set&v=hello"));
  std::string cookie = set.Header("set-cookie");
  ASSERT_EQ(cookie.rfind("QVSESSION=", 0), 0u);
  EXPECT_TRUE(Has(cookie, "HttpOnly; SameSite=Lax")) << cookie;
  std::string id = cookie.substr(0, cookie.find(';'));
  EXPECT_EQ(Ask(Get("/session.lp", "Cookie: " + id + "\r\n")).body, "hello");

  Reply renewed = Ask(Get("/session.lp?do=renew", "Cookie: " + id + "\r\n"));
  std::string new_id = renewed.Header("set-cookie");
  new_id = new_id.substr(0, new_id.find(';'));
  EXPECT_NE(new_id, id);
  EXPECT_EQ(Ask(Get("/session.lp", "Cookie: " + new_id + "\r\n")).body, "hello");
  EXPECT_EQ(Ask(Get("/session.lp", "Cookie: " + id + "\r\n")).body, "");

  g_minutes_passed += 21;  // past the default 20 minutes
  EXPECT_EQ(Ask(Get("/session.lp", "Cookie: " + new_id + "\r\n")).body, "");
}

TEST_F(ServerTest, SecureCookieOnlyWhenTrustedProxySaysHttps) {
  const std::string https = Get("/session.lp?do=set&v=1", "X-Forwarded-Proto: https\r\n");
  EXPECT_FALSE(Has(Ask(https).Header("set-cookie"), "Secure"));
  EXPECT_TRUE(Has(Ask(https, "127.0.0.2").Header("set-cookie"), "Secure"));
}

TEST_F(ServerTest, RedirectAndEndStopThePage) {
  Reply r = Ask(Get("/redirect.lp?to=/target%3Fx%3D1"));
  EXPECT_EQ(r.status, 302);
  EXPECT_EQ(r.Header("location"), "/target?x=1");
  EXPECT_FALSE(Has(r.body, "after"));
  EXPECT_FALSE(Has(r.body, "before"));
  EXPECT_EQ(Ask(Get("/end.lp")).body, "before");
  // A line break in the address is refused, not sent as a header.
  EXPECT_EQ(Ask(Get("/redirect.lp?to=/x%0D%0ASet-Cookie:%20a=b")).status, 500);
}

TEST_F(ServerTest, UnauthorizedCarriesBasicChallengeAndBasicSetsAuthUser) {
  Reply r = Ask(Get("/deny.lp"));
  EXPECT_EQ(r.status, 401);
  EXPECT_EQ(r.Header("www-authenticate"), "Basic realm=\"qvTome\"");
  // alice:secret, then alice:wrong
  EXPECT_TRUE(Has(Ask(Get("/vars.lp", "Authorization: Basic YWxpY2U6c2VjcmV0\r\n")).body,
                  "AUTH_USER=alice\n"));
  EXPECT_TRUE(
      Has(Ask(Get("/vars.lp", "Authorization: Basic YWxpY2U6d3Jvbmc=\r\n")).body, "AUTH_USER=\n"));
}

TEST_F(ServerTest, ForwardingHeadersCountOnlyFromTrustedProxy) {
  std::string headers = "X-Forwarded-For: 10.9.9.9, 10.1.2.3\r\nX-Remote-User: DOM\\bob\r\n";
  std::string direct = Ask(Get("/vars.lp", headers)).body;
  EXPECT_TRUE(Has(direct, "REMOTE_ADDR=127.0.0.1\n"));
  EXPECT_TRUE(Has(direct, "AUTH_USER=\n"));
  std::string proxied = Ask(Get("/vars.lp", headers), "127.0.0.2").body;
  EXPECT_TRUE(Has(proxied, "REMOTE_ADDR=10.1.2.3\n"));
  EXPECT_TRUE(Has(proxied, "AUTH_USER=DOM\\bob\n"));
  std::string forged = Ask(Get("/vars.lp", "X-Forwarded-For: <script>\r\n"), "127.0.0.2").body;
  EXPECT_TRUE(Has(forged, "REMOTE_ADDR=127.0.0.2\n"));
}

TEST_F(ServerTest, ScriptNameAndQueryStringCannotBreakOutOfAttributes) {
  std::string body = Ask(Get("/my%20dir/vars.lp?q=%22ok%22&x=\"><'", "X-Custom: 1\r\n")).body;
  EXPECT_TRUE(Has(body, "SCRIPT_NAME=/my%20dir/vars.lp\n"));
  EXPECT_TRUE(Has(body, "QUERY_STRING=q=%22ok%22&x=%22%3E%3C%27\n"));
  EXPECT_TRUE(Has(body, "HTTP_X_CUSTOM=1\n"));
  EXPECT_TRUE(Has(body, "SERVER_NAME=localhost\n"));
}

TEST_F(ServerTest, ScriptRoutingAndMapPath) {
  EXPECT_TRUE(Has(Ask(Get("/")).body, "page /default.lp"));
  EXPECT_TRUE(Has(Ask(Get("/book/")).body, "page /book/default.lp"));
  Reply slash = Ask(Get("/book?id=3"));
  EXPECT_EQ(slash.status, 301);
  EXPECT_EQ(slash.Header("location"), "/book/?id=3");
  EXPECT_TRUE(Has(Ask(Get("/script.lua")).body, "page /script.lua"));
  EXPECT_EQ(Ask(Get("/missing.lp")).status, 404);
  EXPECT_EQ(Ask(Get("/empty/")).status, 404);
  std::string data = fs::weakly_canonical(root_ / "data").string();
  std::string site = fs::weakly_canonical(root_ / "site").string();
  EXPECT_EQ(Ask(Get("/map.lp")).body, data + "/media/qvtome/x|" + site + "/img/a.png");
}

TEST_F(ServerTest, StaticFilesWithValidators) {
  Reply css = Ask(Get("/style.css"));
  EXPECT_EQ(css.body, "body{}");
  EXPECT_EQ(css.Header("content-type"), "text/css; charset=utf-8");
  std::string etag = css.Header("etag");
  ASSERT_FALSE(etag.empty());
  EXPECT_EQ(Ask(Get("/style.css", "If-None-Match: " + etag + "\r\n")).status, 304);
  EXPECT_EQ(Ask(Get("/style.css", "If-None-Match: \"other\"\r\n")).status, 200);
  std::string since = "If-Modified-Since: " + css.Header("last-modified") + "\r\n";
  EXPECT_EQ(Ask(Get("/style.css", since)).status, 304);
  EXPECT_EQ(Ask(Get("/style.css", "If-Modified-Since: Thu, 01 Jan 1970 00:00:00 GMT\r\n")).status,
            200);
  Reply media = Ask(Get("/media/qvtome/pic.png"));
  EXPECT_EQ(media.body, "PNG");
  EXPECT_EQ(media.Header("content-type"), "image/png");
  Reply head = Ask("HEAD /style.css HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_EQ(head.Header("content-length"), "6");
  EXPECT_EQ(Ask(Post("/style.css", "text/plain", "x")).status, 405);
  // Small files are answered from memory; a changed file is read anew.
  WriteFile(root_ / "site/changing.txt", "first");
  EXPECT_EQ(Ask(Get("/changing.txt")).body, "first");
  WriteFile(root_ / "site/changing.txt", "second, longer");
  EXPECT_EQ(Ask(Get("/changing.txt")).body, "second, longer");
  fs::remove(root_ / "site/changing.txt");
  EXPECT_EQ(Ask(Get("/changing.txt")).status, 404);
}

TEST_F(ServerTest, PrivateAndEscapingPathsAreRefused) {
  const std::pair<const char*, int> cases[] = {
      {"/../outside.txt", 404},
      {"/%2e%2e/outside.txt", 404},
      {"/media/%2E%2E/%2e%2e/outside.txt", 404},
      {"/a%2f..%2f..%2foutside.txt", 404},
      {"/style.css%00.png", 400},
      {"/..%5coutside.txt", 400},
      {"/x\\..\\outside.txt", 400},
      {"/qvtome.db", 404},
      {"/qvtome.DB-wal", 404},
      {"/qvtome.toml", 404},
      {"/.htpasswd", 404},
      {"/media/qvtome/qvTmUpld.tmp/up.png", 404},
      {"/media/qvtome/QVTMUPLD.TMP/up.png", 404},
      {"/media/qvtome/evil.lua", 404},
      {"/media/qvtome/", 404},
  };
  for (const auto& [path, status] : cases) {
    Reply r = Ask(Get(path));
    EXPECT_EQ(r.status, status) << path;
    EXPECT_FALSE(Has(r.body, "secret")) << path;
    EXPECT_FALSE(Has(r.body, "source of")) << path;
  }
}

TEST_F(ServerTest, BadRequestsAreAnsweredAndTheServerKeepsServing) {
  EXPECT_EQ(Ask("NOT A REQUEST\r\n\r\n").status, 400);
  EXPECT_EQ(Ask("GET / HTTP/1.1\r\nBad Header\r\n\r\n").status, 400);
  Reply big = Ask(Post("/echo.lp", "text/plain", std::string(65 * 1024, 'x')));
  EXPECT_EQ(big.status, 413);
  Reply huge = Ask(Get("/", "X-Big: " + std::string(5000, 'y') + "\r\n"));
  EXPECT_EQ(huge.status, 431);
  {
    Client silent(port_);
    silent.Send("GET / HTTP/1.1\r\n");  // left unfinished while others are served
    EXPECT_EQ(Ask(Get("/style.css")).status, 200);
  }
  EXPECT_EQ(Ask(Get("/style.css")).status, 200);
}

TEST_F(ServerTest, HandlerExceptionGivesPlain500) {
  Reply r = Ask(Get("/boom.lp"));
  EXPECT_EQ(r.status, 500);
  EXPECT_TRUE(Has(r.body, "<h1>500 Internal Server Error</h1>"));
  EXPECT_FALSE(Has(r.body, "secret"));
}

TEST_F(ServerTest, RequestsAreLogged) {
  Ask(Get("/style.css?logged=1"));
  std::ifstream log(root_ / "data/logs/access.log");
  std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(Has(text, "\"GET /style.css?logged=1\" 200"));
}

TEST(ServerLifecycle, PortInUseIsReportedAndStopIsClean) {
  ServerConfig config = ScratchSite("qvtome_http_life_", {"default.lp", "slow.lp"});
  std::promise<void> entered, release;
  std::shared_future<void> released = release.get_future().share();
  HttpServer first(config, [&](const std::string&, const std::string& virtual_path) {
    if (virtual_path == "/slow.lp") {
      entered.set_value();
      released.wait();
    }
    CurrentHostObjects().response->Write("ok");
  });
  first.Start();
  config.port = first.port();
  HttpServer second(config, nullptr);
  try {
    second.Start();
    FAIL() << "second server bound a taken port";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Port " + std::to_string(config.port) + " is already in use on 127.0.0.1");
  }
  Client idle(config.port);
  idle.Send(Get("/"));
  EXPECT_EQ(idle.Read().body, "ok");
  Client busy(config.port);
  busy.Send(Get("/slow.lp"));
  entered.get_future().wait();
  std::thread stopper([&] { first.Stop(); });
  EXPECT_TRUE(idle.ServerClosed());  // an idle keep-alive connection is closed at once
  release.set_value();
  Reply finished = busy.Read();  // the request in flight is still answered
  stopper.join();
  EXPECT_EQ(finished.status, 200);
  EXPECT_EQ(finished.Header("connection"), "close");
  EXPECT_TRUE(busy.ServerClosed());
  fs::remove_all(config.data_dir);
}

// A worker writes its page's answer itself and the I/O thread reads what
// comes next: answers keep their order, a client that does not read holds
// no worker, and the idle time-out still ends a silent connection.
TEST(ServerAnswers, PipelinedSlowReadersAndIdleConnectionsAfterPages) {
  ServerConfig config = ScratchSite("qvtome_http_answers_", {"n.lp", "big.lp"});
  config.worker_threads = 1;
  config.idle_timeout = std::chrono::seconds(1);
  const std::string big(24 << 20, 'b');
  HttpServer server(config, [&](const std::string&, const std::string& virtual_path) {
    HostObjects host = CurrentHostObjects();
    host.response->Write(virtual_path == "/big.lp" ? big : host.request->QueryStringAll());
  });
  server.Start();

  Client pipelined(server.port());
  pipelined.Send(Get("/n.lp?1") + Get("/n.lp?2") + "HEAD /n.lp?three HTTP/1.1\r\nHost: x\r\n\r\n" +
                 Get("/n.lp?4"));
  EXPECT_EQ(pipelined.Read().body, "1");
  EXPECT_EQ(pipelined.Read().body, "2");
  Reply head = pipelined.Read(true);
  EXPECT_EQ(head.status, 200);
  EXPECT_EQ(head.Header("content-length"), "5");
  EXPECT_EQ(pipelined.Read().body, "4");
  pipelined.Send("HEAD /n.lp?three HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_EQ(pipelined.Read(true).Header("content-length"), "5");
  pipelined.Send(Get("/n.lp?5"));
  EXPECT_EQ(pipelined.Read().body, "5");

  Client slow(server.port());
  slow.Send(Get("/big.lp"));
  // The only worker serves another client while this one reads nothing.
  Reply other = Fetch(server.port(), Get("/n.lp?other"));
  EXPECT_EQ(other.body, "other");
  Reply whole = slow.Read();
  EXPECT_EQ(whole.body.size(), big.size());
  EXPECT_TRUE(whole.body == big);
  slow.Send(Get("/n.lp?again"));
  EXPECT_EQ(slow.Read().body, "again");

  EXPECT_TRUE(pipelined.ServerClosed());  // after the idle time-out
  server.Stop();
  fs::remove_all(config.data_dir);
}

TEST(RequestHandlerDirect, DebugModeShowsTheEncodedErrorText) {
  ServerConfig config = ScratchSite("qvtome_http_debug_", {"page.lp"});
  config.debug = true;
  ServerLogs logs("", false);
  RequestHandler handler(
      config, [](const std::string&, const std::string&) { throw std::runtime_error("bad <tag>"); },
      nullptr, logs);
  IncomingRequest request;
  request.target = "/page.lp";
  OutgoingResponse r = handler.Handle(request);
  fs::remove_all(config.data_dir);
  EXPECT_EQ(r.status, 500);
  EXPECT_TRUE(Has(r.body, "bad &lt;tag&gt;"));
}

TEST(ServerOverload, FullQueueAnswers503AndConnectionLimitHolds) {
  ServerConfig config = ScratchSite("qvtome_http_load_", {"slow.lp", "fast.lp"});
  config.io_threads = 1;  // one loop for all: its pages go to the worker
  config.worker_threads = 1;
  config.queue_limit = 1;
  config.max_connections = 3;
  std::promise<void> entered, release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<bool> first{true};
  HttpServer server(config, [&](const std::string&, const std::string& virtual_path) {
    if (virtual_path == "/slow.lp" && first.exchange(false)) {
      entered.set_value();
      released.wait();
    }
    CurrentHostObjects().response->Write("ok");
  });
  server.Start();
  Client a(server.port()), b(server.port()), c(server.port());
  // Answers to b and c show that all three share the loop; one at a time,
  // as the queue holds one.
  b.Send(Get("/fast.lp"));
  EXPECT_EQ(b.Read().body, "ok");
  c.Send(Get("/fast.lp"));
  EXPECT_EQ(c.Read().body, "ok");
  a.Send(Get("/slow.lp"));
  entered.get_future().wait();  // the only worker is busy
  b.Send(Get("/slow.lp"));
  c.Send(Get("/slow.lp"));
  Client extra(server.port());  // past max_connections
  EXPECT_TRUE(extra.ServerClosed());
  // One of b and c waits in the queue, the other finds it full.
  std::promise<void> one_refused;
  std::atomic<int> refused{0};
  auto read = [&](Client& client, Reply& reply) {
    reply = client.Read();
    if (reply.status == 503 && refused++ == 0) one_refused.set_value();
  };
  Reply rb, rc;
  std::thread read_b([&] { read(b, rb); }), read_c([&] { read(c, rc); });
  one_refused.get_future().wait_for(std::chrono::seconds(20));  // a guard, not a check
  release.set_value();
  read_b.join();
  read_c.join();
  EXPECT_EQ(refused, 1);
  EXPECT_EQ(rb.status + rc.status, 200 + 503);
  EXPECT_EQ(a.Read().body, "ok");
  server.Stop();
  fs::remove_all(config.data_dir);
}

// A connection alone on its loop has its pages run on the loop's thread;
// a page held there keeps no other client waiting, as the next connection
// goes to the other loop, and a stop still waits for its answer.
TEST(ServerLoops, APageOnAnIoThreadHoldsUpNoOtherClient) {
  ServerConfig config = ScratchSite("qvtome_http_loops_", {"slow.lp", "fast.lp"});
  config.io_threads = 2;
  config.worker_threads = 1;
  std::promise<void> entered, release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<bool> first{true};
  std::thread::id slow_thread, fast_thread;
  HttpServer server(config, [&](const std::string&, const std::string& virtual_path) {
    if (virtual_path == "/slow.lp" && first.exchange(false)) {
      slow_thread = std::this_thread::get_id();
      entered.set_value();
      released.wait();
    } else if (virtual_path == "/fast.lp") {
      fast_thread = std::this_thread::get_id();
    }
    CurrentHostObjects().response->Write("ok");
  });
  server.Start();
  Client a(server.port());
  a.Send(Get("/slow.lp"));
  entered.get_future().wait();
  Reply other = Fetch(server.port(), Get("/fast.lp"));
  EXPECT_EQ(other.body, "ok");
  EXPECT_NE(fast_thread, slow_thread);
  std::thread stop([&] { server.Stop(); });
  release.set_value();
  Reply held = a.Read();
  EXPECT_EQ(held.body, "ok");
  stop.join();
  fs::remove_all(config.data_dir);
}

}  // namespace
}  // namespace qv::http
