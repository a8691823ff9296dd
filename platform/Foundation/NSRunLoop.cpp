#include "Foundation/NSRunLoop.h"

#include <algorithm>
#include <cmath>
#include <utility>

// Sleeps on a condition variable until a signal or the deadline.
class NSRunLoop::DefaultWaiter : public NSRunLoop::Waiter {
public:
    void waitUntil(NSRunLoop& loop, std::optional<double> deadline) override
    {
        std::unique_lock lock(m_lock);
        auto woken = [this] { return std::exchange(m_woken, false); };
        if (!deadline) {
            m_condition.wait(lock, woken);
            return;
        }
        double seconds = *deadline - loop.now();
        if (!(seconds > 0))
            return;
        // A far deadline (or a clock that does not follow real time) is waited for in pieces.
        seconds = std::min(seconds, 3600.0);
        m_condition.wait_for(lock, std::chrono::duration<double>(seconds), woken);
    }
    void wake() override
    {
        {
            std::lock_guard lock(m_lock);
            m_woken = true;
        }
        m_condition.notify_one();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_condition;
    bool m_woken = false;
};

namespace {

double steadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}

NSRunLoop& NSRunLoop::mainRunLoop()
{
    static NSRunLoop& loop = currentRunLoop();
    return loop;
}

NSRunLoop& NSRunLoop::currentRunLoop()
{
    thread_local NSRunLoop loop;
    return loop;
}

NSRunLoop::NSRunLoop()
    : m_defaultWaiter(std::make_shared<DefaultWaiter>())
    , m_waiter(m_defaultWaiter)
    , m_clock(steadySeconds)
{
}

NSRunLoop::~NSRunLoop() = default;

int NSRunLoop::addSource(std::function<void()> perform)
{
    int token = m_nextToken++;
    m_sources.emplace(token, std::make_shared<std::function<void()>>(std::move(perform)));
    return token;
}

void NSRunLoop::removeSource(int source)
{
    m_sources.erase(source);
}

void NSRunLoop::signalSource(int source)
{
    std::shared_ptr<Waiter> waiter;
    {
        std::lock_guard lock(m_signalLock);
        if (std::find(m_signalled.begin(), m_signalled.end(), source) == m_signalled.end())
            m_signalled.push_back(source);
        waiter = m_waiter;
    }
    waiter->wake();
}

int NSRunLoop::addTimer(double fireTime, double interval, std::function<void()> fire)
{
    int token = m_nextToken++;
    if (!std::isfinite(fireTime))
        fireTime = now();
    m_timers.emplace(token, Timer { fireTime, std::isfinite(interval) ? interval : 0, std::make_shared<std::function<void()>>(std::move(fire)) });
    return token;
}

void NSRunLoop::invalidateTimer(int timer)
{
    m_timers.erase(timer);
}

std::optional<double> NSRunLoop::nextTimerFireTime() const
{
    std::optional<double> earliest;
    for (auto& [token, timer] : m_timers)
        earliest = earliest ? std::min(*earliest, timer.fireTime) : timer.fireTime;
    return earliest;
}

int NSRunLoop::addObserver(unsigned activities, int order, std::function<void(Activity)> observe)
{
    int token = m_nextToken++;
    m_observers.emplace(token, Observer { activities, order, std::make_shared<std::function<void(Activity)>>(std::move(observe)) });
    return token;
}

void NSRunLoop::removeObserver(int observer)
{
    m_observers.erase(observer);
}

void NSRunLoop::setWaiter(std::shared_ptr<Waiter> waiter)
{
    std::lock_guard lock(m_signalLock);
    m_waiter = waiter ? std::move(waiter) : m_defaultWaiter;
}

void NSRunLoop::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(steadySeconds);
}

double NSRunLoop::now() const
{
    return m_clock();
}

void NSRunLoop::tell(Activity activity)
{
    // Observers may add or remove observers: tell the ones present now, in order.
    std::vector<Observer> told;
    for (auto& [token, observer] : m_observers) {
        if (observer.activities & activity)
            told.push_back(observer);
    }
    std::stable_sort(told.begin(), told.end(), [](const Observer& a, const Observer& b) { return a.order < b.order; });
    for (auto& observer : told)
        (*observer.observe)(activity);
}

void NSRunLoop::fireTimers()
{
    double time = now();
    std::vector<std::pair<double, int>> due;
    for (auto& [token, timer] : m_timers) {
        if (timer.fireTime <= time)
            due.emplace_back(timer.fireTime, token);
    }
    std::sort(due.begin(), due.end());
    for (auto& [fireTime, token] : due) {
        auto found = m_timers.find(token);
        if (found == m_timers.end())
            continue;  // invalidated by an earlier timer
        auto fire = found->second.fire;
        if (found->second.interval > 0)
            found->second.fireTime = std::max(time, fireTime + found->second.interval);
        else
            m_timers.erase(found);
        (*fire)();
    }
}

void NSRunLoop::performSources()
{
    std::vector<int> signalled;
    {
        std::lock_guard lock(m_signalLock);
        signalled.swap(m_signalled);
    }
    for (int token : signalled) {
        auto found = m_sources.find(token);
        if (found == m_sources.end())
            continue;
        auto perform = found->second;
        (*perform)();
    }
}

void NSRunLoop::runOnce(bool wait)
{
    tell(BeforeTimers);
    fireTimers();
    tell(BeforeSources);
    performSources();
    tell(BeforeWaiting);
    if (wait) {
        bool pending;
        {
            std::lock_guard lock(m_signalLock);
            pending = !m_signalled.empty();
        }
        if (!pending && !m_stopRequested) {
            std::shared_ptr<Waiter> waiter;
            {
                std::lock_guard lock(m_signalLock);
                waiter = m_waiter;
            }
            waiter->waitUntil(*this, nextTimerFireTime());
        }
    }
    tell(AfterWaiting);
}

void NSRunLoop::run()
{
    m_running = true;
    m_stopRequested = false;
    tell(Entry);
    while (!m_stopRequested)
        runOnce(true);
    tell(Exit);
    m_running = false;
}

void NSRunLoop::stop()
{
    m_stopRequested = true;
    std::shared_ptr<Waiter> waiter;
    {
        std::lock_guard lock(m_signalLock);
        waiter = m_waiter;
    }
    waiter->wake();
}
