#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// A thread's loop of turns. Each turn fires the timers that are due, performs the
// sources that were signalled, tells the observers that the loop is about to
// wait (where the frameworks commit their rendering update), then waits for the
// next signal or timer, and tells the observers it woke.
//
// Waiting is pluggable: a window waits for its events (and turns them into
// signalled sources), a script driver takes its next step; by default the loop
// sleeps until a signal or the next timer. Time is pluggable too: timers follow
// the loop's clock, which a headless run ties to its animation clock so that
// time passes only when the script says so.
class NSRunLoop {
public:
    enum Activity : unsigned {
        Entry = 1 << 0,
        BeforeTimers = 1 << 1,
        BeforeSources = 1 << 2,
        BeforeWaiting = 1 << 5,
        AfterWaiting = 1 << 6,
        Exit = 1 << 7,
        AllActivities = 0xff,
    };

    // Blocks until deadline (seconds on the loop's clock; nullopt: no timer is due) or
    // until wake is called, whichever comes first. It may signal sources as it goes.
    class Waiter {
    public:
        virtual ~Waiter() = default;
        virtual void waitUntil(NSRunLoop&, std::optional<double> deadline) = 0;
        // From any thread.
        virtual void wake() = 0;
    };

    using Clock = std::function<double()>;

    // The main thread's loop (the first thread to ask is the main one).
    static NSRunLoop& mainRunLoop();
    static NSRunLoop& currentRunLoop();

    NSRunLoop();
    ~NSRunLoop();
    NSRunLoop(const NSRunLoop&) = delete;
    NSRunLoop& operator=(const NSRunLoop&) = delete;

    // Sources: perform runs in a turn after signalSource (which any thread may call).
    int addSource(std::function<void()> perform);
    void removeSource(int source);
    void signalSource(int source);

    // Timers fire once at or after a time on the loop's clock, then every interval if it is positive.
    int addTimer(double fireTime, double interval, std::function<void()> fire);
    void invalidateTimer(int timer);
    [[nodiscard]] std::optional<double> nextTimerFireTime() const;

    // Observers are told of the activities in their mask, lower order first.
    int addObserver(unsigned activities, int order, std::function<void(Activity)> observe);
    void removeObserver(int observer);

    // nullptr restores the default waiter.
    void setWaiter(std::shared_ptr<Waiter>);
    // Seconds since an arbitrary start; the steady clock by default.
    void setClock(Clock);
    [[nodiscard]] double now() const;

    // One turn. With wait false the turn does not wait: it performs what is due and
    // commits, as a script step or a test does.
    void runOnce(bool wait = true);
    // Turns until stop.
    void run();
    void stop();
    [[nodiscard]] bool isRunning() const { return m_running; }

private:
    struct Timer {
        double fireTime;
        double interval;
        std::shared_ptr<std::function<void()>> fire;
    };
    struct Observer {
        unsigned activities;
        int order;
        std::shared_ptr<std::function<void(Activity)>> observe;
    };
    class DefaultWaiter;

    void tell(Activity);
    void fireTimers();
    void performSources();

    std::map<int, std::shared_ptr<std::function<void()>>> m_sources;
    std::mutex m_signalLock;  // guards m_signalled, which other threads set
    std::vector<int> m_signalled;
    std::map<int, Timer> m_timers;
    std::map<int, Observer> m_observers;
    int m_nextToken = 1;
    std::shared_ptr<Waiter> m_defaultWaiter;
    std::shared_ptr<Waiter> m_waiter;
    Clock m_clock;
    bool m_running = false;
    bool m_stopRequested = false;
};
