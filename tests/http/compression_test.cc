// gzip of pages and text files: what Accept-Encoding allows, what is worth
// it, and that both forms carry the same bytes.
#include "http/compression.h"

#include <unistd.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "host/host_objects.h"
#include "http/http_server.h"
#include "test_client.h"

namespace qv::http {
namespace {

namespace fs = std::filesystem;
using testing::Client;
using testing::Fetch;
using testing::Get;
using testing::Reply;

std::string Gunzip(const std::string& data) {
  z_stream stream{};
  EXPECT_EQ(inflateInit2(&stream, 15 + 16), Z_OK);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  std::string out;
  char chunk[4096];
  int status = Z_OK;
  while (status == Z_OK) {
    stream.next_out = reinterpret_cast<Bytef*>(chunk);
    stream.avail_out = sizeof chunk;
    status = inflate(&stream, Z_NO_FLUSH);
    out.append(chunk, sizeof chunk - stream.avail_out);
  }
  inflateEnd(&stream);
  EXPECT_EQ(status, Z_STREAM_END);
  return out;
}

TEST(AcceptEncoding, QValuesDecide) {
  for (const char* yes : {"gzip", "gzip, deflate, br", "br;q=1.0, GZIP;q=0.5", "*", "x-gzip",
                          "identity, *;q=0.1", "gzip;q=0.001", " gzip ; q=1 "}) {
    EXPECT_TRUE(AcceptsGzip(yes)) << yes;
  }
  for (const char* no : {"", "identity", "deflate, br", "gzip;q=0", "gzip;q=0.0, *", "*;q=0",
                         "gzip;q=rubbish", "gzipped", "*, gzip;q=0"}) {
    EXPECT_FALSE(AcceptsGzip(no)) << no;
  }
}

TEST(CompressibleTypes, TextYesImagesNo) {
  for (const char* yes : {"text/html; charset=utf-8", "text/css", "application/javascript",
                          "image/svg+xml", "application/json", "TEXT/PLAIN"}) {
    EXPECT_TRUE(IsCompressibleType(yes)) << yes;
  }
  for (const char* no : {"image/png", "image/jpeg", "application/zip", "application/pdf", ""}) {
    EXPECT_FALSE(IsCompressibleType(no)) << no;
  }
}

std::string Text(size_t bytes) {
  std::string text;
  for (size_t i = 0; text.size() < bytes; ++i)
    text += "<p>Paragraph " + std::to_string(i) + "</p>\n";
  text.resize(bytes);
  return text;
}

// Pages answer with /big.lp 5000 bytes, /small.lp 500.
void RunPage(const std::string&, const std::string& virtual_path) {
  CurrentHostObjects().response->Write(Text(virtual_path == "/big.lp" ? 5000 : 500));
}

class CompressingServer : public ::testing::Test {
 protected:
  void Start(bool compression) {
    root_ = fs::temp_directory_path() / ("qvtome_gzip_test_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "site");
    for (const char* page : {"big.lp", "small.lp"}) std::ofstream(root_ / "site" / page) << "x";
    std::ofstream(root_ / "site" / "style.css") << Text(3000);
    std::ofstream(root_ / "site" / "tiny.css") << "body{}";
    std::ofstream(root_ / "site" / "picture.png") << Text(3000);
    ServerConfig config;
    config.port = 0;
    config.site_dir = (root_ / "site").string();
    config.data_dir = (root_ / "data").string();
    config.log_to_files = false;
    config.compression = compression;
    server_ = std::make_unique<HttpServer>(config, RunPage);
    server_->Start();
  }
  ~CompressingServer() override {
    server_.reset();
    fs::remove_all(root_);
  }

  Reply Ask(const std::string& path, const std::string& headers = "") {
    return Fetch(server_->port(), Get(path, headers));
  }

  fs::path root_;
  std::unique_ptr<HttpServer> server_;
};

TEST_F(CompressingServer, BothFormsCarryTheSameBytes) {
  Start(true);
  for (const char* path : {"/big.lp", "/style.css"}) {
    Reply plain = Ask(path);
    Reply packed = Ask(path, "Accept-Encoding: gzip, deflate\r\n");
    ASSERT_EQ(plain.status, 200) << path;
    ASSERT_EQ(packed.status, 200) << path;
    EXPECT_EQ(plain.Header("content-encoding"), "") << path;
    EXPECT_EQ(packed.Header("content-encoding"), "gzip") << path;
    EXPECT_EQ(plain.Header("vary"), "Accept-Encoding") << path;
    EXPECT_EQ(packed.Header("vary"), "Accept-Encoding") << path;
    EXPECT_LT(packed.body.size(), plain.body.size() / 2) << path;
    EXPECT_EQ(packed.Header("content-length"), std::to_string(packed.body.size())) << path;
    EXPECT_EQ(Gunzip(packed.body), plain.body) << path;
    // A refusal by q-value is honoured.
    EXPECT_EQ(Ask(path, "Accept-Encoding: gzip;q=0, *\r\n").Header("content-encoding"), "");
  }
  EXPECT_EQ(Ask("/big.lp").body, Text(5000));
}

TEST_F(CompressingServer, HeadAndRevalidationMatchTheCompressedForm) {
  Start(true);
  Reply packed = Ask("/style.css", "Accept-Encoding: gzip\r\n");
  Reply plain = Ask("/style.css");
  EXPECT_NE(packed.Header("etag"), plain.Header("etag"));
  EXPECT_EQ(
      Ask("/style.css", "Accept-Encoding: gzip\r\nIf-None-Match: " + packed.Header("etag") + "\r\n")
          .status,
      304);
  EXPECT_EQ(Ask("/style.css", "If-None-Match: " + plain.Header("etag") + "\r\n").status, 304);

  for (const char* path : {"/style.css", "/big.lp"}) {
    Client client(server_->port());
    client.Send("HEAD " + std::string(path) +
                " HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept-Encoding: gzip\r\n\r\n");
    Reply head = client.Read(true);
    EXPECT_EQ(head.Header("content-encoding"), "gzip") << path;
    EXPECT_EQ(head.Header("content-length"),
              Ask(path, "Accept-Encoding: gzip\r\n").Header("content-length"))
        << path;
  }
}

TEST_F(CompressingServer, SmallAnswersAndImagesStayAsTheyAre) {
  Start(true);
  for (const char* path : {"/small.lp", "/tiny.css", "/picture.png"}) {
    Reply reply = Ask(path, "Accept-Encoding: gzip\r\n");
    EXPECT_EQ(reply.status, 200) << path;
    EXPECT_EQ(reply.Header("content-encoding"), "") << path;
  }
  EXPECT_EQ(Ask("/small.lp", "Accept-Encoding: gzip\r\n").body, Text(500));
  EXPECT_EQ(Ask("/picture.png", "Accept-Encoding: gzip\r\n").Header("vary"), "");
}

TEST_F(CompressingServer, CompressionCanBeSwitchedOff) {
  Start(false);
  for (const char* path : {"/big.lp", "/style.css"}) {
    Reply reply = Ask(path, "Accept-Encoding: gzip\r\n");
    EXPECT_EQ(reply.Header("content-encoding"), "") << path;
    EXPECT_EQ(reply.Header("vary"), "") << path;
  }
}

}  // namespace
}  // namespace qv::http
