#include "Foundation/NSDictionary.h"
#include "PropertyListTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <unistd.h>

using namespace PropertyListTestSupport;

namespace {

const std::string preferences = "/var/mobile/Library/Preferences/com.example.background.plist";

}

TEST(NSDictionary, WritesAndReadsBackThroughDevicePaths)
{
    TestSupport::ScopedDeviceRoot root;
    auto file = root.prepare(preferences);
    for (bool atomically : { true, false }) {
        SCOPED_TRACE(atomically);
        NSMutableDictionary written;
        written.setObjectForKey(0.25f, "r");
        written.setObjectForKey(true, "enabled");
        written.setObjectForKey(PropertyListValue::Array { "a", data({ 1, 2 }) }, "list");
        ASSERT_TRUE(written.writeToFile(preferences, atomically));
        EXPECT_EQ(TestSupport::readFile(file), PropertyListValue(written.entries()).toXML());

        auto read = NSMutableDictionary::dictionaryWithContentsOfFile(preferences);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->entries(), written.entries());
        ASSERT_TRUE(read->objectForKey("r"));
        EXPECT_EQ(read->objectForKey("r")->floatValue(), 0.25f);
        read->removeObjectForKey("r");
        EXPECT_FALSE(read->objectForKey("r"));
        EXPECT_EQ(read->count(), 2u);
    }
}

TEST(NSDictionary, WhatIsNotADictionaryFileReadsAsNull)
{
    TestSupport::ScopedDeviceRoot root;
    auto file = root.prepare(preferences);
    struct {
        const char* name;
        std::string content;
    } cases[] = {
        { "empty", "" },
        { "garbage", "not a property list" },
        { "truncated", PropertyListValue(PropertyListValue::Dictionary { { "a", "b" } }).toXML().substr(0, 120) },
        { "root is an array", PropertyListValue(PropertyListValue::Array { "a" }).toXML() },
        { "20 MB", "<plist><dict><key>a</key><string>" + std::string(20 * 1024 * 1024, 'x') + "</string></dict></plist>" },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        TestSupport::writeFile(file, entry.content);
        EXPECT_FALSE(NSMutableDictionary::dictionaryWithContentsOfFile(preferences));
    }

    std::filesystem::remove(file);
    EXPECT_FALSE(NSMutableDictionary::dictionaryWithContentsOfFile(preferences));
    std::filesystem::create_directory(file);
    EXPECT_FALSE(NSMutableDictionary::dictionaryWithContentsOfFile(preferences));
}

TEST(NSDictionary, UnreadableFileReadsAsNull)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads files whatever their permissions";
    TestSupport::ScopedDeviceRoot root;
    auto file = root.prepare(preferences);
    NSMutableDictionary written;
    written.setObjectForKey("x", "k");
    ASSERT_TRUE(written.writeToFile(preferences, true));
    std::filesystem::permissions(file, std::filesystem::perms::none);
    EXPECT_FALSE(NSMutableDictionary::dictionaryWithContentsOfFile(preferences));
}

TEST(NSDictionary, StoredValuesWithoutANumberReadAsZero)
{
    TestSupport::ScopedDeviceRoot root;
    (void)root.prepare(preferences);
    struct {
        const char* name;
        PropertyListValue value;
        float expected;
    } cases[] = {
        { "dictionary", PropertyListValue::Dictionary { { "r", 0.5 } }, 0 },
        { "array", PropertyListValue::Array { 0.5 }, 0 },
        { "data", data({ 0x3F }), 0 },
        { "date", date(100), 0 },
        { "uid", uid(3), 0 },
        { "boolean", true, 1 },
        { "string", " 0.5abc", 0.5f },
        { "integer", PropertyListValue::integer(-7), -7 },
        { "integer above 2^63", unsignedInteger(std::uint64_t(1) << 63), 9223372036854775808.f },
        { "real beyond float", 1e300, std::numeric_limits<float>::infinity() },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        NSMutableDictionary written;
        written.setObjectForKey(entry.value, "r");
        ASSERT_TRUE(written.writeToFile(preferences, true));
        auto read = NSMutableDictionary::dictionaryWithContentsOfFile(preferences);
        ASSERT_TRUE(read && read->objectForKey("r"));
        EXPECT_EQ(read->objectForKey("r")->floatValue(), entry.expected);
    }
}

TEST(NSDictionary, WriteIntoAMissingFolderFails)
{
    TestSupport::ScopedDeviceRoot root;
    NSMutableDictionary written;
    written.setObjectForKey("x", "k");
    for (bool atomically : { true, false }) {
        SCOPED_TRACE(atomically);
        EXPECT_FALSE(written.writeToFile("/var/mobile/Missing/x.plist", atomically));
        EXPECT_TRUE(std::filesystem::is_empty(root.path()));
    }
}
