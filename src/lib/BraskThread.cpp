#include "BraskThread.h"

#include <chrono>
#include <thread>

namespace kelvane {

void TBraskThread::Start()
{
    std::thread([self = shared_from_this()] {
        try {
            self->Execute();
        } catch (...) {
            // A body that throws ends its thread like one that returns.
        }
        self->FHasEnded.store(true);
        if (self->OnEnded)
            self->OnEnded(*self);
    }).detach();
}

bool TBraskThread::CheckPaused() const
{
    while (FPauseRequested.load() && !Terminated())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return Terminated();
}

} // namespace kelvane
