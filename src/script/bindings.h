// Internal: what the bind_*.cc files offer the script host and each other.
// The component's classes need nothing here: each registers itself
// (script/bind_class.h).
#pragma once

#include <lua.hpp>

#include <memory>

#include "core/variant.h"

namespace qv::script {

// Registers every class metatable and fills the table at base_index with
// the globals scripts see: Request, Response, Session and Server.
void OpenBindings(lua_State* L, int base_index);
// Pushes the qvTome table: a constructor for every class scripts create,
// and the array helpers (bind_qvtome.cc).
void PushQvTomeTable(lua_State* L);

// Dates and arrays (bind_values.cc).
void RegisterValueClasses(lua_State* L);
void PushDate(lua_State* L, Date date);
bool TestDate(lua_State* L, int index, Date* date);
void PushArray(lua_State* L, std::shared_ptr<Array> array);
std::shared_ptr<Array> TestArray(lua_State* L, int index);

// Host objects (bind_host.cc): sets the four globals in the table at index.
// A kind is "Request", "Response", "Session" or "Server".
void OpenHostObjects(lua_State* L, int base_index);
void PushHostObject(lua_State* L, const char* kind);
bool IsHostObject(lua_State* L, int index, const char* kind);

}  // namespace qv::script
