// Reading one request off a connection, apart from the socket: the parser
// with the configured size limits, the answer to a request that cannot be
// read, and the request as the handler gets it. A connection
// (http_server.cc) feeds the parser from its socket; ReadRequest feeds it
// from bytes at hand, so that the same judgement runs without a network.
#pragma once

#include <boost/asio/buffer.hpp>
#include <boost/beast/core/error.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/optional.hpp>
#include <boost/system/error_code.hpp>

#include <cstdint>
#include <string>
#include <string_view>

#include "http/http_message.h"
#include "http/server_config.h"

namespace qv::http {

// A request body that stays in memory while small and moves to a nameless
// file in spool_dir once it passes spool_threshold bytes (at once when the
// announced length does), so that an upload does not grow the server's
// memory. An empty spool_dir keeps every body in memory. The parser's body
// limit bounds either.
struct SpoolBody {
  class value_type {
   public:
    value_type() = default;
    ~value_type();
    value_type(value_type&& other) noexcept;
    value_type& operator=(value_type&& other) noexcept;

    std::string spool_dir;
    uint64_t spool_threshold = 1024 * 1024;
    std::string data;  // the body while it is in memory
    int fd = -1;       // the spool file, once there is one
    uint64_t size = 0;

    // Appends bytes, spooling past the threshold.
    void Put(const char* bytes, size_t n, boost::beast::error_code& ec);
    // Moves what is in memory to a new spool file.
    void Spool(boost::beast::error_code& ec);
  };

  class reader {
   public:
    template <bool isRequest, class Fields>
    reader(boost::beast::http::header<isRequest, Fields>&, value_type& body) : body_(body) {}
    void init(const boost::optional<std::uint64_t>& length, boost::beast::error_code& ec);
    template <class ConstBufferSequence>
    std::size_t put(const ConstBufferSequence& buffers, boost::beast::error_code& ec) {
      std::size_t total = 0;
      for (auto it = boost::asio::buffer_sequence_begin(buffers);
           it != boost::asio::buffer_sequence_end(buffers); ++it) {
        boost::asio::const_buffer buffer(*it);
        body_.Put(static_cast<const char*>(buffer.data()), buffer.size(), ec);
        if (ec) return total;
        total += buffer.size();
      }
      return total;
    }
    void finish(boost::beast::error_code& ec) { ec = {}; }

   private:
    value_type& body_;
  };
};

using RequestParser = boost::beast::http::request_parser<SpoolBody>;

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
// malformed request, 503 when a body could not be spooled; 0 when the connection just closes (the
// client went away or stalled).
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
