#include "script/sandbox.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <list>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

#include "script/bindings.h"
#include "script/lua_bind.h"

namespace qv::script {
namespace {

constexpr const char* kBaseKey = "qvTome.base";
constexpr const char* kEnvMetaKey = "qvTome.envmeta";
constexpr const char* kCurrentEnvKey = "qvTome.env";
constexpr const char* kLibraryMetasKey = "qvTome.libmetas";

// VM instructions between two checks of a coroutine's limits.
constexpr int kInstructionsPerCheck = 10000;

// What the allocator of a state counts, and the limits of the current run.
struct StateBudget {
  lua_State* state = nullptr;  // the main thread
  size_t used = 0;
  size_t memory_limit = 0;  // 0: none
  bool timed = false;
  std::chrono::steady_clock::time_point deadline;
  RunStop stop = RunStop::kNone;
  size_t refused = 0;  // size of the allocation just refused, 0 for none
};

char limit_sentinel_key;

StateBudget& BudgetOf(lua_State* L) {
  void* budget = nullptr;
  lua_getallocf(L, &budget);
  return *static_cast<StateBudget*>(budget);
}

void CheckLimits(lua_State* L, lua_Debug*);

// Makes the state's Lua code check its limits at its next instruction. An
// ordinary run has no hook at all (a hook slows every VM instruction); the
// deadline watchdog and the allocator arm it when a limit may be passed.
// Safe in a signal handler.
void ArmCheck(lua_State* L) { lua_sethook(L, CheckLimits, LUA_MASKCOUNT, 1); }

// Counts the bytes the state holds. During a limited run a growing
// allocation past the cap is refused, so Lua collects garbage and tries
// once more before it raises its memory error. A member of the component
// may go up to twice the cap (a Lua error inside C++ would skip its
// destructors); the next check stops the script then.
void* Allocate(void* user, void* block, size_t old_size, size_t new_size) {
  auto& budget = *static_cast<StateBudget*>(user);
  if (block == nullptr) old_size = 0;  // then it names the kind of object
  if (new_size == 0) {
    std::free(block);
    budget.used -= old_size;
    return nullptr;
  }
  const bool grows = new_size > old_size;
  // Lua asks once more for what was refused, right after its collection.
  const bool retry = grows && budget.refused == new_size;
  if (grows) budget.refused = 0;
  if (grows && budget.memory_limit != 0) {
    const size_t after = budget.used - old_size + new_size;
    const size_t cap = InBinding() ? 2 * budget.memory_limit : budget.memory_limit;
    if (after > cap) {
      if (budget.stop == RunStop::kNone) {
        budget.stop = RunStop::kMemory;
        budget.refused = new_size;
      }
      ArmCheck(budget.state);
      return nullptr;
    }
  }
  void* moved = std::realloc(block, new_size);
  if (moved == nullptr) return nullptr;
  budget.used = budget.used - old_size + new_size;
  // The collection made room: the run goes on.
  if (retry && budget.stop == RunStop::kMemory) budget.stop = RunStop::kNone;
  // Past the cap inside a member of the component: stop at the next check.
  if (grows && budget.memory_limit != 0 && budget.used > budget.memory_limit) {
    ArmCheck(budget.state);
  }
  return moved;
}

void PushLimitSentinel(lua_State* L) { lua_pushlightuserdata(L, &limit_sentinel_key); }

// The count hook of a limited run.
void CheckLimits(lua_State* L, lua_Debug*) {
  StateBudget& budget = BudgetOf(L);
  if (budget.stop == RunStop::kNone) {
    if (budget.timed && std::chrono::steady_clock::now() >= budget.deadline) {
      budget.stop = RunStop::kTime;
    } else if (budget.memory_limit != 0 && budget.used > budget.memory_limit) {
      lua_gc(L, LUA_GCCOLLECT);  // does nothing inside a finalizer
      if (budget.used > budget.memory_limit) budget.stop = RunStop::kMemory;
    }
  }
  if (budget.stop != RunStop::kNone) {
    PushLimitSentinel(L);
    lua_error(L);
  }
  // Nothing is past its limit: the main thread goes on unchecked until it
  // is armed again; a coroutine keeps its periodic check.
  if (L == budget.state) lua_sethook(L, nullptr, 0, 0);
}

// The deadline watchdog ----------------------------------------------------
//
// One thread watches the deadlines of the runs in progress. When a run
// passes its deadline it sends the thread running it a signal whose
// handler arms the check hook of the state that thread runs (setting a
// hook is what Lua allows from a signal handler). So a run pays a mutex
// per start and end for its time limit, not a hook call per instruction.

// The state whose limited run this thread is in, for the signal handler.
constinit thread_local std::atomic<lua_State*> t_limited_state{nullptr};

int AlarmSignal() { return SIGRTMIN + 3; }

void OnAlarm(int) {
  const int saved = errno;
  if (lua_State* L = t_limited_state.load(std::memory_order_relaxed)) ArmCheck(L);
  errno = saved;
}

class Watchdog {
 public:
  struct Slot {
    pthread_t thread{};
    bool active = false;
    std::chrono::steady_clock::time_point alarm;  // the deadline, then a second later each time
  };

