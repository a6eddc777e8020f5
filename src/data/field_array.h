// The (field, value) columns of a write-back's aryFld (AspProc::dbUpdate,
// dbAppend), built one field at a time. A value "" takes the posted form's
// value, " " writes an empty value.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/convert.h"
#include "core/variant.h"

namespace qv {

class FieldArray {
 public:
  FieldArray() = default;
  FieldArray(std::initializer_list<std::pair<std::string, Variant>> fields) : fields_(fields) {}

  void Add(std::string name, Variant value) {
    fields_.emplace_back(std::move(name), std::move(value));
  }
  // A field of this name, in any letter case, is in the list.
  bool Has(std::string_view name) const {
    return std::any_of(fields_.begin(), fields_.end(),
                       [&](const auto& field) { return EqualsNoCase(field.first, name); });
  }
  // The two-row array: (0, i) the field, (1, i) its value.
  Variant ToArray() const {
    std::shared_ptr<Array> array = MakeArray2D(2, fields_.size());
    for (size_t i = 0; i < fields_.size(); ++i) {
      array->at(0, i) = fields_[i].first;
      array->at(1, i) = fields_[i].second;
    }
    return Variant(array);
  }

 private:
  std::vector<std::pair<std::string, Variant>> fields_;
};

}  // namespace qv
