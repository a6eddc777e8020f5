// Internal: a class binding as one table of members.
//
// A class file names the class's metatable, lists its members, one line
// each, and registers the class; nothing else in the script host changes:
//
//   template <>
//   struct BoundClass<Book> {
//     static constexpr const char* name = "qvTome.Book";
//   };
//   constexpr Member kMembers[] = {
//       Method<&Book::OpenPage, _, Text("0")>("OpenPage"),
//       Method<&Book::ShowPage>("ShowPage"),
//       ReadOnly<&Book::GetBookID>("GetBookID"),
//   };
//   const ClassRegistration kBook = Register<Book>(kMembers, kCreatedByScripts);
//
// Entries: Method<&C::f, args...>("f") is called with ':';
// Property<&C::X, &C::SetX>("X"), ReadOnly<&C::X>, WriteOnly<&C::SetX> and
// Property<&C::field> are read and assigned with '.'; Metamethod<...>
// ("__call") goes into the metatable. Method(name, f), Property(name, get,
// set) and Metamethod(name, f) take a lua_CFunction for the few members
// whose arguments vary in kind or number. Registration runs while static
// objects are initialised (the script module is an object library, so no
// class file is left out of the link).
//
// Argument and result types come from the member's signature. Where scripts
// see a member differently from its C++ form, a free function R f(C&, ...)
// stands in for it and is bound the same way.
//
// Arguments (from 2; 1 is the object): text, Booleans, whole numbers of
// any width (a value outside the width throws std::out_of_range
// "Overflow: <value>"), doubles, Variants, and std::shared_ptr<T> of a
// bound class (TypeMismatch naming the class otherwise). An omitted or nil
// argument is nil converted: "", False, 0, Empty. A non-const reference
// argument (std::string& name) comes back as an extra result after the
// member's own, in argument order.
//
// The entries after the member describe its arguments position by
// position; missing trailing entries are `_`:
//   _              as the signature says;
//   true, 1, Text("x"), an enumerator: the default when omitted or nil;
//   Short{n}, Byte{n}: a whole number scripts may pass only as 16 bits
//                  (-32768..32767) or a byte (0..255), though the C++
//                  parameter is wider; n (default 0) when omitted or nil.
//
// Results: nothing for void; text, Booleans, numbers, Variants; objects
// (std::shared_ptr) as their bound class, or nil when null; a value of a
// bound class (Field) as a new object of it.
//
// Each member compiles to a small function: the conversions are the
// non-template helpers of lua_bind.h, and C++ exceptions become Lua errors
// in ProtectedCall, after the member's locals are gone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "script/bindings.h"
#include "script/lua_bind.h"

