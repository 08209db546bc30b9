#pragma once
#include "lib/ThreadPriority.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

namespace kelvane {

// Processors this process may run on (its affinity mask), at least 1.
int ProcessorCount();

// Processor load in percent from /proc/stat, measured again at most every
// 200 ms. A failed or zero-interval sample gives 0.
class TCpuLoad {
public:
    int Percent();
    // The one figure the whole program shares (used by the scan to decide
    // between queuing a folder and listing it in place).
    static TCpuLoad& ProgramWide();

private:
    bool Sample(uint64_t& busy, uint64_t& total) const;

    std::mutex FLock;
    // Read without the lock by the many callers between two measurements.
    std::atomic<int64_t> FValidUntil{0};
    std::atomic<int> FCachedPercent{0};
    std::chrono::steady_clock::time_point FLastMeasured{};
    uint64_t FLastBusy = 0;
    uint64_t FLastTotal = 0;
    int FLastPercent = 0;
    bool FHasSample = false;
};

// Makes room in the calling thread's heap once, so that a scan that keeps
// allocating small nodes does not grow it a page at a time (each step costs
// a system call). Takes effect with the allocator settings of
// TuneAllocatorForScanning, made at program start.
void PrepareThreadHeap();
void TuneAllocatorForScanning();

// Gives the calling thread the nice value of the priority (idle: SCHED_IDLE
// with idle I/O priority). Raising a priority needs privileges; failures are
// ignored.
void SetCurrentThreadPriority(TThreadPriority priority);

} // namespace kelvane
