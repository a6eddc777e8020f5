// Variant: the one value type of the component.
//
// A Variant is Empty, Null, Boolean, Integer, Double, Date, String, Array or
// Object, as the page-script world expects. Conversions to text follow the
// rules every module relies on: Booleans read "True"/"False", Null reads ""
// only through NullToStr (ToStr of Null is "" too, callers that must tell the
// two apart test IsNull), doubles print with up to 15 significant digits,
// dates as "YYYY-MM-DD HH:MM:SS" (date only when the time is midnight).
//
// Values are cheap to copy: arrays and objects are shared by reference, as
// object references are in the page-script world.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qv {

// A point in time as a day count since 1899-12-30, with the time of day as
// the fraction. Record stamps and date arithmetic use this form.
struct Date {
  double serial = 0;
  friend bool operator==(const Date&, const Date&) = default;
};

class Array;

// Base of every object a Variant can hold (record sets, connections, ...).
class Object {
 public:
  virtual ~Object() = default;
};

struct NullValue {
  friend bool operator==(NullValue, NullValue) { return true; }
};
inline constexpr NullValue Null{};

// Raised when a value cannot be converted as asked ("type mismatch").
class TypeMismatch : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Variant {
 public:
  enum class Kind { Empty, Null, Boolean, Integer, Double, Date, String, Array, Object };

  Variant() = default;
  Variant(NullValue) : v_(NullValue{}) {}
  Variant(bool b) : v_(b) {}
  Variant(int i) : v_(static_cast<int64_t>(i)) {}
  Variant(long i) : v_(static_cast<int64_t>(i)) {}
  Variant(long long i) : v_(static_cast<int64_t>(i)) {}
  Variant(unsigned i) : v_(static_cast<int64_t>(i)) {}
  Variant(double d) : v_(d) {}
  Variant(Date d) : v_(d) {}
  Variant(std::string s) : v_(std::move(s)) {}
  Variant(std::string_view s) : v_(std::string(s)) {}
  Variant(const char* s) : v_(std::string(s)) {}
  Variant(std::shared_ptr<Array> a) : v_(std::move(a)) {}
  Variant(std::shared_ptr<Object> o) : v_(std::move(o)) {}

  Kind kind() const { return static_cast<Kind>(v_.index()); }
  bool IsEmpty() const { return kind() == Kind::Empty; }
  bool IsNull() const { return kind() == Kind::Null; }
  bool IsBoolean() const { return kind() == Kind::Boolean; }
  bool IsInteger() const { return kind() == Kind::Integer; }
  bool IsDouble() const { return kind() == Kind::Double; }
  bool IsDate() const { return kind() == Kind::Date; }
  bool IsString() const { return kind() == Kind::String; }
  bool IsArray() const { return kind() == Kind::Array; }
  bool IsObject() const { return kind() == Kind::Object; }
  // Integer or Double (Booleans and numeric text are not numbers here).
  bool IsNumber() const { return IsInteger() || IsDouble(); }

  // Direct access; each throws TypeMismatch when the kind differs.
  bool AsBoolean() const;
  int64_t AsInteger() const;
  double AsDouble() const;
  Date AsDate() const;
  const std::string& AsString() const;
  const std::shared_ptr<Array>& AsArray() const;
  const std::shared_ptr<Object>& AsObject() const;

  // The object as a given class, or nullptr.
  template <class T>
  std::shared_ptr<T> ObjectAs() const {
    if (!IsObject()) return nullptr;
    return std::dynamic_pointer_cast<T>(std::get<std::shared_ptr<Object>>(v_));
  }

  friend bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }

 private:
  std::variant<std::monostate, NullValue, bool, int64_t, double, Date, std::string,
               std::shared_ptr<Array>, std::shared_ptr<Object>>
      v_;
};

// A one- or two-dimensional array with lower bounds 0. Result sets are
// two-dimensional and indexed (field, row).
class Array {
 public:
  explicit Array(size_t n) : dim1_(n), dim2_(0), two_d_(false), cells_(n) {}
  Array(size_t n1, size_t n2) : dim1_(n1), dim2_(n2), two_d_(true), cells_(n1 * n2) {}

  int Dimensions() const { return two_d_ ? 2 : 1; }
  // Upper bound of dimension 1 or 2 (-1 for an empty dimension).
  int64_t UBound(int dimension = 1) const;
  size_t Size(int dimension = 1) const { return dimension == 2 ? dim2_ : dim1_; }

  // Element access; out-of-range indexes throw std::out_of_range
  // ("subscript out of range").
  Variant& at(size_t i);
  const Variant& at(size_t i) const;
  Variant& at(size_t i, size_t j);
  const Variant& at(size_t i, size_t j) const;

  // Grows the last dimension, keeping the contents (ReDim Preserve).
  void ResizeLast(size_t n);

 private:
  size_t dim1_, dim2_;
  bool two_d_;
  std::vector<Variant> cells_;  // column-major for 2-D: (i, j) at j * dim1_ + i
};

// Convenience constructors.
std::shared_ptr<Array> MakeArray(std::vector<Variant> items);
std::shared_ptr<Array> MakeArray2D(size_t n1, size_t n2);

}  // namespace qv
