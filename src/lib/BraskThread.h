#pragma once
#include <atomic>
#include <functional>
#include <memory>

namespace kelvane {

// A background thread with pause and orderly end. The running thread keeps
// the object alive, so a thread that is abandoned (never killed) stays valid.
class TBraskThread : public std::enable_shared_from_this<TBraskThread> {
public:
    virtual ~TBraskThread() = default;

    void Start();
    void Terminate() { FTerminated.store(true); }
    bool Terminated() const { return FTerminated.load(); }
    bool HasEnded() const { return FHasEnded.load(); }
    virtual void SetPaused(bool paused) { FPauseRequested.store(paused); }

    // Waits while paused (in steps of 100 ms); returns whether told to end.
    // Thread bodies call it between units of work.
    bool CheckPaused() const;

    // Runs once the body has returned, on the thread itself.
    std::function<void(TBraskThread&)> OnEnded;

protected:
    virtual void Execute() { CheckPaused(); }

private:
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FPauseRequested{false};
    std::atomic<bool> FHasEnded{false};
};

} // namespace kelvane
