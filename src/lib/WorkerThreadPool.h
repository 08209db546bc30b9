#pragma once
#include "Dispatcher.h"
#include "ThreadPriority.h"
#include "WorkItem.h"

#include <QObject>
#include <functional>
#include <memory>

namespace kelvane {

// A few worker threads that take work items from a queue. Workers start on
// demand (at most one per 200 ms once two exist, none while the processor is
// busy, but never none at all), end after an idle timeout, and report on the
// user-interface thread when no item is outstanding any more.
class TWorkerThreadPool : public QObject {
    Q_OBJECT
public:
    // The dispatcher runs the completion and all-done calls; by default a
    // queued call to this object's thread. The load source gives the
    // processor load in percent; by default the program-wide figure.
    explicit TWorkerThreadPool(QObject* parent = nullptr, std::shared_ptr<IDispatcher> dispatcher = {},
                               std::function<int()> loadSource = {});
    ~TWorkerThreadPool() override;

    // May be called from any thread, also from a running item.
    void AddWorkItem(TWorkItemRef item);
    // Drops queued items with the tag (0: all) and cancels running ones.
    void CancelWorkItems(int tag);
    // Cancels everything and tells every worker to end; with wait, waits up
    // to HardTerminateTimeout for them and abandons the rest. When items were
    // outstanding, OnAllDone runs once, directly.
    void StopAll(bool wait);

    int Outstanding() const;
    // Items waiting for a worker (read without the lock; may be stale).
    int Queued() const;
    int ThreadCount() const;
    bool HasThreads() const { return ThreadCount() > 0; }

    void SetPriority(TThreadPriority priority);
    void SetThreadLimit(int limit);
    void SetIdleTimeout(unsigned milliseconds);
    void SetCpuLimit(int percent);
    void SetHardTerminateTimeout(unsigned milliseconds);
    int ThreadLimit() const;

    // Runs on the user-interface thread when the last outstanding item ends.
    void SetOnAllDone(std::function<void()> handler);

private:
    struct TShared;
    std::shared_ptr<TShared> F;
};

} // namespace kelvane
