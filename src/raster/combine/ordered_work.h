#pragma once
// A few threads that process items handed in one by one and give them back in the order they
// came, so that one consumer (the thread that owns the big raster or the database) can stay
// single-threaded while reading and decoding run in parallel. The number of items in flight is
// bounded by `capacity`, which bounds memory whatever the size of the job.
#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace raster {

template <class T>
class OrderedWork {
  public:
    OrderedWork(int threads, std::size_t capacity, std::function<void(T&)> work)
        : capacity_(capacity < 1 ? 1 : capacity),
          wakeBatch_(std::clamp<std::size_t>(capacity_ / 4, 1,
                                             4 * std::size_t(threads < 1 ? 1 : threads))),
          work_(std::move(work)) {
        for (int i = 0; i < (threads < 1 ? 1 : threads); ++i) {
            threads_.emplace_back([this] { Run(); });
        }
    }
    ~OrderedWork() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        workReady_.notify_all();
        for (auto& t : threads_) {
            t.join();
        }
    }
    OrderedWork(const OrderedWork&) = delete;
    OrderedWork& operator=(const OrderedWork&) = delete;

    std::size_t Pending() const {
        std::lock_guard lock(mutex_);
        return slots_.size();
    }
    bool Full() const { return Pending() >= capacity_; }

    // The caller takes items out with Next before the queue grows past its capacity.
    // Idle threads are woken once a batch of items waits, not for each one: a wake-up per item
    // costs the producer more than handing the item over.
    void Submit(T item) {
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            slots_.push_back(Slot{std::move(item), false});
            wake = idle_ > 0 && Unprocessed() >= wakeBatch_;
        }
        if (wake) {
            workReady_.notify_all();
        }
    }

    // The oldest item once processed; the queue must not be empty.
    T Next() {
        std::unique_lock lock(mutex_);
        if (!slots_.front().done && idle_ > 0 && Unprocessed() > 0) {
            workReady_.notify_all();
        }
        itemDone_.wait(lock, [this] { return slots_.front().done; });
        T item = std::move(slots_.front().item);
        slots_.pop_front();
        ++base_;
        return item;
    }

  private:
    struct Slot {
        T item;
        bool done;
    };

    std::size_t Unprocessed() const { return base_ + slots_.size() - next_; }

    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            ++idle_;
            workReady_.wait(lock, [this] { return stop_ || next_ < base_ + slots_.size(); });
            --idle_;
            if (stop_) {
                return;
            }
            // Deque elements keep their address while others are added at the back or taken
            // from the front, and a slot is only taken out once it is done.
            Slot& slot = slots_[next_ - base_];
            ++next_;
            lock.unlock();
            work_(slot.item);
            lock.lock();
            slot.done = true;
            itemDone_.notify_all();
        }
    }

    const std::size_t capacity_;
    const std::size_t wakeBatch_;
    std::function<void(T&)> work_;
    mutable std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable itemDone_;
    std::deque<Slot> slots_;
    std::size_t base_ = 0;  // sequence number of slots_.front()
    std::size_t next_ = 0;  // sequence number of the next slot to process
    std::size_t idle_ = 0;  // threads waiting for work
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace raster
