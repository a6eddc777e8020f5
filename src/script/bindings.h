// Internal: what the bind_*.cc files offer the script host and each other.
#pragma once

#include <lua.hpp>

#include <memory>

#include "core/variant.h"

namespace qv::script {

// Registers every class metatable and fills the table at base_index with
// the globals scripts see: Request, Response, Session, Server and qvTome.
void OpenBindings(lua_State* L, int base_index);

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

// Record sets, fields and connections (bind_recordset.cc).
void RegisterDataClasses(lua_State* L);
bool PushIfDataObject(lua_State* L, const std::shared_ptr<Object>& object);

// Component classes (bind_sysvar.cc, bind_aspproc.cc) and the qvTome table
// (bind_qvtome.cc).
void RegisterSysVar(lua_State* L);
int NewSysVar(lua_State* L);
void RegisterAspProc(lua_State* L);
bool PushIfAspProc(lua_State* L, const std::shared_ptr<Object>& object);
int NewAspProc(lua_State* L);
void PushQvTomeTable(lua_State* L);

// The Book class (bind_book.cc and its parts, bind_book_*.cc).
void RegisterBook(lua_State* L);
bool PushIfBook(lua_State* L, const std::shared_ptr<Object>& object);
int NewBook(lua_State* L);

}  // namespace qv::script
