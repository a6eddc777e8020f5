// `qvtome serve` as a real process for end-to-end tests: started on a data
// folder and a free port of 127.0.0.1, killed when it goes unless stopped.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qv::http::testing {

// `qvtome serve` on a data folder and a free port of 127.0.0.1, with
// `extra` arguments (such as --config FILE).
class ServeProcess {
 public:
  explicit ServeProcess(const std::filesystem::path& data,
                        const std::vector<std::string>& extra = {}) {
    // The arguments are made before the fork: the child only execs.
    std::vector<std::string> args = {QV_BINARY, "serve",  "--data",    data.string(), "--port",
                                     "0",       "--site", QV_SITE_DIR, "--threads",   "4"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int out[2];
    if (::pipe(out) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      ::close(out[0]);
      ::close(out[1]);
      ::execv(QV_BINARY, argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    // A line names the address: "... on http://127.0.0.1:PORT/ ...".
    out_ = out[0];
    std::string line;
    char c = 0;
    while (port_ == 0 && ::read(out_, &c, 1) == 1) {
      if (c != '\n') {
        line += c;
        continue;
      }
      const size_t at = line.find("127.0.0.1:");
      if (at != std::string::npos) port_ = static_cast<uint16_t>(std::stoi(line.substr(at + 10)));
      line.clear();
    }
  }
  ~ServeProcess() {
    if (pid_ > 0 && !stopped_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
  }
  uint16_t port() const { return port_; }
  // Sends the signal and waits for the process; its exit status.
  int Stop(int signal) {
    ::kill(pid_, signal);
    int status = -1;
    ::waitpid(pid_, &status, 0);
    stopped_ = true;
    return status;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  uint16_t port_ = 0;
  bool stopped_ = false;
};

}  // namespace qv::http::testing
