#include "task_counters.h"

namespace app {

namespace {

// A small number per thread, handed out in order, so that the workers of a task spread over
// the slots.
std::size_t ThreadSlot() {
    static std::atomic<std::size_t> next{0};
    thread_local const std::size_t slot = next.fetch_add(1, std::memory_order_relaxed);
    return slot;
}

}  // namespace

bool TaskCounters::Add(bool succeed, std::int32_t size, std::int32_t resultCode, bool& isLast) {
    isLast = false;
    if (!accepting_.load(std::memory_order_acquire))
        return false;
    Slot& slot = slots_[ThreadSlot() % kSlots];
    if (succeed) {
        slot.succeed.fetch_add(1, std::memory_order_relaxed);
        slot.fileSize.fetch_add(size, std::memory_order_relaxed);
    } else {
        slot.failed.fetch_add(1, std::memory_order_relaxed);
        if (resultCode == 404)
            slot.failed404.fetch_add(1, std::memory_order_relaxed);
    }
    isLast = reported_.fetch_add(1, std::memory_order_acq_rel) + 1 == total_;
    return true;
}

CounterTotals TaskCounters::Totals() const {
    CounterTotals totals;
    for (const Slot& slot : slots_) {
        totals.Succeed += slot.succeed.load(std::memory_order_relaxed);
        totals.Failed += slot.failed.load(std::memory_order_relaxed);
        totals.Failed_404 += slot.failed404.load(std::memory_order_relaxed);
        totals.FileSize += slot.fileSize.load(std::memory_order_relaxed);
    }
    return totals;
}

}  // namespace app
