#include "Foundation/NSRunLoop.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

// Waits by moving the loop's own clock to the deadline, as a script step moves time.
class SteppingWaiter : public NSRunLoop::Waiter {
public:
    double* clock = nullptr;
    std::vector<std::optional<double>> deadlines;
    void waitUntil(NSRunLoop&, std::optional<double> deadline) override
    {
        deadlines.push_back(deadline);
        if (deadline)
            *clock = *deadline;
    }
    void wake() override { }
};

}

TEST(NSRunLoop, ATurnFiresTimersInTimeOrderThenSourcesThenWaitsForTheNextTimer)
{
    NSRunLoop loop;
    double time = 0;
    loop.setClock([&time] { return time; });
    auto waiter = std::make_shared<SteppingWaiter>();
    waiter->clock = &time;
    loop.setWaiter(waiter);
    std::vector<std::string> log;
    loop.addObserver(NSRunLoop::BeforeWaiting, 2, [&](NSRunLoop::Activity) { log.push_back("commit"); });
    loop.addObserver(NSRunLoop::BeforeWaiting | NSRunLoop::AfterWaiting, 1, [&](NSRunLoop::Activity activity) {
        log.push_back(activity == NSRunLoop::BeforeWaiting ? "before waiting" : "woke");
    });
    loop.addTimer(2, 0, [&] { log.push_back("timer at 2"); });
    loop.addTimer(1, 1.5, [&] { log.push_back("repeating timer"); });
    int source = loop.addSource([&] { log.push_back("source"); });
    loop.signalSource(source);
    loop.signalSource(source);

    loop.runOnce();  // nothing due yet: the source, then a wait until 1
    loop.runOnce();  // at 1: the repeating timer, next at 2.5
    loop.runOnce();  // at 2
    EXPECT_EQ(log, (std::vector<std::string> { "source", "before waiting", "commit", "woke", "repeating timer", "before waiting", "commit", "woke",
                       "timer at 2", "before waiting", "commit", "woke" }));
    EXPECT_EQ(waiter->deadlines, (std::vector<std::optional<double>> { 1.0, 2.0, 2.5 }));
    log.clear();
    loop.runOnce(false);
    EXPECT_EQ(log, (std::vector<std::string> { "repeating timer", "before waiting", "commit", "woke" })) << "a turn that does not wait";
    EXPECT_EQ(waiter->deadlines.size(), 3u);
}

TEST(NSRunLoop, ASourceSignalledFromAnotherThreadWakesTheLoop)
{
    NSRunLoop loop;
    int performed = 0;
    int source = loop.addSource([&] {
        if (++performed == 3)
            loop.stop();
    });
    std::thread signaller([&] {
        for (int i = 0; i < 3; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            loop.signalSource(source);
        }
    });
    loop.run();  // would wait forever without the wake-ups: no timer is due
    signaller.join();
    EXPECT_EQ(performed, 3);
    loop.removeSource(source);
    loop.signalSource(source);
    loop.runOnce(false);
    EXPECT_EQ(performed, 3) << "a removed source is not performed";
}
