// TomlKeys: typed reads of the keys of one section of qvtome.toml. A key
// that is missing leaves the value as it is (or gives the fallback); a key
// of the wrong type or out of range throws std::runtime_error
// "[section] key must be ...", which the command prints as it is.
#pragma once

#include <toml++/toml.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace qv {

class TomlKeys {
 public:
  TomlKeys(const toml::table& table, std::string section)
      : table_(table), section_(std::move(section)) {}

  [[noreturn]] void Bad(const std::string& key, const std::string& expected) const {
    throw std::runtime_error("[" + section_ + "] " + key + " must be " + expected);
  }

  const toml::node* Node(const char* key) const { return table_.get(key); }

  void String(const char* key, std::string& out) const {
    const toml::node* node = Node(key);
    if (!node) return;
    if (!node->is_string()) Bad(key, "a string");
    out = *node->value<std::string>();
  }

  int64_t Integer(const char* key, int64_t fallback, int64_t min, int64_t max) const {
    const toml::node* node = Node(key);
    if (!node) return fallback;
    if (!node->is_integer()) Bad(key, "an integer");
    const int64_t value = *node->value<int64_t>();
    if (value < min || value > max) {
      Bad(key, "between " + std::to_string(min) + " and " + std::to_string(max));
    }
    return value;
  }

  void Bool(const char* key, bool& out) const {
    const toml::node* node = Node(key);
    if (!node) return;
    if (!node->is_boolean()) Bad(key, "true or false");
    out = *node->value<bool>();
  }

  void List(const char* key, std::vector<std::string>& out) const {
    const toml::node* node = Node(key);
    if (!node) return;
    const toml::array* list = node->as_array();
    if (!list) Bad(key, "an array of strings");
    out.clear();
    for (const toml::node& item : *list) {
      if (!item.is_string()) Bad(key, "an array of strings");
      out.push_back(*item.value<std::string>());
    }
  }

 private:
  const toml::table& table_;
  std::string section_;
};

}  // namespace qv
