// The HTTP host's handling of the bytes a client sends, without a socket:
// reading requests within the size limits (keep-alive: up to four in a
// row), then the handler's judgement of each: path resolution, static
// files, the cross-site check, forwarding headers, cookies and sessions,
// and a page that reads every request value and may redirect. Checked
// beyond not crashing: a status is a real one, no header carries a line
// break or NUL, a file is served only from the site or media folder and
// never a script, database or configuration, and a page runs only from a
// script of the site folder.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "core/convert.h"
#include "core/encode.h"
#include "host/host_objects.h"
#include "http/request_handler.h"
#include "http/request_reader.h"

namespace {

namespace fs = std::filesystem;
using qv::http::OutgoingResponse;

void WriteFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

bool EndsWithNoCase(const std::string& text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         qv::ToLower(text.substr(text.size() - suffix.size())) == suffix;
}

// A page reading every value of the request the way page scripts do.
void RunPage(const std::string& physical, const std::string&);

struct Host {
  Host() {
    root = fs::temp_directory_path() / ("qvtome_fuzz_http_" + std::to_string(::getpid()));
    fs::remove_all(root);
    const fs::path site = root / "site", media = root / "data/media";
    for (const char* page : {"default.lp", "book.lp", "sub/default.lp", "lib/frame.lua"}) {
      WriteFile(site / page, "-- source");
    }
    WriteFile(site / "style.css", "body{}");
    WriteFile(site / "qvtome.toml", "secret");
    WriteFile(site / "qvtome.db", "secret");
    WriteFile(site / "qvtome.db-wal", "secret");
    WriteFile(site / ".htpasswd", "secret");
    WriteFile(media / "qvtome/pic.png", "PNG");
    WriteFile(media / "qvtome/qvTmUpld.tmp/up.png", "PNG");
    WriteFile(root / "outside.txt", "secret");
    fs::create_symlink("../outside.txt", site / "out.txt");
    site_real = fs::canonical(site).string() + "/";
    media_real = fs::canonical(media).string() + "/";

    config.site_dir = site.string();
    config.data_dir = (root / "data").string();
    config.log_to_files = false;
    config.max_header_bytes = 2048;
    config.max_body_bytes = 2048;
    config.max_sessions = 64;
    config.trusted_proxies = {"127.0.0.2"};
    config.identity_header = "X-Remote-User";
    config.allowed_origins = {"https://portal.example.org"};
    logs = std::make_unique<qv::http::ServerLogs>("", false);
    handler = std::make_unique<qv::http::RequestHandler>(config, RunPage, nullptr, *logs);
    std::atexit([] { fs::remove_all(root); });
  }

  static inline fs::path root;
  std::string site_real, media_real;
  qv::http::ServerConfig config;
  std::unique_ptr<qv::http::ServerLogs> logs;
  std::unique_ptr<qv::http::RequestHandler> handler;
};

Host& TheHost() {
  static Host* host = new Host();
  return *host;
}

void RunPage(const std::string& physical, const std::string&) {
  const std::string real = fs::weakly_canonical(physical).string();
  if (!real.starts_with(TheHost().site_real) || real.starts_with(TheHost().site_real + "lib/") ||
      !(EndsWithNoCase(real, ".lp") || EndsWithNoCase(real, ".lua"))) {
    std::abort();
  }
  const qv::HostObjects& host = qv::CurrentHostObjects();
  qv::Request& rq = *host.request;
  std::string seen = rq.QueryStringAll();
  for (const std::string& key : rq.QueryStringKeys()) seen += rq.QueryString(key);
  for (const std::string& key : rq.ServerVariableKeys()) seen += rq.ServerVariables(key);
  if (rq.Item("raw") != "") {
    seen += rq.BinaryRead(rq.TotalBytes());
  } else {
    for (const std::string& key : rq.FormKeys()) seen += rq.Form(key);
  }
  if (rq.Item("s") != "")
    host.session->SetValue(rq.Item("s"), qv::Variant(std::to_string(seen.size())));
  if (rq.Item("renew") != "") host.session->RenewId();
  host.response->Write(qv::HtmlEncode(seen));
  const std::string to = rq.Item("to");
  if (!to.empty()) host.response->Redirect(to);
}

void Check(const OutgoingResponse& response) {
  if (response.status < 100 || response.status > 599) std::abort();
  for (const auto& [name, value] : response.headers) {
    for (const std::string* text : {&name, &value}) {
      if (text->find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) std::abort();
    }
  }
  if (response.file_path.empty()) return;
  const std::string real = fs::weakly_canonical(response.file_path).string();
  const Host& host = TheHost();
  if (!real.starts_with(host.site_real) && !real.starts_with(host.media_real)) std::abort();
  for (const char* refused :
       {".lp", ".lua", ".db", ".db-wal", ".toml", ".htpasswd", ".tmp/up.png"}) {
    if (EndsWithNoCase(real, refused)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Host& host = TheHost();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  size_t offset = 0;
  for (int n = 0; n < 4 && offset < bytes.size(); ++n) {
    qv::http::ReadResult read = qv::http::ReadRequest(bytes.substr(offset), host.config);
    if (!read.complete) {
      if (read.status != 0) Check(qv::http::ErrorResponse(read.status));
      break;
    }
    offset += read.consumed;
    // Every other request comes through the trusted proxy.
    read.request.peer_address = n % 2 ? "127.0.0.2" : "127.0.0.1";
    read.request.local_address = "127.0.0.1";
    read.request.local_port = 8080;
    qv::http::PageRequest page;
    std::optional<OutgoingResponse> response =
        host.handler->HandleWithoutScript(read.request, &page);
    Check(response ? *response : host.handler->HandlePage(read.request, page));
    if (!read.facts.keep_alive || read.consumed == 0) break;
  }
  return 0;
}
