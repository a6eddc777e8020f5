#include "core/variant.h"

#include <stdexcept>

namespace qv {
namespace {

[[noreturn]] void Mismatch(const char* wanted) {
  throw TypeMismatch(std::string("Type mismatch: value is not ") + wanted);
}

}  // namespace

bool Variant::AsBoolean() const {
  if (!IsBoolean()) Mismatch("a Boolean");
  return std::get<bool>(v_);
}

int64_t Variant::AsInteger() const {
  if (!IsInteger()) Mismatch("an integer");
  return std::get<int64_t>(v_);
}

double Variant::AsDouble() const {
  if (!IsDouble()) Mismatch("a double");
  return std::get<double>(v_);
}

Date Variant::AsDate() const {
  if (!IsDate()) Mismatch("a date");
  return std::get<Date>(v_);
}

const std::string& Variant::AsString() const {
  if (!IsString()) Mismatch("a string");
  return std::get<std::string>(v_);
}

const std::shared_ptr<Array>& Variant::AsArray() const {
  if (!IsArray()) Mismatch("an array");
  return std::get<std::shared_ptr<Array>>(v_);
}

const std::shared_ptr<Object>& Variant::AsObject() const {
  if (!IsObject()) Mismatch("an object");
  return std::get<std::shared_ptr<Object>>(v_);
}

int64_t Array::UBound(int dimension) const {
  if (dimension < 1 || dimension > Dimensions()) {
    throw std::out_of_range("Subscript out of range: array has no dimension " +
                            std::to_string(dimension));
  }
  return static_cast<int64_t>(Size(dimension)) - 1;
}

Variant& Array::at(size_t i) {
  return const_cast<Variant&>(static_cast<const Array&>(*this).at(i));
}

const Variant& Array::at(size_t i) const {
  if (two_d_ || i >= dim1_) throw std::out_of_range("Subscript out of range");
  return cells_[i];
}

Variant& Array::at(size_t i, size_t j) {
  return const_cast<Variant&>(static_cast<const Array&>(*this).at(i, j));
}

const Variant& Array::at(size_t i, size_t j) const {
  if (!two_d_ || i >= dim1_ || j >= dim2_) throw std::out_of_range("Subscript out of range");
  return cells_[j * dim1_ + i];
}

void Array::ResizeLast(size_t n) {
  if (two_d_) {
    dim2_ = n;
    cells_.resize(dim1_ * dim2_);
  } else {
    dim1_ = n;
    cells_.resize(dim1_);
  }
}

std::shared_ptr<Array> MakeArray(std::vector<Variant> items) {
  auto a = std::make_shared<Array>(items.size());
  for (size_t i = 0; i < items.size(); ++i) a->at(i) = std::move(items[i]);
  return a;
}

std::shared_ptr<Array> MakeArray2D(size_t n1, size_t n2) { return std::make_shared<Array>(n1, n2); }

}  // namespace qv
