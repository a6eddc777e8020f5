// MessageCache: the system-message cache of one request.
//
// Columns (key, text) in the order they were added; keys are lower case and
// carry their language suffix ("btnsave_e"). A key may occur more than once;
// lookups answer with the FIRST column holding it, through a hash index, so
// a lookup costs O(1) however large the table is. "No array yet" (nothing
// loaded) is the empty cache.
//
// The columns loaded from the message table form an immutable base that
// requests share (MessageTable); what a request adds or changes afterwards
// (SetMsg) lives in the request's own cache on top of it, so sharing the
// base never lets one request see another's changes.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/string_hash.h"

namespace qv {

// Columns in load order with the index of each key's first column.
class MessageTable {
 public:
  // Adds a column without looking for an existing key.
  void Append(std::string key, std::string text);
  // Index of the first column with this key, or -1.
  std::ptrdiff_t FirstIndex(std::string_view key) const;
  bool Empty() const { return columns_.empty(); }
  const std::string& Text(size_t i) const { return columns_[i].second; }
  void SetText(size_t i, std::string text) { columns_[i].second = std::move(text); }

 private:
  std::vector<std::pair<std::string, std::string>> columns_;
  StringMap<size_t> first_column_;
};

class MessageCache {
 public:
  // True once any column was added since the last Clear.
  bool HasArray() const { return (base_ && !base_->Empty()) || !own_.Empty(); }

  // Text of the first column with this key (already lower case), or nullopt.
  std::optional<std::string> Find(std::string_view key) const;
  // Adds a column without looking for an existing key.
  void Append(std::string key, std::string text);
  // Replaces the text of the first column with this key, or appends one.
  void Update(std::string key, std::string text);
  // Empties the cache and makes `base` its first columns.
  void Reset(std::shared_ptr<const MessageTable> base);
  void Clear() { Reset(nullptr); }

 private:
  std::shared_ptr<const MessageTable> base_;
  StringMap<std::string> base_updates_;  // key -> new text
  MessageTable own_;                     // columns added later
};

}  // namespace qv
