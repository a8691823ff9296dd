#include "Foundation/LockedUpdate.h"
#include "Foundation/NSDictionary.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <sys/wait.h>
#include <unistd.h>

using Foundation::LockedUpdateResult;
using Foundation::updateDictionaryFile;

namespace {

constexpr const char* settingsFile = "/prefs/settings.plist";
constexpr const char* lockFile = "/prefs/.settings.plist.lock";

}

TEST(LockedUpdate, RacingWritersInSeparateProcessesLoseNoUpdate)
{
    TestSupport::ScopedDeviceRoot device;
    (void)device.prepare(settingsFile);
    constexpr int writers = 8;
    constexpr int keysEach = 25;
    std::vector<pid_t> children;
    for (int writer = 0; writer < writers; ++writer) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            bool allWritten = true;
            for (int key = 0; key < keysEach; ++key) {
                allWritten = updateDictionaryFile(settingsFile, lockFile, true, [&](NSMutableDictionary& settings) {
                    settings.setObjectForKey(PropertyListValue("1"), std::to_string(writer) + "." + std::to_string(key));
                }) == LockedUpdateResult::Written && allWritten;
            }
            _exit(allWritten ? 0 : 1);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto settings = NSMutableDictionary::dictionaryWithContentsOfFile(settingsFile);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->count(), static_cast<size_t>(writers * keysEach));
}

TEST(LockedUpdate, MissingAndUnparsableFilesAreLeftAlone)
{
    auto setKey = [](NSMutableDictionary& settings) { settings.setObjectForKey(PropertyListValue("1"), "key"); };
    struct {
        const char* name;
        std::optional<std::string> contents;
        bool startIfMissing;
        LockedUpdateResult expected;
        std::optional<std::string> contentsAfter; // nullopt: no file
    } cases[] = {
        { "missing, not to be started", std::nullopt, false, LockedUpdateResult::Missing, std::nullopt },
        { "unparsable", "not a property list", true, LockedUpdateResult::Unparsable, "not a property list" },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        TestSupport::ScopedDeviceRoot device;
        auto host = device.prepare(settingsFile);
        if (entry.contents)
            TestSupport::writeFile(host, *entry.contents);
        EXPECT_EQ(updateDictionaryFile(settingsFile, lockFile, entry.startIfMissing, setKey), entry.expected);
        EXPECT_EQ(std::filesystem::exists(host), entry.contentsAfter.has_value());
        if (entry.contentsAfter) {
            EXPECT_EQ(TestSupport::readFile(host), *entry.contentsAfter);
        }
    }

    TestSupport::ScopedDeviceRoot device;
    (void)device.prepare(settingsFile);
    EXPECT_EQ(updateDictionaryFile(settingsFile, lockFile, true, setKey), LockedUpdateResult::Written);
    auto settings = NSMutableDictionary::dictionaryWithContentsOfFile(settingsFile);
    ASSERT_TRUE(settings);
    EXPECT_TRUE(settings->objectForKey("key"));
}
