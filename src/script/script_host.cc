#include "script/script_host.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <unordered_map>
#include <vector>

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
  timespec modified{};
  off_t size = 0;
  int function_ref = LUA_NOREF;
};

int Require(lua_State* L);

// Everything one worker thread keeps: its Lua state, compiled scripts and
// modules, and what the current run has loaded.
struct ThreadScripts {
  ThreadScripts() { script::AddBaseFunction(state.get(), "require", Require); }

  script::LuaStatePtr state = script::NewSandboxState();
  std::unordered_map<std::string, CompiledScript> compiled;  // by physical path
  // The current run's module folder and the modules it ran (their function
  // refs), whose environment goes with the run.
  fs::path library;
  std::vector<int> run_modules;
};

ThreadScripts& Thread() {
  thread_local ThreadScripts scripts;
  return scripts;
}

constexpr const char* kLoadedKey = "qvTome.loaded";
constexpr size_t kMaxModuleName = 100;

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
  // One stat per run tells whether the file changed.
  struct stat file {};
  if (::stat(physical_path.c_str(), &file) != 0) {
    throw ScriptError(virtual_path + ": cannot read the script", "", false);
  }
  const timespec modified = file.st_mtim;
  const off_t size = file.st_size;

  CompiledScript& entry = thread.compiled[physical_path];
  if (entry.function_ref != LUA_NOREF && entry.modified.tv_sec == modified.tv_sec &&
      entry.modified.tv_nsec == modified.tv_nsec && entry.size == size) {
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

// Modules ---------------------------------------------------------------------
//
// require(name) runs lib/<name>.lua of the site folder in the environment of
// the current run, once per run, and returns its result (true when it
// returns nothing). Names are letters, digits and "_" only, so a module
// never lies outside the folder; nor may a link lead out of it.

// The module folder of a page: lib/ in the site folder, which is the page's
// physical path less its virtual path ("/srv/site/a/b.lp" less "/a/b.lp"),
// or the page's own folder when the two do not line up.
fs::path LibraryFolder(const std::string& physical_path, const std::string& virtual_path) {
  if (virtual_path.starts_with("/") && physical_path.size() > virtual_path.size() &&
      physical_path.ends_with(virtual_path)) {
    return fs::path(physical_path.substr(0, physical_path.size() - virtual_path.size())) / "lib";
  }
  return fs::path(physical_path).parent_path() / "lib";
}

bool IsModuleName(std::string_view name) {
  if (name.empty() || name.size() > kMaxModuleName) return false;
  for (char c : name) {
    const bool word =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!word) return false;
  }
  return true;
}

// The file of module name: lib/<name>.lua, a file there or a link that
// leads to a file in the same folder.
fs::path ModuleFile(const fs::path& library, const std::string& name) {
  const fs::path file = library / (name + ".lua");
  std::error_code error;
  const fs::file_status status = fs::symlink_status(file, error);
  if (!error && fs::is_regular_file(status)) return file;
  if (!error && fs::is_symlink(status)) {
    const fs::path real_folder = fs::canonical(library, error);
    const fs::path real_file = error ? fs::path() : fs::canonical(file, error);
    if (!error && fs::is_regular_file(real_file, error) && real_file.parent_path() == real_folder) {
      return file;
    }
  }
  throw std::runtime_error("require: no module '" + name + "' in the site's lib folder");
}

// Step one of require: leaves the module's value on the stack and returns 1
// when this run has loaded it; otherwise marks it as loading, leaves the
// module's function (in the run's environment) and returns 0.
int FindModule(lua_State* L) {
  const std::string name = script::ArgString(L, 1);
  if (!IsModuleName(name)) {
    throw std::runtime_error("require: '" + name +
                             "' is no module name (letters, digits and _ only)");
  }
  ThreadScripts& thread = Thread();
  lua_getfield(L, LUA_REGISTRYINDEX, kLoadedKey);
  if (!lua_istable(L, -1)) throw std::runtime_error("require: no page is running");
  const int loaded = lua_gettop(L);
  lua_getfield(L, loaded, name.c_str());
  if (!lua_isnil(L, -1)) {
    if (lua_isboolean(L, -1) && !lua_toboolean(L, -1)) {
      throw std::runtime_error("require: module '" + name +
                               "' is still loading (it requires itself, or it failed)");
    }
    lua_remove(L, loaded);
    return 1;
  }
  lua_pop(L, 1);
  const fs::path file = ModuleFile(thread.library, name);
  PushScript(thread, file.string(), "/lib/" + name + ".lua");
  const int function_ref = thread.compiled[file.string()].function_ref;
  script::PushCurrentEnvironment(L);
  lua_setupvalue(L, -2, 1);
  thread.run_modules.push_back(function_ref);
  lua_pushboolean(L, 0);
  lua_setfield(L, loaded, name.c_str());
  lua_remove(L, loaded);
  return 0;
}

// The module runs outside Protect: its Lua errors pass no C++ frame.
int Require(lua_State* L) {
  if (script::Protect(L, [&] { return FindModule(L); }) == 1) return 1;
  lua_call(L, 0, 1);
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    lua_pushboolean(L, 1);
  }
  lua_getfield(L, LUA_REGISTRYINDEX, kLoadedKey);
  lua_pushvalue(L, -2);
  lua_setfield(L, -2, lua_tostring(L, 1));
  lua_pop(L, 1);
  return 1;
}

