#include "Foundation/NSRunLoop.h"
#include "UIKit/UIApplication.h"
#include "support/RuntimeTestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> heard;

// Records what the application tells it, and ends the run from the loop's first turn.
class RecordingAppDelegate : public UIResponder, public UIApplicationDelegate {
    OBJC_CLASS(RecordingAppDelegate, UIResponder)
    bool applicationDidFinishLaunchingWithOptions(UIApplication&, const std::map<std::string, std::string>& options) override
    {
        heard.push_back(options.empty() ? "launched" : "launched with options");
        auto& loop = NSRunLoop::mainRunLoop();
        loop.addTimer(loop.now(), 0, [] {
            auto application = UIApplication::sharedApplication();
            application->handleTransition(UIApplication::Transition::EnterBackground);
            application->handleTransition(UIApplication::Transition::BecomeActive);
            application->terminate();
        });
        return true;
    }
    void applicationWillResignActive(UIApplication&) override { heard.push_back("will resign active"); }
    void applicationDidEnterBackground(UIApplication&) override { heard.push_back("did enter background"); }
    void applicationWillEnterForeground(UIApplication&) override { heard.push_back("will enter foreground"); }
    void applicationDidBecomeActive(UIApplication&) override { heard.push_back("did become active"); }
    void applicationWillTerminate(UIApplication&) override { heard.push_back("will terminate"); }
};

}

TEST(UIApplicationMain, MakesTheDelegateByNameAndTellsItTheLifeOfTheApplication)
{
    (void)RecordingAppDelegate::runtimeClass();
    EXPECT_EQ(UIApplicationMain(0, nullptr, nullptr, "NSObject"), 1) << "not an application delegate";
    EXPECT_EQ(UIApplicationMain(0, nullptr, nullptr, "NoSuchClass"), 1);
    EXPECT_EQ(UIApplicationMain(0, nullptr, nullptr, "RecordingAppDelegate"), 0);
    EXPECT_EQ(heard, (std::vector<std::string> { "launched", "did become active", "will resign active", "did enter background",
                         "will enter foreground", "did become active", "will resign active", "will terminate" }));
    EXPECT_TRUE(std::dynamic_pointer_cast<RecordingAppDelegate>(UIApplication::sharedApplication()->delegate()));
}

TEST(ClassCreateInstance, MakesTheCxxTypeOfTheNearestClassThatHasOne)
{
    Class responder = UIResponder::runtimeClass();
    EXPECT_TRUE(std::dynamic_pointer_cast<UIResponder>(class_createInstance(objc_getClass("UIResponder"))));
    Class derived = TestSupport::defineUniqueClass("RuntimeResponder", responder);
    id made = class_createInstance(derived);
    EXPECT_TRUE(std::dynamic_pointer_cast<UIResponder>(made)) << "laid out like its superclass";
    EXPECT_EQ(object_getClass(made), derived);
}

TEST(UIApplicationLinks, TheDefaultOpenerAnswersTheWebAndRecordsInsteadOfOpening)
{
    auto application = UIApplication::sharedApplication();
    EXPECT_TRUE(application->canOpenURL("HTTPS://example.org/"));
    EXPECT_TRUE(application->canOpenURL("http"));
    EXPECT_FALSE(application->canOpenURL("twitter://user?screen_name=x"));
    EXPECT_FALSE(application->canOpenURL(""));
    EXPECT_FALSE(application->openURL("twitter://user"));
    EXPECT_TRUE(application->openURL("https://example.org/"));
    EXPECT_EQ(application->urlOpener()->openedURLs(), std::vector<std::string> { "https://example.org/" });
}