namespace qv::script {

// Specialised by each class file: static constexpr const char* name, the
// metatable name "qvTome.X".
template <class C>
struct BoundClass;

// How a bound member finds its object and first argument. Host objects
// specialise it (bind_host.cc).
template <class C>
struct Receiver {
  static std::shared_ptr<C> Get(lua_State* L) { return CheckObject<C>(L, 1, BoundClass<C>::name); }
  static int FirstArg(lua_State*) { return 2; }
};

// The object a raw lua_CFunction of a class file was called on.
template <class C>
decltype(auto) Self(lua_State* L) {
  return Receiver<C>::Get(L);
}

// Argument entries -------------------------------------------------------------

struct AsDeclared {};
inline constexpr AsDeclared _{};

// A text default: Text("mark_book.gif").
template <size_t N>
struct Text {
  constexpr Text(const char (&text)[N]) {
    for (size_t i = 0; i < N; ++i) value[i] = text[i];
  }
  constexpr std::string_view view() const { return {value, N - 1}; }
  char value[N];
};

template <class Width>
struct WholeNumber {
  int64_t fallback = 0;
};
using Short = WholeNumber<int16_t>;
using Byte = WholeNumber<uint8_t>;

namespace bind_detail {

template <class T>
struct IsText : std::false_type {};
template <size_t N>
struct IsText<Text<N>> : std::true_type {};

template <class T>
struct IsWholeNumber : std::false_type {};
template <class W>
struct IsWholeNumber<WholeNumber<W>> : std::true_type {
  using Width = W;
};

template <class T>
struct IsSharedPtr : std::false_type {};
template <class T>
struct IsSharedPtr<std::shared_ptr<T>> : std::true_type {};

template <class T>
inline constexpr bool kUnsupported = false;

struct Range {
  int64_t min, max;
};

template <class T>
constexpr Range RangeOf() {
  constexpr auto low = std::numeric_limits<T>::min();
  constexpr auto high = std::numeric_limits<T>::max();
  return {
      std::in_range<int64_t>(low) ? static_cast<int64_t>(low) : std::numeric_limits<int64_t>::min(),
      std::in_range<int64_t>(high) ? static_cast<int64_t>(high)
                                   : std::numeric_limits<int64_t>::max()};
}

// The default and range of a whole-number argument of type V.
struct WholeNumberArg {
  int64_t fallback;
  Range range;
};

template <class V, auto entry>
constexpr WholeNumberArg WholeNumberOf() {
  using E = std::remove_cvref_t<decltype(entry)>;
  constexpr Range declared = RangeOf<V>();
  WholeNumberArg arg{0, declared};
  if constexpr (IsWholeNumber<E>::value) {
    constexpr Range narrow = RangeOf<typename IsWholeNumber<E>::Width>();
    static_assert(narrow.min >= declared.min && narrow.max <= declared.max,
                  "Short/Byte must fit the parameter's own type");
    arg = {entry.fallback, narrow};
  } else if constexpr (std::is_integral_v<E> || std::is_enum_v<E>) {
    static_assert(!std::is_same_v<E, bool>, "a whole-number argument takes a number as default");
    arg.fallback = static_cast<int64_t>(entry);
  } else {
    static_assert(std::is_same_v<E, AsDeclared>, "a whole-number argument takes a number default");
  }
  return arg;
}

template <class V, auto entry>
V ReadArg(lua_State* L, int index) {
  using E = std::remove_cvref_t<decltype(entry)>;
  if constexpr (std::is_same_v<V, std::string>) {
    if constexpr (IsText<E>::value) {
      return OptString(L, index, entry.view());
    } else {
      static_assert(std::is_same_v<E, AsDeclared>,
                    "a text argument takes Text(\"...\") as default");
      return ArgString(L, index);
    }
  } else if constexpr (std::is_same_v<V, bool>) {
    if constexpr (std::is_same_v<E, bool>) {
      return OptBoolean(L, index, entry);
    } else {
      static_assert(std::is_same_v<E, AsDeclared>, "a Boolean argument takes true or false");
      return ArgBoolean(L, index);
    }
  } else if constexpr (std::is_integral_v<V>) {
    constexpr WholeNumberArg arg = WholeNumberOf<V, entry>();
    static_assert(arg.fallback >= arg.range.min && arg.fallback <= arg.range.max,
                  "the default lies outside the argument's range");
    return static_cast<V>(ArgInRange(L, index, arg.fallback, arg.range.min, arg.range.max));
  } else if constexpr (std::is_same_v<V, double>) {
    static_assert(std::is_same_v<E, AsDeclared>, "no defaults for doubles");
    return ArgDouble(L, index);
  } else if constexpr (std::is_same_v<V, Variant>) {
    static_assert(std::is_same_v<E, AsDeclared>, "a Variant argument's default is nil");
    return ArgVariant(L, index);
  } else if constexpr (IsSharedPtr<V>::value) {
    static_assert(std::is_same_v<E, AsDeclared>, "an object argument has no default");
    using T = typename V::element_type;
    return CheckObject<T>(L, index, BoundClass<T>::name);
  } else {
    static_assert(kUnsupported<V>, "no script conversion for this argument type");
  }
}

template <size_t I, auto first, auto... rest>
constexpr auto NthEntry() {
  if constexpr (I == 0) {
    return first;
  } else {
    return NthEntry<I - 1, rest...>();
  }
}

// The entry at position I, `_` past the end.
template <size_t I, auto... entries>
constexpr auto EntryAt() {
  if constexpr (I < sizeof...(entries)) {
    return NthEntry<I, entries...>();
  } else {
    return _;
  }
}

template <class A>
inline constexpr bool kIsOut =
    std::is_lvalue_reference_v<A> && !std::is_const_v<std::remove_reference_t<A>>;

template <class... A>
struct TypeList {};

template <class C, class R, bool kFree, class... A>
struct SignatureOf {
  using Class = std::remove_const_t<C>;
  using Result = R;
  using Args = TypeList<A...>;
  static constexpr bool free = kFree;
  static constexpr size_t arity = sizeof...(A);
};

template <class F>
struct Signature;
template <class C, class R, class... A>
struct Signature<R (C::*)(A...)> : SignatureOf<C, R, false, A...> {};
template <class C, class R, class... A>
struct Signature<R (C::*)(A...) const> : SignatureOf<C, R, false, A...> {};
template <class C, class R, class... A>
struct Signature<R (C::*)(A...) noexcept> : SignatureOf<C, R, false, A...> {};
template <class C, class R, class... A>
struct Signature<R (C::*)(A...) const noexcept> : SignatureOf<C, R, false, A...> {};
template <class C, class R, class... A>
struct Signature<R (*)(C&, A...)> : SignatureOf<C, R, true, A...> {};
template <class C, class R, class... A>
struct Signature<R (*)(C&, A...) noexcept> : SignatureOf<C, R, true, A...> {};

template <class F>
struct FieldOf;
template <class C, class T>
struct FieldOf<T C::*> {
  using Class = C;
  using Type = T;
};

}  // namespace bind_detail

// Pushes one result (see the file comment).
template <class T>
void PushValue(lua_State* L, T&& value) {
  using V = std::remove_cvref_t<T>;
  if constexpr (std::is_same_v<V, std::string>) {
    lua_pushlstring(L, value.data(), value.size());
  } else if constexpr (std::is_same_v<V, bool>) {
    lua_pushboolean(L, value);
  } else if constexpr (std::is_integral_v<V>) {
    lua_pushinteger(L, static_cast<lua_Integer>(value));
  } else if constexpr (std::is_same_v<V, double>) {
    lua_pushnumber(L, value);
  } else if constexpr (std::is_same_v<V, Variant>) {
    PushVariant(L, value);
  } else if constexpr (std::is_same_v<V, std::shared_ptr<Array>>) {
    if (value) {
      PushArray(L, std::forward<T>(value));
    } else {
      lua_pushnil(L);
    }
  } else if constexpr (bind_detail::IsSharedPtr<V>::value) {
    using E = typename V::element_type;
    if (!value) {
      lua_pushnil(L);
    } else if constexpr (std::is_base_of_v<Object, E>) {
      PushAnyObject(L, value);
    } else {
      PushObject(L, BoundClass<E>::name, std::forward<T>(value));
    }
  } else if constexpr (std::is_class_v<V>) {
    PushObject(L, BoundClass<V>::name, std::make_shared<V>(std::forward<T>(value)));
  } else {
    static_assert(bind_detail::kUnsupported<V>, "no script conversion for this result type");
  }
}

namespace bind_detail {

template <auto function, class Object, class... A>
decltype(auto) Invoke(Object& object, A&&... args) {
  if constexpr (Signature<decltype(function)>::free) {
    return function(object, std::forward<A>(args)...);
  } else {
    return (object.*function)(std::forward<A>(args)...);
  }
}

template <class A, class V>
void PushIfOut(lua_State* L, const V& value, int& results) {
  if constexpr (kIsOut<A>) {
    PushValue(L, value);
    ++results;
  }
}

// The arguments of one call, each read straight into its slot (an
// aggregate, so no value is moved on the way).
template <size_t I, class T>
struct Slot {
  T value;
};
template <class Indexes, class... T>
struct Slots;
template <size_t... I, class... T>
struct Slots<std::index_sequence<I...>, T...> : Slot<I, T>... {};

template <size_t I, class T>
T& SlotValue(Slot<I, T>& slot) {
  return slot.value;
}

template <auto function, auto... entries>
struct Binder {
  using Sig = Signature<decltype(function)>;
  static_assert(sizeof...(entries) <= Sig::arity, "more argument entries than arguments");

