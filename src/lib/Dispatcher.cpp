#include "Dispatcher.h"

#include <QSocketNotifier>
#include <sys/eventfd.h>
#include <unistd.h>

namespace kelvane {

TQtDispatcher::TQtDispatcher(QObject* context)
    : FEventFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (FEventFd >= 0 && context) {
        // The notifier belongs to the context: it goes when the context goes.
        FNotifier = new QSocketNotifier(FEventFd, QSocketNotifier::Read, context);
        QObject::connect(FNotifier, &QSocketNotifier::activated, FNotifier, [this] { RunQueued(); });
    }
}

TQtDispatcher::~TQtDispatcher()
{
    // Never delete the notifier here: the last owner of a pool's state may be
    // a worker thread, while the notifier lives and dies on the context's.
    if (FEventFd >= 0)
        ::close(FEventFd);
}

void TQtDispatcher::Post(std::function<void()> call)
{
    {
        std::lock_guard lock(FLock);
        FCalls.push_back(std::move(call));
    }
    const uint64_t one = 1;
    if (FEventFd >= 0)
        (void)!::write(FEventFd, &one, sizeof one);
}

void TQtDispatcher::RunQueued()
{
    uint64_t count = 0;
    (void)!::read(FEventFd, &count, sizeof count);
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard lock(FLock);
            if (FCalls.empty())
                return;
            call = std::move(FCalls.front());
            FCalls.pop_front();
        }
        call();
    }
}

} // namespace kelvane
