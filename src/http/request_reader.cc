#include "http/request_reader.h"

#include <boost/asio/buffer.hpp>
#include <boost/asio/error.hpp>
#include <boost/beast/core/error.hpp>
#include <boost/beast/http/error.hpp>

namespace qv::http {

namespace beast = boost::beast;
namespace bhttp = boost::beast::http;
namespace net = boost::asio;

void ApplyLimits(RequestParser& parser, const ServerConfig& config) {
  parser.header_limit(static_cast<std::uint32_t>(config.max_header_bytes));
  parser.body_limit(config.max_body_bytes);
}

int ReadErrorStatus(const boost::system::error_code& ec) {
  if (ec == bhttp::error::header_limit) return 431;
  if (ec == bhttp::error::body_limit) return 413;
  const bool quiet = ec == bhttp::error::end_of_stream || ec == beast::error::timeout ||
                     ec == net::error::operation_aborted || ec == net::error::connection_reset ||
                     ec == net::error::eof || ec == bhttp::error::partial_message ||
                     ec == net::error::broken_pipe;
  if (quiet || ec.category() != bhttp::make_error_code(bhttp::error::bad_method).category()) {
    return 0;
  }
  return 400;
}

IncomingRequest TakeRequest(RequestParser& parser, RequestFacts& facts) {
  auto message = parser.release();
  facts =
      RequestFacts{message.version(), message.keep_alive(), message.method() == bhttp::verb::head};
  IncomingRequest request;
  request.method = std::string(message.method_string());
  request.target = std::string(message.target());
  for (const auto& field : message) {
    request.headers.emplace_back(std::string(field.name_string()), std::string(field.value()));
  }
  request.body = std::move(message.body());
  return request;
}

ReadResult ReadRequest(std::string_view bytes, const ServerConfig& config) {
  ReadResult result;
  RequestParser parser;
  ApplyLimits(parser, config);
  beast::error_code ec;
  while (!parser.is_done()) {
    const std::string_view rest = bytes.substr(result.consumed);
    const size_t used = rest.empty() ? 0 : parser.put(net::buffer(rest.data(), rest.size()), ec);
    result.consumed += used;
    if (rest.empty() || (ec == bhttp::error::need_more && used == 0)) {
      // Every byte is in: the client closed its side here.
      if (!parser.got_some()) return result;
      ec = {};
      parser.put_eof(ec);
      if (!ec && parser.is_done()) break;
      result.status = ec ? ReadErrorStatus(ec) : 0;
      return result;
    }
    if (ec == bhttp::error::need_more) {
      ec = {};
      continue;
    }
    if (ec) {
      result.status = ReadErrorStatus(ec);
      return result;
    }
  }
  result.request = TakeRequest(parser, result.facts);
  result.complete = true;
  return result;
}

}  // namespace qv::http
