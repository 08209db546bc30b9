#include "Dispatcher.h"

#include <QSocketNotifier>
#include <sys/eventfd.h>
#include <unistd.h>

namespace kelvane {

TQtDispatcher::TQtDispatcher(QObject* context)
    : FEventFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (FEventFd >= 0 && context) {
        FNotifier = new QSocketNotifier(FEventFd, QSocketNotifier::Read, context);
        QObject::connect(FNotifier, &QSocketNotifier::activated, context, [this] { RunQueued(); });
    }
}

TQtDispatcher::~TQtDispatcher()
{
    delete FNotifier.data();
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
