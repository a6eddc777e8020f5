// The thin layer between the Lua C API and the component's C++ classes.
//
// Values: Variant <-> Lua. Empty and Null are nil; Booleans, integers,
// doubles and strings map to their Lua kinds; a Date is a "qvTome.Date"
// userdata (tostring gives its text); an Array is a "qvTome.Array" userdata
// read as a(i) or a(field, row) from 0; an Object is the userdata of its
// class. A Lua sequence given where a value is expected becomes a
// one-dimensional array, a sequence of pairs the two-row array whose column
// i is pair i.
//
// Errors: every C function that calls C++ runs its body through Protect,
// which turns a C++ exception into a Lua error raised only after the body's
// locals are destroyed (Lua errors are long jumps). ResponseEnded becomes a
// sentinel error value that the script host turns back into ResponseEnded.
// Bodies read their arguments with the Arg* helpers, which throw instead of
// raising Lua errors.
//
// Classes: one metatable per class, registered once per lua_State. Members
// listed as methods are called with ':', properties are read and written
// with '.'. Names match exactly, or failing that without regard to case.
#pragma once

#include <lua.hpp>

#include <memory>
#include <string>
#include <type_traits>

#include "core/variant.h"
#include "host/host_objects.h"

namespace qv::script {

// The value raised through Lua for ResponseEnded.
void PushEndedSentinel(lua_State* L);
bool IsEndedSentinel(lua_State* L, int index);

// Set by Protect when ResponseEnded passed through, so the host ends the
// run even if a script swallowed the sentinel. Cleared by the host.
bool& ResponseEndedFlag();

// Pushes message prefixed with "script:line: " of the nearest Lua caller.
void PushErrorMessage(lua_State* L, const char* message);

template <class Body>
int Protect(lua_State* L, Body&& body) {
  int results = 0;
  bool ended = false, failed = false;
  try {
    results = body();
  } catch (const ResponseEnded&) {
    ended = true;
  } catch (const std::exception& e) {
    PushErrorMessage(L, e.what());
    failed = true;
  } catch (...) {
    PushErrorMessage(L, "unknown error");
    failed = true;
  }
  if (ended) {
    ResponseEndedFlag() = true;
    PushEndedSentinel(L);
    failed = true;
  }
  if (failed) return lua_error(L);
  return results;
}

// Values -------------------------------------------------------------------

void PushVariant(lua_State* L, const Variant& v);
// Throws TypeMismatch for functions, threads and tables that are no
// sequence.
Variant ToVariant(lua_State* L, int index);

// Argument helpers (index from 1). Missing or nil arguments read as Empty;
// the Opt forms give the default instead.
Variant ArgVariant(lua_State* L, int index);
std::string ArgString(lua_State* L, int index);
std::string OptString(lua_State* L, int index, const std::string& fallback);
int64_t ArgInteger(lua_State* L, int index);
int64_t OptInteger(lua_State* L, int index, int64_t fallback);
bool ArgBoolean(lua_State* L, int index);
bool OptBoolean(lua_State* L, int index, bool fallback);
bool HasArg(lua_State* L, int index);

// Classes ------------------------------------------------------------------

struct Member {
  const char* name;
  lua_CFunction function;
};

// A class as scripts see it. Lists end with {nullptr, nullptr}; any list may
// be null. Getters are called as f(self) and return one value, setters as
// f(self, value). Metamethods (e.g. __call) are added to the metatable.
struct ClassSpec {
  const char* name;  // metatable name, e.g. "qvTome.SysVar"
  const Member* methods;
  const Member* getters;
  const Member* setters;
  const Member* metamethods;
};

// Creates the class's metatable in L (once; later calls do nothing).
void RegisterClass(lua_State* L, const ClassSpec& spec);

// What a class userdata holds. `object` is set when the C++ class is an
// Object, so the value can travel back into the component as a Variant.
struct Handle {
  std::shared_ptr<void> pointer;
  std::shared_ptr<Object> object;
};

void PushHandle(lua_State* L, const char* class_name, Handle handle);
// Handles pushed between these two calls are emptied by the second, so a
// run's objects (record sets, connections) are released when it ends,
// without waiting for a full garbage collection.
void BeginRunHandles(lua_State* L);
void ReleaseRunHandles(lua_State* L);
// The handle at index when it is of the class, else nullptr.
Handle* TestHandle(lua_State* L, int index, const char* class_name);

template <class T>
void PushObject(lua_State* L, const char* class_name, std::shared_ptr<T> object) {
  Handle handle;
  if constexpr (std::is_base_of_v<Object, T>) handle.object = object;
  handle.pointer = std::move(object);
  PushHandle(L, class_name, std::move(handle));
}

// The object at index, or throws TypeMismatch naming the class (a method
// called with '.' instead of ':' ends here).
[[noreturn]] void ThrowNotObject(lua_State* L, int index, const char* class_name);
template <class T>
std::shared_ptr<T> CheckObject(lua_State* L, int index, const char* class_name) {
  Handle* handle = TestHandle(L, index, class_name);
  if (handle == nullptr) ThrowNotObject(L, index, class_name);
  return std::static_pointer_cast<T>(handle->pointer);
}

// Pushes the userdata for an object of any bound class (a generic
// "qvTome.Object" when no binding knows it).
void PushAnyObject(lua_State* L, const std::shared_ptr<Object>& object);

// Pushes several results: the member's return value and then the values of
// by-reference arguments that the member changed.
template <class... Values>
int PushResults(lua_State* L, const Values&... values) {
  (PushVariant(L, Variant(values)), ...);
  return static_cast<int>(sizeof...(values));
}

}  // namespace qv::script
