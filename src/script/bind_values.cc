// Dates and arrays as Lua userdata.
//
// "qvTome.Date" holds a Date by value: tostring gives its text, and dates
// compare with == < <=. "qvTome.Array" holds a shared Array: a(i) and a[i]
// read a one-dimensional array, a(field, row) a two-dimensional one, all
// from 0; a[i] = v writes an element of a one-dimensional array.
#include <new>
#include <string>

#include "core/convert.h"
#include "script/bindings.h"
#include "script/lua_bind.h"

namespace qv::script {
namespace {

constexpr const char* kDate = "qvTome.Date";
constexpr const char* kArray = "qvTome.Array";

struct ArrayBox {
  std::shared_ptr<Array> array;
};

Date CheckDate(lua_State* L, int index) {
  Date date;
  if (!TestDate(L, index, &date)) throw TypeMismatch("expected a date");
  return date;
}

int DateToString(lua_State* L) {
  return Protect(L, [&] {
    std::string text = FormatDate(CheckDate(L, 1));
    lua_pushlstring(L, text.data(), text.size());
    return 1;
  });
}

int DateEquals(lua_State* L) {
  return Protect(L, [&] {
    lua_pushboolean(L, CheckDate(L, 1).serial == CheckDate(L, 2).serial);
    return 1;
  });
}

int DateLess(lua_State* L) {
  return Protect(L, [&] {
    lua_pushboolean(L, CheckDate(L, 1).serial < CheckDate(L, 2).serial);
    return 1;
  });
}

int DateLessEqual(lua_State* L) {
  return Protect(L, [&] {
    lua_pushboolean(L, CheckDate(L, 1).serial <= CheckDate(L, 2).serial);
    return 1;
  });
}

// "text" .. date and date .. "text" read the date as text.
int DateConcat(lua_State* L) {
  return Protect(L, [&] {
    std::string text = ToStr(ToVariant(L, 1)) + ToStr(ToVariant(L, 2));
    lua_pushlstring(L, text.data(), text.size());
    return 1;
  });
}

std::shared_ptr<Array> CheckArray(lua_State* L, int index) {
  auto array = TestArray(L, index);
  if (!array) throw TypeMismatch("expected an array");
  return array;
}

size_t CheckSubscript(lua_State* L, int index) {
  int64_t i = ArgInteger(L, index);
  if (i < 0) throw std::out_of_range("subscript out of range: " + std::to_string(i));
  return static_cast<size_t>(i);
}

// a(i) or a(field, row)
int ArrayCall(lua_State* L) {
  return Protect(L, [&] {
    auto array = CheckArray(L, 1);
    bool two_indexes = lua_gettop(L) >= 3;
    if (two_indexes != (array->Dimensions() == 2)) {
      throw std::out_of_range("subscript out of range: the array has " +
                              std::to_string(array->Dimensions()) + " dimension(s)");
    }
    Variant value = two_indexes ? array->at(CheckSubscript(L, 2), CheckSubscript(L, 3))
                                : array->at(CheckSubscript(L, 2));
    PushVariant(L, value);
    return 1;
  });
}

int ArrayIndex(lua_State* L) {
  return Protect(L, [&] {
    auto array = CheckArray(L, 1);
    if (array->Dimensions() != 1) throw std::out_of_range("use a(field, row) for this array");
    PushVariant(L, array->at(CheckSubscript(L, 2)));
    return 1;
  });
}

int ArrayNewIndex(lua_State* L) {
  return Protect(L, [&] {
    auto array = CheckArray(L, 1);
    if (array->Dimensions() != 1) throw std::out_of_range("use a(field, row) for this array");
    array->at(CheckSubscript(L, 2)) = ToVariant(L, 3);
    return 0;
  });
}

int ArrayToString(lua_State* L) {
  return Protect(L, [&] {
    auto array = CheckArray(L, 1);
    std::string text = "array(" + std::to_string(array->UBound(1));
    if (array->Dimensions() == 2) text += ", " + std::to_string(array->UBound(2));
    text += ")";
    lua_pushlstring(L, text.data(), text.size());
    return 1;
  });
}

int CollectArray(lua_State* L) {
  static_cast<ArrayBox*>(lua_touserdata(L, 1))->array.reset();
  return 0;
}

void NewMetatable(lua_State* L, const char* name, const luaL_Reg* functions) {
  luaL_newmetatable(L, name);
  luaL_setfuncs(L, functions, 0);
  lua_pushboolean(L, 0);
  lua_setfield(L, -2, "__metatable");
  lua_pop(L, 1);
}

}  // namespace

void RegisterValueClasses(lua_State* L) {
  static const luaL_Reg date_functions[] = {{"__tostring", DateToString}, {"__eq", DateEquals},
                                            {"__lt", DateLess},           {"__le", DateLessEqual},
                                            {"__concat", DateConcat},     {nullptr, nullptr}};
  static const luaL_Reg array_functions[] = {
      {"__call", ArrayCall},         {"__index", ArrayIndex}, {"__newindex", ArrayNewIndex},
      {"__tostring", ArrayToString}, {"__gc", CollectArray},  {nullptr, nullptr}};
  NewMetatable(L, kDate, date_functions);
  NewMetatable(L, kArray, array_functions);
}

void PushDate(lua_State* L, Date date) {
  *static_cast<Date*>(lua_newuserdatauv(L, sizeof(Date), 0)) = date;
  luaL_setmetatable(L, kDate);
}

bool TestDate(lua_State* L, int index, Date* date) {
  auto* stored = static_cast<Date*>(luaL_testudata(L, index, kDate));
  if (stored == nullptr) return false;
  *date = *stored;
  return true;
}

void PushArray(lua_State* L, std::shared_ptr<Array> array) {
  new (lua_newuserdatauv(L, sizeof(ArrayBox), 0)) ArrayBox{std::move(array)};
  luaL_setmetatable(L, kArray);
}

std::shared_ptr<Array> TestArray(lua_State* L, int index) {
  auto* box = static_cast<ArrayBox*>(luaL_testudata(L, index, kArray));
  return box != nullptr ? box->array : nullptr;
}

}  // namespace qv::script
