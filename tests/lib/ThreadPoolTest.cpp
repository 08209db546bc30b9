#include "lib/ThreadPool.h"
#include "lib/WorkerThreadPool.h"
#include "lib/platform/Processor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

using namespace kelvane;
using namespace std::chrono_literals;

namespace {

// Collects posted calls; the test runs them as the user-interface thread would.
class TManualDispatcher : public IDispatcher {
public:
    void Post(std::function<void()> call) override
    {
        std::lock_guard lock(FLock);
        FCalls.push_back(std::move(call));
    }
    int RunAll()
    {
        int n = 0;
        for (;;) {
            std::function<void()> call;
            {
                std::lock_guard lock(FLock);
                if (FCalls.empty())
                    return n;
                call = std::move(FCalls.front());
                FCalls.erase(FCalls.begin());
            }
            call();
            ++n;
        }
    }

private:
    std::mutex FLock;
    std::vector<std::function<void()>> FCalls;
};

class TLambdaItem : public TBasicWorkItem {
public:
    explicit TLambdaItem(std::function<void(TLambdaItem&)> body, int tag = 0)
        : TBasicWorkItem(tag)
        , FBody(std::move(body))
    {
    }
    void Execute() override { FBody(*this); }

private:
    std::function<void(TLambdaItem&)> FBody;
};

template <typename Pred>
bool WaitFor(Pred pred, std::chrono::milliseconds limit = 10s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

struct PoolFixture : ::testing::Test {
    std::shared_ptr<TManualDispatcher> Dispatcher = std::make_shared<TManualDispatcher>();
    std::atomic<int> Load{0};
    std::unique_ptr<TWorkerThreadPool> Pool =
        std::make_unique<TWorkerThreadPool>(nullptr, Dispatcher, [this] { return Load.load(); });
    int AllDone = 0;

    void SetUp() override { Pool->SetOnAllDone([this] { ++AllDone; }); }

    // Waits until nothing is outstanding, then delivers the posted calls.
    void Drain()
    {
        ASSERT_TRUE(WaitFor([&] { return Pool->Outstanding() == 0; }));
        Dispatcher->RunAll();
    }
};

TEST_F(PoolFixture, EveryItemRunsAndAllDoneComesOnce)
{
    std::atomic<int> ran{0};
    std::atomic<int> completed{0};
    for (int i = 0; i < 500; ++i) {
        auto item = std::make_shared<TLambdaItem>([&](TLambdaItem&) { ++ran; });
        item->SetOnFinished([&](TBasicWorkItem&) { ++completed; });
        Pool->AddWorkItem(item);
    }
    Drain();
    EXPECT_EQ(ran, 500);
    EXPECT_EQ(completed, 500) << "completions run on the dispatcher";
    EXPECT_EQ(AllDone, 1);
}

TEST_F(PoolFixture, ItemsThatAddItemsEndOnce)
{
    std::atomic<int> ran{0};
    std::function<void(int)> add = [&](int depth) {
        Pool->AddWorkItem(std::make_shared<TLambdaItem>([&, depth](TLambdaItem&) {
            ++ran;
            if (depth < 6)
                for (int i = 0; i < 3; ++i)
                    add(depth + 1);
        }));
    };
    add(0);
    Drain();
    EXPECT_EQ(ran, 1 + 3 + 9 + 27 + 81 + 243 + 729);
    EXPECT_EQ(AllDone, 1);
}

TEST_F(PoolFixture, ThrowingItemCountsAsFinished)
{
    for (int i = 0; i < 20; ++i)
        Pool->AddWorkItem(std::make_shared<TLambdaItem>([i](TLambdaItem&) {
            if (i % 2)
                throw std::runtime_error("broken");
        }));
    Drain();
    EXPECT_EQ(AllDone, 1);
    EXPECT_EQ(Pool->Outstanding(), 0);
}

TEST_F(PoolFixture, StopAllEndsOnceAndTheNextRunEndsOnceMore)
{
    std::atomic<bool> release{false};
    for (int i = 0; i < 50; ++i)
        Pool->AddWorkItem(std::make_shared<TLambdaItem>([&](TLambdaItem& self) {
            while (!release && !self.CheckCancelled())
                std::this_thread::sleep_for(1ms);
        }));
    ASSERT_TRUE(WaitFor([&] { return Pool->ThreadCount() > 0; }));
    Pool->StopAll(true);
    EXPECT_EQ(AllDone, 1) << "raised directly by StopAll";
    EXPECT_EQ(Pool->Outstanding(), 0);
    release = true;
    Dispatcher->RunAll();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(Pool->Outstanding(), 0) << "late finishers never drive the count below zero";
    EXPECT_EQ(AllDone, 1);

    std::atomic<int> ran{0};
    for (int i = 0; i < 10; ++i)
        Pool->AddWorkItem(std::make_shared<TLambdaItem>([&](TLambdaItem&) { ++ran; }));
    Drain();
    EXPECT_EQ(ran, 10);
    EXPECT_EQ(AllDone, 2);
}

TEST_F(PoolFixture, StuckThreadIsAbandonedNotKilled)
{
    auto started = std::make_shared<std::atomic<bool>>(false);
    auto finished = std::make_shared<std::atomic<bool>>(false);
    Pool->SetHardTerminateTimeout(50);
    Pool->AddWorkItem(std::make_shared<TLambdaItem>([started, finished](TLambdaItem&) {
        *started = true;
        std::this_thread::sleep_for(400ms); // a call that ignores cancellation
        *finished = true;
    }));
    ASSERT_TRUE(WaitFor([&] { return started->load(); }));
    QElapsedTimer timer;
    timer.start();
    Pool->StopAll(true);
    EXPECT_LT(timer.elapsed(), 300);
    EXPECT_EQ(AllDone, 1);
    Pool.reset(); // the pool goes; the abandoned thread must not touch it
    EXPECT_TRUE(WaitFor([&] { return finished->load(); }));
    std::this_thread::sleep_for(20ms);
}

TEST_F(PoolFixture, IdleWorkersLeaveWithoutStrandingWork)
{
    Pool->SetIdleTimeout(1);
    std::atomic<int> ran{0};
    for (int round = 0; round < 200; ++round) {
        Pool->AddWorkItem(std::make_shared<TLambdaItem>([&](TLambdaItem&) { ++ran; }));
        if (round % 7 == 0)
            std::this_thread::sleep_for(2ms); // let workers time out between items
    }
    ASSERT_TRUE(WaitFor([&] { return ran == 200; })) << "ran " << ran;
    Drain();
    EXPECT_TRUE(WaitFor([&] { return Pool->ThreadCount() == 0; }));
}

TEST_F(PoolFixture, BusyProcessorStartsNoFurtherWorker)
{
    std::atomic<bool> release{false};
    Load = 100;
    for (int i = 0; i < 20; ++i)
        Pool->AddWorkItem(std::make_shared<TLambdaItem>([&](TLambdaItem&) {
            while (!release)
                std::this_thread::sleep_for(1ms);
        }));
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(Pool->ThreadCount(), 1) << "one worker always starts, no more while busy";
    Load = 0;
    Pool->AddWorkItem(std::make_shared<TLambdaItem>([](TLambdaItem&) {}));
    std::this_thread::sleep_for(250ms);
    Pool->AddWorkItem(std::make_shared<TLambdaItem>([](TLambdaItem&) {}));
    EXPECT_GE(Pool->ThreadCount(), 2);
    release = true;
    Drain();
    EXPECT_EQ(AllDone, 1);
}

TEST_F(PoolFixture, ThreadLimitHolds)
{
    EXPECT_EQ(Pool->ThreadLimit(), 8 * ProcessorCount());
    Pool->SetThreadLimit(3);
    std::atomic<int> running{0}, peak{0};
    for (int i = 0; i < 40; ++i)
        Pool->AddWorkItem(std::make_shared<TLambdaItem>([&](TLambdaItem&) {
            const int now = ++running;
            int old = peak;
            while (now > old && !peak.compare_exchange_weak(old, now)) {
            }
            std::this_thread::sleep_for(30ms);
            --running;
        }));
    Drain();
    EXPECT_LE(peak, 3);
    EXPECT_EQ(AllDone, 1);
}

TEST_F(PoolFixture, CancelByTagDropsOnlyThatOwnersItems)
{
    std::atomic<bool> release{false};
    std::atomic<int> ranTag1{0}, ranTag2{0};
    Pool->SetThreadLimit(1);
    Pool->AddWorkItem(std::make_shared<TLambdaItem>([&](TLambdaItem&) {
        while (!release)
            std::this_thread::sleep_for(1ms);
    }, 2));
    ASSERT_TRUE(WaitFor([&] { return Pool->ThreadCount() == 1; }));
    for (int i = 0; i < 5; ++i) {
        Pool->AddWorkItem(std::make_shared<TLambdaItem>([&](TLambdaItem&) { ++ranTag1; }, 1));
        Pool->AddWorkItem(std::make_shared<TLambdaItem>([&](TLambdaItem&) { ++ranTag2; }, 2));
    }
    Pool->CancelWorkItems(1);
    EXPECT_EQ(Pool->Outstanding(), 6);
    release = true;
    Drain();
    EXPECT_EQ(ranTag1, 0);
    EXPECT_EQ(ranTag2, 5);
    EXPECT_EQ(AllDone, 1);
}

TEST(WorkerThreadPoolQt, AllDoneArrivesOnTheOwnersThread)
{
    TWorkerThreadPool pool;
    QThread* seen = nullptr;
    bool done = false;
    pool.SetOnAllDone([&] {
        seen = QThread::currentThread();
        done = true;
    });
    for (int i = 0; i < 10; ++i)
        pool.AddWorkItem(std::make_shared<TLambdaItem>([](TLambdaItem&) { std::this_thread::sleep_for(1ms); }));
    QElapsedTimer timer;
    timer.start();
    while (!done && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(done);
    EXPECT_EQ(seen, QCoreApplication::instance()->thread());
}

class TCountingThread : public TBraskThread {
public:
    explicit TCountingThread(std::atomic<int>& running, std::atomic<int>& peak)
        : FRunning(running)
        , FPeak(peak)
    {
    }

protected:
    void Execute() override
    {
        const int now = ++FRunning;
        int old = FPeak;
        while (now > old && !FPeak.compare_exchange_weak(old, now)) {
        }
        for (int i = 0; i < 20 && !CheckPaused(); ++i)
            std::this_thread::sleep_for(2ms);
        --FRunning;
    }

private:
    std::atomic<int>& FRunning;
    std::atomic<int>& FPeak;
};

TEST(ThreadPool, ThreadsBeyondTheLimitWait)
{
    auto dispatcher = std::make_shared<TManualDispatcher>();
    TThreadPool pool(nullptr, dispatcher);
    pool.ThreadLimit = 2;
    std::atomic<int> running{0}, peak{0};
    int ended = 0, empty = 0;
    QObject::connect(&pool, &TThreadPool::ThreadTerminated, [&] { ++ended; });
    QObject::connect(&pool, &TThreadPool::Empty, [&] { ++empty; });
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(pool.AddThread(std::make_shared<TCountingThread>(running, peak)));
    ASSERT_TRUE(WaitFor([&] { return pool.Count() == 0; }));
    dispatcher->RunAll();
    EXPECT_LE(peak, 2);
    EXPECT_EQ(ended, 6);
    EXPECT_EQ(empty, 1);
}

TEST(Processor, CountAndLoad)
{
    EXPECT_GE(ProcessorCount(), 1);
    TCpuLoad load;
    const int first = load.Percent();
    EXPECT_GE(first, 0);
    EXPECT_LE(first, 100);
    EXPECT_EQ(load.Percent(), first) << "cached for 200 ms";
}

} // namespace
