#pragma once
// The counters the download workers feed, one set per task. Each worker thread counts into a
// slot of its own cache line, so 80 workers do not fight over one line on every tile; the UI
// thread adds the slots up when it reads. Only the number of reports is shared, to tell the
// last one.
#include <array>
#include <atomic>
#include <cstdint>

namespace app {

struct CounterTotals {
    std::int64_t Succeed = 0;
    std::int64_t Failed = 0;
    std::int64_t Failed_404 = 0;
    std::int64_t FileSize = 0;
};

class TaskCounters {
  public:
    explicit TaskCounters(std::int64_t total) : total_(total) {}
    TaskCounters(const TaskCounters&) = delete;
    TaskCounters& operator=(const TaskCounters&) = delete;

    // One report of a worker; false when the task no longer takes reports. `isLast` tells the
    // report that brought the count to the task's total.
    bool Add(bool succeed, std::int32_t size, std::int32_t resultCode, bool& isLast);
    // Reports after this are dropped (the task was stopped or has ended).
    void Close() { accepting_.store(false, std::memory_order_release); }
    // True exactly once: for the first caller after the first report.
    bool FirstTimerRequest() {
        return !timerRequested_.load(std::memory_order_relaxed) &&
               !timerRequested_.exchange(true, std::memory_order_acq_rel);
    }
    CounterTotals Totals() const;

  private:
    struct alignas(64) Slot {
        std::atomic<std::int64_t> succeed{0};
        std::atomic<std::int64_t> failed{0};
        std::atomic<std::int64_t> failed404{0};
        std::atomic<std::int64_t> fileSize{0};
    };
    static constexpr std::size_t kSlots = 128;

    // Read on every report, written once: kept apart from the lines written per report.
    alignas(64) std::atomic<bool> accepting_{true};
    std::atomic<bool> timerRequested_{false};
    const std::int64_t total_;
    alignas(64) std::atomic<std::int64_t> reported_{0};
    std::array<Slot, kSlots> slots_;
};

}  // namespace app
