// MessageCache: the system-message cache of one request.
//
// Columns (key, text) in the order they were added; keys are lower case and
// carry their language suffix ("btnsave_e"). A key may occur more than once;
// lookups answer with the FIRST column holding it, through a hash index kept
// beside the columns, so a lookup costs O(1) however large the table is.
// "No array yet" (nothing loaded) is the empty cache.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace qv {

class MessageCache {
 public:
  // True once any column was added since the last Clear.
  bool HasArray() const { return !columns_.empty(); }
  size_t Size() const { return columns_.size(); }
  const std::pair<std::string, std::string>& Column(size_t i) const { return columns_.at(i); }

  // Text of the first column with this key (already lower case), or nullopt.
  std::optional<std::string> Find(std::string_view key) const;
  // Adds a column without looking for an existing key.
  void Append(std::string key, std::string text);
  // Replaces the text of the first column with this key, or appends one.
  void Update(std::string key, std::string text);
  void Clear();

 private:
  std::vector<std::pair<std::string, std::string>> columns_;
  std::unordered_map<std::string, size_t> first_column_;  // key -> first index
};

}  // namespace qv
