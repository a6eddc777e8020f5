// The .lp template translator over any text. Text without "<%" is all
// literal: its translation must load as Lua and, run, write exactly the
// input back. Any other input must translate or be refused with
// LpSyntaxError, and what it translates to is loaded (not run).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <lua.hpp>

#include "script/lp_translate.h"

namespace {

int Write(lua_State* L) {
  size_t length = 0;
  const char* text = luaL_checklstring(L, 1, &length);
  auto* out = static_cast<std::string*>(lua_touserdata(L, lua_upvalueindex(1)));
  out->append(text, length);
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view source(reinterpret_cast<const char*>(data), size);
  std::string lua;
  try {
    lua = qv::script::TranslateLp(source);
  } catch (const qv::script::LpSyntaxError&) {
    return 0;
  }
  lua_State* L = luaL_newstate();
  std::string written;
  const int loaded = luaL_loadbufferx(L, lua.data(), lua.size(), "=page", "t");
  if (source.find("<%") == std::string_view::npos) {
    if (loaded != LUA_OK) std::abort();
    lua_newtable(L);
    lua_pushlightuserdata(L, &written);
    lua_pushcclosure(L, Write, 1);
    lua_setfield(L, -2, "Write");
    lua_setglobal(L, "Response");
    if (lua_pcall(L, 0, 0, 0) != LUA_OK || written != source) std::abort();
  }
  lua_close(L);
  return 0;
}
