// Request bodies of uploads end to end: bounded before they are read, large
// ones spooled to a nameless file rather than kept in memory, read back in
// chunks and parsed as they stream.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/convert.h"
#include "files/upload.h"
#include "host/context.h"
#include "http/http_server.h"
#include "test_client.h"

namespace qv::http {
namespace {

namespace fs = std::filesystem;
using testing::Client;
using testing::Fetch;
using testing::Post;
using testing::Reply;

fs::path g_root;

// Open descriptors of this process that point into the spool folder.
int SpooledFiles() {
  int count = 0;
  const std::string spool = (g_root / "data" / "spool").string();
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(entry.path(), ec);
    if (!ec && target.string().starts_with(spool)) ++count;
  }
  return count;
}

// An FNV-1a digest of what BinaryRead gave, read 64 KB at a time.
void RunPage(const std::string&, const std::string& virtual_path) {
  const HostObjects& host = CurrentHostObjects();
  Request& rq = *host.request;
  Response& rs = *host.response;
  const int spooled = SpooledFiles();
  if (virtual_path == "/chunks.lp") {
    uint64_t digest = 1469598103934665603ull, read = 0;
    for (std::string chunk; !(chunk = rq.BinaryRead(65536)).empty();) {
      for (unsigned char c : chunk) digest = (digest ^ c) * 1099511628211ull;
      read += chunk.size();
    }
    std::string form = "allowed";
    try {
      rq.Form("x");
    } catch (const HostError&) {
      form = "refused";
    }
    rs.Write(std::to_string(rq.TotalBytes()) + "|" + std::to_string(read) + "|" +
             std::to_string(digest) + "|" + std::to_string(spooled) + "|" + form);
  } else if (virtual_path == "/form.lp") {
    rs.Write(std::to_string(rq.Form("x").size()) + "|" + rq.Form("y") + "|" +
             std::to_string(spooled));
  } else if (virtual_path == "/parse.lp" || virtual_path == "/formfirst.lp") {
    if (virtual_path == "/formfirst.lp") rq.Form("x");
    Host().host = host;
    UploadReport report;
    Variant table = ParseUploadBody((g_root / "staging").string() + "/", 4096, &report);
    rs.Write("|" + std::to_string(spooled) + "|" + std::to_string(report.refused.size()));
    if (table.IsArray()) rs.Write("|" + ToStr(table.AsArray()->at(4, 0)));
  }
}

uint64_t Digest(const std::string& bytes) {
  uint64_t digest = 1469598103934665603ull;
  for (unsigned char c : bytes) digest = (digest ^ c) * 1099511628211ull;
  return digest;
}

class UploadBodies : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    g_root = fs::temp_directory_path() / ("qvtome_upload_body_" + std::to_string(::getpid()));
    fs::remove_all(g_root);
    for (const char* page : {"chunks.lp", "form.lp", "parse.lp", "formfirst.lp"}) {
      fs::create_directories(g_root / "site");
      std::ofstream(g_root / "site" / page) << "x";
    }
    fs::create_directories(g_root / "staging");
    ServerConfig config;
    config.port = 0;
    config.site_dir = (g_root / "site").string();
    config.data_dir = (g_root / "data").string();
    config.worker_threads = 2;
    config.log_to_files = false;
    config.max_body_bytes = 8 * 1024 * 1024;
    config.spool_threshold_bytes = 256 * 1024;
    server_ = new HttpServer(config, RunPage);
    server_->Start();
    port_ = server_->port();
  }
  static void TearDownTestSuite() {
    delete server_;
    fs::remove_all(g_root);
  }
  static Reply Ask(const std::string& request) { return Fetch(port_, request); }

  static inline HttpServer* server_ = nullptr;
  static inline uint16_t port_ = 0;
};

