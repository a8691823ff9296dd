#include "Foundation/NSAssertionHandler.h"
#include "Foundation/NSLog.h"
#include "objc/NSObject.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Keeps each report as one line: "method|receiver|file:line|description".
class RecordingHandler : public NSAssertionHandler {
public:
    void handleFailureInMethod(SEL method, const objc_object* object, std::string_view fileName, int line, std::string_view description) override
    {
        reports.push_back(stringWithFormat("%@|%p|%@:%d|%@", sel_getName(method), static_cast<const void*>(object), fileName, line, description));
    }
    void handleFailureInFunction(std::string_view function, std::string_view fileName, int line, std::string_view description) override
    {
        reports.push_back(stringWithFormat("%@|%@:%d|%@", function, fileName, line, description));
    }
    std::vector<std::string> reports;
};

bool checkInAFunction()
{
    return Foundation::assertInFunction(false, "no colour");
}

}

TEST(NSAssertionHandler, AFailedConditionReachesTheThreadsHandlerWithItsSource)
{
    auto recorder = std::make_shared<RecordingHandler>();
    auto previous = NSAssertionHandler::setCurrentHandler(recorder);
    auto receiver = objc::alloc<NSObject>();
    EXPECT_TRUE(Foundation::assertInMethod(true, sel_registerName("red"), receiver.get(), "unused"));
    int line = __LINE__ + 1;
    EXPECT_FALSE(Foundation::assertInMethod(false, sel_registerName("red"), receiver.get(), "Must be an RGB color to use -red"));
    EXPECT_FALSE(checkInAFunction());
    NSAssertionHandler::setCurrentHandler(previous);

    ASSERT_EQ(recorder->reports.size(), 2u);
    EXPECT_EQ(recorder->reports[0], stringWithFormat("red|%p|%@:%d|Must be an RGB color to use -red", static_cast<const void*>(receiver.get()), __FILE__, line));
    EXPECT_TRUE(recorder->reports[1].starts_with("checkInAFunction|" __FILE__)) << recorder->reports[1];
    EXPECT_TRUE(recorder->reports[1].ends_with("|no colour")) << recorder->reports[1];
}

TEST(NSAssertionHandler, TheDefaultHandlerLogsTheFailureAndReturns)
{
    std::vector<std::string> messages;
    int token = Foundation::addLogObserver([&](const std::string& message) { messages.push_back(message); });
    auto receiver = objc::alloc<NSObject>();
    EXPECT_FALSE(Foundation::assertInMethod(false, sel_registerName("stringFromColor"), receiver.get(), "Must be an RGB color to use -stringFromColor"));
    EXPECT_FALSE(Foundation::assertInMethod(false, sel_registerName("white"), nullptr, "Must be a Monochrome color to use -white"));
    Foundation::removeLogObserver(token);
    ASSERT_EQ(messages.size(), 2u);
    for (auto part : { "*** Assertion failure in -[NSObject stringFromColor]", "NSAssertionHandlerTests.cpp:", "to use -stringFromColor" })
        EXPECT_NE(messages[0].find(part), std::string::npos) << messages[0];
    EXPECT_NE(messages[1].find("-[nil white]"), std::string::npos) << messages[1];
}

TEST(NSAssertionHandler, HandlersBelongToOneThread)
{
    auto defaultHandler = NSAssertionHandler::currentHandler();
    ASSERT_TRUE(defaultHandler);
    auto recorder = std::make_shared<RecordingHandler>();
    EXPECT_EQ(NSAssertionHandler::setCurrentHandler(recorder), defaultHandler);
    EXPECT_EQ(NSAssertionHandler::currentHandler(), recorder);
    std::shared_ptr<NSAssertionHandler> seenElsewhere;
    std::thread([&] { seenElsewhere = NSAssertionHandler::currentHandler(); }).join();
    EXPECT_EQ(seenElsewhere, defaultHandler);
    EXPECT_EQ(NSAssertionHandler::setCurrentHandler(nullptr), recorder);
    EXPECT_EQ(NSAssertionHandler::currentHandler(), defaultHandler);
}
