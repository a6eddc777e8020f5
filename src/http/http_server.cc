#include "http/http_server.h"

#include <sys/socket.h>
#include <sys/uio.h>

#include <cerrno>

#include <boost/asio/dispatch.hpp>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

#include "core/convert.h"
#include "http/request_reader.h"
#include "http/server_logs.h"
#include "http/worker_pool.h"
#include "session/login_throttle.h"

namespace qv::http {

namespace beast = boost::beast;
namespace bhttp = boost::beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;

class HttpConnection;

namespace {

// The folder large request bodies wait in; "" (bodies stay in memory)
// when it cannot be made.
std::string PrepareSpoolDir(const ServerConfig& config) {
  std::error_code ec;
  std::filesystem::create_directories(config.spool_dir(), ec);
  return ec ? std::string() : config.spool_dir();
}

}  // namespace

// One I/O thread's event loop and the connections it serves. A connection
// stays on one loop, so its handlers never wake another thread.
struct IoLoop {
  net::io_context context{1};  // run by one thread
  // Connections on this loop. A page whose connection is the loop's only
  // one runs on the loop's thread: nobody waits behind it, and the page
  // spares the hand-off to a worker and back.
  std::atomic<int> connections{0};
  // Re-armed every second, so the loop's earliest timer is always this
  // one: re-arming a connection's time-out (at least a second away) then
  // never reprograms the kernel timer, which would cost two system calls
  // per request.
  net::steady_timer heartbeat{context};

  void Beat() {
    heartbeat.expires_after(std::chrono::seconds(1));
    heartbeat.async_wait([this](beast::error_code ec) {
      if (!ec) Beat();
    });
  }
};

namespace {

std::vector<std::unique_ptr<IoLoop>> MakeLoops(int count) {
  std::vector<std::unique_ptr<IoLoop>> loops;
  for (int i = 0; i < std::max(count, 1); ++i) loops.push_back(std::make_unique<IoLoop>());
  return loops;
}

}  // namespace

struct HttpServer::Impl {
  Impl(ServerConfig c, PageHandler page_handler, std::shared_ptr<SessionStore> sessions)
      : config(std::move(c)),
        logs(config.data_dir, config.log_to_files),
        handler(config, std::move(page_handler), std::move(sessions), logs),
        workers(config.worker_threads, static_cast<size_t>(config.queue_limit)) {}

  void Accept();
  void OnAccept(beast::error_code ec, tcp::socket socket, IoLoop& loop);
  void ScheduleSweep();
  void BeginRequest();
  void EndRequest();
  void GracefulStop();

  ServerConfig config;
  std::string spool_dir = PrepareSpoolDir(config);
  ServerLogs logs;
  RequestHandler handler;
  WorkerPool workers;
  uint16_t bound_port = 0;

  std::mutex mutex;  // guards what follows, with `changed`
  std::condition_variable changed;
  bool stop_requested = false;
  bool stop_begun = false;
  bool stop_done = false;
  int in_flight = 0;
  std::unordered_map<HttpConnection*, std::weak_ptr<HttpConnection>> connections;

  std::atomic<bool> stopping{false};
  std::atomic<int> open_connections{0};

