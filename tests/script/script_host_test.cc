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
                "type(dofile), type(loadfile), type(package), type(string.dump),"
                "type(os.remove), type(os.getenv), type(collectgarbage)}, ','))"),
            "nil,nil,nil,nil,nil,nil,nil,nil,nil,nil");
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

// Modules of lib/ in the site folder, shared by pages through require.
class Modules : public ScriptTest {
 protected:
  Modules() { std::filesystem::create_directories(site_ / "lib"); }
  void Module(const std::string& name, const std::string& text) {
    Write("lib/" + name + ".lua", text);
  }
};

TEST_F(Modules, AModuleRunsOncePerRunInThePagesEnvironment) {
  Module("counter",
         "runs = (runs or 0) + 1\n"
         "local m = {}\n"
         "function m.Say(x) Response.Write(x .. ':' .. runs .. ':' .. greeting) end\n"
         "return m\n");
  const std::string page =
      "greeting = 'hi' local a = require('counter') local b = require('counter')\n"
      "a.Say('a') Response.Write(tostring(a == b))";
  EXPECT_EQ(Run(page), "a:1:hitrue");
  // The next run starts afresh: the module runs again in the new environment.
  EXPECT_EQ(Run(page), "a:1:hitrue");
  EXPECT_EQ(Run("Response.Write(tostring(runs) .. tostring(greeting))"), "nilnil");
  Module("nothing", "x = 1");
  EXPECT_EQ(Run("Response.Write(tostring(require('nothing')) .. x)"), "true1");
}

TEST_F(Modules, OnlyPlainNamesInsideTheLibFolderResolve) {
  Write("secret.lua", "return 'outside'");
  Module("inner", "return 'in'");
  for (const char* name : {"../secret", "lib/inner", "/inner", "inner.lua", "", "a b", "in%2e"}) {
    const std::string message = ErrorOf(std::string("require('") + name + "')");
    EXPECT_NE(message.find("is no module name"), std::string::npos) << name << ": " << message;
  }
  EXPECT_NE(ErrorOf("require('secret')").find("no module 'secret'"), std::string::npos);
  std::filesystem::create_symlink(site_ / "secret.lua", site_ / "lib" / "linked.lua");
  EXPECT_NE(ErrorOf("require('linked')").find("no module 'linked'"), std::string::npos);
  EXPECT_EQ(Run("Response.Write(require('inner'))"), "in");
}

TEST_F(Modules, AModuleStaysInTheSandbox) {
  Module("probe",
         "return table.concat({type(io), type(os.execute), type(debug), type(package),"
         "type(dofile), type(loadfile), type(string.dump)}, ',')");
  EXPECT_EQ(Run("Response.Write(require('probe'))"), "nil,nil,nil,nil,nil,nil,nil");
  Module("climb", "return require('../../etc/passwd')");
  EXPECT_NE(ErrorOf("require('climb')").find("is no module name"), std::string::npos);
  Module("ender", "Response.Write('m') Response.End()");
  EXPECT_THROW(Run("pcall(require, 'ender') Response.Write('after')"), ResponseEnded);
  EXPECT_EQ(host_->response.Text(), "m");
}

TEST_F(Modules, ErrorsNameTheModuleAndLoopsAreCaught) {
  Module("broken", "local = 1");
  EXPECT_NE(ErrorOf("require('broken')").find("/lib/broken.lua:1:"), std::string::npos);
  Module("fails", "error('inside')");
  EXPECT_NE(ErrorOf("require('fails')").find("/lib/fails.lua:1: inside"), std::string::npos);
  Module("ping", "return require('pong')");
  Module("pong", "return require('ping')");
  EXPECT_NE(ErrorOf("require('ping')").find("module 'ping' is still loading"), std::string::npos);
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

using Limits = ScriptTest;

TEST_F(Limits, RunawayCodeIsStoppedWhereverItRuns) {
  const ScriptHost limited(
      {.time_limit = std::chrono::milliseconds(50), .memory_limit = size_t{8} << 20});
  for (const char* script : {
           "coroutine.wrap(function() while true do end end)()",
           // Coroutines in coroutines, a stop caught inside one, C calls.
           "local co = coroutine.create(function()\n"
           "  coroutine.wrap(function() for i = 1, math.huge do end end)()\n"
           "end)\n"
           "while true do coroutine.resume(co) end",
           "pcall(coroutine.wrap(function() while true do string.len('x') end end))",
           "while true do local t = setmetatable({}, {}) tostring(t) end",
           "load('while true do end')()",
           "local ok = pcall(string.rep, 'x', 1 << 30) Response.Write('survived')",
           "local t = {} for i = 1, 1e9 do t[i] = {i} end",
       }) {
    const std::string path = Write("runaway.lua", script);
    host_->response.Clear();
    try {
      limited.Run(path, "/runaway.lua");
      ADD_FAILURE() << "not stopped: " << script;
    } catch (const ScriptError& e) {
      EXPECT_NE(e.message().find("script stopped: it "), std::string::npos) << e.message();
    }
    EXPECT_EQ(host_->response.Text(), "") << script;
    EXPECT_EQ(Run("Response.Write('fine')"), "fine") << script;
  }
}

TEST_F(Limits, WorkWithinTheLimitsIsUntouched) {
  const ScriptHost limited(
      {.time_limit = std::chrono::seconds(60), .memory_limit = size_t{8} << 20});
  // Garbage many times the cap is collected on the way.
  const std::string path =
      Write("busy.lua",
            "local n = 0\n"
            "for i = 1, 20000 do local s = string.rep('y', 2000) .. i n = n + #s end\n"
            "Response.Write(n)");
  host_->response.Clear();
  limited.Run(path, "/busy.lua");
  EXPECT_EQ(host_->response.Text(), "40088894");
}

TEST(ScriptHostContext, RunOutsideARequestIsAHostError) {
  EXPECT_THROW(ScriptHost().Run("/nonexistent.lua", "/nonexistent.lua"), HostError);
}

}  // namespace
}  // namespace qv::testing
