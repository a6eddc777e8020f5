// Reading requests from bytes: what a connection makes of what a client
// sends, without a socket.
#include <gtest/gtest.h>

#include <string>

#include "http/request_reader.h"

namespace qv::http {
namespace {

ServerConfig Limits() {
  ServerConfig config;
  config.max_header_bytes = 1024;
  config.max_body_bytes = 64;
  return config;
}

TEST(RequestReader, ReadsPipelinedRequestsOneAtATime) {
  const std::string first =
      "POST /book.lp?id=3 HTTP/1.1\r\nHost: x\r\nCookie: a=1\r\nCookie: b=2\r\n"
      "Content-Length: 5\r\n\r\nid=42";
  const std::string second = "HEAD /site.css HTTP/1.0\r\n\r\n";
  ReadResult one = ReadRequest(first + second, Limits());
  ASSERT_TRUE(one.complete);
  EXPECT_EQ(one.consumed, first.size());
  EXPECT_EQ(one.request.method, "POST");
  EXPECT_EQ(one.request.target, "/book.lp?id=3");
  EXPECT_EQ(one.request.Header("cookie"), "a=1, b=2");
  EXPECT_EQ(one.request.body, "id=42");
  EXPECT_TRUE(one.facts.keep_alive);
  EXPECT_FALSE(one.facts.head);

  ReadResult two = ReadRequest(std::string(first + second).substr(one.consumed), Limits());
  ASSERT_TRUE(two.complete);
  EXPECT_EQ(two.consumed, second.size());
  EXPECT_TRUE(two.facts.head);
  EXPECT_FALSE(two.facts.keep_alive);
  EXPECT_EQ(two.facts.version, 10u);

  ReadResult chunked = ReadRequest(
      "POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n",
      Limits());
  ASSERT_TRUE(chunked.complete);
  EXPECT_EQ(chunked.request.body, "abcde");
}

TEST(RequestReader, RefusesWhatAConnectionRefuses) {
  const std::pair<std::string, int> cases[] = {
      {"GET / HTTP/1.1\r\nX-Big: " + std::string(2000, 'y') + "\r\n\r\n", 431},
      {"GET / HTTP/1.1\r\nX-Big: " + std::string(2000, 'y'), 431},  // never finished
      {"POST / HTTP/1.1\r\nContent-Length: 65\r\n\r\n", 413},
      {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n41\r\n", 413},
      {"NOT A REQUEST\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\nBad Header\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\nContent-Length: x\r\n\r\n", 400},
      // Cut short: the connection just closes.
      {"GET / HTTP/1.1\r\nHost: x\r\n", 0},
      {"POST / HTTP/1.1\r\nContent-Length: 10\r\n\r\nabc", 0},
      {"", 0},
  };
  for (const auto& [bytes, status] : cases) {
    ReadResult result = ReadRequest(bytes, Limits());
    EXPECT_FALSE(result.complete) << bytes.substr(0, 60);
    EXPECT_EQ(result.status, status) << bytes.substr(0, 60);
  }
}

}  // namespace
}  // namespace qv::http