  // The connections' loops, and a loop of its own for the acceptor, the
  // session sweep and the signals, so that a page running on a
  // connection's loop never holds up new connections. Declared last:
  // destroyed first, while the members above still exist for the
  // handlers they drop.
  std::vector<std::unique_ptr<IoLoop>> loops = MakeLoops(config.io_threads);
  net::io_context control{1};
  std::vector<net::executor_work_guard<net::io_context::executor_type>> work;
  tcp::acceptor acceptor{control};
  net::steady_timer sweep_timer{control};
  std::optional<net::signal_set> signals;
  std::vector<std::thread> io_threads;
};

namespace {

std::string PeerAddress(const tcp::endpoint& endpoint) {
  net::ip::address address = endpoint.address();
  if (address.is_v6() && address.to_v6().is_v4_mapped()) {
    return net::ip::make_address_v4(net::ip::v4_mapped, address.to_v6()).to_string();
  }
  return address.to_string();
}

// Calls send with the message of the response: headers only for HEAD and
// 304, else with its body (file answers excepted).
template <class Send>
void ComposeMessage(OutgoingResponse r, RequestFacts facts, bool close, Send&& send) {
  auto fill = [&](auto& message) {
    message.result(static_cast<unsigned>(r.status));
    message.reason(r.reason);
    for (auto& [name, value] : r.headers) message.insert(name, value);
    message.keep_alive(!close);
  };
  if (facts.head || r.status == 304) {
    bhttp::response<bhttp::empty_body> message{bhttp::status::ok, facts.version};
    fill(message);
    if (r.status != 304) {
      uint64_t size = r.file_path.empty() ? r.body.size() : r.file_size;
      message.set(bhttp::field::content_length, std::to_string(size));
    }
    return send(std::move(message));
  }
  bhttp::response<bhttp::string_body> message{bhttp::status::ok, facts.version};
  fill(message);
  message.body() = std::move(r.body);
  message.prepare_payload();
  send(std::move(message));
}

}  // namespace

// One accepted TCP connection: reads its requests one at a time and writes
// their responses in order.
class HttpConnection : public std::enable_shared_from_this<HttpConnection> {
 public:
  HttpConnection(tcp::socket&& socket, IoLoop& loop, HttpServer::Impl& server)
      : stream_(std::move(socket)),
        server_(server),
        loop_(loop),
        idle_timer_(stream_.get_executor()) {
    ++server_.open_connections;
    socket_fd_ = stream_.socket().native_handle();
    beast::error_code ec;
    peer_ = PeerAddress(stream_.socket().remote_endpoint(ec));
    tcp::endpoint local = stream_.socket().local_endpoint(ec);
    local_address_ = PeerAddress(local);
    local_port_ = local.port();
  }

  ~HttpConnection() {
    --server_.open_connections;
    --loop_.connections;
    std::lock_guard lock(server_.mutex);
    server_.connections.erase(this);
  }

  void Start() {
    {
      std::lock_guard lock(server_.mutex);
      server_.connections[this] = weak_from_this();
    }
    net::dispatch(stream_.get_executor(), [self = shared_from_this()] { self->AwaitRequest(); });
  }

  // Called at stop: a connection waiting for its next request closes now;
  // one whose request is being answered closes after the answer.
  void CloseIfIdle() {
    net::post(stream_.get_executor(), [self = shared_from_this()] {
      if (!self->busy_) return self->stream_.cancel();
      if (self->waiting_ && self->handoff_.load(std::memory_order_acquire) == 0) {
        self->StopWaiting();
        self->Close();
      }
    });
  }

 private:
  void AwaitRequest();
  void ReadHeader();
  void OnHeader(beast::error_code ec);
  void ReadBody();
  void OnReadError(beast::error_code ec);
  void Dispatch();
  OutgoingResponse RunPage(const IncomingRequest& request, const PageRequest& page);
  void Work(const IncomingRequest& request, const PageRequest& page, RequestFacts facts,
            bool direct);
  template <class Body>
  void SendFromWorker(bhttp::response<Body>&& message);
  void AwaitAfterWorker();
  void WatchIdle(std::chrono::steady_clock::duration wait);
  void StopWaiting();
  void ContinueAfterWorker();
  void Respond(OutgoingResponse response, RequestFacts facts);
  void SendProtocolError(int status);
  template <class Body>
  void Send(bhttp::response<Body>&& message, bool close);
  template <class Message, class Serializer>
  void WriteSome(std::shared_ptr<Message> message, std::shared_ptr<Serializer> serializer,
                 bool close);
  void OnWrite(beast::error_code ec, bool close, bool counted);
  void Close();

  beast::tcp_stream stream_;
  beast::flat_buffer buffer_;
  std::optional<RequestParser> parser_;
  HttpServer::Impl& server_;
  IoLoop& loop_;
  std::string peer_;
  std::string local_address_;
  uint16_t local_port_ = 0;
  bool first_request_ = true;
  bool busy_ = false;  // a request is being handled or answered

