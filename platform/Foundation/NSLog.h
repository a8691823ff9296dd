#pragma once

// Log lines in the platform's form, "2026-12-07 07:44:10.123 program[pid:tid] message",
// on standard error and to the system log.

#include "Foundation/NSString.h"

#include <functional>
#include <string>

void NSLogv(const std::string& message);

template<class... Args>
void NSLog(std::string_view format, const Args&... args)
{
    NSLogv(stringWithFormat(format, args...));
}

namespace Foundation {

// The program name in log lines; the executable's name by default.
void setProcessName(std::string name);
[[nodiscard]] std::string processName();

// Observers see each logged message (without the time and program prefix).
using LogObserver = std::function<void(const std::string& message)>;
int addLogObserver(LogObserver);
void removeLogObserver(int token);

}