std::string Binary(size_t size) {
  std::string bytes;
  bytes.reserve(size);
  for (size_t i = 0; bytes.size() < size; ++i) {
    bytes += i % 7 == 0 ? std::string("\r\n--XyZ") : std::string(1, static_cast<char>(i * 31));
  }
  bytes.resize(size);
  return bytes;
}

TEST_F(UploadBodies, SmallBodiesStayInMemoryLargeOnesAreSpooledAndReadBackExactly) {
  for (size_t size : {size_t{1000}, size_t{3 * 1024 * 1024 + 17}}) {
    SCOPED_TRACE(size);
    const std::string body = Binary(size);
    Reply r = Ask(Post("/chunks.lp", "multipart/form-data; boundary=XyZ", body));
    ASSERT_EQ(r.status, 200);
    const std::string spooled = size > 256 * 1024 ? "1" : "0";
    EXPECT_EQ(r.body, std::to_string(size) + "|" + std::to_string(size) + "|" +
                          std::to_string(Digest(body)) + "|" + spooled + "|refused");
  }
  // The spool file has no name: nothing stays in the folder.
  EXPECT_TRUE(fs::is_empty(g_root / "data" / "spool"));
}

TEST_F(UploadBodies, ALargeUrlEncodedFormIsStillAForm) {
  Reply r = Ask(Post("/form.lp", "application/x-www-form-urlencoded",
                     "x=" + std::string(600 * 1024, 'a') + "&y=b%20c"));
  ASSERT_EQ(r.status, 200);
  EXPECT_EQ(r.body, std::to_string(600 * 1024) + "|b c|1");
}

TEST_F(UploadBodies, BodiesOverTheLimitAreRefusedBeforeTheyAreSent) {
  // Only the header is sent: the answer comes without the body.
  Client client(port_);
  client.Send(
      "POST /chunks.lp HTTP/1.1\r\nHost: localhost\r\nContent-Type: multipart/form-data; "
      "boundary=XyZ\r\nContent-Length: 104857600\r\n\r\n");
  EXPECT_EQ(client.Read().status, 413);

  // A chunked body is cut where it passes the limit.
  Client chunked(port_);
  chunked.Send("POST /chunks.lp HTTP/1.1\r\nHost: localhost\r\nTransfer-Encoding: chunked\r\n\r\n");
  const std::string piece(1024 * 1024, 'z');
  int answered = 0;
  for (int i = 0; i < 9; ++i) {
    chunked.Send("100000\r\n" + piece + "\r\n");
  }
  answered = chunked.Read().status;
  EXPECT_EQ(answered, 413);
}

TEST_F(UploadBodies, AnUploadStreamsThroughTheParserIntoItsFile) {
  const std::string content = Binary(2 * 1024 * 1024 + 5);
  const std::string body =
      "------WebKitFormBoundaryQ7pR2\r\nContent-Disposition: form-data; name=\"file1\"; "
      "filename=\"big.bin\"\r\nContent-Type: application/octet-stream\r\n\r\n" +
      content +
      "\r\n------WebKitFormBoundaryQ7pR2\r\nContent-Disposition: form-data; name=\"file2\"; "
      "filename=\"../../escape.txt\"\r\n\r\nx\r\n------WebKitFormBoundaryQ7pR2--\r\n";
  Reply r =
      Ask(Post("/parse.lp", "multipart/form-data; boundary=----WebKitFormBoundaryQ7pR2", body));
  ASSERT_EQ(r.status, 200);
  EXPECT_EQ(r.body, "|1|1|1");
  std::ifstream in(g_root / "staging" / "big.bin", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), content);
  EXPECT_FALSE(fs::exists(g_root / "escape.txt"));
  EXPECT_FALSE(fs::exists(g_root / "staging" / "escape.txt"));

  Reply first = Ask(Post("/formfirst.lp", "multipart/form-data; boundary=XyZ", "--XyZ--\r\n"));
  EXPECT_EQ(first.body, "Error: you can not read request.form before upload.|0|0");
}

}  // namespace
}  // namespace qv::http
