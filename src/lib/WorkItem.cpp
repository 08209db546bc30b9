#include "WorkItem.h"

#include <chrono>
#include <thread>

namespace kelvane {

TBasicWorkItem::TBasicWorkItem(int tag)
    : Tag(tag)
{
}

std::function<void()> TBasicWorkItem::GetCompletion()
{
    if (!FOnFinished)
        return {};
    return [self = shared_from_this()] { self->FOnFinished(*self); };
}

bool TBasicWorkItem::CheckCancelled() const
{
    while (FPauseRequested.load(std::memory_order_relaxed) && !IsCancelled())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return IsCancelled();
}

} // namespace kelvane
