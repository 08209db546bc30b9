#pragma once
#include <QObject>
#include <QPointer>
#include <functional>

namespace kelvane {

// Runs calls on the user-interface thread without ever blocking the caller.
class IDispatcher {
public:
    virtual ~IDispatcher() = default;
    virtual void Post(std::function<void()> call) = 0;
};

// Posts a queued call to the thread of a context object; calls still queued
// when the object is destroyed are dropped.
class TQtDispatcher : public IDispatcher {
public:
    explicit TQtDispatcher(QObject* context);
    void Post(std::function<void()> call) override;

private:
    QPointer<QObject> FContext;
};

} // namespace kelvane