  // A page answered by a worker that writes the answer itself: the I/O
  // thread meanwhile waits for the socket to become readable, and which of
  // the two finishes last carries on with the next request. The worker
  // touches nothing of the connection but the socket's descriptor (for its
  // writes), these atomics and the server's counters; the I/O thread does
  // not close the socket while the worker has it.
  static constexpr int kWorking = 1;   // the worker has not yet finished
  static constexpr int kReadable = 2;  // the socket became readable (or failed)
  int socket_fd_ = -1;
  std::atomic<int> handoff_{0};
  std::atomic<int64_t> answered_at_{0};  // steady clock, when the worker finished
  bool waiting_ = false;                 // the readiness wait is pending
  unsigned wait_generation_ = 0;         // tells the handlers of past waits
  net::steady_timer idle_timer_;
};

void HttpConnection::AwaitRequest() {
  if (server_.stopping) return Close();
  parser_.emplace();
  ApplyLimits(*parser_, server_.config);
  parser_->get().body().spool_dir = server_.spool_dir;
  parser_->get().body().spool_threshold = server_.config.spool_threshold_bytes;
  if (buffer_.size() > 0) return ReadHeader();
  // Waiting for the first byte of a request: the idle time-out between
  // keep-alive requests, the header time-out for a new connection.
  stream_.expires_after(first_request_ ? server_.config.header_timeout
                                       : server_.config.idle_timeout);
  stream_.async_read_some(buffer_.prepare(4096),
                          [self = shared_from_this()](beast::error_code ec, std::size_t n) {
                            if (ec) return self->Close();
                            self->buffer_.commit(n);
                            self->ReadHeader();
                          });
}

void HttpConnection::ReadHeader() {
  stream_.expires_after(server_.config.header_timeout);
  bhttp::async_read_header(
      stream_, buffer_, *parser_,
      [self = shared_from_this()](beast::error_code ec, std::size_t) { self->OnHeader(ec); });
}

void HttpConnection::OnHeader(beast::error_code ec) {
  if (ec) return OnReadError(ec);
  auto& request = parser_->get();
  if (EqualsNoCase(std::string(request[bhttp::field::expect]), "100-continue") &&
      !parser_->is_done()) {
    auto interim = std::make_shared<bhttp::response<bhttp::empty_body>>(bhttp::status::continue_,
                                                                        request.version());
    bhttp::async_write(stream_, *interim,
                       [self = shared_from_this(), interim](beast::error_code ec, std::size_t) {
                         if (ec) return self->Close();
                         self->ReadBody();
                       });
    return;
  }
  ReadBody();
}

// The body time-out bounds the wait for each piece of the body, so a slow
// but steady upload finishes while a stalled one is dropped.
void HttpConnection::ReadBody() {
  if (parser_->is_done()) return Dispatch();
  stream_.expires_after(server_.config.body_timeout);
  bhttp::async_read_some(stream_, buffer_, *parser_,
                         [self = shared_from_this()](beast::error_code ec, std::size_t) {
                           if (ec) return self->OnReadError(ec);
                           self->ReadBody();
                         });
}

void HttpConnection::OnReadError(beast::error_code ec) {
  const int status = ReadErrorStatus(ec);
  if (status == 0) return Close();
  SendProtocolError(status);
}

void HttpConnection::Dispatch() {
  RequestFacts facts;
  auto request = std::make_shared<IncomingRequest>(TakeRequest(*parser_, facts));
  facts.keep_alive = facts.keep_alive && !server_.stopping;
  request->peer_address = peer_;
  request->local_address = local_address_;
  request->local_port = local_port_;
  busy_ = true;
  server_.BeginRequest();
  PageRequest page;
  try {
    if (std::optional<OutgoingResponse> answer =
            server_.handler.HandleWithoutScript(*request, &page)) {
      return Respond(std::move(*answer), facts);
    }
  } catch (const std::exception& e) {
    server_.logs.Error(std::string("Request failed: ") + e.what());
    return Respond(ErrorResponse(500), facts);
  }
  if (loop_.connections.load(std::memory_order_relaxed) == 1) {
    return Respond(RunPage(*request, page), facts);
  }
  // The worker writes the answer itself unless the connection closes after
  // it or the client has already sent more (pipelined requests are read on
  // this thread, after the answer).
  const bool direct = facts.keep_alive && buffer_.size() == 0;
  handoff_.store(direct ? kWorking : 0, std::memory_order_relaxed);
  bool queued =
      server_.workers.TrySubmit([self = shared_from_this(), request, page = std::move(page), facts,
                                 direct] { self->Work(*request, page, facts, direct); });
  if (!queued) {
    handoff_.store(0, std::memory_order_relaxed);
    server_.logs.Access({peer_, "", request->method, request->target, 503, 0, "", ""});
    return Respond(ErrorResponse(503), RequestFacts{facts.version, false, facts.head});
  }
  if (direct) AwaitAfterWorker();
}

OutgoingResponse HttpConnection::RunPage(const IncomingRequest& request, const PageRequest& page) {
  try {
    return server_.handler.HandlePage(request, page);
  } catch (const std::exception& e) {
    server_.logs.Error(std::string("Request failed: ") + e.what());
    return ErrorResponse(500);
  }
}

// On a worker thread.
void HttpConnection::Work(const IncomingRequest& request, const PageRequest& page,
                          RequestFacts facts, bool direct) {
  OutgoingResponse response = RunPage(request, page);
  if (!direct || !response.file_path.empty() || server_.stopping) {
    net::post(stream_.get_executor(),
              [self = shared_from_this(), facts, direct, response = std::move(response)]() mutable {
                if (direct) self->StopWaiting();
                self->Respond(std::move(response), facts);
              });
    return;
  }
  auto send = [this](auto&& message) { SendFromWorker(std::move(message)); };
  ComposeMessage(std::move(response), facts, false, send);
}

// Writes what the socket takes at once; the rest of an answer to a slow
// reader goes to the I/O thread, which writes it under the write time-out.
template <class Body>
void HttpConnection::SendFromWorker(bhttp::response<Body>&& message) {
  auto shared = std::make_shared<bhttp::response<Body>>(std::move(message));
  auto serializer = std::make_shared<bhttp::response_serializer<Body>>(*shared);
  beast::error_code ec;
  bool blocked = false;
  while (!ec && !serializer->is_done()) {
    ssize_t sent = 0;
    serializer->next(ec, [&](beast::error_code&, const auto& buffers) {
      iovec pieces[16];
      size_t count = 0;
      for (auto buffer : beast::buffers_range_ref(buffers)) {
        if (count == std::size(pieces)) break;
        pieces[count].iov_base = const_cast<void*>(buffer.data());
        pieces[count].iov_len = buffer.size();
        ++count;
      }
      msghdr header{};
      header.msg_iov = pieces;
      header.msg_iovlen = count;
      do {
        sent = ::sendmsg(socket_fd_, &header, MSG_DONTWAIT | MSG_NOSIGNAL);
      } while (sent < 0 && errno == EINTR);
    });
    if (ec) break;
    if (sent < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        blocked = true;
      } else {
        ec = beast::error_code(errno, boost::system::system_category());
      }
      break;
    }
    serializer->consume(static_cast<size_t>(sent));
  }
  auto self = shared_from_this();
  if (blocked) {
    net::post(stream_.get_executor(), [self, shared, serializer] {
      self->StopWaiting();
      self->WriteSome(shared, serializer, false);
    });
    return;
  }
  if (ec) {
    net::post(stream_.get_executor(), [self, ec] {
      self->StopWaiting();
      self->OnWrite(ec, true, true);
    });
    return;
  }
  answered_at_.store(std::chrono::steady_clock::now().time_since_epoch().count(),
                     std::memory_order_relaxed);
  const int before = handoff_.fetch_and(~kWorking, std::memory_order_acq_rel);
  if (before & kReadable) {
    net::post(stream_.get_executor(), [self] { self->ContinueAfterWorker(); });
  }
  server_.EndRequest();
}

