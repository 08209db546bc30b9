#pragma once
#include <atomic>
#include <functional>
#include <memory>

namespace kelvane {

// A small job for a worker pool.
class IWorkItem {
public:
    virtual ~IWorkItem() = default;
    // What to run on the user-interface thread after Execute (may be empty).
    virtual std::function<void()> GetCompletion() = 0;
    virtual int GetTag() const = 0;
    virtual void Execute() = 0;
    virtual void Cancel() = 0;
    virtual void SetPaused(bool paused) = 0;
};
using TWorkItemRef = std::shared_ptr<IWorkItem>;

// A work item with cancellation and pause flags that Execute polls.
class TBasicWorkItem : public IWorkItem, public std::enable_shared_from_this<TBasicWorkItem> {
public:
    explicit TBasicWorkItem(int tag = 0);

    std::function<void()> GetCompletion() override;
    int GetTag() const override { return Tag; }
    void Cancel() override { FCancelled.store(true, std::memory_order_relaxed); }
    void SetPaused(bool paused) override { FPauseRequested.store(paused, std::memory_order_relaxed); }

    // Waits while paused (in steps of 100 ms); returns whether cancelled.
    bool CheckCancelled() const;
    bool IsCancelled() const { return FCancelled.load(std::memory_order_relaxed); }
    void SetOnFinished(std::function<void(TBasicWorkItem&)> handler) { FOnFinished = std::move(handler); }

    int Tag = 0;

private:
    std::atomic<bool> FCancelled{false};
    std::atomic<bool> FPauseRequested{false};
    std::function<void(TBasicWorkItem&)> FOnFinished;
};

} // namespace kelvane
