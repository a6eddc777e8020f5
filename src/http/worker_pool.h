// A fixed set of worker threads fed from a bounded queue.
//
// Each job runs from start to end on one worker thread, which is what the
// component's per-thread shared state needs. TrySubmit refuses work when
// the queue is full, so a flood of requests gets quick 503 answers instead
// of unbounded memory.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qv::http {

class WorkerPool {
 public:
  WorkerPool(int threads, size_t queue_limit);
  // Finishes queued jobs, then joins the threads.
  ~WorkerPool();

  // False when the queue is full or the pool is stopping.
  bool TrySubmit(std::function<void()> job);
  // Runs what is queued and joins the threads; idempotent.
  void Stop();

 private:
  void Run();

  const size_t queue_limit_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace qv::http
