// The class registry, the qvTome table (constructors, array helpers, SQL
// quoting) and
// the list of every binding.
#include <cstring>
#include <string>
#include <vector>

#include "core/sql_literal.h"
#include "script/bindings.h"
#include "script/lua_bind.h"

namespace qv::script {
namespace {

constexpr const char* kObject = "qvTome.Object";

std::vector<ClassBinding>& Registry() {
  static std::vector<ClassBinding> registry;
  return registry;
}

// "X" of "qvTome.X".
const char* ScriptName(const char* class_name) {
  const char* dot = std::strrchr(class_name, '.');
  return dot != nullptr ? dot + 1 : class_name;
}

// UBound(a, dimension): upper bound of dimension 1 (default) or 2.
int UBound(lua_State* L) {
  return Protect(L, [&] {
    auto array = TestArray(L, 1);
    if (!array) throw TypeMismatch("UBound: not an array");
    int64_t dimension = OptInteger(L, 2, 1);
    if (dimension < 1 || dimension > array->Dimensions()) {
      throw std::out_of_range("UBound: subscript out of range (dimension " +
                              std::to_string(dimension) + ")");
    }
    lua_pushinteger(L, array->UBound(static_cast<int>(dimension)));
    return 1;
  });
}

int LBound(lua_State* L) {
  return Protect(L, [&] {
    if (!TestArray(L, 1)) throw TypeMismatch("LBound: not an array");
    lua_pushinteger(L, 0);
    return 1;
  });
}

int IsArray(lua_State* L) {
  lua_pushboolean(L, TestArray(L, 1) != nullptr);
  return 1;
}

// The quoting helpers, for page scripts that build SQL: SqlText(v) a text
// literal with its quotes doubled, SqlNumber(v) and SqlInteger(v) the number
// printed anew; a value that is no number raises an error.
template <std::string (*quote)(const Variant&)>
int Quote(lua_State* L) {
  return Protect(L, [&] {
    const std::string literal = quote(ArgVariant(L, 1));
    lua_pushlstring(L, literal.data(), literal.size());
    return 1;
  });
}

}  // namespace

void AddClassBinding(const ClassBinding& binding) { Registry().push_back(binding); }

std::span<const ClassBinding> ClassBindings() { return Registry(); }

void PushQvTomeTable(lua_State* L) {
  static const luaL_Reg functions[] = {{"UBound", UBound},
                                       {"LBound", LBound},
                                       {"IsArray", IsArray},
                                       {"SqlText", Quote<SqlText>},
                                       {"SqlNumber", Quote<SqlNumber>},
                                       {"SqlInteger", Quote<SqlInteger>},
                                       {nullptr, nullptr}};
  luaL_newlib(L, functions);
  for (const ClassBinding& binding : ClassBindings()) {
    if (binding.construct == nullptr) continue;
    lua_pushcfunction(L, binding.construct);
    lua_setfield(L, -2, ScriptName(binding.name));
  }
}

void PushAnyObject(lua_State* L, const std::shared_ptr<Object>& object) {
  for (const ClassBinding& binding : ClassBindings()) {
    if (binding.push_if != nullptr && binding.push_if(L, object)) return;
  }
  PushObject(L, kObject, object);
}

void OpenBindings(lua_State* L, int base_index) {
  base_index = lua_absindex(L, base_index);
  RegisterValueClasses(L);
  RegisterClass(L, {kObject, {}});
  for (const ClassBinding& binding : ClassBindings()) RegisterClass(L, binding);
  OpenHostObjects(L, base_index);
}

}  // namespace qv::script
