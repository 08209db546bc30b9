#include "Processor.h"

#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kelvane {

int ProcessorCount()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0)
            return count;
    }
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? int(online) : 1;
}

bool TCpuLoad::Sample(uint64_t& busy, uint64_t& total) const
{
    FILE* f = std::fopen("/proc/stat", "re");
    if (!f)
        return false;
    unsigned long long user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0, steal = 0;
    const int n = std::fscanf(f, "cpu %llu %llu %llu %llu %llu %llu %llu %llu", &user, &nice, &system, &idle, &iowait,
                              &irq, &softirq, &steal);
    std::fclose(f);
    if (n < 4)
        return false;
    const uint64_t idleAll = idle + iowait;
    total = user + nice + system + idle + iowait + irq + softirq + steal;
    busy = total - idleAll;
    return true;
}

int TCpuLoad::Percent()
{
    const auto now = std::chrono::steady_clock::now();
    if (now.time_since_epoch().count() < FValidUntil.load(std::memory_order_acquire))
        return FCachedPercent.load(std::memory_order_relaxed);
    std::lock_guard lock(FLock);
    FValidUntil.store((now + std::chrono::milliseconds(200)).time_since_epoch().count(), std::memory_order_relaxed);
    if (FHasSample && now - FLastMeasured <= std::chrono::milliseconds(200))
        return FLastPercent;
    uint64_t busy = 0, total = 0;
    if (!Sample(busy, total)) {
        FLastPercent = 0;
        FLastMeasured = now;
        return 0;
    }
    if (!FHasSample) {
        // The first sample only starts the interval: no load is known yet.
        FLastBusy = busy;
        FLastTotal = total;
        FHasSample = true;
        FLastMeasured = now;
        FLastPercent = 0;
        return 0;
    }
    const uint64_t dTotal = total - FLastTotal;
    const uint64_t dBusy = busy - FLastBusy;
    FLastPercent = dTotal == 0 ? 0 : int((dBusy * 100 + dTotal / 2) / dTotal);
    FCachedPercent.store(FLastPercent, std::memory_order_release);
    FLastBusy = busy;
    FLastTotal = total;
    FLastMeasured = now;
    return FLastPercent;
}

TCpuLoad& TCpuLoad::ProgramWide()
{
    static TCpuLoad instance;
    return instance;
}

void TuneAllocatorForScanning()
{
    // Keep blocks up to 32 MB in the heaps and never give freed heap back
    // in small steps.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
}

void PrepareThreadHeap()
{
    // Untouched memory costs nothing: this only maps the heap in one step.
    void* volatile block = std::malloc(16 * 1024 * 1024); // volatile: the pair must not be optimised away
    std::free(block);
}

void SetCurrentThreadPriority(TThreadPriority priority)
{
    static const int niceValues[] = {19, 10, 5, 0, -5, -10, -19};
    const pid_t tid = pid_t(syscall(SYS_gettid));
    if (priority == threadpriority::tpIdle) {
        sched_param param{};
        (void)sched_setscheduler(tid, SCHED_IDLE, &param);
        // ioprio_set(IOPRIO_WHO_PROCESS, tid, IOPRIO_CLASS_IDLE << 13)
        (void)syscall(SYS_ioprio_set, 1, tid, 3 << 13);
    }
    const int index = int(priority);
    if (index >= 0 && index < 7)
        (void)setpriority(PRIO_PROCESS, id_t(tid), niceValues[index]);
}

} // namespace kelvane
