// From one HTTP request to its response: the host's request logic without
// any sockets.
//
// A path naming a page script ("*.lp", "*.lua", "/" and any folder holding
// default.lp) runs the PageHandler on the calling thread with the request's
// host objects installed as the thread's context; anything else is a
// static file from the site or media folder. A write sent from another
// site is refused with 403 before any page runs (cross_site.h). Every
// response carries X-Content-Type-Options: nosniff and the configured
// Content-Security-Policy; a 401 carries the Basic challenge when Basic is
// configured. Over TLS (a trusted proxy's word, or secure_cookies) the
// session cookie is Secure and responses carry Strict-Transport-Security.
// Called on worker threads; Handle is safe to call concurrently.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "http/cross_site.h"
#include "http/http_message.h"
#include "http/network_identity.h"
#include "http/server_config.h"
#include "http/server_logs.h"
#include "http/session_store.h"
#include "http/site_paths.h"

namespace qv::http {

// Runs one page script. The host objects are reachable through
// qv::CurrentHostObjects() while it runs; Response.End and Redirect reach
// it as qv::ResponseEnded, which it lets pass.
using PageHandler = std::function<void(const std::string& script_physical_path,
                                       const std::string& script_virtual_path)>;

// A request that names a page script, as HandleWithoutScript leaves it
// for HandlePage: who asked and which script, found once.
struct PageRequest {
  ClientIdentity identity;
  std::string virtual_path;
  std::string physical_path;
};

class RequestHandler {
 public:
  RequestHandler(const ServerConfig& config, PageHandler page_handler,
                 std::shared_ptr<SessionStore> sessions, ServerLogs& logs);

  OutgoingResponse Handle(const IncomingRequest& request);
  // As Handle for every request that runs no page script (static files,
  // redirects, errors); nullopt for one that does, whose script is then
  // left in *page. Cheap enough for an I/O thread, which so spares static
  // files the hop to a worker.
  std::optional<OutgoingResponse> HandleWithoutScript(const IncomingRequest& request,
                                                      PageRequest* page);
  // Handle for the page HandleWithoutScript left.
  OutgoingResponse HandlePage(const IncomingRequest& request, const PageRequest& page);

  SessionStore& sessions() { return *sessions_; }

 private:
  // nullopt when the request names a page script, which is left in *page.
  std::optional<OutgoingResponse> Route(const IncomingRequest& request,
                                        const ClientIdentity& identity, PageRequest* page);
  void Finish(const IncomingRequest& request, const ClientIdentity& identity,
              OutgoingResponse& response);
  OutgoingResponse RunPage(const IncomingRequest& request, const ClientIdentity& identity,
                           const std::string& virtual_path, const std::string& physical_path);
  bool SecureConnection(const ClientIdentity& identity) const;
  void AddCommonHeaders(OutgoingResponse& response, const ClientIdentity& identity) const;
  void LogAccess(const IncomingRequest& request, const ClientIdentity& identity,
                 const OutgoingResponse& response);

  const ServerConfig config_;
  PageHandler page_handler_;
  std::shared_ptr<SessionStore> sessions_;
  ServerLogs& logs_;
  SitePaths paths_;
  NetworkIdentity identity_;
  CrossSitePolicy cross_site_;
};

}  // namespace qv::http
