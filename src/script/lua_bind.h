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
// Classes: one metatable per class, registered once per lua_State from the
// class's table of members (script/bind_class.h). Members listed as methods
// are called with ':', properties are read and written with '.'. Names
// match exactly, or failing that without regard to case. A class registry
// gives the qvTome.X() constructors and the class of any object pushed.
#pragma once

#include <lua.hpp>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
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

// Counts the C++ bodies running on this thread, so the allocator of a run
// with a memory cap can tell Lua code from the component's (a Lua error
// must not pass through C++ frames).
inline thread_local int binding_depth = 0;
inline bool InBinding() { return binding_depth > 0; }
struct BindingScope {
  BindingScope() { ++binding_depth; }
  ~BindingScope() { --binding_depth; }
  BindingScope(const BindingScope&) = delete;
  BindingScope& operator=(const BindingScope&) = delete;
};

template <class Body>
int Protect(lua_State* L, Body&& body) {
  int results = 0;
  bool ended = false, failed = false;
  try {
    BindingScope scope;
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

// Protect for a plain function: what bound members compile to, so the
// exception handling exists once.
int ProtectedCall(lua_State* L, int (*body)(lua_State*));

// Values -------------------------------------------------------------------

void PushVariant(lua_State* L, const Variant& v);
// Throws TypeMismatch for functions, threads and tables that are no
// sequence.
Variant ToVariant(lua_State* L, int index);

// Argument helpers (index from 1). Missing or nil arguments read as Empty;
// the Opt forms give the default instead.
Variant ArgVariant(lua_State* L, int index);
std::string ArgString(lua_State* L, int index);
std::string OptString(lua_State* L, int index, std::string_view fallback);
int64_t ArgInteger(lua_State* L, int index);
int64_t OptInteger(lua_State* L, int index, int64_t fallback);
// OptInteger within min..max, else std::out_of_range "Overflow: <value>".
int64_t ArgInRange(lua_State* L, int index, int64_t fallback, int64_t min, int64_t max);
double ArgDouble(lua_State* L, int index);
bool ArgBoolean(lua_State* L, int index);
bool OptBoolean(lua_State* L, int index, bool fallback);
bool HasArg(lua_State* L, int index);

// Classes ------------------------------------------------------------------

// A member of a class as scripts see it. Tables of members are written with
// the helpers of script/bind_class.h.
struct Member {
  enum class Kind : uint8_t { kMethod, kProperty, kMetamethod };
  const char* name;
  Kind kind;
  // The method or metamethod; a property's reader, called as f(self) for
  // one value (null: the property is write-only).
  lua_CFunction function;
  // A property's writer, called as f(self, value) (null: read-only).
  lua_CFunction setter = nullptr;
};

// A class as scripts see it: one metatable, its members, and how scripts
// come by its objects.
struct ClassBinding {
  const char* name;  // metatable name, "qvTome.X"
  std::span<const Member> members;
  // qvTome.X(), the constructor scripts call (null: none).
  lua_CFunction construct = nullptr;
  // Pushes the object as this class when it is one (null: the class is no
  // Object, so no Variant holds one).
  bool (*push_if)(lua_State* L, const std::shared_ptr<Object>& object) = nullptr;
};

// Adds a class to every Lua state set up afterwards. Called during static
// initialisation (bind_class.h: Register), so it is not thread-safe.
void AddClassBinding(const ClassBinding& binding);
// The classes added, in order.
std::span<const ClassBinding> ClassBindings();

// Creates the class's metatable in L (once; later calls do nothing).
// Methods are called with ':', properties read and written with '.'.
void RegisterClass(lua_State* L, const ClassBinding& binding);

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

}  // namespace qv::script
