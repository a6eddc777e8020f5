// The access log and the error log of the HTTP host.
//
// Two spdlog loggers write <data>/logs/access.log (one line per request)
// and <data>/logs/error.log; errors go to stderr as well. Each server
// owns its own loggers, so several servers in one process (tests) do not
// share them. Safe to call from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace spdlog {
class logger;
}

namespace qv::http {

struct AccessRecord {
  std::string remote_addr;
  std::string auth_user;
  std::string method;
  std::string target;
  int status = 0;
  uint64_t bytes = 0;
  std::string referer;
  std::string user_agent;
};

class ServerLogs {
 public:
  // Creates <data_dir>/logs when to_files; throws std::runtime_error when
  // the files cannot be opened.
  ServerLogs(const std::string& data_dir, bool to_files);
  ~ServerLogs();

  void Access(const AccessRecord& record);
  void Error(const std::string& message);
  void Info(const std::string& message);

 private:
  std::shared_ptr<spdlog::logger> access_;
  std::shared_ptr<spdlog::logger> error_;
};

}  // namespace qv::http
