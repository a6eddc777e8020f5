// Page scripts on a server with one worker: a page that runs away (an
// endless loop, a memory hog) is stopped with a 500 and logged, and the
// same worker then serves the next page; nothing a page sets reaches the
// next request on that worker.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "http/http_server.h"
#include "script/script_host.h"
#include "test_client.h"

namespace qv::http::testing {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

class ScriptLimits : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = fs::temp_directory_path() / ("qvtome_limits_test_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    const fs::path site = root_ / "site";
    WriteFile(site / "fine.lp", "<%= 'fine ' .. tostring(leaked) %>");
    WriteFile(site / "loop.lua", "local n = 0\nwhile true do n = n + 1 end\n");
    // Catching the stop does not let a script carry on.
    WriteFile(site / "stubborn.lua",
              "while true do\n"
              "  pcall(function() while true do end end)\n"
              "  xpcall(function() while true do end end, function() while true do end end)\n"
              "  coroutine.resume(coroutine.create(function() while true do end end))\n"
              "end\n");
    WriteFile(site / "hog.lua",
              "local t = {}\n"
              "for i = 1, 1e9 do t[i] = string.rep('x', 1000) .. i end\n");
    WriteFile(site / "greedy.lua",
              "while true do pcall(string.rep, 'x', 1 << 30) local t = {} t[1] = 1 end\n");
    WriteFile(site / "finalizer.lua", "setmetatable({}, {__gc = function() leaked = 1 end})\n");
    WriteFile(site / "taint.lua",
              "leaked = 'yes'; string.upper = nil; rawset(table, 'x', 1);\n"
              "qvTome.SysVar = nil; Response.Write('tainted')\n");
    WriteFile(site / "probe.lua",
              "Response.Write(tostring(leaked) .. type(string.upper) .. tostring(table.x) ..\n"
              "  type(qvTome.SysVar) .. ('a'):upper())\n");

    ServerConfig config;
    config.port = 0;
    config.site_dir = site.string();
    config.data_dir = (root_ / "data").string();
    config.worker_threads = 1;
    scripts_ = new ScriptHost(
        {.time_limit = std::chrono::milliseconds(200), .memory_limit = size_t{16} << 20});
    server_ = new HttpServer(config, [](const std::string& physical, const std::string& path) {
      scripts_->Run(physical, path);
    });
    server_->Start();
  }

  static void TearDownTestSuite() {
    delete server_;
    delete scripts_;
    fs::remove_all(root_);
  }

  static Reply Open(const std::string& path) { return Fetch(server_->port(), Get(path)); }

  static std::string ErrorLog() {
    std::ifstream log(root_ / "data/logs/error.log");
    return {std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()};
  }

  static inline fs::path root_;
  static inline ScriptHost* scripts_ = nullptr;
  static inline HttpServer* server_ = nullptr;
};

TEST_F(ScriptLimits, AnEndlessLoopIsStoppedAndTheWorkerServesOn) {
  for (const char* page : {"/loop.lua", "/stubborn.lua"}) {
    Reply stopped = Open(page);
    EXPECT_EQ(stopped.status, 500) << page;
    EXPECT_EQ(stopped.body.find("while"), std::string::npos) << "no source in the page";
    Reply next = Open("/fine.lp");
    EXPECT_EQ(next.status, 200) << page;
    EXPECT_EQ(next.body, "fine nil") << page;
  }
  const std::string log = ErrorLog();
  EXPECT_NE(log.find("/loop.lua:2: script stopped: it ran longer than its time limit of 0.2 s"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("/stubborn.lua:"), std::string::npos) << log;
}

TEST_F(ScriptLimits, AMemoryHogIsStoppedAndTheWorkerServesOn) {
  for (const char* page : {"/hog.lua", "/greedy.lua", "/hog.lua"}) {
    Reply stopped = Open(page);
    EXPECT_EQ(stopped.status, 500) << page;
    Reply next = Open("/fine.lp");
    EXPECT_EQ(next.status, 200) << page;
    EXPECT_EQ(next.body, "fine nil") << page;
  }
  // A hog growing step by step may reach the time limit first, as the
  // collector works harder near the cap; one big request meets the cap.
  const std::string log = ErrorLog();
  EXPECT_NE(log.find("/greedy.lua:1: script stopped: it used more than its memory limit of "
                     "16384 KB"),
            std::string::npos)
      << log;
}

TEST_F(ScriptLimits, NothingOneRequestSetsReachesTheNext) {
  EXPECT_EQ(Open("/taint.lua").body, "tainted");
  EXPECT_EQ(Open("/probe.lua").body, "nilfunctionnilfunctionA");
  // A finalizer would run whenever the collector gets to it, in some later
  // request: scripts cannot set one.
  EXPECT_EQ(Open("/finalizer.lua").status, 500);
  EXPECT_NE(ErrorLog().find("__gc metamethods are not available"), std::string::npos);
  EXPECT_EQ(Open("/fine.lp").body, "fine nil");
}

}  // namespace
}  // namespace qv::http::testing