// Waits for the next request (or the peer's close) while the worker
// answers this one.
void HttpConnection::AwaitAfterWorker() {
  waiting_ = true;
  const unsigned generation = ++wait_generation_;
  stream_.socket().async_wait(
      tcp::socket::wait_read, [self = shared_from_this(), generation](beast::error_code) {
        if (generation != self->wait_generation_) return;
        const int before = self->handoff_.fetch_or(kReadable, std::memory_order_acq_rel);
        if (before & kWorking) return;  // the worker carries on when it is done
        self->ContinueAfterWorker();
      });
  WatchIdle(server_.config.idle_timeout);
}

// The idle time-out after the worker's answer: a connection that sends
// nothing more within it is closed.
void HttpConnection::WatchIdle(std::chrono::steady_clock::duration wait) {
  idle_timer_.expires_after(wait);
  idle_timer_.async_wait([self = shared_from_this(),
                          generation = wait_generation_](beast::error_code ec) {
    if (ec || generation != self->wait_generation_) return;
    const int state = self->handoff_.load(std::memory_order_acquire);
    if (state & kReadable) return;  // the next request is on its way
    const auto limit = self->server_.config.idle_timeout;
    if (state & kWorking) return self->WatchIdle(limit);
    const auto answered = std::chrono::steady_clock::time_point(
        std::chrono::steady_clock::duration(self->answered_at_.load(std::memory_order_relaxed)));
    const auto idle = std::chrono::steady_clock::now() - answered;
    if (idle < limit) return self->WatchIdle(limit - idle);
    self->StopWaiting();
    self->busy_ = false;
    self->Close();
  });
}

