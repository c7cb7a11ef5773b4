// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Work handed in by one thread, done on worker threads, and committed back on the handing
// thread in the order it was handed in: what is written does not depend on the number of
// threads or on timing. At most `limit` items wait or run at a time, which bounds memory;
// Submit waits for room, committing what is done meanwhile.
#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace brelo {

template <class In, class Out>
class TOrderedWorkers {
 public:
  using TWork = std::function<Out(In&)>;
  using TCommit = std::function<void(Out&)>;

  TOrderedWorkers(unsigned threads, std::size_t limit, TWork work, TCommit commit)
      : work_(std::move(work)), commit_(std::move(commit)), limit_(std::max<std::size_t>(limit, 1)) {
    for (unsigned t = 0; t < std::max(1u, threads); ++t) threads_.emplace_back([this] { Run(); });
  }
  ~TOrderedWorkers() {
    {
      std::lock_guard lock(mutex_);
      queue_.clear();  // after a failure, what waits is not worth doing
      stop_ = true;
    }
    ready_.notify_all();
    for (auto& t : threads_) t.join();
  }
  TOrderedWorkers(const TOrderedWorkers&) = delete;
  TOrderedWorkers& operator=(const TOrderedWorkers&) = delete;

  // Hands in an item; commits finished ones in order while waiting for room. A failure of
  // work or commit is raised here or from Finish.
  void Submit(In item) {
    std::unique_lock lock(mutex_);
    for (;;) {
      CommitReady(lock);
      if (submitted_ - committed_ < limit_) break;
      done_.wait(lock);
    }
    queue_.emplace_back(submitted_++, std::move(item));
    lock.unlock();
    ready_.notify_one();
  }
  // Waits for every item and commits it.
  void Finish() {
    std::unique_lock lock(mutex_);
    for (;;) {
      CommitReady(lock);
      if (committed_ == submitted_) return;
      done_.wait(lock);
    }
  }

 private:
  struct TResult {
    std::optional<Out> Value;
    std::exception_ptr Error;
  };
  void Run() {
    for (;;) {
      std::pair<std::size_t, In> job;
      {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return stop_ || !queue_.empty(); });
        if (queue_.empty()) return;
        job = std::move(queue_.front());
        queue_.pop_front();
      }
      TResult result;
      try {
        result.Value.emplace(work_(job.second));
      } catch (...) {
        result.Error = std::current_exception();
      }
      {
        std::lock_guard lock(mutex_);
        results_.emplace(job.first, std::move(result));
      }
      done_.notify_all();
    }
  }
  // Commits the finished items that are next in order, outside the lock.
  void CommitReady(std::unique_lock<std::mutex>& lock) {
    for (auto it = results_.find(committed_); it != results_.end(); it = results_.find(committed_)) {
      TResult r = std::move(it->second);
      results_.erase(it);
      ++committed_;
      lock.unlock();
      if (r.Error) {
        lock.lock();
        std::rethrow_exception(r.Error);
      }
      try {
        commit_(*r.Value);
      } catch (...) {
        lock.lock();
        throw;
      }
      lock.lock();
    }
  }

  TWork work_;
  TCommit commit_;
  std::size_t limit_;
  std::mutex mutex_;
  std::condition_variable ready_, done_;
  std::deque<std::pair<std::size_t, In>> queue_;
  std::map<std::size_t, TResult> results_;
  std::size_t submitted_ = 0, committed_ = 0;
  bool stop_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace brelo
