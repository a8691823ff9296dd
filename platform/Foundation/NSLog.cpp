#include "Foundation/NSLog.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sys/syscall.h>
#include <syslog.h>
#include <unistd.h>

namespace Foundation {

namespace {

struct LogState {
    std::mutex lock;
    std::string processName;
    std::map<int, LogObserver> observers;
    int nextToken = 1;
};

LogState& logState()
{
    static LogState state;
    return state;
}

// The C library keeps the pointer openlog is given and reads it on every syslog, from any
// thread, until the next openlog. So every name it was given stays here, unchanged, for the
// life of the process; the set only grows by the names the process takes, which are few.
struct SystemLog {
    std::mutex lock;
    std::set<std::string> names;
    const std::string* openedName = nullptr;
};

SystemLog& systemLog()
{
    // Never destroyed: a thread may log while the process exits.
    static SystemLog* log = new SystemLog;
    return *log;
}

void writeToSystemLog(const std::string& program, const std::string& message)
{
    auto& log = systemLog();
    // Held across openlog and syslog so that each message goes out under the name it was logged with.
    std::lock_guard guard(log.lock);
    if (!log.openedName || *log.openedName != program) {
        log.openedName = &*log.names.insert(program).first;
        openlog(log.openedName->c_str(), LOG_PID, LOG_USER);
    }
    syslog(LOG_NOTICE, "%s", message.c_str());
}

std::string executableName()
{
    std::ifstream comm("/proc/self/comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() ? "process" : name;
}

}

std::string timestamp()
{
    auto now = std::chrono::system_clock::now();
    auto seconds = std::chrono::system_clock::to_time_t(now);
    auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local {};
    localtime_r(&seconds, &local);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    char withMilliseconds[80];
    std::snprintf(withMilliseconds, sizeof withMilliseconds, "%s.%03d", text, static_cast<int>(milliseconds));
    return withMilliseconds;
}

void setProcessName(std::string name)
{
    std::lock_guard lock(logState().lock);
    logState().processName = std::move(name);
}

std::string processName()
{
    std::lock_guard lock(logState().lock);
    if (logState().processName.empty())
        logState().processName = executableName();
    return logState().processName;
}

int addLogObserver(LogObserver observer)
{
    std::lock_guard lock(logState().lock);
    int token = logState().nextToken++;
    logState().observers.emplace(token, std::move(observer));
    return token;
}

void removeLogObserver(int token)
{
    std::lock_guard lock(logState().lock);
    logState().observers.erase(token);
}

}

void NSLogv(const std::string& message)
{
    std::string program = Foundation::processName();
    std::string line = Foundation::format("%@ %@[%d:%x] %@\n",
        { Foundation::timestamp(), program, static_cast<long long>(getpid()), static_cast<long long>(syscall(SYS_gettid)), message });
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    Foundation::writeToSystemLog(program, message);

    std::map<int, Foundation::LogObserver> observers;
    {
        std::lock_guard lock(Foundation::logState().lock);
        observers = Foundation::logState().observers;
    }
    for (auto& [token, observer] : observers)
        observer(message);
}
