// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A producer on the calling thread and consumers on worker threads: items are produced in
// order (reading a file sequentially, reporting progress), consumed in parallel (decoding and
// encoding). The first failing item, in item order, ends the run: items after it are not
// consumed once the failure is known, and the caller learns which item failed so that its
// observable result matches a sequential run.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brelo {

struct TPipelineResult {
  std::size_t FailedItem = static_cast<std::size_t>(-1);  // none
  std::string Error;
  bool Ok() const { return FailedItem == static_cast<std::size_t>(-1); }
};

// Worker threads for bulk codec work: the machine's cores, at least one.
inline unsigned PipelineThreads() { return std::max(1u, std::min(8u, std::thread::hardware_concurrency())); }

// fn(i) for every i in [0, count), the items shared out among up to `threads` threads, the
// calling thread among them. The exception of the lowest failing item, if any, is rethrown
// once every thread has finished.
template <class Fn>
void ParallelFor(std::size_t count, unsigned threads, Fn&& fn) {
  std::atomic<std::size_t> next{0};
  std::mutex mutex;
  std::size_t failedItem = count;
  std::exception_ptr failure;
  auto work = [&] {
    for (std::size_t i; (i = next++) < count;) {
      try {
        fn(i);
      } catch (...) {
        std::lock_guard lock(mutex);
        if (i < failedItem) failedItem = i, failure = std::current_exception();
      }
    }
  };
  std::vector<std::thread> workers;
  for (std::size_t t = 1; t < std::min<std::size_t>(std::max(1u, threads), count); ++t) workers.emplace_back(work);
  work();
  for (auto& w : workers) w.join();
  if (failure) std::rethrow_exception(failure);
}

// reached, when given, is called on the calling thread, in item order, for each item that a
// sequential run would reach: item i once every item before it has been consumed, up to and
// including a failing item. Progress reported from it reads as a sequential run's.
template <class Item>
TPipelineResult RunPipeline(std::size_t count, const std::function<Item(std::size_t)>& produce,
                            const std::function<void(Item&, std::size_t)>& consume, unsigned threads,
                            const std::function<void(std::size_t)>& reached = nullptr) {
  TPipelineResult result;
  std::mutex mutex;
  std::condition_variable ready, space;
  std::deque<std::pair<std::size_t, Item>> queue;
  // The producer fills the queue and sleeps until it is half empty: waking it for every item
  // would cost a thread switch per item.
  const std::size_t capacity = 8 * std::max(1u, threads), refill = capacity / 2;
  bool done = false;
  std::atomic<std::size_t> failed{static_cast<std::size_t>(-1)};
  std::vector<char> consumed(count, 0);
  std::size_t prefix = 0;    // items consumed from the start, under mutex
  std::size_t reported = 0;  // reached() calls made, calling thread only

  auto report = [&] {
    if (!reached) return;
    std::size_t upTo;
    {
      std::lock_guard lock(mutex);
      upTo = prefix;
    }
    while (reported < count && reported <= upTo) reached(reported++);
  };
  auto fail = [&](std::size_t index, const char* what) {
    std::lock_guard lock(mutex);
    if (index < result.FailedItem) {
      result.FailedItem = index;
      result.Error = what;
      failed = index;
    }
  };
  auto work = [&] {
    for (;;) {
      std::pair<std::size_t, Item> job;
      {
        std::unique_lock lock(mutex);
        ready.wait(lock, [&] { return !queue.empty() || done; });
        if (queue.empty()) return;
        job = std::move(queue.front());
        queue.pop_front();
        if (queue.size() == refill) space.notify_one();
      }
      if (job.first > failed) continue;
      try {
        consume(job.second, job.first);
        std::lock_guard lock(mutex);
        consumed[job.first] = 1;
        while (prefix < count && consumed[prefix]) ++prefix;
      } catch (const std::exception& e) {
        fail(job.first, e.what());
      }
    }
  };
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < std::max(1u, threads); ++t) workers.emplace_back(work);
  for (std::size_t i = 0; i < count && i < failed; ++i) {
    report();
    try {
      Item item = produce(i);
      std::unique_lock lock(mutex);
      space.wait(lock, [&] { return queue.size() < capacity; });
      queue.emplace_back(i, std::move(item));
    } catch (const std::exception& e) {
      fail(i, e.what());
      break;
    }
    ready.notify_one();
  }
  {
    std::lock_guard lock(mutex);
    done = true;
  }
  ready.notify_all();
  for (auto& w : workers) w.join();
  report();
  return result;
}

// Items produced in order, transformed in parallel in batches, and committed in order on the
// calling thread, so that what is written does not depend on the number of threads.
// Exceptions of produce, transform and commit end the run and propagate to the caller.
// batch is the number of items held at a time (0: four per thread).
template <class In, class Out>
void RunOrderedBatches(std::size_t count, const std::function<In(std::size_t)>& produce,
                       const std::function<Out(In&, std::size_t)>& transform,
                       const std::function<void(Out&, std::size_t)>& commit, unsigned threads, std::size_t batch = 0) {
  threads = std::max(1u, threads);
  if (batch == 0) batch = 4 * std::size_t(threads);
  std::vector<In> inputs;
  std::vector<Out> outputs;
  std::vector<std::exception_ptr> errors;
  for (std::size_t first = 0; first < count; first += batch) {
    const std::size_t n = std::min(batch, count - first);
    inputs.clear();
    for (std::size_t i = 0; i < n; ++i) inputs.push_back(produce(first + i));
    outputs.assign(n, Out{});
    errors.assign(n, nullptr);
    ParallelFor(n, threads, [&](std::size_t i) {
      try {
        outputs[i] = transform(inputs[i], first + i);
      } catch (...) {
        errors[i] = std::current_exception();
      }
    });
    for (std::size_t i = 0; i < n; ++i) {
      if (errors[i]) std::rethrow_exception(errors[i]);
      commit(outputs[i], first + i);
    }
  }
}

}  // namespace brelo
