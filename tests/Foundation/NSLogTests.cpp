#include "Foundation/NSLog.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <mutex>
#include <syslog.h>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

std::mutex openedNamesLock;
std::vector<const char*> openedNames;

std::vector<const char*> takeOpenedNames()
{
    std::lock_guard guard(openedNamesLock);
    return std::exchange(openedNames, {});
}

}

// Takes the C library's place for this program, so the test sees the text the system log
// keeps naming the program by: the library holds on to the pointer, not to a copy.
extern "C" void openlog(const char* ident, int option, int facility)
{
    {
        std::lock_guard guard(openedNamesLock);
        openedNames.push_back(ident);
    }
    using Openlog = void (*)(const char*, int, int);
    static auto libraryOpenlog = reinterpret_cast<Openlog>(dlsym(RTLD_NEXT, "openlog"));
    if (libraryOpenlog)
        libraryOpenlog(ident, option, facility);
}

TEST(NSLog, SystemLogNameOutlivesTheCallAndIsOpenedOnlyWhenItChanges)
{
    // Longer than a string keeps inline, so a name that died would be freed heap memory.
    const std::string first = "first-program-name-for-the-system-log";
    const std::string second = "second-program-name-for-the-system-log";
    const std::string original = Foundation::processName();

    Foundation::setProcessName(first);
    takeOpenedNames();
    for (int i = 0; i < 3; ++i)
        NSLog("logged as the first name %d", i);
    Foundation::setProcessName(second);
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 20; ++i)
                NSLog("logged as the second name from thread %d", t);
        });
    }
    for (auto& thread : threads)
        thread.join();
    auto opened = takeOpenedNames();
    Foundation::setProcessName(original);

    // Read after every call has returned, as the system log does on the next syslog.
    std::vector<std::string> names(opened.begin(), opened.end());
    EXPECT_EQ(names, (std::vector<std::string> { first, second }));
}
