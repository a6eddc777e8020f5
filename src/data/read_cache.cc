#include "data/read_cache.h"

#include <list>
#include <mutex>
#include <unordered_map>

#include "core/convert.h"
#include "core/string_hash.h"
#include "data/aspproc.h"
#include "data/settings.h"
#include "host/context.h"

namespace qv {
namespace {

// The counters as this request last read them.
struct CounterSnapshot {
  bool loaded = false;
  uint64_t write_epoch = 0;
  std::string source;  // the data source's name
  NoCaseMap<int64_t> counts;
};
CounterSnapshot& Snapshot() { return RequestPart<CounterSnapshot>(); }

std::string SourceKey() { return ToLower(TheSettings().DSNName); }

void ReadCounters() {
  std::vector<std::pair<std::string, int64_t>> counts;
  try {
    std::shared_ptr<Connection> conn = OpenOwnConnection();
    const QueryResult rows = conn->Query("SELECT dbTable, dbCount FROM qvChangeCounter");
    conn->Close();
    for (const auto& row : rows.rows) {
      if (row.size() == 2 && !row[1].IsNull()) {
        counts.emplace_back(NullToStr(row[0]), ToInteger(row[1]));
      }
    }
  } catch (const DatabaseError&) {
    // A database without counters: nothing is cached.
  }
  SetChangeCounts(counts);
}

struct Entry {
  std::string key;
  std::vector<int64_t> counts;  // of the query's tables, in their order
  std::shared_ptr<const QueryResult> rows;
  size_t bytes = 0;
};

size_t SizeOf(const Variant& v) {
  size_t size = sizeof(Variant);
  if (v.IsString()) size += v.AsString().capacity();
  return size;
}

size_t SizeOf(const QueryResult& result) {
  size_t size = sizeof(QueryResult) + result.table.size();
  for (const FieldInfo& f : result.fields) size += sizeof(FieldInfo) + f.name.capacity();
  for (const auto& row : result.rows) {
    size += sizeof(row);
    for (const Variant& v : row) size += SizeOf(v);
  }
  return size + result.key_ids.size() * sizeof(int64_t);
}

// Entries most recently used first, with an index by key.
class Cache {
 public:
  std::shared_ptr<const QueryResult> Find(const std::string& key,
                                          const std::vector<int64_t>& counts) {
    std::lock_guard lock(mutex_);
    auto found = index_.find(key);
    if (found == index_.end() || found->second->counts != counts) {
      ++misses_;
      return nullptr;
    }
    entries_.splice(entries_.begin(), entries_, found->second);
    ++hits_;
    return found->second->rows;
  }

  void Store(Entry entry) {
    std::lock_guard lock(mutex_);
    if (entry.bytes > limit_ / 4) return;  // one entry never takes most of the cache
    auto found = index_.find(entry.key);
    if (found != index_.end()) Remove(found->second);
    bytes_ += entry.bytes;
    entries_.push_front(std::move(entry));
    index_[entries_.front().key] = entries_.begin();
    while (bytes_ > limit_ && !entries_.empty()) Remove(std::prev(entries_.end()));
  }

  void SetLimit(size_t bytes) {
    std::lock_guard lock(mutex_);
    limit_ = bytes;
    while (bytes_ > limit_ && !entries_.empty()) Remove(std::prev(entries_.end()));
  }

  void Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
    index_.clear();
    bytes_ = 0;
  }

  ReadCacheStats Stats() {
    std::lock_guard lock(mutex_);
    return {entries_.size(), bytes_, hits_, misses_};
  }

 private:
  void Remove(std::list<Entry>::iterator it) {
    bytes_ -= it->bytes;
    index_.erase(it->key);
    entries_.erase(it);
  }

  std::mutex mutex_;
  std::list<Entry> entries_;
  std::unordered_map<std::string, std::list<Entry>::iterator> index_;
  size_t bytes_ = 0, limit_ = size_t{32} << 20;
  uint64_t hits_ = 0, misses_ = 0;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

std::shared_ptr<const QueryResult> ReadNow(const std::string& sql) {
  std::shared_ptr<Connection> conn = OpenOwnConnection();
  auto rows = std::make_shared<const QueryResult>(conn->Query(sql));
  conn->Close();
  return rows;
}

}  // namespace

void SetChangeCounts(const std::vector<std::pair<std::string, int64_t>>& counts) {
  CounterSnapshot& snapshot = Snapshot();
  snapshot.counts.clear();
  for (const auto& [table, count] : counts) snapshot.counts.insert_or_assign(table, count);
  snapshot.loaded = true;
  snapshot.write_epoch = WriteEpoch();
  snapshot.source = TheSettings().DSNName;
}

std::optional<int64_t> ChangeCount(const std::string& table) {
  CounterSnapshot& snapshot = Snapshot();
  if (!snapshot.loaded || snapshot.write_epoch != WriteEpoch() ||
      !EqualsNoCase(snapshot.source, TheSettings().DSNName)) {
    ReadCounters();
  }
  auto found = snapshot.counts.find(std::string_view(table));
  if (found == snapshot.counts.end()) return std::nullopt;
  return found->second;
}

std::shared_ptr<const QueryResult> CachedRows(const std::string& sql,
                                              const std::vector<std::string>& tables) {
  if (Tables().transaction) return ReadNow(sql);
  std::vector<int64_t> counts;
  for (const std::string& table : tables) {
    std::optional<int64_t> count = ChangeCount(table);
    if (!count) return ReadNow(sql);
    counts.push_back(*count);
  }
  // The counts were read before the rows: a change in between leaves the
  // entry with an older count than its rows, which only makes the next
  // request read again.
  std::string key = SourceKey() + '\x1f' + sql;
  if (auto rows = TheCache().Find(key, counts)) return rows;
  std::shared_ptr<const QueryResult> rows = ReadNow(sql);
  const size_t bytes = SizeOf(*rows) + key.size() + sizeof(Entry);
  TheCache().Store({std::move(key), std::move(counts), rows, bytes});
  return rows;
}

Variant CachedGetTable(const std::string& table, const std::string& fields,
                       const std::string& where) {
  DebugPrint("Get table: Table Name", table);
  DebugPrint("Fields Name", fields);
  DebugPrint("Where clause", where);
  RequireTableName(table);
  const std::shared_ptr<const QueryResult> rows =
      CachedRows("SELECT " + fields + " FROM " + table + " " + where, {table});
  if (rows->rows.empty()) return Null;
  auto a = MakeArray2D(rows->fields.size(), rows->rows.size());
  for (size_t r = 0; r < rows->rows.size(); ++r) {
    for (size_t f = 0; f < rows->fields.size(); ++f) a->at(f, r) = rows->rows[r][f];
  }
  return Variant(a);
}

ReadCacheStats GetReadCacheStats() { return TheCache().Stats(); }
void SetReadCacheLimit(size_t bytes) { TheCache().SetLimit(bytes); }
void ClearReadCache() { TheCache().Clear(); }

}  // namespace qv