// "script:line: " of the innermost page or module code running; "" when
// there is none.
void PushScriptWhere(lua_State* L) {
  lua_Debug frame;
  for (int level = 1; lua_getstack(L, level, &frame) != 0; ++level) {
    lua_getinfo(L, "Sl", &frame);
    if (frame.currentline > 0 && frame.source[0] == '@') {
      lua_pushfstring(L, "%s:%d: ", frame.short_src, frame.currentline);
      return;
    }
  }
  lua_pushliteral(L, "");
}

// Message handler: the end-of-response signal passes as it is; any other
// error becomes its text followed by the Lua traceback. The stop of a run
// past its limits becomes where it stopped and the traceback (the host
// adds which limit).
int AddTraceback(lua_State* L) {
  if (script::IsEndedSentinel(L, 1)) return 1;
  if (script::IsLimitSentinel(L, 1)) {
    PushScriptWhere(L);
    luaL_traceback(L, L, lua_tostring(L, -1), 1);
    return 1;
  }
  const char* message = luaL_tolstring(L, 1, nullptr);
  luaL_traceback(L, L, message, 1);
  return 1;
}

struct RunOutcome {
  bool ended = false;
  bool failed = false;
  std::string error;  // message and traceback
  script::RunStop stop = script::RunStop::kNone;
};

// Runs the function on top of the stack in a fresh environment within the
// limits of the options. Leaves the stack as it was below the function.
RunOutcome RunChunk(lua_State* L, const ScriptHostOptions& options) {
  int function = lua_gettop(L);
  script::PushFreshEnvironment(L);
  lua_setupvalue(L, function, 1);
  lua_pushcfunction(L, AddTraceback);
  lua_insert(L, function);
  script::ResponseEndedFlag() = false;
  script::BeginRunHandles(L);
  script::BeginLimitedRun(L, options.time_limit, options.memory_limit);
  int status = lua_pcall(L, 0, 0, function);

  RunOutcome outcome;
  outcome.stop = script::EndLimitedRun(L);
  if (status != LUA_OK) {
    outcome.ended = script::IsEndedSentinel(L, -1);
    outcome.failed = !outcome.ended;
    if (outcome.failed) outcome.error = lua_tostring(L, -1) ? lua_tostring(L, -1) : "error";
  }
  outcome.ended = outcome.ended || script::ResponseEndedFlag();
  lua_settop(L, function - 1);
  return outcome;
}

void ForgetEnvironment(lua_State* L, int function_ref) {
  lua_rawgeti(L, LUA_REGISTRYINDEX, function_ref);
  lua_pushnil(L);
  lua_setupvalue(L, -2, 1);
  lua_pop(L, 1);
}

// Drops the run's environment from the cached functions of the page and its
// modules, forgets what the run loaded, and releases the objects of the
// request (record sets, connections) now; the Lua garbage itself goes with
// the collector's ordinary steps.
void CleanUp(ThreadScripts& thread, int function_ref) {
  lua_State* L = thread.state.get();
  ForgetEnvironment(L, function_ref);
  for (int module_ref : thread.run_modules) ForgetEnvironment(L, module_ref);
  thread.run_modules.clear();
  lua_pushnil(L);
  lua_setfield(L, LUA_REGISTRYINDEX, kLoadedKey);
  script::ClearCurrentEnvironment(L);
  script::ReleaseRunHandles(L);
}

// "0.2" for 200 ms.
std::string FormatSeconds(std::chrono::milliseconds duration) {
  std::string text = std::to_string(duration.count() / 1000);
  if (int64_t rest = duration.count() % 1000) {
    std::string fraction = std::to_string(1000 + rest).substr(1);
    while (fraction.back() == '0') fraction.pop_back();
    text += "." + fraction;
  }
  return text;
}

// What a stopped run reached, for its error message.
std::string StopReason(script::RunStop stop, const ScriptHostOptions& options) {
  if (stop == script::RunStop::kTime) {
    return "script stopped: it ran longer than its time limit of " +
           FormatSeconds(options.time_limit) + " s";
  }
  return "script stopped: it used more than its memory limit of " +
         std::to_string(options.memory_limit / 1024) + " KB";
}

}  // namespace

void ScriptHost::Run(const std::string& physical_path, const std::string& virtual_path) const {
  CurrentHostObjects();  // throws HostError when no request runs here
  ThreadScripts& thread = Thread();
  lua_State* L = thread.state.get();
  int top = lua_gettop(L);
  PushScript(thread, physical_path, virtual_path);
  thread.library = LibraryFolder(physical_path, virtual_path);
  lua_newtable(L);
  lua_setfield(L, LUA_REGISTRYINDEX, kLoadedKey);
  script::binding_depth = 0;
  RunOutcome outcome = RunChunk(L, options_);
  CleanUp(thread, thread.compiled[physical_path].function_ref);
  lua_settop(L, top);

  const std::string marker = "\nstack traceback:";
  if (outcome.stop != script::RunStop::kNone) {
    // What the run left behind goes now, not at the next runs' expense.
    lua_gc(L, LUA_GCCOLLECT);
    size_t split = outcome.error.find(marker);
    std::string where =
        split == std::string::npos ? virtual_path + ": " : outcome.error.substr(0, split);
    std::string traceback = split == std::string::npos ? "" : outcome.error.substr(split + 1);
    throw ScriptError(where + StopReason(outcome.stop, options_), traceback, options_.debug);
  }
  if (outcome.ended) throw ResponseEnded{};
  if (outcome.failed) {
    size_t split = outcome.error.find(marker);
    if (split == std::string::npos) throw ScriptError(outcome.error, "", options_.debug);
    throw ScriptError(outcome.error.substr(0, split), outcome.error.substr(split + 1),
                      options_.debug);
  }
}

}  // namespace qv