// Ends the readiness wait and the idle watch; their handlers then do
// nothing.
void HttpConnection::StopWaiting() {
  if (!waiting_) return;
  waiting_ = false;
  ++wait_generation_;
  idle_timer_.cancel();
  beast::error_code ec;
  stream_.socket().cancel(ec);
  handoff_.store(0, std::memory_order_relaxed);
}

void HttpConnection::ContinueAfterWorker() {
  StopWaiting();
  busy_ = false;
  first_request_ = false;
  AwaitRequest();
}

void HttpConnection::Respond(OutgoingResponse r, RequestFacts facts) {
  bool close = !facts.keep_alive || server_.stopping;
  if (!r.file_path.empty() && !facts.head && r.status == 200) {
    bhttp::response<bhttp::file_body> message{bhttp::status::ok, facts.version};
    beast::error_code ec;
    message.body().open(r.file_path.c_str(), beast::file_mode::scan, ec);
    if (!ec) {
      message.result(static_cast<unsigned>(r.status));
      message.reason(r.reason);
      for (auto& [name, value] : r.headers) message.insert(name, value);
      message.keep_alive(!close);
      message.prepare_payload();
      return Send(std::move(message), close);
    }
    r = ErrorResponse(404);
  }
  ComposeMessage(std::move(r), facts, close,
                 [this, close](auto&& message) { Send(std::move(message), close); });
}

void HttpConnection::SendProtocolError(int status) {
  server_.logs.Access({peer_, "", "-", "-", status, 0, "", ""});
  OutgoingResponse r = ErrorResponse(status);
  bhttp::response<bhttp::string_body> message{bhttp::status::ok, 11};
  message.result(static_cast<unsigned>(status));
  for (auto& [name, value] : r.headers) message.insert(name, value);
  message.set("X-Content-Type-Options", "nosniff");
  message.keep_alive(false);
  message.body() = std::move(r.body);
  message.prepare_payload();
  busy_ = true;
  auto shared = std::make_shared<bhttp::response<bhttp::string_body>>(std::move(message));
  stream_.expires_after(server_.config.body_timeout);
  bhttp::async_write(stream_, *shared,
                     [self = shared_from_this(), shared](beast::error_code ec, std::size_t) {
                       self->OnWrite(ec, true, false);
                     });
}

