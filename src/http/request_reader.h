// Reading one request off a connection, apart from the socket: the parser
// with the configured size limits, the answer to a request that cannot be
// read, and the request as the handler gets it. A connection
// (http_server.cc) feeds the parser from its socket; ReadRequest feeds it
// from bytes at hand, so that the same judgement runs without a network.
#pragma once

#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/system/error_code.hpp>

#include <string>
#include <string_view>

#include "http/http_message.h"
#include "http/server_config.h"

namespace qv::http {

using RequestParser = boost::beast::http::request_parser<boost::beast::http::string_body>;

// A request's facts the response needs after the body was moved away.
struct RequestFacts {
  unsigned version = 11;
  bool keep_alive = true;
  bool head = false;
};

// Sets the header and body limits of the configuration.
void ApplyLimits(RequestParser& parser, const ServerConfig& config);

// The status a read error is answered with before the connection closes:
// 431 for an oversized header, 413 for an oversized body, 400 for a
// malformed request; 0 when the connection just closes (the client went
// away or stalled).
int ReadErrorStatus(const boost::system::error_code& ec);

// The parsed request as the handler gets it; the parser's message is moved
// out. The addresses are the connection's.
IncomingRequest TakeRequest(RequestParser& parser, RequestFacts& facts);

struct ReadResult {
  bool complete = false;  // a whole request was read
  int status = 0;         // when not complete: as ReadErrorStatus
  size_t consumed = 0;    // bytes of the input the request took
  IncomingRequest request;
  RequestFacts facts;
};

// Reads the first request of `bytes` as a connection would if the client
// sent exactly these bytes and then closed its side.
ReadResult ReadRequest(std::string_view bytes, const ServerConfig& config);

}  // namespace qv::http
