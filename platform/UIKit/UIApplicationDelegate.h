#pragma once

#include <map>
#include <memory>
#include <string>

class UIApplication;

// What the application tells its delegate as it starts, moves between foreground and
// background, and ends. Every message is optional: the defaults do nothing.
class UIApplicationDelegate {
public:
    virtual ~UIApplicationDelegate() = default;
    // Launch options: none are passed on this platform.
    virtual bool applicationDidFinishLaunchingWithOptions(UIApplication&, const std::map<std::string, std::string>&) { return true; }
    virtual void applicationWillResignActive(UIApplication&) { }
    virtual void applicationDidEnterBackground(UIApplication&) { }
    virtual void applicationWillEnterForeground(UIApplication&) { }
    virtual void applicationDidBecomeActive(UIApplication&) { }
    virtual void applicationWillTerminate(UIApplication&) { }
};
