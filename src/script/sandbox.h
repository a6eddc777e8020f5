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

#include <chrono>
#include <cstddef>
#include <memory>

namespace qv::script {

struct LuaCloser {
  void operator()(lua_State* L) const;
};
using LuaStatePtr = std::unique_ptr<lua_State, LuaCloser>;

// A new state with the sandbox base installed. Its allocator counts the
// bytes the state holds, so that a run can be given a memory cap.
LuaStatePtr NewSandboxState();

// Limits of one run --------------------------------------------------------
//
// Between BeginLimitedRun and EndLimitedRun, Lua code of the state is
// stopped once the deadline has passed (a watchdog thread signals the
// thread running it, whose next VM instruction then stops; C++ calls of the
// component run to their end; coroutines check every few thousand
// instructions) or once
// the state has grown by more than memory_limit bytes over what it held at
// the start (an allocation past it is refused once a garbage collection
// has not made room). A stopped run raises an
// error that the script's pcall, xpcall and coroutine.resume pass on, and
// keeps raising it at every check, so nothing in the script can carry on.
// Zero means no limit. Begin and End are called on the thread that runs
// the state; a timed run uses one real-time signal (SIGRTMIN + 3).
enum class RunStop { kNone, kTime, kMemory };
void BeginLimitedRun(lua_State* L, std::chrono::steady_clock::duration time_limit,
                     size_t memory_limit);
// Lifts the limits and tells what stopped the run, if anything.
RunStop EndLimitedRun(lua_State* L);
// Bytes the state holds now.
size_t StateMemory(lua_State* L);
// The error value of a stopped run.
bool IsLimitSentinel(lua_State* L, int index);

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
