#include "data/queued_writes.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <thread>
#include <utility>
#include <vector>

namespace qv {
namespace {

struct QueuedRow {
  std::string table;
  RowWrite row;
};

QueuedWriteLimits Sane(QueuedWriteLimits limits) {
  limits.queue_rows = std::max<size_t>(limits.queue_rows, 1);
  limits.batch_rows = std::max<size_t>(limits.batch_rows, 1);
  return limits;
}

// The queue and writer of one data source.
class SourceWriter {
 public:
  SourceWriter(QueuedWriteTarget target, QueuedWriteLimits limits)
      : target_(std::move(target)), limits_(Sane(limits)), thread_([this] { Run(); }) {}

  ~SourceWriter() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_writer_.notify_all();
    thread_.join();
  }

  void Push(const std::string& table, RowWrite row) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return queue_.size() < limits_.queue_rows; });
    queue_.push_back({table, std::move(row)});
    ++queued_;
    if (queue_.size() == 1 || queue_.size() >= limits_.batch_rows) wake_writer_.notify_all();
  }

  void Flush() {
    std::unique_lock lock(mutex_);
    const uint64_t target = queued_;
    if (written_ >= target) return;
    if (flush_to_ < target) flush_to_ = target;
    wake_writer_.notify_all();
    written_cv_.wait(lock, [&] { return written_ >= target; });
  }

 private:
  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_writer_.wait(lock, [&] { return !queue_.empty() || stop_; });
      if (queue_.empty()) return;  // stopping with nothing left
      const auto closes = std::chrono::steady_clock::now() + limits_.window;
      wake_writer_.wait_until(lock, closes, [&] {
        return stop_ || queue_.size() >= limits_.batch_rows || flush_to_ > written_;
      });
      std::vector<QueuedRow> batch;
      const size_t n = std::min(queue_.size(), limits_.batch_rows);
      batch.reserve(n);
      for (size_t i = 0; i < n; ++i) {
        batch.push_back(std::move(queue_.front()));
        queue_.pop_front();
      }
      room_.notify_all();
      lock.unlock();
      Write(batch);
      lock.lock();
      written_ += n;
      written_cv_.notify_all();
    }
  }

  // Writes the batch in one transaction per run of rows of one table; when
  // a run fails, its rows are written one by one and only a refused row is
  // lost.
  void Write(std::vector<QueuedRow>& batch) {
    std::unique_ptr<Connection> conn;
    try {
      conn = NewConnection();
      conn->Open(target_.dsn, target_.user, target_.password);
    } catch (const std::exception&) {
      return;  // the source cannot be opened: as a synchronous write, nothing is stored
    }
    for (size_t first = 0; first < batch.size();) {
      size_t end = first;
      std::vector<RowWrite> rows;
      while (end < batch.size() && batch[end].table == batch[first].table) {
        rows.push_back(std::move(batch[end].row));
        ++end;
      }
      try {
        conn->WriteRows(batch[first].table, rows);
      } catch (const std::exception&) {
        for (RowWrite& row : rows) {
          try {
            conn->WriteRows(batch[first].table, {std::move(row)});
          } catch (const std::exception&) {
          }
        }
      }
      first = end;
    }
    try {
      conn->Close();
    } catch (const std::exception&) {
    }
  }

  const QueuedWriteTarget target_;
  const QueuedWriteLimits limits_;
  std::mutex mutex_;
  std::condition_variable wake_writer_, room_, written_cv_;
  std::deque<QueuedRow> queue_;
  uint64_t queued_ = 0, written_ = 0, flush_to_ = 0;
  bool stop_ = false;
  std::thread thread_;  // last: starts after the members it uses
};

// Every source's writer. Destroyed at process exit, which flushes and ends
// the writers.
class Writers {
 public:
  ~Writers() { Stop(); }

  SourceWriter& For(const QueuedWriteTarget& target) {
    std::lock_guard lock(mutex_);
    std::unique_ptr<SourceWriter>& writer = writers_[target];
    if (!writer) writer = std::make_unique<SourceWriter>(target, limits_);
    return *writer;
  }

  // Writers are only ever removed by Stop, which holds Use() exclusively so that
  // no Push or Flush runs on a writer being destroyed.
  std::shared_mutex& Use() { return use_mutex_; }

  void FlushAll() {
    std::vector<SourceWriter*> all;
    {
      std::lock_guard lock(mutex_);
      for (auto& [target, writer] : writers_) all.push_back(writer.get());
    }
    for (SourceWriter* writer : all) writer->Flush();
  }

  void Stop() {
    std::unique_lock use(use_mutex_);
    FlushAll();
    std::map<QueuedWriteTarget, std::unique_ptr<SourceWriter>> ended;
    {
      std::lock_guard lock(mutex_);
      ended.swap(writers_);
    }
    ended.clear();  // joins the threads
  }

  void SetLimits(const QueuedWriteLimits& limits) {
    std::lock_guard lock(mutex_);
    limits_ = limits;
  }
  QueuedWriteLimits Limits() {
    std::lock_guard lock(mutex_);
    return limits_;
  }

 private:
  std::shared_mutex use_mutex_;
  std::mutex mutex_;
  std::map<QueuedWriteTarget, std::unique_ptr<SourceWriter>> writers_;
  QueuedWriteLimits limits_;
};

Writers& AllWriters() {
  static Writers writers;
  return writers;
}

}  // namespace

void QueueRowWrite(const QueuedWriteTarget& target, const std::string& table, RowWrite row) {
  Writers& writers = AllWriters();
  std::shared_lock use(writers.Use());
  writers.For(target).Push(table, std::move(row));
}

void FlushQueuedWrites() {
  Writers& writers = AllWriters();
  std::shared_lock use(writers.Use());
  writers.FlushAll();
}

void StopQueuedWriters() { AllWriters().Stop(); }

void SetQueuedWriteLimits(const QueuedWriteLimits& limits) { AllWriters().SetLimits(limits); }
QueuedWriteLimits GetQueuedWriteLimits() { return AllWriters().Limits(); }

}  // namespace qv
