#include "WorkerThreadPool.h"

#include "platform/Processor.h"

#include <chrono>
#include <condition_variable>
#include <atomic>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace kelvane {

using Clock = std::chrono::steady_clock;

struct TWorker {
    bool Terminate = false;
    bool Idle = false;
    TWorkItemRef Current;
};

struct TWorkerThreadPool::TShared : std::enable_shared_from_this<TShared> {
    mutable std::mutex Lock;
    std::condition_variable WorkAvailable;
    std::condition_variable WorkerEnded;
    std::deque<std::pair<TWorkItemRef, uint64_t>> Queue;
    std::atomic<int> QueueLength{0};
    std::vector<std::shared_ptr<TWorker>> Workers;
    int Outstanding = 0;
    // Bumped by StopAll: items of an older generation no longer count.
    uint64_t Generation = 0;
    // Bumped whenever work arrives at an idle pool, so that of several
    // all-done calls posted meanwhile only the last one runs.
    uint64_t Epoch = 0;
    bool Detached = false;
    std::shared_ptr<IDispatcher> Dispatcher;
    std::function<int()> LoadSource;
    std::function<void()> OnAllDone; // called on the user-interface thread only
    TThreadPriority Priority = threadpriority::tpNormal;
    int ThreadLimit = 8;
    unsigned IdleTimeout = 60000;
    int CpuLimit = 80;
    unsigned HardTerminateTimeout = 3000;
    Clock::time_point LastStart{};

    // All below run with Lock held.
    void Post(std::function<void()> call)
    {
        if (!Detached && Dispatcher)
            Dispatcher->Post(std::move(call));
    }

    void PostAllDone()
    {
        const uint64_t generation = Generation;
        const uint64_t epoch = Epoch;
        // A weak reference: a queued call must not keep the pool's state alive.
        Post([weak = weak_from_this(), generation, epoch] {
            const auto self = weak.lock();
            if (!self)
                return;
            std::function<void()> handler;
            {
                std::lock_guard lock(self->Lock);
                if (self->Detached || self->Generation != generation || self->Epoch != epoch || self->Outstanding != 0)
                    return;
                handler = self->OnAllDone;
            }
            if (handler)
                handler();
        });
    }

    void Finished(uint64_t generation, std::function<void()> completion)
    {
        if (generation != Generation)
            return; // stopped meanwhile: counted out already
        if (completion)
            Post(std::move(completion));
        if (--Outstanding == 0)
            PostAllDone();
    }

    bool HasIdleWorker() const
    {
        for (const auto& w : Workers)
            if (w->Idle && !w->Terminate)
                return true;
        return false;
    }

    void MaybeStartWorker()
    {
        if (int(Workers.size()) >= ThreadLimit || HasIdleWorker())
            return;
        const auto now = Clock::now();
        if (Workers.size() >= 2 && now - LastStart < std::chrono::milliseconds(200))
            return;
        LastStart = now;
        if (!Workers.empty() && LoadSource && LoadSource() >= CpuLimit)
            return;
        auto worker = std::make_shared<TWorker>();
        Workers.push_back(worker);
        std::thread([self = shared_from_this(), worker] { self->WorkerBody(worker); }).detach();
    }

    void WorkerBody(const std::shared_ptr<TWorker>& worker)
    {
        std::unique_lock lock(Lock);
        TThreadPriority applied = Priority;
        lock.unlock();
        SetCurrentThreadPriority(applied);
        PrepareThreadHeap();
        lock.lock();
        while (!worker->Terminate) {
            if (Queue.empty()) {
                worker->Idle = true;
                const bool woke = WorkAvailable.wait_for(lock, std::chrono::milliseconds(IdleTimeout),
                                                         [&] { return !Queue.empty() || worker->Terminate; });
                worker->Idle = false;
                if (!woke)
                    break; // idle too long; the queue is empty, checked under the lock
                continue;
            }
            auto [item, generation] = std::move(Queue.front());
            Queue.pop_front();
            QueueLength.store(int(Queue.size()), std::memory_order_relaxed);
            worker->Current = item;
            const TThreadPriority wanted = Priority;
            lock.unlock();
            if (wanted != applied)
                SetCurrentThreadPriority(applied = wanted);
            std::function<void()> completion;
            try {
                item->Execute();
                completion = item->GetCompletion();
            } catch (...) {
                // An item that throws counts as finished, so the pool still ends.
            }
            lock.lock();
            worker->Current.reset();
            Finished(generation, std::move(completion));
        }
        std::erase(Workers, worker);
        WorkerEnded.notify_all();
    }
};