// Like reading, writing is timed per piece: a large media file may take
// long to reach a slow client, a client that stops reading is dropped.
template <class Body>
void HttpConnection::Send(bhttp::response<Body>&& message, bool close) {
  auto shared = std::make_shared<bhttp::response<Body>>(std::move(message));
  auto serializer = std::make_shared<bhttp::response_serializer<Body>>(*shared);
  WriteSome(shared, serializer, close);
}

template <class Message, class Serializer>
void HttpConnection::WriteSome(std::shared_ptr<Message> message,
                               std::shared_ptr<Serializer> serializer, bool close) {
  stream_.expires_after(server_.config.body_timeout);
  bhttp::async_write_some(
      stream_, *serializer,
      [self = shared_from_this(), message, serializer, close](beast::error_code ec, std::size_t) {
        if (ec || serializer->is_done()) return self->OnWrite(ec, close, true);
        self->WriteSome(message, serializer, close);
      });
}

void HttpConnection::OnWrite(beast::error_code ec, bool close, bool counted) {
  busy_ = false;
  if (counted) server_.EndRequest();
  if (ec || close || server_.stopping) return Close();
  first_request_ = false;
  AwaitRequest();
}

void HttpConnection::Close() {
  beast::error_code ec;
  stream_.socket().shutdown(tcp::socket::shutdown_both, ec);
  stream_.socket().close(ec);
}

// The next connection goes to the loop with the fewest, so that as long
// as there are no more connections than loops each has a loop to itself.
void HttpServer::Impl::Accept() {
  IoLoop* target = loops.front().get();
  for (auto& loop : loops) {
    if (loop->connections.load() < target->connections.load()) target = loop.get();
  }
  // No strand: one thread runs each loop, which orders a connection's
  // handlers by itself.
  acceptor.async_accept(target->context, [this, target](beast::error_code ec, tcp::socket socket) {
    OnAccept(ec, std::move(socket), *target);
  });
}

void HttpServer::Impl::OnAccept(beast::error_code ec, tcp::socket socket, IoLoop& loop) {
  if (ec == net::error::operation_aborted || !acceptor.is_open()) return;
  if (!ec) {
    if (stopping || open_connections >= config.max_connections) {
      socket.close(ec);
    } else {
      // Responses go out as header and body writes; without this the
      // second write waits for the peer's delayed ACK.
      socket.set_option(tcp::no_delay(true), ec);
      ++loop.connections;
      std::make_shared<HttpConnection>(std::move(socket), loop, *this)->Start();
    }
  }
  Accept();
}

void HttpServer::Impl::ScheduleSweep() {
  sweep_timer.expires_after(std::chrono::minutes(1));
  sweep_timer.async_wait([this](beast::error_code ec) {
    if (ec || stopping) return;
    workers.TrySubmit([this] {
      try {
        handler.sessions().Sweep();
      } catch (const std::exception& e) {
        // A store in an unreachable database: the next sweep tries again.
        logs.Error(std::string("Session sweep failed: ") + e.what());
      }
      if (size_t evicted = handler.sessions().TakeEvictions()) {
        logs.Info("Session store full: " + std::to_string(evicted) +
                  " sessions evicted in the last minute (max_sessions " +
                  std::to_string(config.max_sessions) + ")");
      }
    });
    ScheduleSweep();
  });
}

void HttpServer::Impl::BeginRequest() {
  std::lock_guard lock(mutex);
  ++in_flight;
}

void HttpServer::Impl::EndRequest() {
  std::lock_guard lock(mutex);
  // Only a stop waits for the count: waking the thread in Wait() at every
  // answer would cost a context switch per request.
  if (--in_flight == 0 && stopping) changed.notify_all();
}

