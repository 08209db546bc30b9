#pragma once
#include "BraskThread.h"
#include "Dispatcher.h"

#include <QObject>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace kelvane {

// Owns and limits long-running threads: threads beyond the limit wait until
// a running one ends. Ends and emptiness are reported on the thread that
// owns the pool.
class TThreadPool : public QObject {
    Q_OBJECT
public:
    explicit TThreadPool(QObject* parent = nullptr, std::shared_ptr<IDispatcher> dispatcher = {});
    ~TThreadPool() override;

    // Refused (false) while the pool is stopping.
    bool AddThread(std::shared_ptr<TBraskThread> thread);
    // Tells every thread to end; with wait, waits up to HardTerminateTimeout.
    void StopAll(bool wait);
    int Count() const;
    int RunningCount() const;

    int ThreadLimit;
    unsigned HardTerminateTimeout = 3000;

signals:
    void ThreadTerminated(TBraskThread* thread);
    void Empty();

private:
    struct TShared;
    std::shared_ptr<TShared> F;
};

} // namespace kelvane
