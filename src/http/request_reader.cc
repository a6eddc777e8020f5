#include "http/request_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include <boost/asio/buffer.hpp>
#include <boost/asio/error.hpp>
#include <boost/beast/core/error.hpp>
#include <boost/beast/http/error.hpp>

namespace qv::http {

namespace beast = boost::beast;
namespace bhttp = boost::beast::http;
namespace net = boost::asio;

SpoolBody::value_type::~value_type() {
  if (fd >= 0) ::close(fd);
}

SpoolBody::value_type::value_type(value_type&& other) noexcept
    : spool_dir(std::move(other.spool_dir)),
      spool_threshold(other.spool_threshold),
      data(std::move(other.data)),
      fd(std::exchange(other.fd, -1)),
      size(std::exchange(other.size, 0)) {}

SpoolBody::value_type& SpoolBody::value_type::operator=(value_type&& other) noexcept {
  if (this != &other) {
    if (fd >= 0) ::close(fd);
    spool_dir = std::move(other.spool_dir);
    spool_threshold = other.spool_threshold;
    data = std::move(other.data);
    fd = std::exchange(other.fd, -1);
    size = std::exchange(other.size, 0);
  }
  return *this;
}

namespace {

bool WriteAll(int fd, const char* bytes, size_t n) {
  while (n > 0) {
    const ssize_t written = ::write(fd, bytes, n);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    n -= static_cast<size_t>(written);
  }
  return true;
}

boost::beast::error_code SpoolError() {
  return boost::system::errc::make_error_code(boost::system::errc::io_error);
}

}  // namespace

// A file without a name in the spool folder: it goes when its descriptor
// is closed, however the request ends.
void SpoolBody::value_type::Spool(boost::beast::error_code& ec) {
  fd = ::open(spool_dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0) {
    std::string path = spool_dir + "/body-XXXXXX";
    fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd >= 0) ::unlink(path.c_str());
  }
  if (fd < 0 || !WriteAll(fd, data.data(), data.size())) {
    ec = SpoolError();
    return;
  }
  std::string().swap(data);
}

void SpoolBody::value_type::Put(const char* bytes, size_t n, boost::beast::error_code& ec) {
  if (fd < 0) {
    data.append(bytes, n);
    size += n;
    if (!spool_dir.empty() && data.size() > spool_threshold) Spool(ec);
    return;
  }
  if (!WriteAll(fd, bytes, n)) {
    ec = SpoolError();
    return;
  }
  size += n;
}

void SpoolBody::reader::init(const boost::optional<std::uint64_t>& length,
                             boost::beast::error_code& ec) {
  ec = {};
  if (length && !body_.spool_dir.empty() && *length > body_.spool_threshold) {
    body_.Spool(ec);
  } else if (length) {
    body_.data.reserve(static_cast<size_t>(std::min(*length, body_.spool_threshold)));
  }
}

void ApplyLimits(RequestParser& parser, const ServerConfig& config) {
  parser.header_limit(static_cast<std::uint32_t>(config.max_header_bytes));
  parser.body_limit(config.max_body_bytes);
}

int ReadErrorStatus(const boost::system::error_code& ec) {
  if (ec == bhttp::error::header_limit) return 431;
  if (ec == bhttp::error::body_limit) return 413;
  if (ec == SpoolError()) return 503;
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
  SpoolBody::value_type& body = message.body();
  if (body.fd >= 0) {
    request.spooled = std::make_shared<SpooledBody>(std::exchange(body.fd, -1), body.size);
  } else {
    request.body = std::move(body.data);
  }
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
