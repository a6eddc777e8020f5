#include "script/lua_bind.h"

#include <cctype>
#include <stdexcept>
#include <string>

#include "core/convert.h"
#include "script/bindings.h"

namespace qv::script {
namespace {

char ended_sentinel_key;
thread_local bool response_ended = false;

// Deeper tables than this are refused (and cycles with them).
constexpr int kMaxTableDepth = 8;

Variant TableToVariant(lua_State* L, int index, int depth);

bool IsPair(lua_State* L, int index) {
  if (lua_type(L, index) != LUA_TTABLE || lua_rawlen(L, index) != 2) return false;
  lua_pushnil(L);
  int keys = 0;
  while (lua_next(L, index) != 0) {
    lua_pop(L, 1);
    ++keys;
  }
  return keys == 2;
}

// Number of keys when the table is a sequence 1..n, else -1.
lua_Integer SequenceLength(lua_State* L, int index) {
  lua_Integer n = static_cast<lua_Integer>(lua_rawlen(L, index)), keys = 0;
  lua_pushnil(L);
  while (lua_next(L, index) != 0) {
    lua_pop(L, 1);
    ++keys;
  }
  return keys == n ? n : -1;
}

Variant ElementToVariant(lua_State* L, int index, int depth) {
  if (lua_type(L, index) == LUA_TTABLE) return TableToVariant(L, index, depth + 1);
  return ToVariant(L, index);
}

std::shared_ptr<Array> PairsToArray(lua_State* L, int index, lua_Integer n, int depth) {
  auto array = MakeArray2D(2, static_cast<size_t>(n));
  for (lua_Integer i = 1; i <= n; ++i) {
    lua_rawgeti(L, index, i);
    int pair = lua_gettop(L);
    for (int part = 0; part < 2; ++part) {
      lua_rawgeti(L, pair, part + 1);
      array->at(part, static_cast<size_t>(i - 1)) = ElementToVariant(L, lua_gettop(L), depth);
      lua_pop(L, 1);
    }
    lua_pop(L, 1);
  }
  return array;
}

Variant TableToVariant(lua_State* L, int index, int depth) {
  index = lua_absindex(L, index);
  if (depth > kMaxTableDepth) throw TypeMismatch("table nested too deeply to be used as a value");
  lua_Integer n = SequenceLength(L, index);
  if (n < 0) throw TypeMismatch("a table used as a value must be a sequence {a, b, ...}");
  bool all_pairs = n > 0;
  for (lua_Integer i = 1; i <= n && all_pairs; ++i) {
    lua_rawgeti(L, index, i);
    all_pairs = IsPair(L, lua_gettop(L));
    lua_pop(L, 1);
  }
  if (all_pairs) return PairsToArray(L, index, n, depth);
  auto array = std::make_shared<Array>(static_cast<size_t>(n));
  for (lua_Integer i = 1; i <= n; ++i) {
    lua_rawgeti(L, index, i);
    array->at(static_cast<size_t>(i - 1)) = ElementToVariant(L, lua_gettop(L), depth);
    lua_pop(L, 1);
  }
  return array;
}

Variant UserdataToVariant(lua_State* L, int index) {
  Date date;
  if (TestDate(L, index, &date)) return date;
  if (auto array = TestArray(L, index)) return array;
  bool is_handle = false;
  if (lua_getmetatable(L, index)) {
    lua_getfield(L, -1, "__qvhandle");
    is_handle = lua_toboolean(L, -1);
    lua_pop(L, 2);
  }
  if (is_handle) {
    auto* handle = static_cast<Handle*>(lua_touserdata(L, index));
    if (handle->object) return handle->object;
  }
  throw TypeMismatch("this object cannot be used as a value");
}

// Pushes the string at index in lower case (ASCII).
void PushLower(lua_State* L, int index) {
  size_t length = 0;
  const char* text = lua_tolstring(L, index, &length);
  luaL_Buffer buffer;
  char* out = luaL_buffinitsize(L, &buffer, length);
  for (size_t i = 0; i < length; ++i) {
    out[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
  }
  luaL_pushresultsize(&buffer, length);
}

// Looks key (at index 2) up in the table at upvalue `slot`, exactly and
// then in lower case; leaves the value (or nil) on the stack.
int LookupMember(lua_State* L, int slot) {
  lua_pushvalue(L, 2);
  if (lua_rawget(L, lua_upvalueindex(slot)) != LUA_TNIL) return 1;
  lua_pop(L, 1);
  PushLower(L, 2);
  return lua_rawget(L, lua_upvalueindex(slot)) != LUA_TNIL;
}

// Upvalues of both closures: methods, getters, setters, class name, plain
// getters.
int IndexMember(lua_State* L) {
  if (lua_type(L, 2) != LUA_TSTRING) {
    return luaL_error(L, "%s has no member of type %s", lua_tostring(L, lua_upvalueindex(4)),
                      luaL_typename(L, 2));
  }
  lua_pushvalue(L, 2);
  if (lua_rawget(L, lua_upvalueindex(1)) != LUA_TNIL) return 1;
  lua_pop(L, 1);
  // A property named as registered: no method can take its name first.
  lua_pushvalue(L, 2);
  if (lua_rawget(L, lua_upvalueindex(5)) != LUA_TNIL) {
    lua_pushvalue(L, 1);
    lua_call(L, 1, 1);
    return 1;
  }
  lua_pop(L, 1);
  if (LookupMember(L, 1)) return 1;
  lua_pop(L, 1);
  if (LookupMember(L, 2)) {
    lua_pushvalue(L, 1);
    lua_call(L, 1, 1);
    return 1;
  }
  lua_pop(L, 1);
  const char* key = lua_tostring(L, 2);
  const char* class_name = lua_tostring(L, lua_upvalueindex(4));
  if (LookupMember(L, 3))
    return luaL_error(L, "property '%s' of %s is write-only", key, class_name);
  return luaL_error(L, "'%s' is not a member of %s", key, class_name);
}

int NewIndexMember(lua_State* L) {
  if (lua_type(L, 2) == LUA_TSTRING) {
    if (LookupMember(L, 3)) {
      lua_pushvalue(L, 1);
      lua_pushvalue(L, 3);
      lua_call(L, 2, 0);
      return 0;
    }
    lua_pop(L, 1);
    bool is_method = LookupMember(L, 1);
    lua_pop(L, 1);
    if (is_method || LookupMember(L, 2)) {
      return luaL_error(L, "'%s' of %s cannot be assigned", lua_tostring(L, 2),
                        lua_tostring(L, lua_upvalueindex(4)));
    }
  }
  return luaL_error(L, "'%s' is not a member of %s", luaL_tolstring(L, 2, nullptr),
                    lua_tostring(L, lua_upvalueindex(4)));
}

int CollectHandle(lua_State* L) {
  auto* handle = static_cast<Handle*>(lua_touserdata(L, 1));
  handle->~Handle();
  new (handle) Handle();  // a resurrected userdata stays a valid, empty handle
  return 0;
}

int HandleToString(lua_State* L) {
  if (luaL_getmetafield(L, 1, "__name") == LUA_TNIL) lua_pushliteral(L, "object");
  return 1;
}

// The table of one kind of member: name -> function, and the lower-case
// name too unless another member has it.
using MemberPart = lua_CFunction (*)(const Member&);

lua_CFunction MethodOf(const Member& m) {
  return m.kind == Member::Kind::kMethod ? m.function : nullptr;
}
lua_CFunction ReaderOf(const Member& m) {
  return m.kind == Member::Kind::kProperty ? m.function : nullptr;
}
lua_CFunction WriterOf(const Member& m) {
  return m.kind == Member::Kind::kProperty ? m.setter : nullptr;
}

void NewMemberTable(lua_State* L, std::span<const Member> members, MemberPart part) {
  lua_newtable(L);
  for (const Member& m : members) {
    if (lua_CFunction function = part(m)) {
      lua_pushcfunction(L, function);
      lua_setfield(L, -2, m.name);
    }
  }
  for (const Member& m : members) {
    lua_CFunction function = part(m);
    if (function == nullptr) continue;
    lua_pushstring(L, m.name);
    PushLower(L, -1);
    if (lua_rawget(L, -3) == LUA_TNIL) {
      lua_pop(L, 1);
      PushLower(L, -1);
      lua_pushcfunction(L, function);
      lua_rawset(L, -4);
    } else {
      lua_pop(L, 1);
    }
    lua_pop(L, 1);
  }
}

// The getters whose registered name no method has, exactly or in lower
// case: what IndexMember finds for such a name, without making the name's
// lower-case string. The methods' table is at index methods.
void NewPlainGetterTable(lua_State* L, std::span<const Member> members, int methods) {
  lua_newtable(L);
  for (const Member& m : members) {
    lua_CFunction getter = ReaderOf(m);
    if (getter == nullptr) continue;
    lua_pushstring(L, m.name);
    bool taken = lua_rawget(L, methods) != LUA_TNIL;
    lua_pop(L, 1);
    if (!taken) {
      lua_pushstring(L, m.name);
      PushLower(L, -1);
      taken = lua_rawget(L, methods) != LUA_TNIL;
      lua_pop(L, 2);
    }
    if (taken) continue;
    lua_pushcfunction(L, getter);
    lua_setfield(L, -2, m.name);
  }
}

void PushMemberClosure(lua_State* L, const ClassBinding& binding, lua_CFunction function) {
  NewMemberTable(L, binding.members, MethodOf);
  const int methods = lua_gettop(L);
  NewMemberTable(L, binding.members, ReaderOf);
  NewMemberTable(L, binding.members, WriterOf);
  lua_pushstring(L, binding.name);
  NewPlainGetterTable(L, binding.members, methods);
  lua_pushcclosure(L, function, 5);
}

}  // namespace

void PushEndedSentinel(lua_State* L) { lua_pushlightuserdata(L, &ended_sentinel_key); }

bool IsEndedSentinel(lua_State* L, int index) {
  return lua_type(L, index) == LUA_TLIGHTUSERDATA &&
         lua_touserdata(L, index) == &ended_sentinel_key;
}

bool& ResponseEndedFlag() { return response_ended; }

void PushErrorMessage(lua_State* L, const char* message) {
  lua_Debug frame;
  for (int level = 1; lua_getstack(L, level, &frame) != 0; ++level) {
    lua_getinfo(L, "Sl", &frame);
    if (frame.currentline > 0) {
      lua_pushfstring(L, "%s:%d: %s", frame.short_src, frame.currentline, message);
      return;
    }
  }
  lua_pushstring(L, message);
}

void PushVariant(lua_State* L, const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
    case Variant::Kind::Null:
      lua_pushnil(L);
      break;
    case Variant::Kind::Boolean:
      lua_pushboolean(L, v.AsBoolean());
      break;
    case Variant::Kind::Integer:
      lua_pushinteger(L, v.AsInteger());
      break;
    case Variant::Kind::Double:
      lua_pushnumber(L, v.AsDouble());
      break;
    case Variant::Kind::Date:
      PushDate(L, v.AsDate());
      break;
    case Variant::Kind::String: {
      const std::string& s = v.AsString();
      lua_pushlstring(L, s.data(), s.size());
      break;
    }
    case Variant::Kind::Array:
      PushArray(L, v.AsArray());
      break;
    case Variant::Kind::Object:
      PushAnyObject(L, v.AsObject());
      break;
  }
}

Variant ToVariant(lua_State* L, int index) {
  switch (lua_type(L, index)) {
    case LUA_TNONE:
    case LUA_TNIL:
      return Variant();
    case LUA_TBOOLEAN:
      return Variant(lua_toboolean(L, index) != 0);
    case LUA_TNUMBER:
      if (lua_isinteger(L, index)) return Variant(static_cast<long long>(lua_tointeger(L, index)));
      return Variant(static_cast<double>(lua_tonumber(L, index)));
    case LUA_TSTRING: {
      size_t length = 0;
      const char* text = lua_tolstring(L, index, &length);
      return Variant(std::string(text, length));
    }
    case LUA_TTABLE:
      return TableToVariant(L, index, 0);
    case LUA_TUSERDATA:
      return UserdataToVariant(L, index);
    default:
      throw TypeMismatch(std::string("a ") + luaL_typename(L, index) +
                         " cannot be used as a value");
  }
}

bool HasArg(lua_State* L, int index) { return !lua_isnoneornil(L, index); }

Variant ArgVariant(lua_State* L, int index) { return ToVariant(L, index); }

std::string ArgString(lua_State* L, int index) {
  if (lua_type(L, index) == LUA_TSTRING) {
    size_t length = 0;
    const char* text = lua_tolstring(L, index, &length);
    return std::string(text, length);
  }
  return ToStr(ArgVariant(L, index));
}

std::string OptString(lua_State* L, int index, std::string_view fallback) {
  return HasArg(L, index) ? ArgString(L, index) : std::string(fallback);
}

int64_t ArgInteger(lua_State* L, int index) { return ToInteger(ArgVariant(L, index)); }

int64_t OptInteger(lua_State* L, int index, int64_t fallback) {
  return HasArg(L, index) ? ArgInteger(L, index) : fallback;
}

int64_t ArgInRange(lua_State* L, int index, int64_t fallback, int64_t min, int64_t max) {
  const int64_t value = OptInteger(L, index, fallback);
  if (value < min || value > max) throw std::out_of_range("Overflow: " + std::to_string(value));
  return value;
}

double ArgDouble(lua_State* L, int index) { return ToDouble(ArgVariant(L, index)); }

bool ArgBoolean(lua_State* L, int index) { return ToBoolean(ArgVariant(L, index)); }

bool OptBoolean(lua_State* L, int index, bool fallback) {
  return HasArg(L, index) ? ArgBoolean(L, index) : fallback;
}

int ProtectedCall(lua_State* L, int (*body)(lua_State*)) {
  return Protect(L, [&] { return body(L); });
}

void RegisterClass(lua_State* L, const ClassBinding& binding) {
  if (luaL_newmetatable(L, binding.name) == 0) {
    lua_pop(L, 1);
    return;
  }
  PushMemberClosure(L, binding, IndexMember);
  lua_setfield(L, -2, "__index");
  PushMemberClosure(L, binding, NewIndexMember);
  lua_setfield(L, -2, "__newindex");
  lua_pushcfunction(L, CollectHandle);
  lua_setfield(L, -2, "__gc");
  lua_pushcfunction(L, HandleToString);
  lua_setfield(L, -2, "__tostring");
  lua_pushboolean(L, 1);
  lua_setfield(L, -2, "__qvhandle");
  lua_pushboolean(L, 0);
  lua_setfield(L, -2, "__metatable");  // scripts cannot reach or change it
  for (const Member& m : binding.members) {
    if (m.kind != Member::Kind::kMetamethod) continue;
    lua_pushcfunction(L, m.function);
    lua_setfield(L, -2, m.name);
  }
  lua_pop(L, 1);
}

namespace {
constexpr char kRunHandlesKey[] = "qvTome.runHandles";
}  // namespace

void PushHandle(lua_State* L, const char* class_name, Handle handle) {
  void* memory = lua_newuserdatauv(L, sizeof(Handle), 0);
  new (memory) Handle(std::move(handle));
  luaL_setmetatable(L, class_name);
  if (lua_getfield(L, LUA_REGISTRYINDEX, kRunHandlesKey) == LUA_TTABLE) {
    lua_pushvalue(L, -2);
    lua_rawseti(L, -2, static_cast<lua_Integer>(lua_rawlen(L, -2)) + 1);
  }
  lua_pop(L, 1);
}

void BeginRunHandles(lua_State* L) {
  lua_newtable(L);
  lua_setfield(L, LUA_REGISTRYINDEX, kRunHandlesKey);
}

void ReleaseRunHandles(lua_State* L) {
  if (lua_getfield(L, LUA_REGISTRYINDEX, kRunHandlesKey) == LUA_TTABLE) {
    const lua_Integer count = static_cast<lua_Integer>(lua_rawlen(L, -1));
    for (lua_Integer i = 1; i <= count; ++i) {
      lua_rawgeti(L, -1, i);
      if (auto* handle = static_cast<Handle*>(lua_touserdata(L, -1))) *handle = Handle();
      lua_pop(L, 1);
    }
  }
  lua_pop(L, 1);
  lua_pushnil(L);
  lua_setfield(L, LUA_REGISTRYINDEX, kRunHandlesKey);
}

Handle* TestHandle(lua_State* L, int index, const char* class_name) {
  auto* handle = static_cast<Handle*>(luaL_testudata(L, index, class_name));
  return handle != nullptr && handle->pointer ? handle : nullptr;
}

void ThrowNotObject(lua_State* L, int index, const char* class_name) {
  throw TypeMismatch(std::string("expected a ") + class_name + " object, got " +
                     luaL_typename(L, index) + " (call methods with ':')");
}

}  // namespace qv::script
