#include "http/server_logs.h"

#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>
#include <spdlog/spdlog.h>

#include <filesystem>
#include <stdexcept>

namespace qv::http {
namespace {

// Control bytes in logged request text could forge log lines.
std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7f || c == '"') {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string Dash(const std::string& s) { return s.empty() ? "-" : Printable(s); }

}  // namespace

ServerLogs::ServerLogs(const std::string& data_dir, bool to_files) {
  std::vector<spdlog::sink_ptr> access_sinks, error_sinks;
  error_sinks.push_back(std::make_shared<spdlog::sinks::stderr_sink_mt>());
  if (to_files) {
    try {
      std::filesystem::path logs = std::filesystem::path(data_dir) / "logs";
      std::filesystem::create_directories(logs);
      access_sinks.push_back(
          std::make_shared<spdlog::sinks::basic_file_sink_mt>((logs / "access.log").string()));
      error_sinks.push_back(
          std::make_shared<spdlog::sinks::basic_file_sink_mt>((logs / "error.log").string()));
    } catch (const std::exception& e) {
      throw std::runtime_error(std::string("Cannot open the log files: ") + e.what());
    }
  }
  access_ = std::make_shared<spdlog::logger>("access", access_sinks.begin(), access_sinks.end());
  error_ = std::make_shared<spdlog::logger>("error", error_sinks.begin(), error_sinks.end());
  access_->set_pattern("[%Y-%m-%d %H:%M:%S.%e] %v");
  error_->set_pattern("[%Y-%m-%d %H:%M:%S.%e] [%l] %v");
  access_->flush_on(spdlog::level::info);
  error_->flush_on(spdlog::level::info);
}

ServerLogs::~ServerLogs() = default;

void ServerLogs::Access(const AccessRecord& r) {
  access_->info("{} {} \"{} {}\" {} {} \"{}\" \"{}\"", Dash(r.remote_addr), Dash(r.auth_user),
                Printable(r.method), Printable(r.target), r.status, r.bytes, Dash(r.referer),
                Dash(r.user_agent));
}

void ServerLogs::Error(const std::string& message) { error_->error("{}", Printable(message)); }

void ServerLogs::Info(const std::string& message) { error_->info("{}", Printable(message)); }

}  // namespace qv::http
