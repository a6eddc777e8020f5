// Hash maps keyed by text that are searched with a string_view, so a lookup
// makes no std::string of its key; NoCaseMap matches keys without regard to
// the case of ASCII letters.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/convert.h"

namespace qv {

struct StringHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const noexcept {
    return std::hash<std::string_view>{}(text);
  }
};

template <class Value>
using StringMap = std::unordered_map<std::string, Value, StringHash, std::equal_to<>>;

struct NoCaseHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const noexcept {
    size_t hash = 14695981039346656037u;  // FNV-1a
    for (const char c : text)
      hash = (hash ^ static_cast<unsigned char>(LowerAscii(c))) * 1099511628211u;
    return hash;
  }
};

struct NoCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept {
    return EqualsNoCase(a, b);
  }
};

template <class Value>
using NoCaseMap = std::unordered_map<std::string, Value, NoCaseHash, NoCaseEqual>;

}  // namespace qv