  template <class... A, size_t... I>
  static int Call(lua_State* L, TypeList<A...>, std::index_sequence<I...>) {
    using R = typename Sig::Result;
    auto&& object = Receiver<typename Sig::Class>::Get(L);
    [[maybe_unused]] const int first = Receiver<typename Sig::Class>::FirstArg(L);
    // Braced initialisation reads the arguments in order.
    [[maybe_unused]] Slots<std::index_sequence<I...>, std::remove_cvref_t<A>...> args{
        {ReadArg<std::remove_cvref_t<A>, EntryAt<I, entries...>()>(
            L, first + static_cast<int>(I))}...};
    int results = 0;
    if constexpr (std::is_void_v<R>) {
      Invoke<function>(*object, static_cast<A&&>(SlotValue<I>(args))...);
    } else {
      PushValue(L, Invoke<function>(*object, static_cast<A&&>(SlotValue<I>(args))...));
      results = 1;
    }
    (PushIfOut<A>(L, SlotValue<I>(args), results), ...);
    return results;
  }

  static int Body(lua_State* L) {
    return Call(L, typename Sig::Args{}, std::make_index_sequence<Sig::arity>{});
  }
  static int Function(lua_State* L) { return ProtectedCall(L, &Body); }
};

template <auto field>
struct FieldBinder {
  using Class = typename FieldOf<decltype(field)>::Class;
  using Type = typename FieldOf<decltype(field)>::Type;

