#pragma once
#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <mutex>

class QSocketNotifier;

namespace kelvane {

// Runs calls on the user-interface thread without ever blocking the caller.
class IDispatcher {
public:
    virtual ~IDispatcher() = default;
    virtual void Post(std::function<void()> call) = 0;
};

// Queues calls for the thread of a context object: the calls wait in a
// locked list of our own and an eventfd wakes the context's event loop, so
// nothing crosses threads inside Qt's event queue. Calls still queued when
// the context is destroyed are dropped. The dispatcher must not outlive its
// context while the context's thread can still run events.
class TQtDispatcher : public IDispatcher {
public:
    explicit TQtDispatcher(QObject* context); // on the context's thread
    ~TQtDispatcher() override;
    void Post(std::function<void()> call) override;

private:
    void RunQueued();

    std::mutex FLock;
    std::deque<std::function<void()>> FCalls;
    int FEventFd = -1;
    QPointer<QSocketNotifier> FNotifier;
};

} // namespace kelvane
