#include "host/ScriptDriver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <istream>
#include <mutex>
#include <sstream>
#include <streambuf>
#include <thread>

namespace {

// A script that has no line yet: reading blocks until it is told to end.
class HeldScript : public std::streambuf {
public:
    void end()
    {
        std::lock_guard guard(m_lock);
        m_ended = true;
        m_changed.notify_all();
    }
    [[nodiscard]] bool readToTheEnd() const { return m_readToTheEnd; }

protected:
    int_type underflow() override
    {
        std::unique_lock guard(m_lock);
        m_changed.wait(guard, [this] { return m_ended; });
        m_readToTheEnd = true;
        return traits_type::eof();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_ended = false;
    std::atomic<bool> m_readToTheEnd = false;
};

class CountingWaiter : public NSRunLoop::Waiter {
public:
    void waitUntil(NSRunLoop&, std::optional<double>) override { }
    void wake() override { ++wakes; }
    std::atomic<int> wakes = 0;
};

}

// The window's waiter must close on the main thread: the thread reading the script (which may
// still be blocked when the program ends) never keeps it alive past the driver.
TEST(ScriptDriver, TheReadingThreadNeverOutlivesTheDriverWithTheWindow)
{
    static HeldScript held;  // read by the thread until it ends, so it outlives the test
    static std::istream script(&held);
    std::ostringstream answers;
    auto waiter = std::make_shared<CountingWaiter>();
    std::weak_ptr<CountingWaiter> watched = waiter;
    {
        ScriptDriver driver(script, answers, waiter);
    }
    waiter.reset();
    EXPECT_TRUE(watched.expired()) << "the reading thread still holds the window's waiter";

    held.end();
    for (int i = 0; i < 500 && !held.readToTheEnd(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_TRUE(held.readToTheEnd());
}