  static int GetBody(lua_State* L) {
    PushValue(L, (*Receiver<Class>::Get(L)).*field);
    return 1;
  }
  static int SetBody(lua_State* L) {
    auto&& object = Receiver<Class>::Get(L);
    (*object).*field = ReadArg<Type, _>(L, 2);
    return 0;
  }
  static int Get(lua_State* L) { return ProtectedCall(L, &GetBody); }
  static int Set(lua_State* L) { return ProtectedCall(L, &SetBody); }
};

template <auto getter>
constexpr lua_CFunction Reader() {
  if constexpr (std::is_member_object_pointer_v<decltype(getter)>) {
    return &FieldBinder<getter>::Get;
  } else {
    using Sig = Signature<decltype(getter)>;
    static_assert(Sig::arity == 0 && !std::is_void_v<typename Sig::Result>,
                  "a property reader takes no argument and returns its value");
    return &Binder<getter>::Function;
  }
}

template <auto setter>
constexpr lua_CFunction Writer() {
  if constexpr (std::is_member_object_pointer_v<decltype(setter)>) {
    return &FieldBinder<setter>::Set;
  } else {
    using Sig = Signature<decltype(setter)>;
    static_assert(Sig::arity == 1, "a property writer takes the value");
    return &Binder<setter>::Function;
  }
}

}  // namespace bind_detail

// Table entries ----------------------------------------------------------------

// A method, called with ':'.
template <auto function, auto... entries>
constexpr Member Method(const char* name) {
  return {name, Member::Kind::kMethod, &bind_detail::Binder<function, entries...>::Function};
}
// A method written against the Lua API, for members whose arguments vary
// in kind or number.
constexpr Member Method(const char* name, lua_CFunction function) {
  return {name, Member::Kind::kMethod, function};
}

// A property read and assigned with '.': a getter and a setter, or a data
// member.
template <auto getter, auto setter>
constexpr Member Property(const char* name) {
  return {name, Member::Kind::kProperty, bind_detail::Reader<getter>(),
          bind_detail::Writer<setter>()};
}
template <auto field>
requires std::is_member_object_pointer_v<decltype(field)>
constexpr Member Property(const char* name) {
  return {name, Member::Kind::kProperty, bind_detail::Reader<field>(),
          bind_detail::Writer<field>()};
}
constexpr Member Property(const char* name, lua_CFunction getter, lua_CFunction setter) {
  return {name, Member::Kind::kProperty, getter, setter};
}
template <auto getter>
constexpr Member ReadOnly(const char* name) {
  return {name, Member::Kind::kProperty, bind_detail::Reader<getter>(), nullptr};
}
template <auto setter>
constexpr Member WriteOnly(const char* name) {
  return {name, Member::Kind::kProperty, nullptr, bind_detail::Writer<setter>()};
}

// A metamethod (__call, ...).
template <auto function, auto... entries>
constexpr Member Metamethod(const char* name) {
  return {name, Member::Kind::kMetamethod, &bind_detail::Binder<function, entries...>::Function};
}
constexpr Member Metamethod(const char* name, lua_CFunction function) {
  return {name, Member::Kind::kMetamethod, function};
}

// Registration -------------------------------------------------------------------

// Constructs the binding at static initialisation, so the class is part
// of every Lua state the script host creates.
class ClassRegistration {
 public:
  explicit ClassRegistration(const ClassBinding& binding) { AddClassBinding(binding); }
};

struct CreatedByScripts {};
inline constexpr CreatedByScripts kCreatedByScripts{};

namespace bind_detail {

template <class C>
int ConstructBody(lua_State* L) {
  PushObject(L, BoundClass<C>::name, std::make_shared<C>());
  return 1;
}

template <class C>
int Construct(lua_State* L) {
  return ProtectedCall(L, &ConstructBody<C>);
}

template <class C>
bool PushIfOfClass(lua_State* L, const std::shared_ptr<Object>& object) {
  auto typed = std::dynamic_pointer_cast<C>(object);
  if (!typed) return false;
  PushObject(L, BoundClass<C>::name, std::move(typed));
  return true;
}

template <class C>
ClassBinding BindingOf(std::span<const Member> members) {
  ClassBinding binding{BoundClass<C>::name, members};
  if constexpr (std::is_base_of_v<Object, C>) binding.push_if = &PushIfOfClass<C>;
  return binding;
}

}  // namespace bind_detail

// A class whose objects come from the component (a record set from
// AspProc.RecordSet) or the host.
template <class C>
ClassRegistration Register(std::span<const Member> members) {
  return ClassRegistration(bind_detail::BindingOf<C>(members));
}

// A class that scripts also create, as qvTome.X().
template <class C>
ClassRegistration Register(std::span<const Member> members, CreatedByScripts) {
  ClassBinding binding = bind_detail::BindingOf<C>(members);
  binding.construct = &bind_detail::Construct<C>;
  return ClassRegistration(binding);
}

}  // namespace qv::script
