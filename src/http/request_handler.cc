#include "http/request_handler.h"

#include <ctime>

#include "core/encode.h"
#include "http/compression.h"
#include "http/cross_site.h"
#include "http/host_objects_http.h"
#include "http/http_session.h"
#include "http/query_parse.h"
#include "http/static_files.h"

namespace qv::http {
namespace {

using Kind = ResolvedPath::Kind;

OutgoingResponse MethodNotAllowed(const char* allow) {
  OutgoingResponse r = ErrorResponse(405);
  r.SetHeader("Allow", allow);
  return r;
}

OutgoingResponse RedirectTo(int status, const std::string& location) {
  OutgoingResponse r;
  r.status = status;
  r.reason = ReasonPhrase(status);
  r.SetHeader("Location", location);
  r.SetHeader("Content-Type", "text/html; charset=utf-8");
  r.body = "<html><body>Object moved to <a href=\"" + HtmlEncode(location) +
           "\">here</a>.</body></html>\n";
  return r;
}

// The first well-formed session id among the client's QVSESSION cookies.
std::string SessionCookie(const IncomingRequest& request) {
  ParamList cookies = ParseCookies(request.Header("Cookie"));
  for (const auto& [name, value] : cookies.pairs()) {
    if (name == kSessionCookieName && IsWellFormedSessionId(value)) return value;
  }
  return "";
}

OutgoingResponse PageResponse(HttpResponse& page) {
  OutgoingResponse r;
  r.status = page.status();
  r.reason = page.reason();
  r.body = page.TakeBody();
  r.SetHeader("Content-Type", "text/html; charset=utf-8");
  if (!page.location().empty()) r.SetHeader("Location", page.location());
  return r;
}

}  // namespace

RequestHandler::RequestHandler(const ServerConfig& config, PageHandler page_handler,
                               std::shared_ptr<SessionStore> sessions, ServerLogs& logs)
    : config_(config),
      page_handler_(std::move(page_handler)),
      sessions_(sessions ? std::move(sessions)
                         : std::make_shared<MemorySessionStore>(nullptr, config.max_sessions)),
      logs_(logs),
      paths_(config.site_dir, config.media_dir(), config.media_mount),
      identity_(config, logs),
      cross_site_(config.allowed_origins) {}

OutgoingResponse RequestHandler::Handle(const IncomingRequest& request) {
  PageRequest page;
  if (std::optional<OutgoingResponse> response = HandleWithoutScript(request, &page)) {
    return std::move(*response);
  }
  return HandlePage(request, page);
}

std::optional<OutgoingResponse> RequestHandler::HandleWithoutScript(const IncomingRequest& request,
                                                                    PageRequest* page) {
  ClientIdentity identity = identity_.Identify(request);
  std::optional<OutgoingResponse> response = Route(request, identity, page);
  if (!response) {
    page->identity = std::move(identity);
    return std::nullopt;
  }
  Finish(request, identity, *response);
  return response;
}

OutgoingResponse RequestHandler::HandlePage(const IncomingRequest& request,
                                            const PageRequest& page) {
  OutgoingResponse response =
      RunPage(request, page.identity, page.virtual_path, page.physical_path);
  Finish(request, page.identity, response);
  return response;
}

void RequestHandler::Finish(const IncomingRequest& request, const ClientIdentity& identity,
                            OutgoingResponse& response) {
  AddCommonHeaders(response, identity);
  LogAccess(request, identity, response);
}

std::optional<OutgoingResponse> RequestHandler::Route(const IncomingRequest& request,
                                                      const ClientIdentity& identity,
                                                      PageRequest* page) {
  std::string_view target = request.target;
  size_t question = target.find('?');
  std::string_view raw_path = target.substr(0, question);
  ResolvedPath resolved = ResolvePath(paths_, raw_path);
  bool read_only = request.method == "GET" || request.method == "HEAD";
  switch (resolved.kind) {
    case Kind::kBadRequest:
      return ErrorResponse(400);
    case Kind::kNotFound:
      return ErrorResponse(404);
    case Kind::kAddSlash: {
      std::string query = question == std::string_view::npos
                              ? std::string()
                              : EncodeUnsafeUrlBytes(target.substr(question));
      return RedirectTo(301, EncodePathForUrl(resolved.virtual_path) + query);
    }
    case Kind::kFile:
      if (!read_only) return MethodNotAllowed("GET, HEAD");
      return ServeFile(request, resolved.physical_path, config_.compression);
    case Kind::kScript:
      if (!read_only && request.method != "POST") return MethodNotAllowed("GET, HEAD, POST");
      if (cross_site_.Refuses(request, identity)) {
        logs_.Info("Refused a write from another site: " + request.method + " " + request.target +
                   " (Origin \"" + request.Header("Origin") + "\")");
        return ErrorResponse(403, "<p>A change sent from another site is refused.</p>");
      }
      page->virtual_path = std::move(resolved.virtual_path);
      page->physical_path = std::move(resolved.physical_path);
      return std::nullopt;
  }
  return ErrorResponse(404);
}

OutgoingResponse RequestHandler::RunPage(const IncomingRequest& request,
                                         const ClientIdentity& identity,
                                         const std::string& virtual_path,
                                         const std::string& physical_path) {
  HttpRequest host_request(request, identity, virtual_path);
  HttpResponse host_response;
  HttpSession host_session(*sessions_, SessionCookie(request));
  HttpServerObject host_server(paths_, virtual_path, &logs_);
  std::optional<std::string> error;
  try {
    ScopedHostContext context({&host_request, &host_response, &host_session, &host_server});
    if (!page_handler_) throw std::runtime_error("No page handler is installed");
    page_handler_(physical_path, virtual_path);
  } catch (const ResponseEnded&) {
  } catch (const std::exception& e) {
    error = e.what();
  } catch (...) {
    error = "unknown exception";
  }
  std::optional<std::string> cookie = host_session.Commit(SecureConnection(identity));
  OutgoingResponse r;
  if (error) {
    logs_.Error(virtual_path + ": " + *error);
    r = ErrorResponse(500, config_.debug ? HtmlEncode(*error) : std::string());
  } else {
    r = PageResponse(host_response);
  }
  r.SetHeader("Cache-Control", "private, no-cache");
  if (cookie) r.headers.emplace_back("Set-Cookie", *cookie);
  if (config_.compression) CompressResponse(request, r);
  return r;
}

bool RequestHandler::SecureConnection(const ClientIdentity& identity) const {
  return identity.https || config_.secure_cookies;
}

void RequestHandler::AddCommonHeaders(OutgoingResponse& response,
                                      const ClientIdentity& identity) const {
  response.SetHeader("X-Content-Type-Options", "nosniff");
  if (SecureConnection(identity)) {
    response.SetHeader("Strict-Transport-Security", "max-age=31536000");
  }
  if (!config_.content_security_policy.empty()) {
    response.SetHeader("Content-Security-Policy", config_.content_security_policy);
  }
  if (response.status == 401 && identity_.basic_auth_enabled()) {
    response.SetHeader("WWW-Authenticate", "Basic realm=\"qvTome\"");
  }
  response.SetHeader("Date", HttpDate(static_cast<int64_t>(std::time(nullptr))));
}

void RequestHandler::LogAccess(const IncomingRequest& request, const ClientIdentity& identity,
                               const OutgoingResponse& response) {
  AccessRecord record;
  record.remote_addr = identity.remote_addr;
  record.auth_user = identity.auth_user;
  record.method = request.method;
  record.target = request.target;
  record.status = response.status;
  record.bytes = response.file_path.empty() ? response.body.size() : response.file_size;
  record.referer = request.Header("Referer");
  record.user_agent = request.Header("User-Agent");
  logs_.Access(record);
}

}  // namespace qv::http
