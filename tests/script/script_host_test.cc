#include "script/script_host.h"

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "script_fixture.h"

namespace qv::testing {
namespace {

using Unwinding = ScriptTest;

TEST_F(Unwinding, EndAndRedirectStopTheScript) {
  EXPECT_THROW(Run("Response.Write('a') Response.End() Response.Write('b')"), ResponseEnded);
  EXPECT_EQ(host_->response.Text(), "a");
  EXPECT_THROW(Run("Response.Redirect('next.lp?id=2') Response.Write('after')"), ResponseEnded);
  EXPECT_EQ(host_->response.RedirectUrl(), "next.lp?id=2");
  EXPECT_EQ(host_->response.Text(), "");
}

TEST_F(Unwinding, ProtectedCallsCannotSwallowTheEnd) {
  for (const char* script : {
           "pcall(Response.End) Response.Write('after')",
           "xpcall(function() Response.End() end, function(e) return 'x' end) Response.Write('a')",
           "coroutine.resume(coroutine.create(function() Response.End() end)) Response.Write('a')",
           "coroutine.wrap(function() Response.End() end)() Response.Write('after')",
       }) {
    EXPECT_THROW(Run(script), ResponseEnded) << script;
    EXPECT_EQ(host_->response.Text(), "") << script;
  }
}

TEST_F(Unwinding, OrdinaryErrorsStayCatchable) {
  EXPECT_EQ(Run("local ok, e = pcall(error, 'boom', 0) Response.Write(tostring(ok) .. e)"),
            "falseboom");
  EXPECT_EQ(Run("local ok = pcall(Server.CreateObject, 'No.Such') Response.Write(ok)"), "False");
}

using Sandbox = ScriptTest;

TEST_F(Sandbox, DangerousFacilitiesAreAbsent) {
  EXPECT_EQ(Run("Response.Write(table.concat({type(os.execute), type(io), type(debug),"
                "type(require), type(dofile), type(loadfile), type(package), type(string.dump),"
                "type(os.remove), type(os.getenv), type(collectgarbage)}, ','))"),
            "nil,nil,nil,nil,nil,nil,nil,nil,nil,nil,nil");
  EXPECT_EQ(Run("Response.Write(type(os.time()) .. type(os.date('%Y')) .. type(string.rep))"),
            "numberstringfunction");
}

TEST_F(Sandbox, LoadTakesTextOnlyAndRunsInTheScriptsEnvironment) {
  EXPECT_EQ(Run("x = 5 Response.Write(load('return x')())"), "5");
  EXPECT_EQ(Run("local f, e = load('\\27Lua') Response.Write(tostring(f) .. ' ' .. e)"),
            "nil attempt to load a binary chunk (mode is 't')");
}

TEST_F(Sandbox, SharedMetatablesAreOutOfReach) {
  EXPECT_EQ(Run("Response.Write(tostring(getmetatable('')) .. tostring(getmetatable(_G))"
                ".. tostring(getmetatable(Request)))"),
            "falsefalsefalse");
  EXPECT_NE(ErrorOf("setmetatable(_G, nil)").find("protected metatable"), std::string::npos);
}

TEST_F(Sandbox, NothingLeaksIntoTheNextRun) {
  Run("leaked = 1; string.upper = nil; qvTome.SysVar = nil; table.answer = 42;"
      "rawset(math, 'pi', 3)");
  EXPECT_EQ(Run("Response.Write(tostring(leaked) .. type(string.upper) .. type(qvTome.SysVar)"
                ".. tostring(table.answer) .. ('a'):upper() .. tostring(math.pi > 3))"),
            "nilfunctionfunctionnilAtrue");
}

using Compilation = ScriptTest;

TEST_F(Compilation, ChangedFileIsCompiledAgain) {
  EXPECT_EQ(Run("Response.Write('one')", "same.lua"), "one");
  EXPECT_EQ(Run("Response.Write('one')", "same.lua"), "one");
  std::string path = Write("same.lua", "Response.Write('two')");
  std::filesystem::last_write_time(
      path, std::filesystem::last_write_time(path) + std::chrono::seconds(5));
  EXPECT_EQ(Run("Response.Write('two')", "same.lua"), "two");
}

TEST_F(Compilation, SyntaxErrorNamesScriptAndLine) {
  std::string message = ErrorOf("local a = 1\nlocal = 2\n", "bad.lua");
  EXPECT_EQ(message.rfind("/bad.lua:2:", 0), 0u) << message;
}

TEST_F(Compilation, RuntimeErrorCarriesTracebackOnlyInDebugMode) {
  std::string path = Write("fails.lua", "local function f() error('deep') end\nf()\n");
  try {
    ScriptHost(ScriptHost::Options{.debug = false}).Run(path, "/fails.lua");
    FAIL();
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.message(), "/fails.lua:1: deep");
    EXPECT_EQ(std::string(e.what()), e.message());
    EXPECT_NE(e.traceback().find("stack traceback:"), std::string::npos);
  }
  try {
    ScriptHost(ScriptHost::Options{.debug = true}).Run(path, "/fails.lua");
    FAIL();
  } catch (const ScriptError& e) {
    EXPECT_NE(std::string(e.what()).find("stack traceback:"), std::string::npos);
  }
}

TEST_F(Compilation, StateStaysUsableAfterFailures) {
  for (int i = 0; i < 3; ++i) {
    EXPECT_NE(ErrorOf("error('x')"), "");
    EXPECT_THROW(Run("Response.End()"), ResponseEnded);
  }
  EXPECT_EQ(Run("Response.Write('fine')"), "fine");
}

TEST_F(Compilation, WorkerThreadsRunScriptsIndependently) {
  std::string path = Write("shared.lua",
                           "counter = (counter or 0) + 1\n"
                           "Response.Write(Request.QueryString('n') .. ':' .. counter)\n"
                           "if Request.QueryString('n') == '2' then Response.End() end");
  std::vector<std::thread> workers;
  std::atomic<int> failures = 0;
  for (int n = 0; n < 4; ++n) {
    workers.emplace_back([&, n] {
      for (int i = 0; i < 25; ++i) {
        MemoryHost host(site_.string());
        host.request.SetQueryString("n=" + std::to_string(n));
        try {
          ScriptHost().Run(path, "/shared.lua");
        } catch (const ResponseEnded&) {
          if (n != 2) ++failures;
        }
        if (host.response.Text() != std::to_string(n) + ":1") ++failures;
      }
    });
  }
  for (auto& worker : workers) worker.join();
  EXPECT_EQ(failures, 0);
}

TEST(ScriptHostContext, RunOutsideARequestIsAHostError) {
  EXPECT_THROW(ScriptHost().Run("/nonexistent.lua", "/nonexistent.lua"), HostError);
}

}  // namespace
}  // namespace qv::testing
