#include "script/sandbox.h"

#include <new>
#include <stdexcept>
#include <string>

#include "script/bindings.h"
#include "script/lua_bind.h"

namespace qv::script {
namespace {

constexpr const char* kBaseKey = "qvTome.base";
constexpr const char* kEnvMetaKey = "qvTome.envmeta";
constexpr const char* kCurrentEnvKey = "qvTome.env";
constexpr const char* kLibraryMetasKey = "qvTome.libmetas";

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
// signal instead of returning it as a caught error.
constexpr const char* kPassThroughWrappers = R"lua(
local sentinel, pcall, xpcall, resume, error = ...
local function pass(ok, ...)
  if not ok and (...) == sentinel then error(sentinel, 0) end
  return ok, ...
end
local function safe_pcall(f, ...) return pass(pcall(f, ...)) end
local function safe_xpcall(f, handler, ...)
  local function guarded(e)
    if e == sentinel then return e end
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
  lua_call(L, 5, 3);
  lua_getfield(L, base, "coroutine");
  lua_insert(L, -2);
  lua_setfield(L, -2, "resume");
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

}  // namespace

LuaStatePtr NewSandboxState() {
  LuaStatePtr state(luaL_newstate());
  if (!state) throw std::bad_alloc();
  lua_State* L = state.get();
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

void AddBaseFunction(lua_State* L, const char* name, lua_CFunction function) {
  lua_getfield(L, LUA_REGISTRYINDEX, kBaseKey);
  lua_pushcfunction(L, function);
  lua_setfield(L, -2, name);
  lua_pop(L, 1);
}

}  // namespace qv::script
