// The HTTP/1.1 server of qvTome.
//
// A listener on a thread of its own hands each connection to the I/O
// thread with the fewest; the connection reads a request's header and body
// within the configured size limits and time-outs and answers static files
// itself. A page of a connection that has its I/O thread to itself runs
// right there, as nobody else waits on that thread; otherwise it goes to a
// bounded pool of worker threads (503 when the queue is full), whose worker
// writes the answer straight to the socket while the I/O thread waits for
// the next request (what the socket does not take at once, the I/O thread
// writes under the write time-out). Keep-alive and pipelining are honoured.
// Malformed requests get 400, oversized headers 431, oversized bodies 413,
// and the connection is closed; nothing a client sends stops the server.
// Requests are handled by RequestHandler (request_handler.h).
//
// Lifecycle: construct, Start() (binds; throws std::runtime_error with a
// clear message, e.g. when the port is taken), then Wait() until a stop is
// requested (RequestStop, Stop, or SIGINT/SIGTERM after StopOnSignals).
// Stopping refuses new connections, lets requests in flight finish and be
// answered, then closes everything.
#pragma once

#include <cstdint>
#include <memory>

#include "http/request_handler.h"
#include "http/server_config.h"
#include "http/session_store.h"

namespace qv::http {

class HttpServer {
 public:
  // `sessions` defaults to an in-memory store. Throws std::runtime_error
  // when the log files or the password file cannot be opened.
  HttpServer(ServerConfig config, PageHandler page_handler,
             std::shared_ptr<SessionStore> sessions = nullptr);
  // Stops the server if it runs.
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  void Start();
  // The bound port (the one picked when the configured port is 0).
  uint16_t port() const;
  // Makes SIGINT and SIGTERM request a stop. Call after Start.
  void StopOnSignals();
  // Asks the server to stop; returns at once. Safe from any thread.
  void RequestStop();
  // Blocks until a stop is requested, then stops gracefully.
  void Wait();
  // RequestStop and Wait.
  void Stop();

  SessionStore& sessions();

  struct Impl;  // the server's state, private to http_server.cc

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace qv::http
