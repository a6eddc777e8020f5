#include "session/message_cache.h"

namespace qv {

void MessageTable::Append(std::string key, std::string text) {
  // try_emplace keeps an existing index: the earlier column wins.
  first_column_.try_emplace(key, columns_.size());
  columns_.emplace_back(std::move(key), std::move(text));
}

std::ptrdiff_t MessageTable::FirstIndex(std::string_view key) const {
  auto it = first_column_.find(key);
  return it == first_column_.end() ? -1 : static_cast<std::ptrdiff_t>(it->second);
}

std::optional<std::string> MessageCache::Find(std::string_view key) const {
  if (base_) {
    std::ptrdiff_t i = base_->FirstIndex(key);
    if (i >= 0) {
      if (!base_updates_.empty()) {
        auto updated = base_updates_.find(key);
        if (updated != base_updates_.end()) return updated->second;
      }
      return base_->Text(static_cast<size_t>(i));
    }
  }
  std::ptrdiff_t i = own_.FirstIndex(key);
  if (i < 0) return std::nullopt;
  return own_.Text(static_cast<size_t>(i));
}

void MessageCache::Append(std::string key, std::string text) {
  own_.Append(std::move(key), std::move(text));
}

void MessageCache::Update(std::string key, std::string text) {
  if (base_ && base_->FirstIndex(key) >= 0) {
    base_updates_[std::move(key)] = std::move(text);
    return;
  }
  std::ptrdiff_t i = own_.FirstIndex(key);
  if (i < 0) {
    own_.Append(std::move(key), std::move(text));
  } else {
    own_.SetText(static_cast<size_t>(i), std::move(text));
  }
}

void MessageCache::Reset(std::shared_ptr<const MessageTable> base) {
  base_ = std::move(base);
  base_updates_.clear();
  own_ = MessageTable();
}

}  // namespace qv
