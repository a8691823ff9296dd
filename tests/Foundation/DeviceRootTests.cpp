#include "Foundation/DeviceRoot.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

std::filesystem::path deviceUnder(const std::filesystem::path& home)
{
    return home / ".local/share/tessary8/device";
}

}

TEST(DeviceRoot, DefaultRootComesFromAnAbsoluteSourceOrAHomeThatExists)
{
    auto existingHome = std::filesystem::temp_directory_path();
    struct Case {
        const char* label;
        DeviceRoot::Environment environment;
        std::filesystem::path expected;
    };
    const Case cases[] = {
        { "root wins", { "/srv/device", "/data", "/home/a", nullptr }, "/srv/device" },
        { "data home", { nullptr, "/data", "/home/a", nullptr }, "/data/tessary8/device" },
        { "relative data home is ignored", { nullptr, "data", "/home/a", nullptr }, deviceUnder("/home/a") },
        { "empty data home is ignored", { "", "", "/home/a", nullptr }, deviceUnder("/home/a") },
        { "no HOME: the password database", { nullptr, nullptr, nullptr, existingHome.c_str() }, deviceUnder(existingHome) },
        { "relative HOME: the password database", { nullptr, nullptr, "home", existingHome.c_str() }, deviceUnder(existingHome) },
        { "account without a home folder", { nullptr, nullptr, nullptr, "/nonexistent" }, {} },
        { "relative home in the database", { nullptr, nullptr, nullptr, "home" }, {} },
        { "nothing at all", { nullptr, nullptr, nullptr, nullptr }, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(DeviceRoot::defaultRootFor(c.environment), c.expected);
    }
}
