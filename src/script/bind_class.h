// Internal: templates that bind a component class's properties by member
// pointer, so a property is one table line.
//
// A class binding specialises BoundClass<C> with the metatable name. Then
// Getter<&C::X> reads property X (X() const), Setter<&C::SetX> writes it,
// and ArgAs<T> / PushValue convert arguments and results.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>

#include "core/convert.h"
#include "script/lua_bind.h"

namespace qv::script {

template <class C>
struct BoundClass;  // { static constexpr const char* name = "qvTome.X"; }

template <class C>
std::shared_ptr<C> Self(lua_State* L) {
  return CheckObject<C>(L, 1, BoundClass<C>::name);
}

template <class T>
T ArgAs(lua_State* L, int index) {
  if constexpr (std::is_same_v<T, std::string>) {
    return ArgString(L, index);
  } else if constexpr (std::is_same_v<T, bool>) {
    return ArgBoolean(L, index);
  } else if constexpr (std::is_same_v<T, Variant>) {
    return ArgVariant(L, index);
  } else {
    static_assert(std::is_integral_v<T>);
    int64_t value = ArgInteger(L, index);
    if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
      throw std::out_of_range("Overflow: " + std::to_string(value));
    }
    return static_cast<T>(value);
  }
}

inline void PushValue(lua_State* L, const std::string& text) {
  lua_pushlstring(L, text.data(), text.size());
}
inline void PushValue(lua_State* L, bool value) { lua_pushboolean(L, value); }
inline void PushValue(lua_State* L, const Variant& value) { PushVariant(L, value); }
template <class T>
requires std::is_integral_v<T>
void PushValue(lua_State* L, T value) { lua_pushinteger(L, static_cast<lua_Integer>(value)); }
template <class T>
void PushValue(lua_State* L, const std::shared_ptr<T>& object) {
  if (object) {
    PushAnyObject(L, object);
  } else {
    lua_pushnil(L);
  }
}

template <class T>
struct MemberTraits;
template <class C, class R>
struct MemberTraits<R (C::*)() const> {
  using Class = C;
};
template <class C, class R>
struct MemberTraits<R (C::*)()> {
  using Class = C;
};
template <class C, class A>
struct MemberTraits<void (C::*)(A)> {
  using Class = C;
  using Arg = std::remove_cvref_t<A>;
};

template <auto getter>
int Getter(lua_State* L) {
  using C = typename MemberTraits<decltype(getter)>::Class;
  return Protect(L, [&] {
    PushValue(L, (Self<C>(L).get()->*getter)());
    return 1;
  });
}

template <auto setter>
int Setter(lua_State* L) {
  using Traits = MemberTraits<decltype(setter)>;
  return Protect(L, [&] {
    (Self<typename Traits::Class>(L).get()->*setter)(ArgAs<typename Traits::Arg>(L, 2));
    return 0;
  });
}

// A method without arguments: returns its result, if any.
template <auto method>
int Method0(lua_State* L) {
  using C = typename MemberTraits<decltype(method)>::Class;
  return Protect(L, [&] {
    if constexpr (std::is_void_v<decltype((std::declval<C&>().*method)())>) {
      (Self<C>(L).get()->*method)();
      return 0;
    } else {
      PushValue(L, (Self<C>(L).get()->*method)());
      return 1;
    }
  });
}

}  // namespace qv::script
