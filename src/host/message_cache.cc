#include "host/message_cache.h"

namespace qv {

std::optional<std::string> MessageCache::Find(std::string_view key) const {
  auto it = first_column_.find(std::string(key));
  if (it == first_column_.end()) return std::nullopt;
  return columns_[it->second].second;
}

void MessageCache::Append(std::string key, std::string text) {
  // try_emplace keeps an existing index: the earlier column wins.
  first_column_.try_emplace(key, columns_.size());
  columns_.emplace_back(std::move(key), std::move(text));
}

void MessageCache::Update(std::string key, std::string text) {
  auto it = first_column_.find(key);
  if (it == first_column_.end()) {
    Append(std::move(key), std::move(text));
    return;
  }
  columns_[it->second].second = std::move(text);
}

void MessageCache::Clear() {
  columns_.clear();
  first_column_.clear();
}

}  // namespace qv
