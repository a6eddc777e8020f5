// Read cache: rows of reads that depend on tables which change rarely
// (registry, users, code tables, book tables), shared by all threads.
//
// Every counted table has a row in qvChangeCounter that database triggers
// advance on each insert, update and delete, whoever the writer (another
// server process or a raw SQL tool too). A request reads the counters once
// (again after it wrote something itself); a cached result is used only
// while the counters of all its tables still hold the values they had
// before it was read, so the next request after any change reads anew. No
// entry lives by time. Inside a request transaction nothing is cached or
// served from the cache (its writes may still be rolled back).
//
// Memory is bounded: entries are dropped least recently used first once
// their estimated size passes the limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/connection.h"

namespace qv {

// The rows of sql, a query that reads only `tables`, run on the shared
// data source (a connection of its own) unless a current copy is cached.
// Tables without a change counter are always read. Throws DatabaseError.
std::shared_ptr<const QueryResult> CachedRows(const std::string& sql,
                                              const std::vector<std::string>& tables);

// AspProc::dbGetTable through the cache: the (field, row) array of
// "SELECT fields FROM table where", or Null when it has no rows.
Variant CachedGetTable(const std::string& table, const std::string& fields,
                       const std::string& where);

// Makes (table, count) pairs, as read from qvChangeCounter now, the
// request's counter snapshot (SysVar.Init reads them with the messages).
void SetChangeCounts(const std::vector<std::pair<std::string, int64_t>>& counts);
// The request's count of a table (lower case), reading the counters when
// the request has none yet or wrote since; nullopt when not counted.
std::optional<int64_t> ChangeCount(const std::string& table);

struct ReadCacheStats {
  size_t entries = 0, bytes = 0;
  uint64_t hits = 0, misses = 0;
};
ReadCacheStats GetReadCacheStats();
// Largest estimated size of all entries together (default 32 MB).
void SetReadCacheLimit(size_t bytes);
void ClearReadCache();

}  // namespace qv