  static Watchdog& Instance() {
    // Never destroyed: worker threads may end their runs during exit.
    static Watchdog* watchdog = new Watchdog;
    return *watchdog;
  }

  Slot* AddThread() {
    std::lock_guard lock(mutex_);
    slots_.emplace_back();
    slots_.back().thread = pthread_self();
    return &slots_.back();
  }

  void RemoveThread(Slot* slot) {
    std::lock_guard lock(mutex_);
    slots_.remove_if([slot](const Slot& s) { return &s == slot; });
  }

  void Begin(Slot& slot, std::chrono::steady_clock::time_point deadline) {
    std::lock_guard lock(mutex_);
    slot.active = true;
    slot.alarm = deadline;
    // Runs share one limit, so a new deadline is rarely the earliest.
    if (deadline < wake_at_) {
      wake_at_ = deadline;
      wake_.notify_one();
    }
  }

  void End(Slot& slot) {
    std::lock_guard lock(mutex_);
    slot.active = false;
  }

 private:
  Watchdog() {
    struct sigaction action {};
    action.sa_handler = OnAlarm;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(AlarmSignal(), &action, nullptr);
    std::thread([this] { Watch(); }).detach();
  }

  void Watch() {
    std::unique_lock lock(mutex_);
    for (;;) {
      const auto now = std::chrono::steady_clock::now();
      wake_at_ = std::chrono::steady_clock::time_point::max();
      for (Slot& slot : slots_) {
        if (!slot.active) continue;
        if (slot.alarm <= now) {
          // The thread is inside its run: ending it takes this mutex. A
          // run still going a second later (an alarm that came while its
          // hook was being lifted) is alarmed again.
          pthread_kill(slot.thread, AlarmSignal());
          slot.alarm = now + std::chrono::seconds(1);
        }
        wake_at_ = std::min(wake_at_, slot.alarm);
      }
      if (wake_at_ == std::chrono::steady_clock::time_point::max()) {
        wake_.wait(lock);
      } else {
        wake_.wait_until(lock, wake_at_);
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::list<Slot> slots_;
  std::chrono::steady_clock::time_point wake_at_ = std::chrono::steady_clock::time_point::max();
};

// This thread's place in the watchdog's list, made at its first timed run.
struct WatchedThread {
  Watchdog::Slot* slot = Watchdog::Instance().AddThread();
  ~WatchedThread() { Watchdog::Instance().RemoveThread(slot); }
};

Watchdog::Slot& ThisThreadSlot() {
  thread_local WatchedThread watched;
  return *watched.slot;
}

// coroutine.create and coroutine.wrap for a run with limits: the watchdog
// reaches the main thread only, so a coroutine checks its limits every few
// thousand instructions itself.
void WatchCoroutine(lua_State* L, lua_State* co) {
  const StateBudget& budget = BudgetOf(L);
  if (budget.timed || budget.memory_limit != 0) {
    lua_sethook(co, CheckLimits, LUA_MASKCOUNT, kInstructionsPerCheck);
  }
}

int LimitedCreate(lua_State* L) {
  lua_pushvalue(L, lua_upvalueindex(1));
  lua_insert(L, 1);
  lua_call(L, lua_gettop(L) - 1, 1);
  if (lua_type(L, -1) == LUA_TTHREAD) WatchCoroutine(L, lua_tothread(L, -1));
  return 1;
}

int LimitedWrap(lua_State* L) {
  lua_pushvalue(L, lua_upvalueindex(1));
  lua_insert(L, 1);
  lua_call(L, lua_gettop(L) - 1, 1);
  // The wrapping function keeps its coroutine as its one upvalue.
  if (lua_getupvalue(L, -1, 1) != nullptr) {
    if (lua_type(L, -1) == LUA_TTHREAD) WatchCoroutine(L, lua_tothread(L, -1));
    lua_pop(L, 1);
  }
  return 1;
}

// stopped(): the limit signal once the run is stopped, else nothing.
int RunStopped(lua_State* L) {
  if (BudgetOf(L).stop == RunStop::kNone) return 0;
  PushLimitSentinel(L);
  return 1;
}

// setmetatable that refuses __gc: a finalizer runs whenever the collector
// gets to it, possibly during a later run, whose time and globals it would
// reach through load().
int SafeSetMetatable(lua_State* L) {
  if (lua_type(L, 2) == LUA_TTABLE) {
    lua_pushliteral(L, "__gc");
    if (lua_rawget(L, 2) != LUA_TNIL) {
      return luaL_error(L, "__gc metamethods are not available to page scripts");
    }
    lua_pop(L, 1);
  }
  lua_pushvalue(L, lua_upvalueindex(1));
  lua_insert(L, 1);
  lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
  return lua_gettop(L);
}

constexpr const char* kSafeBaseFunctions[] = {
    "assert",   "error",    "getmetatable", "ipairs",  "next",   "pairs",
    "rawequal", "rawget",   "rawlen",       "rawset",  "select", "setmetatable",
    "tonumber", "tostring", "type",         "_VERSION"};

// Library tables that every run gets a view of: an empty table of its own
// whose missing keys come from the library, so a run may add to or replace
// entries of its view without any other run seeing it.
constexpr const char* kLibraries[] = {"string", "table",     "math",  "utf8",
                                      "os",     "coroutine", "qvTome"};

constexpr const char* kOsFunctions[] = {"time", "date", "clock", "difftime"};

// pcall, xpcall and coroutine.resume that re-raise the end-of-response
// signal and the stop of a run past its limits instead of returning them as
// caught errors.
constexpr const char* kPassThroughWrappers = R"lua(
local sentinel, pcall, xpcall, resume, error, stopped = ...
local function pass(ok, ...)
  if not ok then
    local stop = stopped()
    if stop then error(stop, 0) end
    if (...) == sentinel then error(sentinel, 0) end
  end
  return ok, ...
end
local function safe_pcall(f, ...) return pass(pcall(f, ...)) end
local function safe_xpcall(f, handler, ...)
  local function guarded(e)
    if e == sentinel or stopped() then return e end
    return handler(e)
  end
  return pass(xpcall(f, guarded, ...))
end
local function safe_resume(co, ...) return pass(resume(co, ...)) end
return safe_pcall, safe_xpcall, safe_resume
)lua";

// load(chunk [, chunkname [, mode [, env]]]) for text chunks only.
int SafeLoad(lua_State* L) {
  size_t length = 0;
  const char* text = luaL_checklstring(L, 1, &length);
  const char* name = luaL_optstring(L, 2, "=(load)");
  if (luaL_loadbufferx(L, text, length, name, "t") != LUA_OK) {
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2;
  }
  if (lua_isnone(L, 4)) {
    PushCurrentEnvironment(L);
  } else {
    lua_pushvalue(L, 4);
  }
  if (lua_setupvalue(L, -2, 1) == nullptr) lua_pop(L, 1);
  return 1;
}

void CopyTable(lua_State* L, int source) {
  source = lua_absindex(L, source);
  lua_newtable(L);
  lua_pushnil(L);
  while (lua_next(L, source) != 0) {
    lua_pushvalue(L, -2);
    lua_insert(L, -2);
    lua_rawset(L, -4);
  }
}

void AddWrappers(lua_State* L, int base) {
  if (luaL_loadstring(L, kPassThroughWrappers) != LUA_OK) lua_error(L);
  PushEndedSentinel(L);
  lua_getglobal(L, "pcall");
  lua_getglobal(L, "xpcall");
  lua_getglobal(L, "coroutine");
  lua_getfield(L, -1, "resume");
  lua_remove(L, -2);
  lua_getglobal(L, "error");
  lua_pushcfunction(L, RunStopped);
  lua_call(L, 6, 3);
  lua_getfield(L, base, "coroutine");
  lua_insert(L, -2);
  lua_setfield(L, -2, "resume");
  const luaL_Reg limited[] = {{"create", LimitedCreate}, {"wrap", LimitedWrap}};
  for (const luaL_Reg& entry : limited) {
    lua_getfield(L, -1, entry.name);
    lua_pushcclosure(L, entry.func, 1);
    lua_setfield(L, -2, entry.name);
  }
  lua_pop(L, 1);
  lua_setfield(L, base, "xpcall");
  lua_setfield(L, base, "pcall");
}

void AddLibraries(lua_State* L, int base) {
  for (const char* name : {"string", "table", "math", "utf8", "coroutine"}) {
    lua_getglobal(L, name);
    CopyTable(L, -1);
    lua_setfield(L, base, name);
    lua_pop(L, 1);
  }
  // No bytecode from scripts: dump goes from the copy and the original that
  // the string metatable reaches.
  lua_getglobal(L, "string");
  lua_pushnil(L);
  lua_setfield(L, -2, "dump");
  lua_pop(L, 1);
  lua_getfield(L, base, "string");
  lua_pushnil(L);
  lua_setfield(L, -2, "dump");
  lua_pop(L, 1);

  lua_newtable(L);
  lua_getglobal(L, "os");
  for (const char* name : kOsFunctions) {
    lua_getfield(L, -1, name);
    lua_setfield(L, -3, name);
  }
  lua_pop(L, 1);
  lua_setfield(L, base, "os");
}

void ProtectStringMetatable(lua_State* L) {
  lua_pushliteral(L, "");
  lua_getmetatable(L, -1);
  lua_pushboolean(L, 0);
  lua_setfield(L, -2, "__metatable");
  lua_pop(L, 2);
}

int BuildSandbox(lua_State* L) {
  const luaL_Reg libraries[] = {{LUA_GNAME, luaopen_base},         {LUA_STRLIBNAME, luaopen_string},
                                {LUA_TABLIBNAME, luaopen_table},   {LUA_MATHLIBNAME, luaopen_math},
                                {LUA_UTF8LIBNAME, luaopen_utf8},   {LUA_OSLIBNAME, luaopen_os},
                                {LUA_COLIBNAME, luaopen_coroutine}};
  for (const luaL_Reg& library : libraries) {
    luaL_requiref(L, library.name, library.func, 1);
    lua_pop(L, 1);
  }
  lua_newtable(L);
  int base = lua_gettop(L);
  for (const char* name : kSafeBaseFunctions) {
    lua_getglobal(L, name);
    lua_setfield(L, base, name);
  }
  lua_pushcfunction(L, SafeLoad);
  lua_setfield(L, base, "load");
  lua_getglobal(L, "setmetatable");
  lua_pushcclosure(L, SafeSetMetatable, 1);
  lua_setfield(L, base, "setmetatable");
  AddLibraries(L, base);
  AddWrappers(L, base);
  OpenBindings(L, base);
  PushQvTomeTable(L);
  lua_setfield(L, base, "qvTome");
  ProtectStringMetatable(L);

  lua_newtable(L);
  lua_pushvalue(L, base);
  lua_setfield(L, -2, "__index");
  lua_pushboolean(L, 0);
  lua_setfield(L, -2, "__metatable");
  lua_setfield(L, LUA_REGISTRYINDEX, kEnvMetaKey);

  // One metatable per library, shared by the views of every run.
  lua_newtable(L);
  for (const char* name : kLibraries) {
    lua_newtable(L);
    lua_getfield(L, base, name);
    lua_setfield(L, -2, "__index");
    lua_pushboolean(L, 0);
    lua_setfield(L, -2, "__metatable");
    lua_setfield(L, -2, name);
  }
  lua_setfield(L, LUA_REGISTRYINDEX, kLibraryMetasKey);
  lua_setfield(L, LUA_REGISTRYINDEX, kBaseKey);
  return 0;
}

int Panic(lua_State* L) {
  const char* message = lua_tostring(L, -1);
  std::fprintf(stderr, "Lua panic: %s\n", message ? message : "unknown error");
  std::abort();
}

void NoWarnings(void*, const char*, int) {}

}  // namespace

void LuaCloser::operator()(lua_State* L) const {
  void* budget = nullptr;
  lua_getallocf(L, &budget);
  lua_close(L);
  delete static_cast<StateBudget*>(budget);
}

LuaStatePtr NewSandboxState() {
  auto* budget = new StateBudget;
  LuaStatePtr state(lua_newstate(Allocate, budget));
  if (!state) {
    delete budget;
    throw std::bad_alloc();
  }
  lua_State* L = state.get();
  budget->state = L;
  lua_atpanic(L, Panic);
  lua_setwarnf(L, NoWarnings, nullptr);
  // Each run leaves short-lived garbage behind: young collections suit it.
  lua_gc(L, LUA_GCGEN, 0, 0);
  lua_pushcfunction(L, BuildSandbox);
  if (lua_pcall(L, 0, 0, 0) != LUA_OK) {
    std::string message = lua_tostring(L, -1) ? lua_tostring(L, -1) : "unknown error";
    throw std::runtime_error("cannot set up the Lua sandbox: " + message);
  }
  return state;
}

void PushFreshEnvironment(lua_State* L) {
  lua_newtable(L);
  int env = lua_gettop(L);
  lua_getfield(L, LUA_REGISTRYINDEX, kLibraryMetasKey);
  for (const char* name : kLibraries) {
    lua_newtable(L);
    lua_getfield(L, -2, name);
    lua_setmetatable(L, -2);
    lua_setfield(L, env, name);
  }
  lua_pop(L, 1);
  lua_pushvalue(L, env);
  lua_setfield(L, env, "_G");
  lua_getfield(L, LUA_REGISTRYINDEX, kEnvMetaKey);
  lua_setmetatable(L, env);
  lua_pushvalue(L, env);
  lua_setfield(L, LUA_REGISTRYINDEX, kCurrentEnvKey);
}

void ClearCurrentEnvironment(lua_State* L) {
  lua_pushnil(L);
  lua_setfield(L, LUA_REGISTRYINDEX, kCurrentEnvKey);
}

void PushCurrentEnvironment(lua_State* L) { lua_getfield(L, LUA_REGISTRYINDEX, kCurrentEnvKey); }

void BeginLimitedRun(lua_State* L, std::chrono::steady_clock::duration time_limit,
                     size_t memory_limit) {
  StateBudget& budget = BudgetOf(L);
  budget.stop = RunStop::kNone;
  budget.refused = 0;
  budget.timed = time_limit.count() > 0;
  // The cap bounds what the run adds to what the state already holds.
  budget.memory_limit = memory_limit == 0 ? 0 : budget.used + memory_limit;
  lua_sethook(L, nullptr, 0, 0);
  if (budget.timed) {
    budget.deadline = std::chrono::steady_clock::now() + time_limit;
    t_limited_state.store(L, std::memory_order_relaxed);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    Watchdog::Instance().Begin(ThisThreadSlot(), budget.deadline);
  }
}

RunStop EndLimitedRun(lua_State* L) {
  StateBudget& budget = BudgetOf(L);
  if (budget.timed) {
    Watchdog::Instance().End(ThisThreadSlot());
    t_limited_state.store(nullptr, std::memory_order_relaxed);
    std::atomic_signal_fence(std::memory_order_seq_cst);
  }
  lua_sethook(L, nullptr, 0, 0);
  const RunStop stop = budget.stop;
  budget.timed = false;
  budget.memory_limit = 0;
  budget.stop = RunStop::kNone;
  budget.refused = 0;
  return stop;
}

size_t StateMemory(lua_State* L) { return BudgetOf(L).used; }

bool IsLimitSentinel(lua_State* L, int index) {
  return lua_type(L, index) == LUA_TLIGHTUSERDATA &&
         lua_touserdata(L, index) == &limit_sentinel_key;
}

void AddBaseFunction(lua_State* L, const char* name, lua_CFunction function) {
  lua_getfield(L, LUA_REGISTRYINDEX, kBaseKey);
  lua_pushcfunction(L, function);
  lua_setfield(L, -2, name);
  lua_pop(L, 1);
}

}  // namespace qv::script
