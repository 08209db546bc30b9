#include "Dispatcher.h"

#include <QMetaObject>

namespace kelvane {

TQtDispatcher::TQtDispatcher(QObject* context)
    : FContext(context)
{
}

void TQtDispatcher::Post(std::function<void()> call)
{
    if (QObject* context = FContext.data())
        QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
}

} // namespace kelvane
