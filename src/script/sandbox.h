// Internal: the Lua state of a worker thread and the environments scripts
// run in.
//
// The state holds one read-only base of globals: the safe base functions,
// string (without dump), table, math, utf8, coroutine, os.time, os.date,
// os.clock and os.difftime, the host objects, qvTome and what the host adds
// with AddBaseFunction (require). pcall, xpcall and coroutine.resume let the
// end-of-response signal pass; load reads text chunks only, in the caller's
// environment unless given another.
#pragma once

#include <lua.hpp>

#include <memory>

namespace qv::script {

struct LuaCloser {
  void operator()(lua_State* L) const { lua_close(L); }
};
using LuaStatePtr = std::unique_ptr<lua_State, LuaCloser>;

// A new state with the sandbox base installed.
LuaStatePtr NewSandboxState();

// Pushes a fresh environment: an empty global table that reads through to
// the base and has its own copies of the library tables, so a script can
// change its globals and libraries without touching the next run's. It is
// also the default environment of load() until the next call.
void PushFreshEnvironment(lua_State* L);
// Forgets the environment of the finished run.
void ClearCurrentEnvironment(lua_State* L);
// Pushes the environment of the current run (nil between runs).
void PushCurrentEnvironment(lua_State* L);
// Adds a function to the read-only base every environment reads through to.
void AddBaseFunction(lua_State* L, const char* name, lua_CFunction function);

}  // namespace qv::script
