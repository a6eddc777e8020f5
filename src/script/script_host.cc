#include "script/script_host.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unordered_map>

#include "core/convert.h"
#include "host/host_objects.h"
#include "script/lp_translate.h"
#include "script/lua_bind.h"
#include "script/sandbox.h"

namespace qv {

namespace fs = std::filesystem;

ScriptError::ScriptError(std::string message, std::string traceback, bool with_traceback)
    : std::runtime_error(with_traceback && !traceback.empty() ? message + "\n" + traceback
                                                              : message),
      message_(std::move(message)),
      traceback_(std::move(traceback)) {}

namespace {

// A compiled script: the chunk's function in the registry, and the file
// state it was compiled from.
struct CompiledScript {
  fs::file_time_type modified;
  uintmax_t size = 0;
  int function_ref = LUA_NOREF;
};

// Everything one worker thread keeps: its Lua state and compiled scripts.
struct ThreadScripts {
  script::LuaStatePtr state = script::NewSandboxState();
  std::unordered_map<std::string, CompiledScript> compiled;  // by physical path
};

ThreadScripts& Thread() {
  thread_local ThreadScripts scripts;
  return scripts;
}

bool IsLpFile(const std::string& path) {
  return ToLower(fs::path(path).extension().string()) == ".lp";
}

std::string ReadSource(const std::string& physical_path, const std::string& virtual_path) {
  std::ifstream in(physical_path, std::ios::binary);
  if (!in) throw ScriptError(virtual_path + ": cannot read the script", "", false);
  std::ostringstream text;
  text << in.rdbuf();
  if (!IsLpFile(physical_path)) return text.str();
  try {
    return script::TranslateLp(text.str());
  } catch (const script::LpSyntaxError& e) {
    throw ScriptError(virtual_path + ":" + e.what(), "", false);
  }
}

// Compiles the script and leaves its function on the stack.
void Compile(lua_State* L, const std::string& physical_path, const std::string& virtual_path) {
  std::string source = ReadSource(physical_path, virtual_path);
  std::string chunk_name = "@" + virtual_path;
  if (luaL_loadbufferx(L, source.data(), source.size(), chunk_name.c_str(), "t") != LUA_OK) {
    std::string message = lua_tostring(L, -1);
    lua_pop(L, 1);
    throw ScriptError(message, "", false);
  }
}

// Pushes the script's function, compiling it when it is new or its file
// changed since.
void PushScript(ThreadScripts& thread, const std::string& physical_path,
                const std::string& virtual_path) {
  lua_State* L = thread.state.get();
  std::error_code error;
  auto modified = fs::last_write_time(physical_path, error);
  auto size = error ? 0 : fs::file_size(physical_path, error);
  if (error) throw ScriptError(virtual_path + ": cannot read the script", "", false);

  CompiledScript& entry = thread.compiled[physical_path];
  if (entry.function_ref != LUA_NOREF && entry.modified == modified && entry.size == size) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, entry.function_ref);
    return;
  }
  luaL_unref(L, LUA_REGISTRYINDEX, entry.function_ref);
  entry.function_ref = LUA_NOREF;
  Compile(L, physical_path, virtual_path);
  lua_pushvalue(L, -1);
  entry.function_ref = luaL_ref(L, LUA_REGISTRYINDEX);
  entry.modified = modified;
  entry.size = size;
}

// Message handler: the end-of-response signal passes as it is; any other
// error becomes its text followed by the Lua traceback.
int AddTraceback(lua_State* L) {
  if (script::IsEndedSentinel(L, 1)) return 1;
  const char* message = luaL_tolstring(L, 1, nullptr);
  luaL_traceback(L, L, message, 1);
  return 1;
}

struct RunOutcome {
  bool ended = false;
  bool failed = false;
  std::string error;  // message and traceback
};

// Runs the function on top of the stack in a fresh environment. Leaves the
// stack as it was below the function.
RunOutcome RunChunk(lua_State* L) {
  int function = lua_gettop(L);
  script::PushFreshEnvironment(L);
  lua_setupvalue(L, function, 1);
  lua_pushcfunction(L, AddTraceback);
  lua_insert(L, function);
  script::ResponseEndedFlag() = false;
  script::BeginRunHandles(L);
  int status = lua_pcall(L, 0, 0, function);

  RunOutcome outcome;
  if (status != LUA_OK) {
    outcome.ended = script::IsEndedSentinel(L, -1);
    outcome.failed = !outcome.ended;
    if (outcome.failed) outcome.error = lua_tostring(L, -1) ? lua_tostring(L, -1) : "error";
  }
  outcome.ended = outcome.ended || script::ResponseEndedFlag();
  lua_settop(L, function - 1);
  return outcome;
}

// Drops the run's environment from the cached function and releases the
// objects of the request (record sets, connections) now; the Lua garbage
// itself goes with the collector's ordinary steps.
void CleanUp(lua_State* L, int function_ref) {
  lua_rawgeti(L, LUA_REGISTRYINDEX, function_ref);
  lua_pushnil(L);
  lua_setupvalue(L, -2, 1);
  lua_pop(L, 1);
  script::ClearCurrentEnvironment(L);
  script::ReleaseRunHandles(L);
}

}  // namespace

void ScriptHost::Run(const std::string& physical_path, const std::string& virtual_path) const {
  CurrentHostObjects();  // throws HostError when no request runs here
  ThreadScripts& thread = Thread();
  lua_State* L = thread.state.get();
  int top = lua_gettop(L);
  PushScript(thread, physical_path, virtual_path);
  RunOutcome outcome = RunChunk(L);
  CleanUp(L, thread.compiled[physical_path].function_ref);
  lua_settop(L, top);

  if (outcome.ended) throw ResponseEnded{};
  if (outcome.failed) {
    const std::string marker = "\nstack traceback:";
    size_t split = outcome.error.find(marker);
    if (split == std::string::npos) throw ScriptError(outcome.error, "", options_.debug);
    throw ScriptError(outcome.error.substr(0, split), outcome.error.substr(split + 1),
                      options_.debug);
  }
}

}  // namespace qv