void HttpServer::Impl::GracefulStop() {
  stopping = true;
  std::vector<std::shared_ptr<HttpConnection>> live;
  {
    std::lock_guard lock(mutex);
    for (auto& [raw, weak] : connections) {
      if (auto connection = weak.lock()) live.push_back(std::move(connection));
    }
  }
  net::post(acceptor.get_executor(), [this] {
    beast::error_code ec;
    acceptor.close(ec);
    sweep_timer.cancel();
    if (signals) signals->cancel(ec);
  });
  for (auto& connection : live) connection->CloseIfIdle();
  live.clear();
  {
    // Requests being handled get their answers; a page that never returns
    // does not hold the stop up for ever.
    std::unique_lock lock(mutex);
    changed.wait_for(lock, std::chrono::seconds(30), [this] { return in_flight == 0; });
  }
  workers.Stop();
  work.clear();
  control.stop();
  for (auto& loop : loops) loop->context.stop();
  for (std::thread& t : io_threads) {
    if (t.joinable()) t.join();
  }
}

HttpServer::HttpServer(ServerConfig config, PageHandler page_handler,
                       std::shared_ptr<SessionStore> sessions)
    : impl_(
          std::make_unique<Impl>(std::move(config), std::move(page_handler), std::move(sessions))) {
  ConfigureLoginThrottle(impl_->config.login_max_failures, impl_->config.login_lock_minutes);
}

HttpServer::~HttpServer() {
  RequestStop();
  Wait();
}

void HttpServer::Start() {
  Impl& s = *impl_;
  beast::error_code ec;
  net::ip::address address = net::ip::make_address(s.config.address, ec);
  if (ec) throw std::runtime_error("Invalid server address: " + s.config.address);
  tcp::endpoint endpoint(address, s.config.port);
  s.acceptor.open(endpoint.protocol(), ec);
  if (!ec) s.acceptor.set_option(net::socket_base::reuse_address(true), ec);
  if (!ec) s.acceptor.bind(endpoint, ec);
  if (ec == net::error::address_in_use) {
    throw std::runtime_error("Port " + std::to_string(s.config.port) + " is already in use on " +
                             s.config.address);
  }
  if (!ec) s.acceptor.listen(net::socket_base::max_listen_connections, ec);
  if (ec) {
    throw std::runtime_error("Cannot listen on " + s.config.address + ":" +
                             std::to_string(s.config.port) + ": " + ec.message());
  }
  s.bound_port = s.acceptor.local_endpoint().port();
  s.work.push_back(net::make_work_guard(s.control));
  for (auto& loop : s.loops) {
    s.work.push_back(net::make_work_guard(loop->context));
    loop->Beat();
  }
  s.Accept();
  s.ScheduleSweep();
  auto run = [&s](net::io_context& ioc) {
    for (;;) {
      try {
        ioc.run();
        return;
      } catch (const std::exception& e) {
        s.logs.Error(std::string("I/O thread: ") + e.what());
      }
    }
  };
  s.io_threads.emplace_back(run, std::ref(s.control));
  for (auto& loop : s.loops) s.io_threads.emplace_back(run, std::ref(loop->context));
  s.logs.Info("Listening on " + s.config.address + ":" + std::to_string(s.bound_port));
}

uint16_t HttpServer::port() const { return impl_->bound_port; }

void HttpServer::StopOnSignals() {
  Impl& s = *impl_;
  s.signals.emplace(s.acceptor.get_executor(), SIGINT, SIGTERM);
  s.signals->async_wait([this](beast::error_code ec, int) {
    if (!ec) RequestStop();
  });
}

void HttpServer::RequestStop() {
  std::lock_guard lock(impl_->mutex);
  impl_->stop_requested = true;
  impl_->changed.notify_all();
}

void HttpServer::Wait() {
  Impl& s = *impl_;
  {
    std::unique_lock lock(s.mutex);
    s.changed.wait(lock, [&s] { return s.stop_requested; });
    if (s.stop_begun) {
      s.changed.wait(lock, [&s] { return s.stop_done; });
      return;
    }
    s.stop_begun = true;
  }
  s.GracefulStop();
  std::lock_guard lock(s.mutex);
  s.stop_done = true;
  s.changed.notify_all();
}

void HttpServer::Stop() {
  RequestStop();
  Wait();
}

SessionStore& HttpServer::sessions() { return impl_->handler.sessions(); }

}  // namespace qv::http
