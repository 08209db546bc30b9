#include "ThreadPool.h"

#include "platform/Processor.h"

#include <algorithm>
#include <condition_variable>

namespace kelvane {

struct TThreadPool::TShared : std::enable_shared_from_this<TShared> {
    std::mutex Lock;
    std::condition_variable Changed;
    std::vector<std::shared_ptr<TBraskThread>> Running;
    std::deque<std::shared_ptr<TBraskThread>> Waiting;
    std::shared_ptr<IDispatcher> Dispatcher;
    bool Stopping = false;
    bool Detached = false;
    int Limit = 8;
    TThreadPool* Pool = nullptr; // touched on the owner's thread only

    void StartLocked(const std::shared_ptr<TBraskThread>& thread)
    {
        Running.push_back(thread);
        thread->OnEnded = [self = shared_from_this()](TBraskThread& ended) { self->Ended(ended); };
        thread->Start();
    }

    void Ended(TBraskThread& ended)
    {
        std::lock_guard lock(Lock);
        auto it = std::find_if(Running.begin(), Running.end(), [&](const auto& t) { return t.get() == &ended; });
        std::shared_ptr<TBraskThread> keep;
        if (it != Running.end()) {
            keep = *it;
            Running.erase(it);
        }
        while (!Waiting.empty() && int(Running.size()) < Limit && !Stopping) {
            auto next = Waiting.front();
            Waiting.pop_front();
            StartLocked(next);
        }
        const bool empty = Running.empty() && Waiting.empty();
        if (empty)
            Stopping = false;
        Changed.notify_all();
        if (!Detached && Dispatcher)
            Dispatcher->Post([weak = weak_from_this(), keep, empty] {
                const auto self = weak.lock();
                if (!self || self->Detached || !self->Pool)
                    return;
                emit self->Pool->ThreadTerminated(keep.get());
                if (empty)
                    emit self->Pool->Empty();
            });
    }
};

TThreadPool::TThreadPool(QObject* parent, std::shared_ptr<IDispatcher> dispatcher)
    : QObject(parent)
    , ThreadLimit(8 * ProcessorCount())
    , F(std::make_shared<TShared>())
{
    F->Dispatcher = dispatcher ? std::move(dispatcher) : std::make_shared<TQtDispatcher>(this);
    F->Pool = this;
}

TThreadPool::~TThreadPool()
{
    StopAll(true);
    std::lock_guard lock(F->Lock);
    F->Detached = true;
    F->Pool = nullptr;
}

bool TThreadPool::AddThread(std::shared_ptr<TBraskThread> thread)
{
    std::lock_guard lock(F->Lock);
    if (F->Stopping)
        return false;
    F->Limit = ThreadLimit;
    if (int(F->Running.size()) < F->Limit)
        F->StartLocked(thread);
    else
        F->Waiting.push_back(std::move(thread));
    return true;
}

void TThreadPool::StopAll(bool wait)
{
    std::unique_lock lock(F->Lock);
    F->Waiting.clear();
    F->Stopping = !F->Running.empty();
    for (const auto& t : F->Running)
        t->Terminate();
    if (wait)
        F->Changed.wait_for(lock, std::chrono::milliseconds(HardTerminateTimeout), [&] { return F->Running.empty(); });
}

int TThreadPool::Count() const
{
    std::lock_guard lock(F->Lock);
    return int(F->Running.size() + F->Waiting.size());
}

int TThreadPool::RunningCount() const
{
    std::lock_guard lock(F->Lock);
    return int(F->Running.size());
}

} // namespace kelvane
