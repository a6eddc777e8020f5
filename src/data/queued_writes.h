// Queued writes: rows appended to a table behind the request.
//
// Each data source (name, user, password) has one bounded queue and one
// writer thread with a connection of its own. The writer commits what is
// queued in batches: a batch closes when it holds kBatchRows rows or its
// first row has waited the batch window, so a queued row is in the database
// within about one window. A full queue makes the caller wait for room; no
// row is ever dropped for lack of room. Rows of one source are written in
// the order they were queued. A row the database refuses is dropped alone
// (the other rows of its batch are still written), as a failed synchronous
// write of it would have been.
//
// FlushQueuedWrites waits until every row queued before the call is
// written; StopQueuedWriters flushes and ends the writer threads (a later
// row starts a writer again). The process flushes at exit as well, so a
// clean shutdown loses nothing; a crash loses at most the rows of the last
// window.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <tuple>

#include "data/connection.h"

namespace qv {

struct QueuedWriteTarget {
  std::string dsn, user, password;
  bool operator<(const QueuedWriteTarget& other) const {
    return std::tie(dsn, user, password) < std::tie(other.dsn, other.user, other.password);
  }
};

// Queues one row for table; waits while the source's queue is full.
void QueueRowWrite(const QueuedWriteTarget& target, const std::string& table, RowWrite row);

// Waits until every row queued so far, on every source, is written (or
// refused by the database).
void FlushQueuedWrites();

// Flushes, then ends every writer thread.
void StopQueuedWriters();

struct QueuedWriteLimits {
  size_t queue_rows = 10000;             // rows a source's queue holds before callers wait
  size_t batch_rows = 500;               // rows committed in one transaction at most
  std::chrono::milliseconds window{50};  // longest wait of a row for its batch to close
};
// Limits of queues made from now on (a writer already running keeps its
// own until StopQueuedWriters).
void SetQueuedWriteLimits(const QueuedWriteLimits& limits);
QueuedWriteLimits GetQueuedWriteLimits();

}  // namespace qv