TWorkerThreadPool::TWorkerThreadPool(QObject* parent, std::shared_ptr<IDispatcher> dispatcher, std::function<int()> loadSource)
    : QObject(parent)
    , F(std::make_shared<TShared>())
{
    F->Dispatcher = dispatcher ? std::move(dispatcher) : std::make_shared<TQtDispatcher>(this);
    F->LoadSource = loadSource ? std::move(loadSource) : [] { return TCpuLoad::ProgramWide().Percent(); };
    F->ThreadLimit = 8 * ProcessorCount();
}

TWorkerThreadPool::~TWorkerThreadPool()
{
    StopAll(true);
    std::lock_guard lock(F->Lock);
    F->Detached = true;
}

void TWorkerThreadPool::AddWorkItem(TWorkItemRef item)
{
    if (!item)
        return;
    std::lock_guard lock(F->Lock);
    if (F->Outstanding++ == 0)
        ++F->Epoch;
    F->Queue.emplace_back(std::move(item), F->Generation);
    F->QueueLength.store(int(F->Queue.size()), std::memory_order_relaxed);
    F->MaybeStartWorker();
    F->WorkAvailable.notify_one();
}

void TWorkerThreadPool::CancelWorkItems(int tag)
{
    std::lock_guard lock(F->Lock);
    const auto before = F->Queue.size();
    std::erase_if(F->Queue, [tag](const auto& entry) { return tag == 0 || entry.first->GetTag() == tag; });
    const int removed = int(before - F->Queue.size());
    F->QueueLength.store(int(F->Queue.size()), std::memory_order_relaxed);
    for (const auto& w : F->Workers)
        if (w->Current && (tag == 0 || w->Current->GetTag() == tag))
            w->Current->Cancel();
    if (removed > 0) {
        F->Outstanding -= removed;
        if (F->Outstanding == 0)
            F->PostAllDone();
    }
}

void TWorkerThreadPool::StopAll(bool wait)
{
    bool hadOutstanding = false;
    std::function<void()> allDone;
    {
        std::unique_lock lock(F->Lock);
        ++F->Generation;
        F->Queue.clear();
        F->QueueLength.store(0, std::memory_order_relaxed);
        hadOutstanding = F->Outstanding != 0;
        allDone = F->OnAllDone;
        F->Outstanding = 0;
        for (const auto& w : F->Workers) {
            w->Terminate = true;
            if (w->Current)
                w->Current->Cancel();
        }
        F->WorkAvailable.notify_all();
        if (wait) {
            // Threads are never killed: one stuck in a system call (a dead
            // network mount) is left behind and ends on its own later.
            F->WorkerEnded.wait_for(lock, std::chrono::milliseconds(F->HardTerminateTimeout),
                                    [&] { return F->Workers.empty(); });
        }
    }
    if (hadOutstanding && allDone)
        allDone();
}

int TWorkerThreadPool::Outstanding() const
{
    std::lock_guard lock(F->Lock);
    return F->Outstanding;
}

int TWorkerThreadPool::Queued() const
{
    return F->QueueLength.load(std::memory_order_relaxed);
}

int TWorkerThreadPool::ThreadCount() const
{
    std::lock_guard lock(F->Lock);
    return int(F->Workers.size());
}

void TWorkerThreadPool::SetOnAllDone(std::function<void()> handler)
{
    std::lock_guard lock(F->Lock);
    F->OnAllDone = std::move(handler);
}

void TWorkerThreadPool::SetPriority(TThreadPriority priority)
{
    std::lock_guard lock(F->Lock);
    F->Priority = priority;
}

void TWorkerThreadPool::SetThreadLimit(int limit)
{
    std::lock_guard lock(F->Lock);
    F->ThreadLimit = std::max(1, limit);
}

int TWorkerThreadPool::ThreadLimit() const
{
    std::lock_guard lock(F->Lock);
    return F->ThreadLimit;
}

void TWorkerThreadPool::SetIdleTimeout(unsigned milliseconds)
{
    std::lock_guard lock(F->Lock);
    F->IdleTimeout = milliseconds;
}

void TWorkerThreadPool::SetCpuLimit(int percent)
{
    std::lock_guard lock(F->Lock);
    F->CpuLimit = percent;
}

void TWorkerThreadPool::SetHardTerminateTimeout(unsigned milliseconds)
{
    std::lock_guard lock(F->Lock);
    F->HardTerminateTimeout = milliseconds;
}

} // namespace kelvane
